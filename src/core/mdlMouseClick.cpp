#include "core/mdlMouseClick.h"

#include <QCursor>

namespace mdlMouseClick {

void GetMousePos(qint32 &x, qint32 &y)
{
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
}

} // namespace mdlMouseClick
