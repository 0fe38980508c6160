#include "platform/SingleInstance.h"

#include "platform/AppPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtEndian>

#include <unistd.h>

namespace {

constexpr int kConnectMs = 3000;
constexpr int kWriteMs = 5000;
constexpr int kLockMs = 10000;
// A command line is a few paths at most; anything larger is no start of ours.
constexpr quint32 kLargestMessage = 1 << 20;

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    // Socket paths are short (108 bytes), so the program folder is hashed.
    const QString programFolder = QFileInfo(AppPaths::programFolder()).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(programFolder), QCryptographicHash::Sha1).toHex();
    return folder + QStringLiteral("/sonvale-%1-%2").arg(getuid()).arg(QString::fromLatin1(key.left(16)));
}

bool SingleInstance::handOverOrServe(const QString &commandLine)
{
    // The lock covers the window between finding no program running and
    // listening, in which a second start would otherwise also find none.
    QLockFile lock(serverName() + QStringLiteral(".lock"));
    const bool locked = lock.tryLock(kLockMs);
    if (handOver(commandLine))
        return true;
    if (!locked) {
        // Another start holds the lock past all reason, or it cannot be
        // made. A socket file found now may be that start's, about to be
        // listened on: it is never taken from under it.
        qWarning("The start-up lock %s could not be taken (%s)", qPrintable(lock.fileName()),
                 lock.error() == QLockFile::LockFailedError ? "held by another start" : "not writable");
        // The name taken means whoever holds the lock may be listening by now.
        return !serve(false) && handOver(commandLine);
    }
    serve(true);
    return false;
}

bool SingleInstance::handOver(const QString &commandLine)
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kConnectMs))
        return false; // none listening, or a socket left by a program that was killed
    const QByteArray text = commandLine.toUtf8();
    QByteArray message(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(text.size()), message.data());
    message += text;
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kWriteMs))
            return false;
    }
    // Once written, the message is the running program's, even should it be
    // too busy to read it before this process ends.
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::serve(bool locked)
{
    const QString name = serverName();
    // With the lock held and nothing answering, a file of that name is what a
    // killed program left.
    if (locked)
        QLocalServer::removeServer(name);
    m_server = std::make_unique<QLocalServer>();
    // Listening for the user alone binds in a private folder and renames the
    // socket over the name, replacing any file there. Without the lock only a
    // plain bind, which fails on an existing file, is safe; the socket's mode
    // then follows the umask, which as usual lets no other user connect.
    m_server->setSocketOptions(locked ? QLocalServer::UserAccessOption : QLocalServer::NoOptions);
    if (!m_server->listen(name)) {
        qWarning("Later starts cannot hand over their command line: %s", qPrintable(m_server->errorString()));
        m_server.reset();
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    return true;
}

void SingleInstance::takeConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
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
            socket->disconnectFromServer();
            emit commandLineReceived(commandLine);
        });
    }
}
