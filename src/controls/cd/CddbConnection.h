#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>

// One CDDBP connection as the look-up worker uses it: command lines out and
// reply lines in, as raw bytes (servers send whatever character set the
// entry was submitted in). Every wait ends at one deadline for the whole
// dialogue, or soon after the stop flag is set, whatever the server sends.
class CddbConnection {
public:
    using Clock = std::chrono::steady_clock;
    enum class Status {
        Ok,
        TimedOut, // the deadline passed
        Stopped, // the stop flag was set
        Closed, // the server closed the connection
        Unknown, // the host name has no address
        Refused, // no server listens there
        TooLong, // a reply far beyond any real entry
    };

    CddbConnection(Clock::time_point deadline, const std::atomic<bool> &stop);
    ~CddbConnection();
    CddbConnection(const CddbConnection &) = delete;
    CddbConnection &operator=(const CddbConnection &) = delete;

    Status open(const QString &host, int port);
    // Sends the line followed by CR LF.
    Status send(const QByteArray &line);
    // The next line without its CR LF.
    Status readLine(QByteArray *line);

private:
    Status wait(short events);

    Clock::time_point m_deadline;
    const std::atomic<bool> &m_stop;
    int m_socket = -1;
    QByteArray m_pending;
    qint64 m_received = 0;
};
