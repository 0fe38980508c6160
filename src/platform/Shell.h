#pragma once

#include <QString>
#include <QStringList>

// Opens a file, folder or web page with the desktop's own handler.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool open(const QString &target) = 0;
};

// Starts a program with its arguments; never through a shell.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool start(const QString &program, const QStringList &arguments, bool minimized = false) = 0;
};

// Plays a sound file asynchronously; an empty name stops what is playing.
class Sound {
public:
    virtual ~Sound() = default;
    virtual bool play(const QString &file) = 0;
};

// Turns the computer off, restarts it or ends the session.
class Power {
public:
    enum class Action { PowerOff, Reboot, LogOff };
    virtual ~Power() = default;
    // Whether the user may do it; the reason in *error when not.
    virtual bool mayAct(Action action, QString *error) = 0;
    virtual bool act(Action action, QString *error) = 0;
};
