// The desktop entry's command. The settings root is per user here, so the
// first start of each user creates it, as an installer would, before the
// program runs; the program itself never creates it.
#include "platform/SettingsInstaller.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

int main(int argc, char **argv)
{
    QByteArray program;
    {
        QCoreApplication app(argc, argv);
        QString error;
        if (!SettingsInstaller::installIfMissing(&error)) {
            QTextStream(stderr) << error << '\n';
            return 1;
        }
        program = QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/sonvale"));
    }
    // The program takes this process's place, so the desktop sees one process
    // from start to close.
    std::vector<char *> args{program.data()};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execv(program.constData(), args.data());
    QTextStream(stderr) << "Cannot start " << QFile::decodeName(program) << ": " << std::strerror(errno) << '\n';
    return 127;
}
