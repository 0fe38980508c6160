#pragma once

#include "platform/Prompter.h"

// Asks the user with Qt's own message boxes and dialogs.
class DesktopPrompter : public Prompter {
public:
    int message(const MessageRequest &request) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &preset) override;
    QStringList openFiles(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    std::optional<ColorAnswer> chooseColor(const ColorRequest &request) override;
    QString browseFolder(const QString &title, const QString &startFolder, bool statusText) override;
};

// "Audio|*.wav;*.mp3|All|*.*" as Qt's filter list.
QStringList qtFilters(const QString &filter);
