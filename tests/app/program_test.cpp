#include "support/TestEnvironment.h"

#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

constexpr int kEndMs = 30000;

std::unique_ptr<QProcess> startProgram(const QStringList &arguments = {})
{
    auto program = std::make_unique<QProcess>();
    program->setProgram(QStringLiteral(SONVALE_PROGRAM));
    program->setArguments(arguments);
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start();
    return program;
}

// True once a running program takes command lines.
bool serving()
{
    QLocalSocket probe;
    probe.connectToServer(SingleInstance::serverName());
    return probe.waitForConnected(1000);
}

// Ends the program the test left running, and the socket it leaves when
// ended by a signal.
void end(QProcess &program)
{
    program.terminate();
    if (!program.waitForFinished(kEndMs))
        program.kill();
    program.waitForFinished(kEndMs);
    QLocalServer::removeServer(SingleInstance::serverName());
}

} // namespace

// Two programs on one lists folder would each save their own copy of a list
// over the other's changes; a second start hands over and ends instead.
TEST(Program, ASecondStartHandsOverAndEnds)
{
    auto first = startProgram();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(waitUntil(serving, kEndMs));

    auto second = startProgram({QStringLiteral("-addaudiocd")});
    ASSERT_TRUE(second->waitForFinished(kEndMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Killed outright, the first leaves its socket behind; the next start
    // takes over and serves in its place.
    ::kill(pid_t(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(kEndMs));
    auto third = startProgram();
    ASSERT_TRUE(third->waitForStarted());
    ASSERT_TRUE(waitUntil(serving, kEndMs));
    auto fourth = startProgram();
    ASSERT_TRUE(fourth->waitForFinished(kEndMs));
    EXPECT_EQ(fourth->exitCode(), 0);
    EXPECT_EQ(third->state(), QProcess::Running);
    end(*third);
}

TEST(Program, OfTwoStartsAtOnceExactlyOneRunsOn)
{
    auto a = startProgram();
    auto b = startProgram();
    ASSERT_TRUE(a->waitForStarted());
    ASSERT_TRUE(b->waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; },
                          kEndMs));
    QProcess &ended = a->state() == QProcess::NotRunning ? *a : *b;
    QProcess &running = a->state() == QProcess::NotRunning ? *b : *a;
    EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_TRUE(serving());
    EXPECT_EQ(running.state(), QProcess::Running);
    end(running);
}
