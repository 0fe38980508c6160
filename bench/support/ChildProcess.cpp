#include "support/ChildProcess.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace Bench {

namespace {

// The child's stdout and stderr go to files, so a chatty child never blocks
// on a full pipe while the bench waits for it.
struct Started {
    pid_t pid = -1;
    std::unique_ptr<QTemporaryFile> out, err;
    QString startError;
};

Started start(const ChildRun &r)
{
    Started s;
    s.out = std::make_unique<QTemporaryFile>();
    s.err = std::make_unique<QTemporaryFile>();
    if (!s.out->open() || !s.err->open()) {
        s.startError = QStringLiteral("cannot make the output files");
        return s;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, s.out->handle(), 1);
    posix_spawn_file_actions_adddup2(&actions, s.err->handle(), 2);

    std::vector<QByteArray> argStore{QFile::encodeName(r.program)};
    for (const QString &a : r.args)
        argStore.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> envStore;
    for (const QString &e : r.env.toStringList())
        envStore.push_back(e.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const int rc = posix_spawnp(&s.pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        s.pid = -1;
        s.startError = QStringLiteral("cannot start %1: %2").arg(r.program, QString::fromLocal8Bit(strerror(rc)));
    }
    return s;
}

QString statusText(int status)
{
    if (WIFEXITED(status))
        return QStringLiteral("exit status %1").arg(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    return QStringLiteral("status %1").arg(status);
}

} // namespace

qint64 monotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QList<ChildResult> runTogether(const QList<ChildRun> &runs)
{
    QList<ChildResult> results(runs.size());
    std::vector<Started> started;
    const qint64 t0 = monotonicNs();
    for (const ChildRun &r : runs)
        started.push_back(start(r));
    qint64 end = t0;
    for (int i = 0; i < runs.size(); ++i) {
        Started &s = started[size_t(i)];
        ChildResult &result = results[i];
        if (s.pid < 0) {
            result.error = s.startError;
            continue;
        }
        int status = 0;
        rusage usage{};
        pid_t got;
        do {
            got = wait4(s.pid, &status, 0, &usage);
        } while (got < 0 && errno == EINTR);
        end = std::max(end, monotonicNs());
        result.peakMiB = usage.ru_maxrss / 1024.0;
        s.out->seek(0);
        s.err->seek(0);
        result.out = s.out->readAll();
        const QString err = QString::fromLocal8Bit(s.err->readAll()).trimmed();
        result.ok = got == s.pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!result.ok)
            result.error = QStringLiteral("%1 %2 ended with %3%4")
                               .arg(runs[i].program, runs[i].args.join(QLatin1Char(' ')), statusText(status),
                                   err.isEmpty() ? QString() : QStringLiteral(": ") + err.right(2000));
    }
    // The group's wall time; each child of a group of one ends where the group does.
    for (ChildResult &r : results)
        r.seconds = double(end - t0) / 1e9;
    return results;
}

ChildResult run(const ChildRun &r)
{
    return runTogether({r}).first();
}

} // namespace Bench
