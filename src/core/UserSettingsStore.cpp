#include "core/UserSettingsStore.h"

#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "platform/SafeWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QStringList>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>

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

// What a save killed half-way leaves: the checked writer's temporary beside
// the file ("<file>.XXXXXX"), the lock saves of earlier versions took beside
// it ("<file>.lock", and "<file>.lock.rmlock"... from removing a stale one)
// and this file's scratch folders. Called with the save lock held, so no
// live save of this file owns any of them; another program's names never
// match.
void removeStaleSaves(const QString &file, const QString &scratchPrefix)
{
    const QFileInfo info(file);
    const QRegularExpression temporary(QStringLiteral("^%1\\.([A-Za-z0-9]{6}|lock(\\.rmlock)+)$")
                                           .arg(QRegularExpression::escape(info.fileName())));
    QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (temporary.match(name).hasMatch())
            folder.remove(name);
    }
    const QFileInfo scratch(scratchPrefix);
    const QStringList scratches = scratch.absoluteDir().entryList({scratch.fileName() + QStringLiteral("??????")},
                                                                  QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : scratches)
        QDir(scratch.absoluteDir().filePath(name)).removeRecursively();
}

// Saves in every process take turns on the settings folder itself: locking
// it creates no file, so it needs no room on a full disk, and the kernel lets
// go of it when its holder dies, so a save killed half-way never holds up the
// next one.
class FolderLock {
public:
    explicit FolderLock(const QString &folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd < 0)
            return;
        int taken;
        do {
            taken = ::flock(m_fd, LOCK_EX);
        } while (taken != 0 && errno == EINTR);
        if (taken != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

// QSettings writes its file through a QSaveFile it never flushes before the
// commit: on a full disk the failure goes unreported and an emptied file
// replaces the old one. So QSettings only makes the new text, in a scratch
// copy elsewhere; that copy is read back whole, and only then put in place
// by a write that checks every step.
QString saveEntry(const QString &file, const QString &key, const QString &text)
{
    const FolderLock lock(QFileInfo(file).absolutePath());
    if (!lock.held())
        return QStringLiteral("Cannot lock %1: %2").arg(QFileInfo(file).absolutePath(), QString::fromLocal8Bit(strerror(errno)));
    const QByteArray id = QCryptographicHash::hash(QFile::encodeName(file), QCryptographicHash::Sha1).toHex().left(16);
    const QString scratchPrefix = QDir::tempPath() + QStringLiteral("/sonvale-ini-%1-").arg(QString::fromLatin1(id));
    removeStaleSaves(file, scratchPrefix);
    QByteArray old;
    if (QFile in(file); in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return in.errorString();
        old = in.readAll();
        if (in.error() != QFileDevice::NoError)
            return in.errorString();
    }
    const QTemporaryDir scratch(scratchPrefix + QStringLiteral("XXXXXX"));
    if (!scratch.isValid())
        return scratch.errorString();
    const QString copy = scratch.filePath(QStringLiteral("store.ini"));
    if (QString failure = SafeWrite::replaceFile(copy, old); !failure.isEmpty())
        return failure;
    QMap<QString, QVariant> wanted;
    {
        QSettings store(copy, QSettings::IniFormat);
        store.setValue(key, text);
        store.sync();
        if (store.status() != QSettings::NoError)
            return QStringLiteral("The settings could not be written");
        for (const QString &k : store.allKeys())
            wanted.insert(k, store.value(k));
    }
    const QSettings written(copy, QSettings::IniFormat);
    if (written.status() != QSettings::NoError || written.allKeys().size() != wanted.size()
        || std::any_of(wanted.keyBegin(), wanted.keyEnd(),
                       [&](const QString &k) { return written.value(k) != wanted.value(k); }))
        return QStringLiteral("The settings could not be written in full");
    QFile made(copy);
    if (!made.open(QIODevice::ReadOnly))
        return made.errorString();
    return SafeWrite::replaceFile(file, made.readAll());
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

bool Save(const QString &appKey, const QString &section, const QString &key, const QString &text, QString *error)
{
    const QString file = storeFile(appKey);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QString failure = saveEntry(file, entryKey(section, key), text);
    if (error)
        *error = failure;
    return failure.isEmpty();
}

QString Get(const Entry &entry)
{
    return Get(entry.appKey, entry.section, entry.key, entry.defaultValue);
}

bool Save(const Entry &entry, const QString &text, QString *error)
{
    return Save(entry.appKey, entry.section, entry.key, text, error);
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
