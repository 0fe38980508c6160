#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>

namespace {

QString fromEnv(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

QString homeFolder()
{
    const QString home = fromEnv("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

QString dataHome()
{
    const QString env = fromEnv("XDG_DATA_HOME");
    return env.isEmpty() ? homeFolder() + QStringLiteral("/.local/share") : env;
}

QString cacheHome()
{
    const QString env = fromEnv("XDG_CACHE_HOME");
    return env.isEmpty() ? homeFolder() + QStringLiteral("/.cache") : env;
}

QString stripSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

namespace AppPaths {

QString programFolder()
{
    QString folder = fromEnv("SONVALE_HOME");
    if (folder.isEmpty())
        folder = dataHome() + QStringLiteral("/Sonvale");
    folder = stripSlash(folder);
    QDir().mkpath(folder);
    return folder;
}

QString cacheFolder()
{
    return stripSlash(cacheHome()) + QStringLiteral("/Sonvale");
}

QString resourceFolder()
{
    const QString env = fromEnv("SONVALE_RESOURCES");
    if (!env.isEmpty())
        return stripSlash(env);
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/resources");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString shared = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/sonvale");
    if (QFileInfo(shared).isDir())
        return QDir::cleanPath(shared);
    return beside;
}

QString configFolder()
{
    const QString env = fromEnv("XDG_CONFIG_HOME");
    return stripSlash(env.isEmpty() ? homeFolder() + QStringLiteral("/.config") : env);
}

QString defaultDestinationFolder()
{
    QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty())
        music = homeFolder() + QStringLiteral("/Music");
    return stripSlash(music) + QStringLiteral("/Sonvale/");
}

void makeDefaultDestination(const QString &folder)
{
    const QString wanted = QDir::cleanPath(defaultDestinationFolder());
    if (QDir::cleanPath(folder) == wanted && !QFileInfo(wanted).isDir())
        QDir().mkpath(wanted);
}

QString registryFolder()
{
    const QString env = fromEnv("SONVALE_REGISTRY_DIR");
    if (!env.isEmpty())
        return stripSlash(env);
    return configFolder() + QStringLiteral("/Sonvale/registry");
}

} // namespace AppPaths

namespace Twips {

int toPixels(int twips)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / perPixel));
}

} // namespace Twips
