#pragma once

#include <QtGlobal>

namespace mdlMouseClick {
// The pointer's position in screen pixels.
void GetMousePos(qint32 &x, qint32 &y);
}
