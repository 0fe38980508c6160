#include "controls/audio/TemporaryOutput.h"
#include "support/AudioFiles.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
}

QByteArray readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TemporaryOutput, CommitReplacesTheDestinationAndOtherwiseNothingStays)
{
    // Names up to the 255 bytes most Linux file systems allow: the temporary
    // beside them must be creatable too.
    for (const QString &name : {QStringLiteral("out.wav"), QString(251, QLatin1Char('n')) + ".wav"}) {
        SCOPED_TRACE(name.size());
        const QString destination = TestEnv::workFolder() + "/" + name;
        writeText(destination, "old");
        {
            TemporaryOutput dropped(destination);
            EXPECT_EQ(QFileInfo(dropped.path()).absolutePath(), TestEnv::workFolder());
            writeText(dropped.path(), "unfinished");
        }
        EXPECT_EQ(readText(destination), "old") << "an output never committed replaced the destination";
        {
            TemporaryOutput kept(destination);
            EXPECT_EQ(kept.destination(), destination);
            writeText(kept.path(), "new");
            EXPECT_TRUE(kept.commit());
        }
        EXPECT_EQ(readText(destination), "new");
        EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QFile::remove(destination);
    }
}

TEST(TemporaryOutput, ALiveJobsTemporaryAndOtherFilesAreLeftAlone)
{
    const QString folder = TestEnv::workFolder();
    // Files of other programs, and names only like ours.
    const QStringList others = {QStringLiteral("song.part"), QStringLiteral(".song.part"),
        QStringLiteral(".song.wav.xyz.part"), QStringLiteral(".song.wav.1f.part.bak"), QStringLiteral("a.wav.1f.part"),
        // Another program's temporaries, shaped as this program's once were.
        QStringLiteral(".song.wav.1f.part"), QStringLiteral(".song.wav.1f.part.new"),
        QStringLiteral("a.wav.1f.sonvale.part"), QStringLiteral(".a.wav.xyz.sonvale.part")};
    for (const QString &name : others)
        writeText(folder + "/" + name, "kept");
    TemporaryOutput running(folder + QStringLiteral("/a.wav"));
    ASSERT_TRUE(QFileInfo::exists(running.path()));
    writeText(running.path(), "half");
    {
        TemporaryOutput next(folder + QStringLiteral("/b.wav"));
        EXPECT_TRUE(QFileInfo::exists(next.path()));
    }
    TemporaryOutput::removeStale(folder);
    EXPECT_EQ(readText(running.path()), "half") << "a running job lost its file";
    for (const QString &name : others)
        EXPECT_TRUE(QFileInfo::exists(folder + "/" + name)) << name.toStdString();
}

TEST(TemporaryOutput, JobsKilledHalfWayLeaveNothingOnceTheNextJobRunsThere)
{
    const QString source = TestEnv::workFolder() + QStringLiteral("/source.wav");
    const qint64 frames = 44100 * 20;
    TestAudio::writeWav(source, {}, frames, [](qint64 i, int ch) { return qint16((i * (ch + 3)) % 20000 - 10000); });
    const QString folder = TestEnv::workFolder() + QStringLiteral("/out");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString destination = folder + QStringLiteral("/out.wav");
    const auto job = [&](const QStringList &extra) {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QStringLiteral(SONVALE_TEST_JOB), QStringList{source, destination} + extra);
        return child;
    };
    const int kills = 3;
    for (int i = 0; i < kills; ++i) {
        auto child = job({QStringLiteral("--hold")});
        ASSERT_TRUE(child->waitForReadyRead(60000)) << "the job never got half-way";
        ASSERT_EQ(child->readLine().trimmed(), "writing");
        ::kill(pid_t(child->processId()), SIGKILL);
        ASSERT_TRUE(child->waitForFinished(60000));
    }
    // Each job that starts clears what the killed one before it left, so
    // only the last one's half-written file is there.
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(destination));

    auto last = job({});
    ASSERT_TRUE(last->waitForFinished(60000));
    EXPECT_EQ(last->exitCode(), 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.wav")});
    TestAudio::WavSpec spec;
    EXPECT_EQ(TestAudio::readWav16(destination, &spec), TestAudio::readWav16(source));
    EXPECT_EQ(TestAudio::probe(destination).value(QStringLiteral("stream")).toObject()
                  .value(QStringLiteral("duration_ts")).toVariant().toLongLong(), frames);
}

