#include "platform/Registry.h"

#include "platform/AppPaths.h"
#include "platform/SafeWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

const QString kValueSuffix = QStringLiteral(".val");
const QByteArray kMagic = QByteArrayLiteral("SONVALE-REGISTRY-VALUE 1\n");

QStringList levels(const QString &path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// The existing child folder whose name matches without regard to case.
std::optional<QString> findChild(const QString &folder, const QString &name)
{
    const QStringList children = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &child : children) {
        if (child.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + child;
    }
    return std::nullopt;
}

// A root's folder is made by the first key created under it: reading a
// registry that was never written leaves nothing behind.
std::optional<QString> rootFolder(qint32 root)
{
    const QString name = Registry::rootName(root);
    if (name.isEmpty())
        return std::nullopt;
    return AppPaths::registryFolder() + QLatin1Char('/') + name;
}

std::optional<QString> keyFolder(qint32 root, const QString &path)
{
    std::optional<QString> folder = rootFolder(root);
    if (!folder)
        return std::nullopt;
    for (const QString &level : levels(path)) {
        folder = findChild(*folder, level);
        if (!folder)
            return std::nullopt;
    }
    return folder;
}

bool validLevel(const QString &level)
{
    return level != QLatin1String(".") && level != QLatin1String("..") && !level.contains(QLatin1Char('/'));
}

QString valueFileName(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("@") + kValueSuffix;
    QByteArray encoded = QUrl::toPercentEncoding(name.toLower());
    // File names end at 255 bytes while value names may be far longer (and
    // every non-ASCII letter takes six bytes here): long names keep a readable
    // head and a digest of the whole name.
    if (encoded.size() > 200)
        encoded = encoded.left(120) + '~' + QCryptographicHash::hash(encoded, QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(encoded) + kValueSuffix;
}

std::optional<Registry::Value> readValueFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray all = f.readAll();
    if (!all.startsWith(kMagic))
        return std::nullopt;
    const qsizetype typeEnd = all.indexOf('\n', kMagic.size());
    const qsizetype nameEnd = typeEnd < 0 ? -1 : all.indexOf('\n', typeEnd + 1);
    if (nameEnd < 0)
        return std::nullopt;
    Registry::Value value;
    bool ok = false;
    value.type = all.mid(kMagic.size(), typeEnd - kMagic.size()).toInt(&ok);
    if (!ok)
        return std::nullopt;
    value.name = QUrl::fromPercentEncoding(all.mid(typeEnd + 1, nameEnd - typeEnd - 1));
    value.data = all.mid(nameEnd + 1);
    return value;
}

} // namespace

namespace Registry {

QString rootName(qint32 root)
{
    switch (static_cast<quint32>(root)) {
    case 0x80000000u: return QStringLiteral("HKEY_CLASSES_ROOT");
    case 0x80000001u: return QStringLiteral("HKEY_CURRENT_USER");
    case 0x80000002u: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case 0x80000003u: return QStringLiteral("HKEY_USERS");
    default: return QString();
    }
}

bool keyExists(qint32 root, const QString &path)
{
    return keyFolder(root, path).has_value();
}

int createKey(qint32 root, const QString &path)
{
    std::optional<QString> folder = rootFolder(root);
    if (!folder)
        return InvalidHandle;
    const QStringList wanted = levels(path);
    if (!std::all_of(wanted.cbegin(), wanted.cend(), validLevel))
        return AccessDenied;
    if (keyFolder(root, path))
        return Success;
    if (!QDir().mkpath(*folder))
        return AccessDenied;

    // Two processes may create one key under different letter case at once;
    // looking and making must be one step, or both make a folder of their own.
    QLockFile lock(AppPaths::registryFolder() + QStringLiteral("/.keys.lock"));
    if (!lock.lock())
        return AccessDenied;
    for (const QString &level : wanted) {
        std::optional<QString> child = findChild(*folder, level);
        if (!child) {
            const QString created = *folder + QLatin1Char('/') + level;
            if (!QDir().mkdir(created))
                return AccessDenied;
            child = created;
        }
        folder = child;
    }
    return Success;
}

int deleteKey(qint32 root, const QString &path)
{
    if (levels(path).isEmpty())
        return AccessDenied;
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return FileNotFound;
    if (!QDir(*folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        return KeyHasSubkeys;
    return QDir(*folder).removeRecursively() ? Success : AccessDenied;
}

int queryValue(qint32 root, const QString &path, const QString &name, Value *out)
{
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return FileNotFound;
    const std::optional<Value> value = readValueFile(*folder + QLatin1Char('/') + valueFileName(name));
    if (!value)
        return FileNotFound;
    if (out)
        *out = *value;
    return Success;
}

int setValue(qint32 root, const QString &path, const QString &name, qint32 type, const QByteArray &data,
             QString *error)
{
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return FileNotFound;
    // Only a root's folder can be missing here.
    QDir().mkpath(*folder);
    const QString file = *folder + QLatin1Char('/') + valueFileName(name);
    // A value keeps the case of the name it was created with.
    QString storedName = name;
    if (const std::optional<Value> old = readValueFile(file))
        storedName = old->name;
    const QString failure = SafeWrite::replaceFile(
        file, kMagic + QByteArray::number(type) + '\n' + QUrl::toPercentEncoding(storedName) + '\n' + data);
    if (error)
        *error = failure;
    return failure.isEmpty() ? Success : AccessDenied;
}

int deleteValue(qint32 root, const QString &path, const QString &name)
{
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return FileNotFound;
    QFile file(*folder + QLatin1Char('/') + valueFileName(name));
    if (!file.exists())
        return FileNotFound;
    return file.remove() ? Success : AccessDenied;
}

QStringList subkeys(qint32 root, const QString &path)
{
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return {};
    QStringList names = QDir(*folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QList<Value> values(qint32 root, const QString &path)
{
    const std::optional<QString> folder = keyFolder(root, path);
    if (!folder)
        return {};
    QList<Value> result;
    const QStringList files = QDir(*folder).entryList({QStringLiteral("*") + kValueSuffix}, QDir::Files | QDir::Hidden);
    for (const QString &file : files) {
        if (const std::optional<Value> value = readValueFile(*folder + QLatin1Char('/') + file))
            result << *value;
    }
    std::sort(result.begin(), result.end(), [](const Value &a, const Value &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return result;
}

} // namespace Registry
