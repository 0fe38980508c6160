#include "support/TestEnvironment.h"

#include "platform/TerminationRequest.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <array>
#include <csignal>

namespace {

constexpr std::array kEndingSignals{SIGTERM, SIGINT, SIGHUP};

void noteSignal(int) {}

using Handler = void (*)(int);

Handler handlerOf(int signal)
{
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

void setHandler(int signal, Handler handler)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Gives the test process back the dispositions it was started with, which
// are not necessarily the defaults (the suite may run under nohup).
class KeptDispositions {
public:
    KeptDispositions()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            sigaction(kEndingSignals[i], nullptr, &m_kept[i]);
    }
    ~KeptDispositions()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            sigaction(kEndingSignals[i], &m_kept[i], nullptr);
    }

private:
    std::array<struct sigaction, kEndingSignals.size()> m_kept{};
};

} // namespace

TEST(TerminationRequest, EndingSignalsReachTheEventLoopWhileItLives)
{
    KeptDispositions kept;
    // Started by a shell, under nohup, or by a program that set its own
    // handler: each signal gets back exactly what it had.
    for (const Handler before : {SIG_DFL, Handler(noteSignal)}) {
        SCOPED_TRACE(before == SIG_DFL ? "default" : "own handler");
        for (const int signal : kEndingSignals)
            setHandler(signal, before);
        {
            TerminationRequest request;
            QSignalSpy spy(&request, &TerminationRequest::requested);
            int expected = 0;
            for (const int signal : kEndingSignals) {
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
        for (const int signal : kEndingSignals)
            EXPECT_EQ(handlerOf(signal), before) << signal;
    }
}

// nohup and service managers start a program with SIGHUP ignored so that it
// outlives the terminal: an ignored signal is none of the program's business.
TEST(TerminationRequest, ASignalIgnoredAtStartStaysIgnored)
{
    KeptDispositions kept;
    for (const int ignored : kEndingSignals) {
        SCOPED_TRACE(ignored);
        for (const int signal : kEndingSignals)
            setHandler(signal, signal == ignored ? SIG_IGN : noteSignal);
        {
            TerminationRequest request;
            QSignalSpy spy(&request, &TerminationRequest::requested);
            EXPECT_EQ(handlerOf(ignored), SIG_IGN);
            ASSERT_EQ(std::raise(ignored), 0);
            // raise() runs a handler before it returns: had the ignored one
            // been caught, it would be waiting ahead of this one.
            const int watched = ignored == SIGTERM ? SIGINT : SIGTERM;
            ASSERT_EQ(std::raise(watched), 0);
            ASSERT_TRUE(waitForSignal(spy, 1, 10000));
            flushEvents();
            EXPECT_EQ(spy.size(), 1);
        }
        EXPECT_EQ(handlerOf(ignored), SIG_IGN);
        for (const int signal : kEndingSignals) {
            if (signal != ignored) {
                EXPECT_EQ(handlerOf(signal), Handler(noteSignal)) << signal;
            }
        }
    }
}
