#include "support/CdFixtures.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdToc.h"
#include "controls/cd/cAudioCDRipper.h"
#include "support/JobSpy.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using CdFixture::Track;

const QVector<Track> kDisc = {{true, 300}, {true, 188}, {false, 60}};

QString writeText(const QString &name, const QByteArray &text)
{
    const QString path = TestEnv::workFolder() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return {};
    return path;
}

struct DrivesGuard {
    ~DrivesGuard() { qunsetenv("SONVALE_CD_DEVICES"); }
};

} // namespace

// The drive watch, a database look-up reading the table of contents and a rip
// run side by side, as they do when a disc goes in while another rips. Broken
// images make libcdio log on every open, so the threads log at the same time
// unless every call is serialised; libcdio ends the process when they do.
TEST(CdConcurrency, WatchLookupAndRipRunTogether)
{
    DrivesGuard guard;
    const QString good = CdFixture::writeImage(TestEnv::workFolder(), "disc", kDisc);
    ASSERT_FALSE(good.isEmpty());
    const QString noBin = writeText("nobin.cue", "FILE \"absent.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    const QString garbage = writeText("garbage.cue", "this is no cue sheet\nTRACK x\n");
    const QString missing = TestEnv::workFolder() + "/missing.cue";
    ASSERT_FALSE(noBin.isEmpty());
    ASSERT_FALSE(garbage.isEmpty());
    const QStringList drives = {good, noBin, garbage, missing};
    qputenv("SONVALE_CD_DEVICES", QFile::encodeName(drives.join(':')));

    const quint32 expectedId = cddbDiscId(CdTocReader::read(CdDevices::open(good).get()));
    ASSERT_NE(expectedId, 0u);

    std::atomic<bool> ripping{true};
    std::atomic<int> wrong{0};
    std::atomic<int> rounds{0};
    // What the main window's watch does every few seconds: list the drives and
    // read the selected one's tracks.
    auto watch = [&] {
        while (ripping) {
            cAudioCDRipper probe;
            for (qint32 i = 0; i < probe.DeviceCount(); ++i) {
                const bool opened = probe.SelectDevice(i);
                if (i == 0 && (!opened || probe.TrackCount() != 3 || !probe.IsAudioCD()))
                    ++wrong;
            }
            ++rounds;
        }
    };
    // What a look-up does before it asks the server.
    auto lookup = [&] {
        while (ripping) {
            for (const CdDevice &d : CdDevices::list()) {
                const CdToc toc = CdTocReader::read(CdDevices::open(d.path).get());
                if (d.path == good && cddbDiscId(toc) != expectedId)
                    ++wrong;
            }
            ++rounds;
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(watch);
    threads.emplace_back(lookup);
    threads.emplace_back(lookup);

    cAudioCDRipper ripper;
    JobSpy<cAudioCDRipper> run(&ripper);
    constexpr int kRips = 6;
    QStringList failures;
    for (int i = 0; i < kRips; ++i) {
        const QString dest = TestEnv::workFolder() + QStringLiteral("/track%1.wav").arg(i);
        ripper.DeviceIndex(0);
        ripper.Track(i % 2 + 1);
        ripper.DestFile(dest);
        run.start([&] { ripper.Rip(); });
        if (!run.waitForEnd(i + 1))
            failures << QStringLiteral("rip %1 never ended").arg(i);
        else if (!QFileInfo(dest).size())
            failures << QStringLiteral("rip %1 wrote nothing: %2").arg(i).arg(run.errorText());
    }
    // Keep the threads racing each other a while after the rips as well.
    waitUntil([&] { return rounds >= 60; }, 30000);
    ripping = false;
    for (std::thread &t : threads)
        t.join();

    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(run.done.size(), kRips);
    EXPECT_EQ(wrong, 0);
    EXPECT_GE(rounds, 60);
}
