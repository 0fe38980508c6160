#pragma once

#include <QString>

// What a package installer does for the settings: creates the keys listed in
// the shipped settings file. Keys and values already present are left as they
// are, so installing twice changes nothing.
namespace SettingsInstaller {
// The shipped file: resources/settings/settings-root.reg.
QString definitionFile();
bool install(QString *error = nullptr, const QString &file = definitionFile());

// True when every key the file names exists: the program can start.
bool isInstalled(const QString &file = definitionFile());
// A desktop start's first step: installs when a key is missing and leaves a
// complete settings root alone, so values the user removed stay removed.
bool installIfMissing(QString *error = nullptr, const QString &file = definitionFile());
}
