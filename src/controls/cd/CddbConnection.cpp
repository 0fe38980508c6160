#include "controls/cd/CddbConnection.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>

namespace {

// How often a wait looks at the stop flag.
constexpr std::chrono::milliseconds kStopPoll{50};
// No CD entry comes near this; a server sending more is broken or hostile.
constexpr qint64 kMaxReply = 4 * 1024 * 1024;

struct AddrinfoDeleter {
    void operator()(addrinfo *a) const { freeaddrinfo(a); }
};

} // namespace

CddbConnection::CddbConnection(Clock::time_point deadline, const std::atomic<bool> &stop)
    : m_deadline(deadline)
    , m_stop(stop)
{
}

CddbConnection::~CddbConnection()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

CddbConnection::Status CddbConnection::wait(short events)
{
    for (;;) {
        if (m_stop)
            return Status::Stopped;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
        if (left.count() <= 0)
            return Status::TimedOut;
        pollfd p{m_socket, events, 0};
        const int n = ::poll(&p, 1, int(std::min(left, kStopPoll).count()));
        if (n > 0)
            return Status::Ok;
        if (n < 0 && errno != EINTR)
            return Status::Closed;
    }
}

CddbConnection::Status CddbConnection::open(const QString &host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *raw = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &raw) != 0 || !raw)
        return Status::Unknown;
    std::unique_ptr<addrinfo, AddrinfoDeleter> list(raw);
    Status status = Status::Refused;
    for (const addrinfo *a = list.get(); a; a = a->ai_next) {
        m_socket = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (m_socket < 0)
            continue;
        if (::connect(m_socket, a->ai_addr, a->ai_addrlen) == 0)
            return Status::Ok;
        if (errno == EINPROGRESS) {
            status = wait(POLLOUT);
            int error = 0;
            socklen_t len = sizeof error;
            if (status == Status::Ok && getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
                return Status::Ok;
            if (status == Status::Ok)
                status = Status::Refused;
        }
        ::close(m_socket);
        m_socket = -1;
        if (status == Status::TimedOut || status == Status::Stopped)
            return status;
    }
    return status;
}

CddbConnection::Status CddbConnection::send(const QByteArray &line)
{
    const QByteArray bytes = line + "\r\n";
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const Status s = wait(POLLOUT);
        if (s != Status::Ok)
            return s;
        const ssize_t n = ::send(m_socket, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        if (n <= 0)
            return Status::Closed;
        sent += n;
    }
    return Status::Ok;
}

CddbConnection::Status CddbConnection::readLine(QByteArray *line)
{
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            *line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            if (line->endsWith('\r'))
                line->chop(1);
            return Status::Ok;
        }
        if (m_received > kMaxReply)
            return Status::TooLong;
        const Status s = wait(POLLIN);
        if (s != Status::Ok)
            return s;
        char buffer[4096];
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        if (n <= 0)
            return Status::Closed;
        m_pending.append(buffer, n);
        m_received += n;
    }
}