namespace {

// Kills the child at a point of its run the test does not choose: after
// delayMs, or not at all when it ends first.
void killAfter(QProcess &child, int delayMs)
{
    if (!child.waitForFinished(delayMs)) {
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(60000);
    }
}

// The hidden files of folder, but for the ones named.
QStringList hiddenFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.erase(std::remove_if(names.begin(), names.end(), [](const QString &n) { return !n.startsWith('.'); }),
                names.end());
    return names;
}

} // namespace

// MP3 parts cut by jobs killed at any point, from before their temporary is
// made to after its rename: the next job in the folder leaves no temporary
// of the program's, and another program's files named like them stay.
TEST(TemporaryOutput, MP3PartsKilledAtAnyPointLeaveNoTemporaryOnceTheNextJobRuns)
{
    const QString wav = TestEnv::workFolder() + QStringLiteral("/master.wav");
    TestAudio::writeWav(wav, {}, 44100 * 4, [](qint64 i, int ch) { return qint16((i * (ch + 3)) % 20000 - 10000); });
    const QString source = TestEnv::workFolder() + QStringLiteral("/source.mp3");
    QProcess lame;
    lame.start(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, source});
    ASSERT_TRUE(lame.waitForFinished(60000) && lame.exitCode() == 0);
    const QString folder = TestEnv::workFolder() + QStringLiteral("/parts");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList others = {QStringLiteral(".part1.mp3.7f3a.part"), QStringLiteral(".part1.mp3.7f3a.part.new"),
                                QStringLiteral(".part1.mp3.7f3a.sonvale.part.bak")};
    for (const QString &name : others)
        writeText(folder + "/" + name, "another program's");
    const auto part = [&](int k) {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QStringLiteral(SONVALE_TEST_JOB),
                     {source, folder + QStringLiteral("/part%1.mp3").arg(k), QStringLiteral("--mp3-part"),
                      QString::number(k * 44100), QStringLiteral("44100")});
        return child;
    };

    // How long one cut takes here: the kills fall anywhere within it.
    QElapsedTimer clock;
    clock.start();
    auto first = part(0);
    ASSERT_TRUE(first->waitForFinished(60000));
    ASSERT_EQ(first->exitCode(), 0);
    const int span = int(qMax<qint64>(clock.elapsed(), 20));

    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE("seed " + std::to_string(seed));
    QRandomGenerator random(seed);
    constexpr int kRounds = 40;
    for (int i = 0; i < kRounds; ++i) {
        auto child = part(1 + i % 3);
        ASSERT_TRUE(child->waitForStarted());
        killAfter(*child, random.bounded(span));
    }

    auto last = part(0);
    ASSERT_TRUE(last->waitForFinished(60000));
    EXPECT_EQ(last->exitCode(), 0);
    QStringList expected = others;
    expected.sort();
    EXPECT_EQ(hiddenFiles(folder), expected);
    for (const QString &name : others)
        EXPECT_EQ(readText(folder + "/" + name), "another program's") << name.toStdString();
}

// A recording is made once: what a killed one had recorded is kept under a
// name the user sees, never over a file there, and the user is told. A take
// killed before its first byte is only removed.
TEST(TemporaryOutput, AKilledRecordingsTakeIsKeptUnderANameTheUserSeesAndTheyAreTold)
{
    const QString folder = TestEnv::workFolder() + QStringLiteral("/takes");
    ASSERT_TRUE(QDir().mkpath(folder));
    writeText(folder + QStringLiteral("/Take 1 (unfinished).wav"), "an earlier one");
    writeText(folder + QStringLiteral("/.Take 1.wav.9c.sonvale.take"), "recorded");
    writeText(folder + QStringLiteral("/.Take 2.wav.a1.sonvale.take"), "");
    testServices().prompter->messages.clear();
    {
        // What any job starting in the folder does first.
        TemporaryOutput next(folder + QStringLiteral("/converted.wav"));
    }
    const QString kept = folder + QStringLiteral("/Take 1 (unfinished 2).wav");
    EXPECT_EQ(readText(kept), "recorded");
    EXPECT_EQ(readText(folder + QStringLiteral("/Take 1 (unfinished).wav")), "an earlier one");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Take 1 (unfinished 2).wav"), QStringLiteral("Take 1 (unfinished).wav")}));
    ASSERT_TRUE(waitUntil([] { return !testServices().prompter->messages.isEmpty(); }, 10000));
    EXPECT_TRUE(testServices().prompter->messages.first().text.contains(kept));

    // A recording still running keeps its take where it is.
    TemporaryOutput running(folder + QStringLiteral("/Take 3.wav"), TemporaryOutput::Kind::Take);
    writeText(running.path(), "live");
    TemporaryOutput::removeStale(folder);
    EXPECT_EQ(readText(running.path()), "live");
}
