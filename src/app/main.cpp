#include "app/StartUp.h"

#include "platform/ProcessEnd.h"
#include "platform/Services.h"
#include "platform/StallProbe.h"

#include <QApplication>

namespace {

int run(int &argc, char **argv)
{
    QApplication app(argc, argv);
    const auto stallProbe = StallProbe::fromEnvironment();
    Services::instance().installReal();
    return mdlMain::Main();
}

} // namespace

int main(int argc, char **argv)
{
    endProcess(run(argc, argv));
}
