#include "core/WindowPlace.h"

#include "platform/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The available area of the screen that holds the point, else of the
// window's own screen, else of the primary one.
QRect screenArea(const QWidget *window, const QPoint &at)
{
    const QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void centreIn(QWidget *window, const QRect &area)
{
    // The frame is not known before the first show; its margins then count
    // as nothing, which leaves the window off centre by half a border at most.
    window->move(ScreenPlace::centredWithin(window->frameGeometry().size(), area, screenArea(window, area.center())));
}

} // namespace

namespace WindowPlace {

void centreOnOwner(QWidget *window, const QWidget *owner)
{
    if (owner && owner->isVisible() && !owner->isMinimized())
        centreIn(window, owner->frameGeometry());
    else
        centreOnScreen(window);
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *where = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        centreIn(window, where->availableGeometry());
}

} // namespace WindowPlace
