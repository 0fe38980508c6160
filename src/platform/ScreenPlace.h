#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window opens on the screen.
namespace ScreenPlace {
// The top left corner of a window frame of that size centred on over, moved
// as little as it takes to lie whole inside screen; a frame larger than the
// screen starts at the screen's top left, so its title bar can always be
// taken hold of.
QPoint centredWithin(const QSize &frame, const QRect &over, const QRect &screen);
} // namespace ScreenPlace
