#pragma once

#include "platform/Services.h"

#include <QList>
#include <QStringList>

#include <functional>

// A prompter that answers from queues and records every question. With an
// empty queue a message box answers its first button and a dialog is cancelled.
class ScriptedPrompter : public Prompter {
public:
    int message(const MessageRequest &request) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &preset) override;
    QStringList openFiles(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    std::optional<ColorAnswer> chooseColor(const ColorRequest &request) override;
    QString browseFolder(const QString &title, const QString &startFolder, bool statusText) override;

    QStringList messageTexts() const;

    QList<int> answers;
    QList<MessageRequest> messages;
    // Runs while a message box is up, as the user would act at that moment.
    std::function<void(const MessageRequest &)> whileShown;
    QList<std::optional<QString>> inputAnswers;
    QStringList inputPrompts;
    QList<QStringList> openAnswers;
    QList<FileDialogRequest> openRequests;
    QStringList saveAnswers;
    QList<FileDialogRequest> saveRequests;
    QList<std::optional<ColorAnswer>> colorAnswers;
    QList<ColorRequest> colorRequests;
    QStringList folderAnswers;
    QStringList folderRequests;
    QList<bool> folderStatusTexts;
};

class RecordingShell : public Shell {
public:
    bool open(const QString &target) override { opened << target; return result; }
    QStringList opened;
    bool result = true;
};

class RecordingLauncher : public Launcher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        bool minimized;
    };
    bool start(const QString &program, const QStringList &arguments, bool minimized) override
    {
        starts.append({program, arguments, minimized});
        return result;
    }
    QList<Start> starts;
    bool result = true;
};

class RecordingSound : public Sound {
public:
    bool play(const QString &file) override { played << file; return true; }
    QStringList played;
};

class RecordingPower : public Power {
public:
    bool mayAct(Action action, QString *error) override;
    bool act(Action action, QString *error) override;
    QList<Action> asked;   // mayAct calls
    QList<Action> actions; // act calls
    bool allowed = true;
    bool succeeds = true;
    QString refusal = QStringLiteral("A required privilege is not held by the client.");
};

class ScriptedTray : public Tray {
    Q_OBJECT
public:
    bool isAvailable() const override { return available; }
    void setIcon(const QIcon &) override {}
    void setToolTip(const QString &text) override { toolTip = text; }
    void setVisible(bool v) override { visible = v && available; }
    bool isVisible() const override { return visible; }
    void setContextMenu(QMenu *m) override { menu = m; }
    void showMessage(const QString &title, const QString &text) override { balloons << title + QLatin1Char('|') + text; }
    void click(int button) { Q_EMIT clicked(button); }

    bool available = true;
    bool visible = false;
    QString toolTip;
    QMenu *menu = nullptr;
    QStringList balloons;
};

// The doubles installed for the running test.
struct TestServices {
    ScriptedPrompter *prompter = nullptr;
    RecordingShell *shell = nullptr;
    RecordingLauncher *launcher = nullptr;
    RecordingSound *sound = nullptr;
    RecordingPower *power = nullptr;
    ScriptedTray *tray = nullptr;
};

TestServices &testServices();
void installTestServices();
