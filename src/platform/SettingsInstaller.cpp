#include "platform/SettingsInstaller.h"

#include "platform/AppPaths.h"
#include "platform/Registry.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace SettingsInstaller {

QString definitionFile()
{
    return AppPaths::resourceFolder() + QStringLiteral("/settings/settings-root.reg");
}

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// [ROOT\path] starts a key.
const QRegularExpression &keyLinePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\[([A-Z_]+)\\(.*)\]$)"));
    return pattern;
}

std::optional<qint32> rootOfName(const QString &name)
{
    for (quint32 h = 0x80000000u; h <= 0x80000003u; ++h) {
        if (Registry::rootName(static_cast<qint32>(h)) == name)
            return static_cast<qint32>(h);
    }
    return std::nullopt;
}

} // namespace

bool install(QString *error, const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(error, QStringLiteral("Cannot read %1: %2").arg(file, in.errorString()));

    // "name"="text" sets a text value when absent.
    const QRegularExpression &keyLine = keyLinePattern();
    static const QRegularExpression valueLine(QStringLiteral(R"re(^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$)re"));
    qint32 root = 0;
    QString path;
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (const auto m = keyLine.match(line); m.hasMatch()) {
            root = rootOfName(m.captured(1)).value_or(0);
            if (root == 0)
                return fail(error, QStringLiteral("%1:%2: unknown root %3").arg(file).arg(lineNo).arg(m.captured(1)));
            path = m.captured(2);
            if (Registry::createKey(root, path) != Registry::Success)
                return fail(error, QStringLiteral("Cannot create the key %1").arg(path));
            continue;
        }
        if (const auto m = valueLine.match(line); m.hasMatch() && root != 0) {
            auto unescape = [](QString s) {
                return s.replace(QStringLiteral("\\\""), QStringLiteral("\"")).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            };
            const QString name = unescape(m.captured(1));
            if (Registry::queryValue(root, path, name, nullptr) == Registry::Success)
                continue;
            const QByteArray data = unescape(m.captured(2)).toUtf8() + '\0';
            if (Registry::setValue(root, path, name, 1, data) != Registry::Success)
                return fail(error, QStringLiteral("Cannot write %1 under %2").arg(name, path));
            continue;
        }
        return fail(error, QStringLiteral("%1:%2: cannot read this line").arg(file).arg(lineNo));
    }
    return true;
}

bool isInstalled(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool anyKey = false;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        const auto m = keyLinePattern().match(line);
        if (!m.hasMatch())
            continue;
        const std::optional<qint32> root = rootOfName(m.captured(1));
        if (!root || !Registry::keyExists(*root, m.captured(2)))
            return false;
        anyKey = true;
    }
    return anyKey;
}

bool installIfMissing(QString *error, const QString &file)
{
    return isInstalled(file) || install(error, file);
}

} // namespace SettingsInstaller
