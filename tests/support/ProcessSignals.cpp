#include "support/ProcessSignals.h"

#include <QFile>
#include <QString>

namespace {

// The set named field ("SigCgt:", "SigIgn:") holds the signal; false when the
// process is gone.
bool inSet(qint64 pid, const QByteArray &field, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            bool ok = false;
            const quint64 mask = line.mid(field.size()).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (quint64(1) << (signal - 1))) != 0;
        }
    }
    return false;
}

} // namespace

namespace ProcessSignals {

bool caught(qint64 pid, int signal)
{
    return inSet(pid, "SigCgt:", signal);
}

bool ignored(qint64 pid, int signal)
{
    return inSet(pid, "SigIgn:", signal);
}

} // namespace ProcessSignals
