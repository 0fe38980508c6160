#include "core/mdlRunOnStart.h"

#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "platform/Registry.h"
#include "platform/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

struct EntryLines {
    std::optional<QString> exec;
    bool hidden = false;
};

// The keys that matter of the [Desktop Entry] group.
EntryLines readEntry(const QByteArray &content)
{
    EntryLines entry;
    bool inMainGroup = false;
    for (QByteArray raw : content.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        const QString bare = line.trimmed();
        if (bare.startsWith(QLatin1Char('['))) {
            inMainGroup = bare == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || bare.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        // Blanks around "=" do not count; the value's own end does.
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1);
        while (value.startsWith(QLatin1Char(' ')) || value.startsWith(QLatin1Char('\t')))
            value.remove(0, 1);
        if (key == QLatin1String("Exec") && !entry.exec)
            entry.exec = value;
        else if (key == QLatin1String("Hidden"))
            entry.hidden = value.trimmed() == QLatin1String("true");
    }
    return entry;
}

} // namespace

namespace mdlRunOnStart {


QString autostartFile()
{
    return AppPaths::configFolder() + QStringLiteral("/autostart/") + g_sAppName + QStringLiteral(".desktop");
}

// The Exec value as a desktop entry stores it: inside the quoted argument the
// characters the entry format reserves are escaped, "%" is doubled so it is
// no field code, and every backslash is escaped once more for the string.
QString execValue(const QString &program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    QString value = QLatin1Char('"') + quoted + QStringLiteral("\" -st");
    return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QString startCommand()
{
    return QLatin1Char('"') + QCoreApplication::applicationFilePath() + QStringLiteral("\" -st");
}

qint32 SetRunOnStartup(bool enable, QString *error)
{
    const QString file = autostartFile();
    if (!enable) {
        if (!QFileInfo::exists(file))
            return Registry::FileNotFound;
        return QFile::remove(file) ? Registry::Success : Registry::AccessDenied;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Exec=%2\n")
                              .arg(g_sAppName, execValue(QCoreApplication::applicationFilePath()));
    const QString failure = SafeWrite::replaceFile(file, entry.toUtf8());
    if (error)
        *error = failure;
    return failure.isEmpty() ? -1 : 0;
}

bool IsRunOnStartup()
{
    QFile file(autostartFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const EntryLines entry = readEntry(file.readAll());
    return !entry.hidden && entry.exec == execValue(QCoreApplication::applicationFilePath());
}

} // namespace mdlRunOnStart
