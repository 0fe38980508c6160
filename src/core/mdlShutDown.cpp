#include "core/mdlShutDown.h"

#include "core/WindowPlace.h"
#include "core/frmTurnOff.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstring>

namespace mdlShutDown {
namespace {

ErrorRecord g_lastError;

void raise(qint32 number, const QString &description)
{
    g_lastError.Number = number;
    g_lastError.Source = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
        + QStringLiteral(".mShutDown");
    g_lastError.Description = description;
}

Power::Action actionFor(qint32 flags)
{
    if (flags & EWX_REBOOT)
        return Power::Action::Reboot;
    if (flags & (EWX_SHUTDOWN | EWX_POWEROFF))
        return Power::Action::PowerOff;
    return Power::Action::LogOff;
}

bool enablePrivilegeFor(Power::Action action)
{
    QString reason;
    if (Services::instance().power().mayAct(action, &reason))
        return true;
    raise(ErrNoPrivilege, QStringLiteral("Can't enable shutdown: You do not have the privileges to ")
                              + QStringLiteral("shutdown this system. [") + reason + QLatin1Char(']'));
    return false;
}

} // namespace

void ShowTurnOff(qint32 seconds)
{
    frmTurnOff window;
    window.StartShutDown(seconds);
    WindowPlace::centreOnScreen(&window);
    window.exec();
}

bool ShutdownSystem(qint32 flags)
{
    if (flags < 0 || flags > 31) {
        raise(ErrInvalidParameter, QStringLiteral("Invalid parameter to ShutdownSystem: ") + QString::number(flags));
        return false;
    }
    const Power::Action action = actionFor(flags);
    if (IsWinNT() && !enablePrivilegeFor(action))
        return false;
    QString reason;
    if (Services::instance().power().act(action, &reason))
        return true;
    raise(ErrShutdownFailed, QStringLiteral("ShutdownSystem failed: ") + reason);
    return false;
}

bool EnableShutdownPrivilege()
{
    return enablePrivilegeFor(Power::Action::PowerOff);
}

bool IsWinNT()
{
    return true;
}

QString ApiErrorText(qint32 code)
{
    if (code <= 0)
        return {};
    const QString text = QString::fromLocal8Bit(std::strerror(code));
    // The C library names numbers it does not know "Unknown error N".
    if (text.startsWith(QLatin1String("Unknown error")))
        return {};
    return text;
}

const ErrorRecord &LastError()
{
    return g_lastError;
}

void ClearError()
{
    g_lastError = {};
}

} // namespace mdlShutDown
