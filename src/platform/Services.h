#pragma once

#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/Tray.h"

#include <memory>

// The one place that holds what tests replace: the user's questions, opening
// things in the desktop, starting programs, sound, power-off and the tray.
class Services {
public:
    static Services &instance();

    Prompter &prompter() const { return *m_prompter; }
    Shell &shell() const { return *m_shell; }
    Launcher &launcher() const { return *m_launcher; }
    Sound &sound() const { return *m_sound; }
    Power &power() const { return *m_power; }
    Tray &tray() const { return *m_tray; }

    void setPrompter(std::unique_ptr<Prompter> p) { m_prompter = std::move(p); }
    void setShell(std::unique_ptr<Shell> s) { m_shell = std::move(s); }
    void setLauncher(std::unique_ptr<Launcher> l) { m_launcher = std::move(l); }
    void setSound(std::unique_ptr<Sound> s) { m_sound = std::move(s); }
    void setPower(std::unique_ptr<Power> p) { m_power = std::move(p); }
    void setTray(std::unique_ptr<Tray> t) { m_tray = std::move(t); }

    // Installs the desktop implementations of every seam.
    void installReal();

private:
    Services() = default;
    std::unique_ptr<Prompter> m_prompter;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<Sound> m_sound;
    std::unique_ptr<Power> m_power;
    std::unique_ptr<Tray> m_tray;
};
