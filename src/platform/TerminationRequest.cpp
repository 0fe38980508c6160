#include "platform/TerminationRequest.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler may only write to a descriptor; the read end wakes the
// event loop.
int g_signalPipe[2] = {-1, -1};

// What each signal did before it was taken over, given back when the watcher
// goes. A signal the process was started with ignored (nohup, a service
// manager) is left alone: whoever started it wants it ignored.
struct Disposition {
    struct sigaction previous {};
    bool taken = false;
};
std::array<Disposition, kSignals.size()> g_dispositions;

void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void takeSignals()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        Disposition &d = g_dispositions[i];
        d.taken = false;
        if (sigaction(kSignals[i], nullptr, &d.previous) != 0 || d.previous.sa_handler == SIG_IGN)
            continue;
        d.taken = sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

void giveSignalsBack()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        Disposition &d = g_dispositions[i];
        if (d.taken)
            sigaction(kSignals[i], &d.previous, nullptr);
        d.taken = false;
    }
}

} // namespace

TerminationRequest::TerminationRequest(QObject *parent)
    : QObject(parent)
{
    if (g_signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequest::readSignal);
    takeSignals();
}

TerminationRequest::~TerminationRequest()
{
    if (!m_notifier)
        return;
    giveSignalsBack();
    delete m_notifier;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void TerminationRequest::readSignal()
{
    char byte = 0;
    if (::read(g_signalPipe[0], &byte, 1) == 1)
        emit requested();
}
