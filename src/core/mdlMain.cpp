#include "core/mdlMain.h"

#include <QApplication>

namespace mdlMain {

int Main()
{
    return QApplication::exec();
}

} // namespace mdlMain
