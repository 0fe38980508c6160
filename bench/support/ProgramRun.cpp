#include "support/ProgramRun.h"

#include "support/ChildProcess.h"
#include "support/PairedRuns.h"

#include <QFile>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace Bench {

namespace {

// The process counts as quiet once it used less than this share of a core
// over the window, after its main window was shown.
constexpr qint64 kQuietWindowNs = 500'000'000;
constexpr double kQuietShare = 0.05;
constexpr qint64 kSampleNs = 20'000'000;
constexpr qint64 kLimitNs = 300'000'000'000;

[[noreturn]] void fail(const QString &text)
{
    throw RunFailure{text};
}

// CPU time of the process so far, user and system, in nanoseconds.
qint64 cpuNs(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const qint64 ticks = fields[11].toLongLong() + fields[12].toLongLong();
    return ticks * (1'000'000'000 / sysconf(_SC_CLK_TCK));
}

struct ProbeLines {
    qint64 shownNs = 0;
    // (moment served, wait) of every wait the probe wrote.
    std::vector<std::pair<qint64, qint64>> stalls;
};

ProbeLines readProbe(const QString &path)
{
    ProbeLines lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() >= 2 && parts[0] == "shown" && lines.shownNs == 0)
            lines.shownNs = parts[1].toLongLong();
        else if (parts.size() >= 3 && parts[0] == "stall")
            lines.stalls.emplace_back(parts[1].toLongLong(), parts[2].toLongLong() * 1000);
    }
    return lines;
}

} // namespace

VirtualScreen::VirtualScreen()
    : m_server(std::make_unique<QProcess>())
{
    m_server->setProcessChannelMode(QProcess::SeparateChannels);
    m_server->start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!m_server->waitForStarted(-1))
        fail(QStringLiteral("Xvfb did not start (scripts/setup installs it)"));
    QByteArray number;
    while (!number.contains('\n') && m_server->waitForReadyRead(-1))
        number += m_server->readAllStandardOutput();
    if (!number.contains('\n'))
        fail(QStringLiteral("Xvfb named no display: ") + QString::fromLocal8Bit(m_server->readAllStandardError()));
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

VirtualScreen::~VirtualScreen()
{
    m_server->terminate();
    if (!m_server->waitForFinished(5000))
        m_server->kill();
    m_server->waitForFinished(5000);
}

StartUp runProgram(const QString &program, const QProcessEnvironment &environment, const VirtualScreen &screen,
                   const QString &workFolder)
{
    const QString probe = workFolder + QStringLiteral("/stall-probe.txt");
    QFile::remove(probe);
    QProcessEnvironment env = environment;
    env.insert(QStringLiteral("DISPLAY"), screen.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("SONVALE_STALL_PROBE"), probe);

    std::vector<QByteArray> envStore;
    for (const QString &e : env.toStringList())
        envStore.push_back(e.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program);
    char *argv[] = {path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const QByteArray errPath = QFile::encodeName(workFolder + QStringLiteral("/program-stderr.txt"));
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const qint64 t0 = monotonicNs();
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        fail(QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(strerror(rc))));

    const auto reap = [pid](int options, int *status, rusage *usage) {
        pid_t got;
        do {
            got = wait4(pid, status, options, usage);
        } while (got < 0 && errno == EINTR);
        return got == pid;
    };
    int status = 0;
    rusage usage{};
    StartUp result;
    // CPU samples (time, cpu) since the window was shown.
    std::vector<std::pair<qint64, qint64>> samples;
    qint64 quietFrom = 0;
    while (quietFrom == 0) {
        if (reap(WNOHANG, &status, &usage)) {
            QFile err(QFile::decodeName(errPath));
            fail(QStringLiteral("the program ended before it went quiet: ")
                 + QString::fromLocal8Bit(err.open(QIODevice::ReadOnly) ? err.readAll().right(2000) : QByteArray()));
        }
        const qint64 now = monotonicNs();
        if (now - t0 > kLimitNs) {
            kill(pid, SIGKILL);
            reap(0, &status, &usage);
            fail(QStringLiteral("the program did not show its window and go quiet"));
        }
        const ProbeLines lines = readProbe(probe);
        if (lines.shownNs > 0) {
            samples.emplace_back(now, cpuNs(pid));
            // The first sample at least a window after a sample is the end of a window.
            for (std::size_t i = 0; i < samples.size(); ++i) {
                if (now - samples[i].first < kQuietWindowNs)
                    break;
                const qint64 used = samples.back().second - samples[i].second;
                if (samples[i].first >= lines.shownNs && double(used) < kQuietShare * double(now - samples[i].first)) {
                    quietFrom = samples[i].first;
                    break;
                }
            }
        }
        QThread::usleep(kSampleNs / 1000);
    }
    kill(pid, SIGTERM);
    const qint64 termAt = monotonicNs();
    while (!reap(WNOHANG, &status, &usage)) {
        if (monotonicNs() - termAt > 30'000'000'000) {
            kill(pid, SIGKILL);
            reap(0, &status, &usage);
            fail(QStringLiteral("the program did not end when asked to"));
        }
        QThread::usleep(10000);
    }
    const ProbeLines lines = readProbe(probe);
    result.shownSeconds = double(lines.shownNs - t0) / 1e9;
    result.busySeconds = double(quietFrom - t0) / 1e9;
    for (const auto &[served, waited] : lines.stalls) {
        const double ms = double(waited) / 1e6;
        if (served <= lines.shownNs)
            result.stallBeforeMs = std::max(result.stallBeforeMs, ms);
        else if (served - waited <= quietFrom + kQuietWindowNs)
            result.stallAfterMs = std::max(result.stallAfterMs, ms);
    }
    result.peakMiB = usage.ru_maxrss / 1024.0;
    return result;
}

} // namespace Bench
