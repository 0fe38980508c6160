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

    // The object's key is KeyRoot + "\" + Subkey; an empty Subkey names KeyRoot.
    bool KeyExists() const;
    // Creates KeyRoot + "\" + KeyName (Subkey when KeyName is null) with its
    // missing parents: "0" on success, empty on failure.
    QString CreateKey(const QString &KeyName = QString()) const;
    // Registry::Result codes: 0 done, 2 absent, 1020 the key has subkeys.
    qint32 DeleteKey(const QString &KeyName) const;
    qint32 DeleteValue(const QString &ValueName) const;
    // Names of the direct subkeys (of the root itself when KeyName is empty).
    QStringList EnumRegistryKeys(qint32 hkey, const QString &KeyName) const;
    // (name, data) of every value of the key: texts, DWORDs as numbers, binary
    // data as blank-separated hexadecimal bytes, multi-strings joined by ",".
    QList<QPair<QString, QVariant>> EnumRegistryValues(qint32 hkey, const QString &KeyName) const;
    // A text (QString), a number (qint32), bytes (QByteArray), the default, or
    // an invalid QVariant when absent and no default was given.
    QVariant GetRegistryValue(const QString &ValueName, const QVariant &DefaultValue = QVariant()) const;
    // Writes into an existing key only; false when nothing was stored. A DType
    // this class does not write (REG_NONE, 5, ...) stores nothing and answers true.
    bool SetRegistryValue(const QString &ValueName, const QVariant &value, qint32 DType) const;
    // Only this machine can be reached ("", ".", "localhost" or its host
    // name); any other computer answers "Error!" / false.
    QVariant ReadRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                     const QString &KeyPath = QString()) const;
    bool WriteRemoteRegistryValue(const QString &sRemoteComputer, qint32 hkey, const QString &ValueName,
                                  const QVariant &value, qint32 DType, const QString &KeyPath = QString()) const;
    // Cuts item before its first NUL, in place, and answers it.
    static QString TrimNull(QString &item);

private:
    QString fullPath() const;

    qint32 m_hkey = 0;
    QString m_keyRoot;
    QString m_subkey;
};
