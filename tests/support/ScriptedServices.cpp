#include "support/ScriptedServices.h"

namespace {

int firstButtonAnswer(int buttons)
{
    switch (buttons) {
    case Msg::AbortRetryIgnore: return Msg::Abort;
    case Msg::YesNoCancel:
    case Msg::YesNo: return Msg::Yes;
    case Msg::RetryCancel: return Msg::Retry;
    default: return Msg::Ok;
    }
}

template <typename T>
T takeOr(QList<T> &queue, T fallback)
{
    return queue.isEmpty() ? fallback : queue.takeFirst();
}

} // namespace

int ScriptedPrompter::message(const MessageRequest &request)
{
    messages << request;
    if (whileShown)
        whileShown(request);
    return takeOr(answers, firstButtonAnswer(request.buttons()));
}

std::optional<QString> ScriptedPrompter::input(const QString &prompt, const QString &, const QString &)
{
    inputPrompts << prompt;
    return takeOr(inputAnswers, std::optional<QString>());
}

QStringList ScriptedPrompter::openFiles(const FileDialogRequest &request)
{
    openRequests << request;
    return takeOr(openAnswers, QStringList());
}

QString ScriptedPrompter::saveFile(const FileDialogRequest &request)
{
    saveRequests << request;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

std::optional<ColorAnswer> ScriptedPrompter::chooseColor(const ColorRequest &request)
{
    colorRequests << request;
    return takeOr(colorAnswers, std::optional<ColorAnswer>());
}

QString ScriptedPrompter::browseFolder(const QString &title, const QString &, bool statusText)
{
    folderRequests << title;
    folderStatusTexts << statusText;
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
}

QStringList ScriptedPrompter::messageTexts() const
{
    QStringList texts;
    for (const MessageRequest &m : messages)
        texts << m.text;
    return texts;
}

bool RecordingPower::mayAct(Action action, QString *error)
{
    asked << action;
    if (!allowed && error)
        *error = refusal;
    return allowed;
}

bool RecordingPower::act(Action action, QString *error)
{
    actions << action;
    if (!succeeds && error)
        *error = refusal;
    return succeeds;
}

TestServices &testServices()
{
    static TestServices services;
    return services;
}

void installTestServices()
{
    TestServices &t = testServices();
    auto prompter = std::make_unique<ScriptedPrompter>();
    auto shell = std::make_unique<RecordingShell>();
    auto launcher = std::make_unique<RecordingLauncher>();
    auto sound = std::make_unique<RecordingSound>();
    auto power = std::make_unique<RecordingPower>();
    auto tray = std::make_unique<ScriptedTray>();
    t = {prompter.get(), shell.get(), launcher.get(), sound.get(), power.get(), tray.get()};
    Services &s = Services::instance();
    s.setPrompter(std::move(prompter));
    s.setShell(std::move(shell));
    s.setLauncher(std::move(launcher));
    s.setSound(std::move(sound));
    s.setPower(std::move(power));
    s.setTray(std::move(tray));
}
