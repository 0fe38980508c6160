#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Button sets, icons and answers of a message box, numbered as the windows'
// code has always numbered them, so a style is "buttons + icon + default".
namespace Msg {
enum Buttons { OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum Icon { NoIcon = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum DefaultButton { DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512 };
enum Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
}

struct MessageRequest {
    QString text;
    QString title;
    int style = 0; // Msg::Buttons | Msg::Icon | Msg::DefaultButton
    int buttons() const { return style & 0x0F; }
    int icon() const { return style & 0x70; }
    int defaultButton() const { return style & 0x300; }
};

struct FileDialogRequest {
    QString title;
    QString filter;        // "Name|*.a;*.b|Other|*.*"
    int filterIndex = 1;   // 1-based
    QString initialFolder;
    QString fileName;      // preset name (save) or empty
    QString defaultExtension;
    bool multiSelect = false;
    // The window the dialog belongs to (null: the active one); the dialog
    // opens centred on it when centreOnOwner is set, else on the screen.
    QWidget *owner = nullptr;
    bool centreOnOwner = false;
};

struct ColorRequest {
    QString title;
    QColor initial;
    QList<QColor> customColors; // up to 16
    QWidget *owner = nullptr;   // as for a file dialog
    bool centreOnOwner = false;
};

struct ColorAnswer {
    QColor color;
    QList<QColor> customColors;
};

// Every question the program asks the user goes through here, so tests can
// answer from a script and read back what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual int message(const MessageRequest &request) = 0;
    // Cancel answers std::nullopt.
    virtual std::optional<QString> input(const QString &prompt, const QString &title, const QString &preset) = 0;
    // Full paths of the chosen files; empty when cancelled.
    virtual QStringList openFiles(const FileDialogRequest &request) = 0;
    // The chosen path; empty when cancelled. Asks before overwriting.
    virtual QString saveFile(const FileDialogRequest &request) = 0;
    virtual std::optional<ColorAnswer> chooseColor(const ColorRequest &request) = 0;
    // The chosen folder; empty when cancelled. With statusText a line under
    // the folders names the selected one.
    virtual QString browseFolder(const QString &title, const QString &startFolder, bool statusText) = 0;
};

// The application title (product name, a blank and the short version) that a
// message box without a title of its own carries.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// A message box: text, style as above, and a title (empty: the application title).
int MsgBox(const QString &text, int style = Msg::OkOnly, const QString &title = QString());
