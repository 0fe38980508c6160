// A conversion in a process of its own, for tests that kill a job half-way.
// Usage: sonvale-test-job SOURCE DESTINATION [--hold]
// With --hold it prints "writing" once half the source is written and then
// waits for its standard input to close, so a test can kill it at that point
// without guessing at times.
#include "controls/audio/AudioJob.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const bool hold = args.size() > 3 && args.at(3) == QLatin1String("--hold");
    AudioJob job(DestinationSettings(), AudioTags(), args.at(2), {AudioJobItem{args.at(1)}});
    std::atomic<bool> abort{false};
    bool held = false;
    const EncodingJob::Result result = job.run(abort, [&](int, int percent) {
        if (!hold || held || percent < 50)
            return;
        held = true;
        std::puts("writing");
        std::fflush(stdout);
        char c;
        while (::read(STDIN_FILENO, &c, 1) > 0) {
        }
    });
    if (result != EncodingJob::Result::Done) {
        std::fprintf(stderr, "%s\n", qPrintable(job.errorText()));
        return 1;
    }
    return 0;
}
