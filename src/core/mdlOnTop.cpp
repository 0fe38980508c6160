#include "core/mdlOnTop.h"

#include "platform/AppPaths.h"

#include <QWidget>

namespace {
bool g_bOnTop = false;
}

namespace mdlOnTop {

void SetFormOnTop(QWidget *form, bool onTop)
{
    g_bOnTop = onTop;
    if (!form)
        return;
    QWidget *window = form->window();
    // The geometry goes through twips and back, as the window's own code keeps it.
    const QRect before = window->geometry();
    const QRect kept(Twips::toPixels(Twips::fromPixels(before.x())), Twips::toPixels(Twips::fromPixels(before.y())),
                     Twips::toPixels(Twips::fromPixels(before.width())),
                     Twips::toPixels(Twips::fromPixels(before.height())));
    const bool wasActivating = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    // Changing the flag re-creates the native window, which hides it.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    window->setGeometry(kept);
    window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, wasActivating);
}

bool IsOnTop()
{
    return g_bOnTop;
}

} // namespace mdlOnTop
