#include "app/StartUp.h"
#include "core/forms.h"
#include "core/mdlMain.h"
#include "mainwindow/frmMain.h"

#include "platform/ProcessEnd.h"
#include "platform/Services.h"
#include "platform/SingleInstance.h"
#include "platform/StallProbe.h"

#include <QApplication>

namespace {

int run(int &argc, char **argv)
{
    QApplication app(argc, argv);
    const auto stallProbe = StallProbe::fromEnvironment();
    SingleInstance instance;
    if (instance.handOverOrServe(mdlMain::CommandLine()))
        return 0;
    QObject::connect(&instance, &SingleInstance::commandLineReceived, &app, [](const QString &commandLine) {
        if (frmMain *main = Forms::main())
            main->TakeCommandLine(commandLine);
    });
    Services::instance().installReal();
    return mdlMain::Main();
}

} // namespace

int main(int argc, char **argv)
{
    endProcess(run(argc, argv));
}
