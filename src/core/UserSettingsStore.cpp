#include "core/UserSettingsStore.h"

#include "core/mdlModes.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QUrl>

namespace {

// Application keys are names, not paths: anything that could leave the folder
// or trouble the file system is percent-encoded.
QString fileNameOf(const QString &appKey)
{
    QString name = QString::fromLatin1(QUrl::toPercentEncoding(appKey, " ()+,;=@[]{}'!&~"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name;
}

QString entryKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

// What a save killed half-way leaves beside the file: the writer's temporary
// ("<file>.XXXXXX"), its lock ("<file>.lock") and the lock taken while a
// stale lock is removed ("<file>.lock.rmlock", and so on). The settings
// writer makes its temporary only while it holds that lock, so with the lock
// taken here every temporary of the file is a dead save's; a live save
// elsewhere holds the lock, and its files are left alone.
void removeStaleSaves(const QString &file)
{
    QLockFile lock(file + QStringLiteral(".lock"));
    // Stale only once its process is gone, however long a live save takes.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return;
    const QFileInfo info(file);
    const QRegularExpression temporary(QStringLiteral("^%1\\.([A-Za-z0-9]{6}|lock(\\.rmlock)+)$")
                                           .arg(QRegularExpression::escape(info.fileName())));
    QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (temporary.match(name).hasMatch())
            folder.remove(name);
    }
}

} // namespace

namespace UserSettingsStore {

QString storeFile(const QString &appKey)
{
    return AppPaths::configFolder() + QStringLiteral("/Sonvale/") + fileNameOf(appKey) + QStringLiteral(".ini");
}

QString Get(const QString &appKey, const QString &section, const QString &key, const QString &defaultValue)
{
    const QString file = storeFile(appKey);
    if (!QFileInfo::exists(file))
        return defaultValue;
    const QSettings store(file, QSettings::IniFormat);
    const QVariant value = store.value(entryKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited line "a, b" reads back as a list; it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool Save(const QString &appKey, const QString &section, const QString &key, const QString &text)
{
    const QString file = storeFile(appKey);
    QDir().mkpath(QFileInfo(file).absolutePath());
    removeStaleSaves(file);
    QSettings store(file, QSettings::IniFormat);
    store.setValue(entryKey(section, key), text);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString Get(const Entry &entry)
{
    return Get(entry.appKey, entry.section, entry.key, entry.defaultValue);
}

bool Save(const Entry &entry, const QString &text)
{
    return Save(entry.appKey, entry.section, entry.key, text);
}

Entry lastOpenFolder()
{
    // A first open dialog starts in the home folder.
    return {QStringLiteral("Quorvel"), QStringLiteral("path"), QStringLiteral("last_path"), QDir::homePath()};
}

Entry burnerEngine()
{
    return {g_sAppName, QStringLiteral("BurnerEngine"), QStringLiteral("cmbEngine"), QStringLiteral("0")};
}

Entry openCdDrive()
{
    return {g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive"), QStringLiteral("0")};
}

Entry speechFormat()
{
    return {g_sAppName, QStringLiteral("TTS"), QStringLiteral("Format"), QStringLiteral("SAFT22kHz16BitMono")};
}

Entry speechVoice()
{
    return {g_sAppName, QStringLiteral("TTS"), QStringLiteral("Voice"), QString()};
}

} // namespace UserSettingsStore
