#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// Value types of the registry.
enum RegType : qint32 { REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7 };

// Predefined roots.
constexpr qint32 HKEY_CURRENT_USER = static_cast<qint32>(0x80000001u);
constexpr qint32 HKEY_LOCAL_MACHINE = static_cast<qint32>(0x80000002u);

// Names one key (root, path, last level) and reads, writes and deletes typed
// values under it. No handle is kept between calls; every member reports
// failure through its result and never throws.
class RegistryRoutines {
public:
    qint32 hkey() const { return m_hkey; }
    void setHkey(qint32 vData) { m_hkey = vData; }
    QString KeyRoot() const { return m_keyRoot; }
    void setKeyRoot(const QString &vData) { m_keyRoot = vData; }
    QString Subkey() const { return m_subkey; }
    void setSubkey(const QString &vData) { m_subkey = vData; }

    bool KeyExists() const;
    // "0" on success, empty on failure.
    QString CreateKey(const QString &KeyName = QString()) const;
    qint32 DeleteKey(const QString &KeyName) const;
    qint32 DeleteValue(const QString &ValueName) const;
    // Names of the direct subkeys (of the root itself when KeyName is empty).
    QStringList EnumRegistryKeys(qint32 hkey, const QString &KeyName) const;
    // (name, data) of every value of the key.
    QList<QPair<QString, QVariant>> EnumRegistryValues(qint32 hkey, const QString &KeyName) const;
    // A text (QString), a number (qint32), bytes (QByteArray), the default, or
    // an invalid QVariant when absent and no default was given.
    QVariant GetRegistryValue(const QString &ValueName, const QVariant &DefaultValue = QVariant()) const;
    bool SetRegistryValue(const QString &ValueName, const QVariant &value, qint32 DType) const;
    QVariant ReadRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                     const QString &KeyPath = QString()) const;
    bool WriteRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                  const QVariant &value, qint32 DType, const QString &KeyPath = QString()) const;
    static QString TrimNull(QString &item);

private:
    qint32 m_hkey = 0;
    QString m_keyRoot;
    QString m_subkey;
};
