#pragma once

#include <QString>

// Turning the computer off at the end of a job: the countdown window and the
// request to the session manager.
namespace mdlShutDown {

// What the last failing procedure of this module left as the current error.
struct ErrorRecord {
    qint32 Number = 0;
    QString Source;
    QString Description;
};

constexpr qint32 ErrShutdownFailed = static_cast<qint32>(0x8004062Bu);
constexpr qint32 ErrNoPrivilegeValue = static_cast<qint32>(0x8004062Cu);
constexpr qint32 ErrNoProcess = static_cast<qint32>(0x8004062Du);
constexpr qint32 ErrNoPrivilege = static_cast<qint32>(0x8004062Eu);
constexpr qint32 ErrInvalidParameter = static_cast<qint32>(0x8004062Fu);

// The flags callers pass, as the windows' shut-down call numbers them.
constexpr qint32 EWX_LOGOFF = 0;
constexpr qint32 EWX_SHUTDOWN = 1;
constexpr qint32 EWX_REBOOT = 2;
constexpr qint32 EWX_FORCE = 4;
constexpr qint32 EWX_POWEROFF = 8;

// Shows the modal countdown window and returns when it has closed.
void ShowTurnOff(qint32 seconds);

// Reboot (flag 2) wins over power-off (1 or 8); any other value in 0..31 ends
// the session. True when the session manager accepted the request.
bool ShutdownSystem(qint32 flags);
// Whether the user may power the computer off; a "no" is the missing privilege.
bool EnableShutdownPrivilege();
// Kept for callers that branch on it: this system always has per-process privileges.
bool IsWinNT();
// The system's text for an error number; empty when it has none.
QString ApiErrorText(qint32 code);

const ErrorRecord &LastError();
void ClearError();

} // namespace mdlShutDown
