#include "platform/CommandLine.h"

#include "platform/Services.h"

#include <QProcess>

namespace CommandLine {

QStringList split(const QString &commandLine)
{
    return QProcess::splitCommand(commandLine);
}

bool start(const QString &commandLine, bool minimized, const std::function<QString(const QString &)> &fillArgument)
{
    QStringList parts = split(commandLine);
    if (fillArgument) {
        for (QString &part : parts)
            part = fillArgument(part);
    }
    if (parts.isEmpty() || parts.first().isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return Services::instance().launcher().start(program, parts, minimized);
}

} // namespace CommandLine
