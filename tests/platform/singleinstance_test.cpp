#include "support/TestEnvironment.h"

#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// What a program killed while serving leaves: a socket file nobody listens on.
bool leaveStaleSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        close(fd);
    return bound;
}

ino_t inodeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

TEST(SingleInstance, ALaterStartHandsItsCommandLineToTheFirst)
{
    SingleInstance first;
    ASSERT_FALSE(first.handOverOrServe(QStringLiteral("-st")));
    QSignalSpy received(&first, &SingleInstance::commandLineReceived);

    const QStringList lines = {QStringLiteral("-addfiles"), QString(), QStringLiteral("-addfiles \"/música/a b.wav\"")};
    for (const QString &line : lines) {
        SCOPED_TRACE(line.toStdString());
        SingleInstance later;
        EXPECT_TRUE(later.handOverOrServe(line));
    }
    ASSERT_TRUE(waitUntil([&] { return received.size() == lines.size(); }, 10000));
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(received.at(i).at(0).toString(), lines.at(i));
}

TEST(SingleInstance, ASocketLeftByAKilledProgramIsTakenOver)
{
    ASSERT_TRUE(leaveStaleSocket(SingleInstance::serverName()));
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::serverName()));
    SingleInstance first;
    EXPECT_FALSE(first.handOverOrServe(QString()));
    QSignalSpy received(&first, &SingleInstance::commandLineReceived);
    SingleInstance later;
    EXPECT_TRUE(later.handOverOrServe(QStringLiteral("-addaudiocd")));
    ASSERT_TRUE(waitForSignal(received, 1, 10000));
    EXPECT_EQ(received.at(0).at(0).toString(), QStringLiteral("-addaudiocd"));
}

TEST(SingleInstance, EachProgramFolderHasItsOwnProgram)
{
    SingleInstance first;
    ASSERT_FALSE(first.handOverOrServe(QString()));
    const QString firstName = SingleInstance::serverName();

    const QByteArray home = qgetenv("SONVALE_HOME");
    qputenv("SONVALE_HOME", QFile::encodeName(TestEnv::workFolder() + QStringLiteral("/other")));
    const QString otherName = SingleInstance::serverName();
    SingleInstance other;
    const bool handedOver = other.handOverOrServe(QString());
    qputenv("SONVALE_HOME", home);

    EXPECT_NE(otherName, firstName);
    EXPECT_FALSE(handedOver);
}

// A start that cannot have the lock (another start holds it, stuck between
// finding nobody and listening) may not remove the socket file it finds: that
// start may be about to listen on it. It runs on without serving.
TEST(SingleInstance, WithoutTheLockASocketFileFoundIsLeftAlone)
{
    const QString name = SingleInstance::serverName();
    QLockFile held(name + QStringLiteral(".lock"));
    ASSERT_TRUE(held.tryLock(0));
    ASSERT_TRUE(leaveStaleSocket(name));
    const ino_t left = inodeOf(name);
    ASSERT_NE(left, ino_t(0));

    SingleInstance later;
    EXPECT_FALSE(later.handOverOrServe(QString()));
    EXPECT_EQ(inodeOf(name), left);
}
