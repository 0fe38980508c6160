// A job in a process of its own, for tests that kill one half-way.
// Usage: sonvale-test-job SOURCE DESTINATION [--hold]
//        sonvale-test-job SOURCE DESTINATION --mp3-part FIRST COUNT
//        sonvale-test-job --ini-saves APPKEY COUNT
// With --hold it prints "writing" once half the source is written and then
// waits for its standard input to close, so a test can kill it at that point
// without guessing at times. --mp3-part cuts samples FIRST to FIRST+COUNT of
// an MP3 (44.1 kHz, 128 kb/s) into an MP3 of the same kind, as the splitter
// does. --ini-saves saves COUNT settings into the application key's store,
// one after the other.
#include "controls/audio/AudioJob.h"
#include "core/UserSettingsStore.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>

#include <unistd.h>

namespace {

int iniSaves(const QString &appKey, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!UserSettingsStore::Save(appKey, QStringLiteral("Saves"), QStringLiteral("Count"), QString::number(i)))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--ini-saves"))
        return iniSaves(args.at(2), args.at(3).toInt());
    if (args.size() < 3)
        return 2;
    const bool hold = args.size() > 3 && args.at(3) == QLatin1String("--hold");
    DestinationSettings settings;
    AudioJobItem item{args.at(1)};
    if (args.size() == 6 && args.at(3) == QLatin1String("--mp3-part")) {
        settings.format = DestMP3;
        settings.mp3.Bitrate = 128;
        settings.mp3.SampleRate = 44100;
        settings.mp3.Quality = 5;
        settings.mp3.Mode = Mp3JointStereo;
        item.firstSample = args.at(4).toLongLong();
        item.sampleCount = args.at(5).toLongLong();
    }
    AudioJob job(settings, AudioTags(), args.at(2), {item});
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
