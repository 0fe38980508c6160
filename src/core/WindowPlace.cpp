#include "core/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

void centreIn(QWidget *window, const QRect &area)
{
    // The frame is not known before the first show; its margins then count
    // as nothing, which leaves the window off centre by half a border at most.
    QRect placed(QPoint(0, 0), window->frameGeometry().size());
    placed.moveCenter(area.center());
    window->move(placed.topLeft());
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
