#include "core/RegistryRoutines.h"

#include "platform/Registry.h"

#include <QSysInfo>
#include <QtEndian>

#include <cmath>
#include <limits>
#include <optional>

namespace {

const QChar kNul(u'\0');

QString joinPath(const QString &first, const QString &second)
{
    // Empty levels are ignored by the registry, so an empty second part names
    // the first key itself.
    return first + QLatin1Char('\\') + second;
}

// A stored text keeps its terminating NUL; a value written by someone else
// may lack it, and then its last character is data, not a terminator.
QByteArray withoutTerminator(QByteArray data)
{
    if (data.endsWith('\0'))
        data.chop(1);
    return data;
}

QString textOf(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

QString cutAtNul(QString text)
{
    return RegistryRoutines::TrimNull(text);
}

// Replaces every %NAME% whose variable is set; anything else stays as it is.
QString expandEnvironment(const QString &text)
{
    QString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
        if (open < 0) {
            result += text.mid(pos);
            break;
        }
        result += text.mid(pos, open - pos);
        const qsizetype close = text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            result += text.mid(open);
            break;
        }
        const QString name = text.mid(open + 1, close - open - 1);
        const QByteArray variable = name.toLocal8Bit();
        if (!name.isEmpty() && qEnvironmentVariableIsSet(variable.constData())) {
            result += qEnvironmentVariable(variable.constData());
            pos = close + 1;
        } else {
            // The closing "%" may open the next reference.
            result += text.mid(open, close - open);
            pos = close;
        }
    }
    return result;
}

// The registry stores a multi-string's list followed by an empty string; a
// writer that forgot the final NUL must not cost the last string.
QString multiStringText(QByteArray data)
{
    for (int i = 0; i < 2 && data.endsWith('\0'); ++i)
        data.chop(1);
    return textOf(data);
}

QVariant convertValue(const Registry::Value &value, const QVariant &result)
{
    const QByteArray &data = value.data;
    switch (value.type) {
    case REG_SZ:
        if (data.isEmpty())
            return result;
        return textOf(withoutTerminator(data));
    case REG_EXPAND_SZ:
        if (data.isEmpty())
            return result;
        return expandEnvironment(cutAtNul(textOf(withoutTerminator(data))));
    case REG_BINARY:
        return data;
    case REG_DWORD: {
        // A short value reads as if the missing high bytes were zero.
        QByteArray bytes = data.left(4);
        bytes.append(4 - bytes.size(), '\0');
        return qFromLittleEndian<qint32>(bytes.constData());
    }
    case REG_MULTI_SZ: {
        const QString text = multiStringText(data);
        if (cutAtNul(text).isEmpty())
            return result;
        return text;
    }
    default:
        return result;
    }
}

QVariant readValue(qint32 hkey, const QString &path, const QString &name, const QVariant &defaultValue)
{
    Registry::Value value;
    if (Registry::queryValue(hkey, path, name, &value) != Registry::Success)
        return defaultValue;
    return convertValue(value, defaultValue);
}

std::optional<qint32> dwordOf(const QVariant &value)
{
    // True is -1 throughout the settings, as in every stored flag.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    bool ok = false;
    const qint64 whole = value.toLongLong(&ok);
    if (ok && whole >= std::numeric_limits<qint32>::min() && whole <= std::numeric_limits<quint32>::max())
        return static_cast<qint32>(static_cast<quint32>(whole));
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return static_cast<qint32>(static_cast<quint32>(static_cast<qint64>(rounded)));
}

QString textOfValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

bool writeValue(qint32 hkey, const QString &path, const QString &name, const QVariant &value, qint32 type)
{
    if (!Registry::keyExists(hkey, path))
        return false;
    QByteArray data;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        data = textOfValue(value).toUtf8();
        if (!data.endsWith('\0'))
            data.append('\0');
        break;
    case REG_BINARY:
        // Anything but bytes would be stored as something the caller never meant.
        if (value.typeId() != QMetaType::QByteArray)
            return false;
        data = value.toByteArray();
        break;
    case REG_DWORD: {
        const std::optional<qint32> number = dwordOf(value);
        if (!number)
            return false;
        data.resize(4);
        qToLittleEndian<qint32>(*number, data.data());
        break;
    }
    default:
        return true;
    }
    return Registry::setValue(hkey, path, name, type, data) == Registry::Success;
}

