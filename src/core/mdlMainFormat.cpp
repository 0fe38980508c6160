#include "core/mdlMain.h"

namespace mdlMain {

QString FormatByteSize(qint64 bytes)
{
    return QString::number(bytes);
}

} // namespace mdlMain
