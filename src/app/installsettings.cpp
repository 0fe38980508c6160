// Creates the settings root of Sonvale, as its installer would. The program
// itself never creates these keys.
#include "platform/SettingsInstaller.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString error;
    const bool ok = args.size() > 1 ? SettingsInstaller::install(&error, args.at(1)) : SettingsInstaller::install(&error);
    if (!ok) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    return 0;
}
