#include "controls/audio/TemporaryOutput.h"
#include "support/AudioFiles.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

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
        QStringLiteral(".song.wav.xyz.part"), QStringLiteral(".song.wav.1f.part.bak"), QStringLiteral("a.wav.1f.part")};
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
