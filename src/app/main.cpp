#include "core/mdlMain.h"

#include "platform/Services.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Services::instance().installReal();
    return mdlMain::Main();
}
