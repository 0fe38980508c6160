#include "platform/SingleInstance.h"

#include "platform/AppPaths.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QtEndian>

#include <cerrno>

#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kConnectMs = 3000;
// Between two tries while the program holding the folder is starting (not
// listening yet) or ending (refusing).
constexpr int kRetryMs = 50;
// A command line is a few paths at most; anything larger is no start of ours.
constexpr quint32 kLargestMessage = 1 << 20;
// What the program answers once the command line is queued to run.
constexpr char kTaken = '\x06';

// The abstract namespace is open to every user of the machine: only a peer of
// this user is one of ours.
bool peerIsThisUser(qintptr descriptor)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::setTaker(Taker taker)
{
    m_taker = std::move(taker);
}

QString SingleInstance::serverName()
{
    // The name is the program folder's, not the environment's: a start from
    // ssh, su or cron, with another runtime or temporary folder, finds the
    // program all the same. Socket names are short (108 bytes), so the
    // folder is hashed.
    const QString programFolder = QFileInfo(AppPaths::programFolder()).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(programFolder), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("sonvale-%1-%2").arg(::getuid()).arg(QString::fromLatin1(key.left(32)));
}

QString SingleInstance::lockPath()
{
    return AppPaths::programFolder() + QStringLiteral("/.instance.lock");
}

void SingleInstance::connectToProgram(QLocalSocket &socket)
{
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(serverName());
}

SingleInstance::Outcome SingleInstance::handOverOrServe(const QString &commandLine, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    m_lockFile.setFileName(lockPath());
    // Where the folder takes no lock file (read-only, or a file system
    // without locks) the socket name alone decides: only one process can
    // listen on it.
    bool lockable = m_lockFile.open(QIODevice::ReadWrite);
    if (!lockable)
        qWarning("The program folder takes no lock (%s): %s", qPrintable(lockPath()), qPrintable(m_lockFile.errorString()));
    for (;;) {
        if (lockable) {
            // Held until this process ends: the lock is the program's, not
            // only the start's, so a start while this program saves its
            // lists on the way out waits for it.
            if (::flock(m_lockFile.handle(), LOCK_EX | LOCK_NB) == 0) {
                if (!serve())
                    qWarning("Later starts cannot hand over their command line");
                return Outcome::Serving;
            }
            if (errno != EWOULDBLOCK) {
                qWarning("The program folder's lock cannot be taken: %s", strerror(errno));
                lockable = false;
            }
        }
        if (!lockable && serve())
            return Outcome::Serving;
        switch (handOver(commandLine, int(deadline.remainingTime()))) {
        case Delivery::Delivered:
            return Outcome::HandedOver;
        case Delivery::Unanswered:
            return Outcome::Unanswered;
        case Delivery::Refused:
            break;
        }
        if (deadline.hasExpired())
            return Outcome::Unanswered;
        // The program holding the folder is not listening yet, or is ending.
        QThread::msleep(kRetryMs);
    }
}

SingleInstance::Delivery SingleInstance::handOver(const QString &commandLine, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    QLocalSocket socket;
    connectToProgram(socket);
    if (!socket.waitForConnected(kConnectMs) || !peerIsThisUser(socket.socketDescriptor()))
        return Delivery::Refused;
    const QByteArray text = commandLine.toUtf8();
    QByteArray message(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(text.size()), message.data());
    message += text;
    socket.write(message);
    // Delivered only once the program says it took the line: one that is
    // ending reads it and closes without a word, or never reads it at all.
    while (socket.bytesAvailable() < 1) {
        if (socket.state() != QLocalSocket::ConnectedState)
            return Delivery::Refused;
        if (!socket.waitForReadyRead(int(deadline.remainingTime())) && socket.bytesAvailable() < 1) {
            if (socket.state() == QLocalSocket::ConnectedState)
                return Delivery::Unanswered;
            return Delivery::Refused;
        }
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken ? Delivery::Delivered : Delivery::Refused;
}

bool SingleInstance::serve()
{
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (!server->listen(serverName())) {
        qWarning("Cannot listen for later starts: %s", qPrintable(server->errorString()));
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    return true;
}

void SingleInstance::stopServing()
{
    if (!m_server)
        return;
    // Later starts find nobody listening and wait for the lock instead. The
    // connections open now are the server's children; they go with it once
    // their handlers have returned.
    m_server->close();
    m_server->deleteLater();
    m_server = nullptr;
}

void SingleInstance::takeConnection()
{
    QLocalServer *server = m_server;
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readCommandLine(socket); });
        // Bytes that came with the connection raise no readyRead of their own.
        if (socket->bytesAvailable() > 0)
            readCommandLine(socket);
    }
}

void SingleInstance::readCommandLine(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < 4)
        return;
    const QByteArray head = socket->peek(4);
    const quint32 size = qFromBigEndian<quint32>(head.constData());
    if (size > kLargestMessage) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + size))
        return;
    socket->skip(4);
    const QString commandLine = QString::fromUtf8(socket->read(size));
    if (!m_server || !m_taker || !m_taker(commandLine)) {
        // Ending: the start runs on its own once this process is gone.
        socket->abort();
        stopServing();
        return;
    }
    socket->putChar(kTaken);
    socket->disconnectFromServer();
}
