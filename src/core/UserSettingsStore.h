#pragma once

#include <QString>

// The per-user store of the few texts kept outside the settings root, one INI
// file per application key under the user's configuration folder
// (<config>/Sonvale/<application key>.ini), one group per section.
namespace UserSettingsStore {

// The stored text, or defaultValue when the entry was never saved.
QString Get(const QString &appKey, const QString &section, const QString &key,
            const QString &defaultValue = QString());
// Stores the text, creating the file and its folder; false when it could not
// be written, the old file kept and error, when given, telling why.
bool Save(const QString &appKey, const QString &section, const QString &key, const QString &text,
          QString *error = nullptr);

// The file that holds one application key's entries.
QString storeFile(const QString &appKey);

// One entry the program keeps here, with the text it reads as when never saved.
struct Entry {
    QString appKey;
    QString section;
    QString key;
    QString defaultValue;
};

QString Get(const Entry &entry);
bool Save(const Entry &entry, const QString &text, QString *error = nullptr);

// The open-file dialog's last folder; never saved, it is the user's home folder.
Entry lastOpenFolder();
// The data CD burner window's engine list index ("0").
Entry burnerEngine();
// The audio CD burner window's "open the drive" check box ("0").
Entry openCdDrive();
// The text-to-speech window's format ("SAFT22kHz16BitMono") and voice (empty).
Entry speechFormat();
Entry speechVoice();

} // namespace UserSettingsStore
