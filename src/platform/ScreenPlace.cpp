#include "platform/ScreenPlace.h"

#include <QtGlobal>

namespace ScreenPlace {

QPoint centredWithin(const QSize &frame, const QRect &over, const QRect &screen)
{
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(over.center());
    if (!screen.isValid())
        return placed.topLeft();
    const int left = qMax(screen.left(), qMin(placed.left(), screen.right() + 1 - placed.width()));
    const int top = qMax(screen.top(), qMin(placed.top(), screen.bottom() + 1 - placed.height()));
    return {left, top};
}

} // namespace ScreenPlace
