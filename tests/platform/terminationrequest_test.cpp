#include "support/TestEnvironment.h"

#include "platform/TerminationRequest.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <csignal>

namespace {

bool handledByDefault(int signal)
{
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

} // namespace

TEST(TerminationRequest, EndingSignalsReachTheEventLoopWhileItLives)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ASSERT_TRUE(handledByDefault(signal)) << signal;
    {
        TerminationRequest request;
        QSignalSpy spy(&request, &TerminationRequest::requested);
        int expected = 0;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            SCOPED_TRACE(signal);
            ASSERT_EQ(std::raise(signal), 0);
            ASSERT_TRUE(waitForSignal(spy, ++expected, 10000));
        }
        // A second watcher would steal the first one's signals: it stays idle.
        TerminationRequest second;
        QSignalSpy secondSpy(&second, &TerminationRequest::requested);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        ASSERT_TRUE(waitForSignal(spy, ++expected, 10000));
        EXPECT_TRUE(secondSpy.isEmpty());
    }
    // Once it is gone the signals end the process again, as by default.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        EXPECT_TRUE(handledByDefault(signal)) << signal;
}
