#include "support/LoopbackCddbServer.h"

#include "support/TestEnvironment.h"

#include "controls/cd/cFreeDB.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int listenOnLoopback(int *port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return -1;
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(s, 4) != 0
        || getsockname(s, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
        close(s);
        return -1;
    }
    *port = ntohs(a.sin_port);
    return s;
}

bool sendBytes(int socket, const QByteArray &bytes)
{
    return send(socket, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

bool sendText(int socket, const QString &text)
{
    return sendBytes(socket, text.toUtf8());
}

} // namespace

LoopbackCddbServer::LoopbackCddbServer(Mode mode)
    : m_mode(mode)
{
    m_listener = listenOnLoopback(&m_port);
    if (m_listener >= 0)
        m_thread = std::thread([this] { serve(); });
}

LoopbackCddbServer::~LoopbackCddbServer()
{
    {
        std::lock_guard lock(m_stopMutex);
        m_stop = true;
    }
    m_stopped.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        close(m_listener);
}

int LoopbackCddbServer::closedPort()
{
    int port = 0;
    const int s = listenOnLoopback(&port);
    if (s >= 0)
        close(s);
    return port;
}

void LoopbackCddbServer::addEntry(
    const QString &category, quint32 discId, const QString &dtitle, const QStringList &lines)
{
    std::lock_guard lock(m_mutex);
    m_entries.insert(discId, {category, dtitle, lines, {}, false});
}

void LoopbackCddbServer::addRawEntry(
    const QString &category, quint32 discId, const QString &dtitle, const QByteArray &bytes, bool hangUp)
{
    std::lock_guard lock(m_mutex);
    m_entries.insert(discId, {category, dtitle, {}, bytes, hangUp});
}

QStringList LoopbackCddbServer::commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

void LoopbackCddbServer::serve()
{
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        const int socket = accept(m_listener, nullptr, nullptr);
        if (socket < 0)
            continue;
        if (m_mode == Mode::HangUp) {
            // Closed below without a word.
        } else if (m_mode == Mode::Silent) {
            keepSilent(socket);
        } else {
            talk(socket);
        }
        close(socket);
    }
}

void LoopbackCddbServer::keepSilent(int socket)
{
    while (!m_stop) {
        pollfd p{socket, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        char buffer[512];
        if (recv(socket, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

bool LoopbackCddbServer::stopsWithin(int ms)
{
    std::unique_lock lock(m_stopMutex);
    return m_stopped.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop.load(); });
}

void LoopbackCddbServer::talk(int socket)
{
    sendText(socket, "201 loopback CDDBP server v1.5PL0 ready at Thu Dec 10 12:00:00 2026\r\n");
    QByteArray pending;
    while (!m_stop) {
        pollfd p{socket, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        pending.append(buffer, int(n));
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            // Real servers take any run of blanks between the words.
            const QString line = QString::fromUtf8(pending.left(end)).simplified();
            pending.remove(0, end + 1);
            {
                std::lock_guard lock(m_mutex);
                m_commands << line;
            }
            const QStringList w = line.split(' ', Qt::SkipEmptyParts);
            const QString verb = w.value(0).toLower();
            if (verb == "quit") {
                sendText(socket, "230 loopback Closing connection.  Goodbye.\r\n");
                return;
            }
            if (verb == "proto") {
                sendText(socket, QStringLiteral("201 OK, CDDB protocol level now: %1\r\n").arg(w.value(1)));
            } else if (verb == "cddb" && w.value(1).toLower() == "hello" && w.size() == 6) {
                sendText(socket, QStringLiteral("200 Hello and welcome %1@%2 running %3 %4.\r\n")
                                     .arg(w[2], w[3], w[4], w[5]));
            } else if (verb == "cddb" && w.value(1).toLower() == "query") {
                bool ok = false;
                const quint32 id = w.value(2).toUInt(&ok, 16);
                std::lock_guard lock(m_mutex);
                if (ok && m_entries.contains(id))
                    sendText(socket, QStringLiteral("200 %1 %2 %3\r\n")
                                         .arg(m_entries[id].category, w[2], m_entries[id].dtitle));
                else
                    sendText(socket, QStringLiteral("202 No match for disc ID %1.\r\n").arg(w.value(2)));
            } else if (verb == "cddb" && w.value(1).toLower() == "read") {
                bool ok = false;
                const quint32 id = w.value(3).toUInt(&ok, 16);
                std::lock_guard lock(m_mutex);
                if (!ok || !m_entries.contains(id) || m_entries[id].category != w.value(2)) {
                    sendText(socket, QStringLiteral("401 %1 %2 No such CD entry in database.\r\n")
                                         .arg(w.value(2), w.value(3)));
                    continue;
                }
                const QString head
                    = QStringLiteral("210 %1 %2 CD database entry follows (until terminating `.')").arg(w[2], w[3]);
                if (!m_entries[id].raw.isEmpty() || m_entries[id].hangUp) {
                    sendBytes(socket, head.toUtf8() + "\r\n" + m_entries[id].raw);
                    if (m_entries[id].hangUp)
                        return;
                    continue;
                }
                QStringList reply = {head};
                reply << m_entries[id].lines << ".";
                if (m_mode != Mode::Trickle) {
                    sendText(socket, reply.join("\r\n") + "\r\n");
                    continue;
                }
                for (const QString &l : reply) {
                    if (m_stop || !sendText(socket, l + "\r\n") || stopsWithin(300))
                        return;
                }
            } else {
                sendText(socket, "500 Command syntax error.\r\n");
            }
        }
    }
}

bool lookUpOnceMore(const LoopbackCddbServer &server, int timeoutSeconds)
{
    cFreeDB db;
    db.SelectDrive(QStringLiteral("D:"));
    db.QuerySetting(timeoutSeconds);
    db.Server(QStringLiteral("127.0.0.1"));
    db.Port(server.port());
    db.Query();
    const bool ended = waitUntil([&db] { return !db.IsQuerying(); }, (timeoutSeconds + 10) * 1000);
    flushEvents();
    return ended;
}
