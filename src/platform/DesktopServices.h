#pragma once

#include "platform/Shell.h"
#include "platform/Tray.h"

#include <memory>

class QSoundEffect;
class QSystemTrayIcon;

class DesktopShell : public Shell {
public:
    bool open(const QString &target) override;
};

class ProcessLauncher : public Launcher {
public:
    bool start(const QString &program, const QStringList &arguments, bool minimized) override;
};

class EffectSound : public Sound {
public:
    EffectSound();
    ~EffectSound() override;
    bool play(const QString &file) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

// Power-off, restart and log-off through systemd-logind.
class LogindPower : public Power {
public:
    bool mayAct(Action action, QString *error) override;
    bool act(Action action, QString *error) override;
};

class SystemTray : public Tray {
    Q_OBJECT
public:
    SystemTray();
    ~SystemTray() override;
    bool isAvailable() const override;
    void setIcon(const QIcon &icon) override;
    void setToolTip(const QString &text) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void setContextMenu(QMenu *menu) override;
    void showMessage(const QString &title, const QString &text) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
