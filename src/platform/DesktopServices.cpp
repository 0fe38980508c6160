#include "platform/DesktopServices.h"

#include "platform/DesktopPrompter.h"
#include "platform/Services.h"

#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QUrl>

bool DesktopShell::open(const QString &target)
{
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

bool ProcessLauncher::start(const QString &program, const QStringList &arguments, bool)
{
    // A desktop program cannot be asked to start minimised from here; the
    // window manager decides.
    return QProcess::startDetached(program, arguments);
}

EffectSound::EffectSound() = default;
EffectSound::~EffectSound() = default;

bool EffectSound::play(const QString &file)
{
    if (m_effect)
        m_effect->stop();
    if (file.isEmpty())
        return true;
    if (!QFileInfo::exists(file))
        return false;
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(file));
    m_effect->play();
    return true;
}

namespace {

const char *methodFor(Power::Action action, bool ask)
{
    switch (action) {
    case Power::Action::Reboot: return ask ? "CanReboot" : "Reboot";
    case Power::Action::PowerOff: return ask ? "CanPowerOff" : "PowerOff";
    case Power::Action::LogOff: return nullptr;
    }
    return nullptr;
}

} // namespace

bool LogindPower::mayAct(Action action, QString *error)
{
    const char *method = methodFor(action, true);
    if (!method)
        return true; // ending one's own session needs no privilege
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    QDBusReply<QString> reply = manager.call(QString::fromLatin1(method));
    if (!reply.isValid()) {
        if (error)
            *error = reply.error().message();
        return false;
    }
    if (reply.value() == QLatin1String("yes") || reply.value() == QLatin1String("challenge"))
        return true;
    if (error)
        *error = QStringLiteral("A required privilege is not held by the client.");
    return false;
}

bool LogindPower::act(Action action, QString *error)
{
    QDBusMessage reply;
    if (action == Action::LogOff) {
        QDBusInterface session(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1/session/auto"),
                               QStringLiteral("org.freedesktop.login1.Session"), QDBusConnection::systemBus());
        reply = session.call(QStringLiteral("Terminate"));
    } else {
        QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
        reply = manager.call(QString::fromLatin1(methodFor(action, false)), true);
    }
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error)
            *error = reply.errorMessage();
        return false;
    }
    return true;
}

SystemTray::SystemTray()
    : m_icon(std::make_unique<QSystemTrayIcon>())
{
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger: Q_EMIT clicked(1); break;
        case QSystemTrayIcon::Context: Q_EMIT clicked(2); break;
        case QSystemTrayIcon::MiddleClick: Q_EMIT clicked(4); break;
        case QSystemTrayIcon::DoubleClick: Q_EMIT doubleClicked(); break;
        default: break;
        }
    });
}

SystemTray::~SystemTray() = default;

bool SystemTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTray::setIcon(const QIcon &icon) { m_icon->setIcon(icon); }
void SystemTray::setToolTip(const QString &text) { m_icon->setToolTip(text); }
void SystemTray::setVisible(bool visible) { m_icon->setVisible(visible && isAvailable()); }
bool SystemTray::isVisible() const { return m_icon->isVisible(); }
void SystemTray::setContextMenu(QMenu *menu) { m_icon->setContextMenu(menu); }

void SystemTray::showMessage(const QString &title, const QString &text)
{
    if (isAvailable() && m_icon->isVisible())
        m_icon->showMessage(title, text);
}

Services &Services::instance()
{
    static Services services;
    return services;
}

void Services::installReal()
{
    setPrompter(std::make_unique<DesktopPrompter>());
    setShell(std::make_unique<DesktopShell>());
    setLauncher(std::make_unique<ProcessLauncher>());
    setSound(std::make_unique<EffectSound>());
    setPower(std::make_unique<LogindPower>());
    setTray(std::make_unique<SystemTray>());
}