// Only this machine's registry can be reached.
bool isLocalComputer(QString name)
{
    while (name.startsWith(QLatin1Char('\\')))
        name.remove(0, 1);
    name = name.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        return false;
    return name.compare(host, Qt::CaseInsensitive) == 0
        || name.compare(host.section(QLatin1Char('.'), 0, 0), Qt::CaseInsensitive) == 0;
}

QString hexBytes(const QByteArray &data)
{
    QStringList bytes;
    bytes.reserve(data.size());
    for (const char byte : data)
        bytes << QStringLiteral("%1").arg(static_cast<uint>(static_cast<uchar>(byte)), 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
}

QVariant listedData(const Registry::Value &value)
{
    switch (value.type) {
    case REG_SZ:
        return textOf(withoutTerminator(value.data));
    case REG_EXPAND_SZ:
        return cutAtNul(expandEnvironment(cutAtNul(textOf(withoutTerminator(value.data)))));
    case REG_BINARY:
        return hexBytes(value.data);
    case REG_DWORD:
        return convertValue(value, QVariant());
    case REG_MULTI_SZ:
        return multiStringText(value.data).replace(kNul, QLatin1Char(','));
    default:
        return QVariant();
    }
}

} // namespace

QString RegistryRoutines::fullPath() const
{
    return joinPath(m_keyRoot, m_subkey);
}

bool RegistryRoutines::KeyExists() const
{
    return Registry::keyExists(m_hkey, fullPath());
}

QString RegistryRoutines::CreateKey(const QString &KeyName) const
{
    const QString name = KeyName.isNull() ? m_subkey : KeyName;
    return Registry::createKey(m_hkey, joinPath(m_keyRoot, name)) == Registry::Success ? QStringLiteral("0") : QString();
}

qint32 RegistryRoutines::DeleteKey(const QString &KeyName) const
{
    return Registry::deleteKey(m_hkey, joinPath(m_keyRoot, KeyName));
}

qint32 RegistryRoutines::DeleteValue(const QString &ValueName) const
{
    return Registry::deleteValue(m_hkey, fullPath(), ValueName);
}

QStringList RegistryRoutines::EnumRegistryKeys(qint32 hkey, const QString &KeyName) const
{
    return Registry::subkeys(hkey, KeyName);
}

QList<QPair<QString, QVariant>> RegistryRoutines::EnumRegistryValues(qint32 hkey, const QString &KeyName) const
{
    QList<QPair<QString, QVariant>> entries;
    const QList<Registry::Value> values = Registry::values(hkey, KeyName);
    entries.reserve(values.size());
    for (const Registry::Value &value : values)
        entries.append({value.name, listedData(value)});
    return entries;
}

QVariant RegistryRoutines::GetRegistryValue(const QString &ValueName, const QVariant &DefaultValue) const
{
    return readValue(m_hkey, fullPath(), ValueName, DefaultValue);
}

bool RegistryRoutines::SetRegistryValue(const QString &ValueName, const QVariant &value, qint32 DType) const
{
    return writeValue(m_hkey, fullPath(), ValueName, value, DType);
}

QVariant RegistryRoutines::ReadRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                                   const QString &KeyPath) const
{
    if (!isLocalComputer(sRemoteComputer) || Registry::rootName(hkey).isEmpty())
        return QStringLiteral("Error!");
    return readValue(hkey, KeyPath, ValueName, QVariant());
}

bool RegistryRoutines::WriteRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                                const QVariant &value, qint32 DType, const QString &KeyPath) const
{
    if (!isLocalComputer(sRemoteComputer))
        return false;
    return writeValue(hkey, KeyPath, ValueName, value, DType);
}

QString RegistryRoutines::TrimNull(QString &item)
{
    const qsizetype nul = item.indexOf(kNul);
    if (nul >= 0)
        item.truncate(nul);
    return item;
}
