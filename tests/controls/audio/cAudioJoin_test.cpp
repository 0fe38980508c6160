#include "support/AudioFixtures.h"
#include "support/JobSpy.h"
#include "controls/audio/cAudioJoin.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 22050;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

QString wav(const QString &name, int frames)
{
    const QString path = work(name);
    Fixture::writeWav(path, {kRate, 2, 16}, frames);
    return path;
}

} // namespace

TEST(AudioJoin, FileListKeepsPathsAndRangesByIndexFromOne)
{
    cAudioJoin join;
    join.AddFile("/a.wav", -1, -1);
    join.AddFile("/b.mp3", 5, 10);
    join.AddFile("/c.ogg", 0, 3);
    ASSERT_EQ(join.FileCount(), 3);
    qint32 start = 0, length = 0;
    EXPECT_EQ(join.GetFile(2, start, length), "/b.mp3");
    EXPECT_EQ(start, 5);
    EXPECT_EQ(length, 10);
    EXPECT_TRUE(join.GetFile(4, start, length).isEmpty());
    EXPECT_TRUE(join.GetFile(0, start, length).isEmpty());
    join.RemoveFile(2);
    EXPECT_EQ(join.GetFile(2, start, length), "/c.ogg");
    join.RemoveFile(9); // out of range: nothing happens
    EXPECT_EQ(join.FileCount(), 2);
    // Removing the first entry FileCount times empties the list.
    for (int i = join.FileCount(); i > 0; --i)
        join.RemoveFile(1);
    EXPECT_EQ(join.FileCount(), 0);
}

TEST(AudioJoin, JoinsWholeFilesAndRangesSampleExactWithProgressPerFile)
{
    const QString first = wav("first.wav", kRate * 3 / 2);
    const QString second = wav("second.wav", kRate * 7 / 2);
    const QVector<qint16> a = TestAudio::readWav16(first);
    const QVector<qint16> b = TestAudio::readWav16(second);

    cAudioJoin join;
    join.DestFormat(DestWAV);
    join.SetWAVSettings({kRate, 2, 16});
    join.TagTitle("Joined");
    join.AddFile(first, -1, -1);
    join.AddFile(second, 1, 2);
    join.DestFile(work("joined.wav"));
    JobSpy<cAudioJoin> spy(&join);
    spy.start([&] { join.Join(); });
    ASSERT_TRUE(spy.waitForEnd());
    EXPECT_FALSE(spy.arrivedInsideStart);
    ASSERT_EQ(spy.done.size(), 1) << spy.errorText().toStdString();
    EXPECT_EQ(spy.terminals(), 1);

    const QVector<qint16> joined = TestAudio::readWav16(work("joined.wav"));
    ASSERT_EQ(joined.size(), a.size() + 2 * kRate * 2);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), joined.begin()));
    EXPECT_TRUE(std::equal(joined.begin() + a.size(), joined.end(), b.begin() + kRate * 2));
    EXPECT_EQ(TestAudio::probedTag(TestAudio::probe(work("joined.wav")), "title"), "Joined");

    // (file index, percent): files in order from 1, each rising to 100.
    QVector<QPair<int, int>> progress;
    for (const auto &args : spy.progress)
        progress.append({args.at(0).toInt(), args.at(1).toInt()});
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.first().first, 1);
    EXPECT_TRUE(progress.contains(qMakePair(1, 100)));
    EXPECT_EQ(progress.last(), qMakePair(2, 100));
}

TEST(AudioJoin, JoinsFilesOfDifferentFormatsIntoOneEncoder)
{
    const QString stereo = wav("stereo.wav", kRate);
    Fixture::writeWav(work("mono8k.wav"), {8000, 1, 8}, 8000);
    cAudioJoin join;
    join.DestFormat(DestOGG);
    join.SetOGGSettings({0, 0, 50});
    join.AddFile(stereo, -1, -1);
    join.AddFile(work("mono8k.wav"), -1, -1);
    join.DestFile(work("mixed.ogg"));
    JobSpy<cAudioJoin> spy(&join);
    join.Join();
    ASSERT_TRUE(spy.waitForEnd());
    ASSERT_EQ(spy.done.size(), 1) << spy.errorText().toStdString();
    const QJsonObject probed = TestAudio::probe(work("mixed.ogg"));
    EXPECT_EQ(probed["stream"]["channels"].toInt(), 2);
    EXPECT_NEAR(probed["format"]["duration"].toString().toDouble(), 2.0, 0.01);
}

TEST(AudioJoin, AFailingFileOrAnAbortLeavesNothing)
{
    const QString good = wav("good.wav", kRate * 20);
    struct Case {
        const char *name;
        QString second;
        int start;
        const char *textPart;
    } const cases[] = {
        {"missing file", work("missing.wav"), -1, "missing.wav"},
        {"range starting after the end", good, 25, "good.wav"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioJoin join;
        join.DestFormat(DestWAV);
        join.AddFile(good, -1, -1);
        join.AddFile(c.second, c.start, 2);
        join.DestFile(work("failed.wav"));
        JobSpy<cAudioJoin> spy(&join);
        spy.start([&] { join.Join(); });
        ASSERT_TRUE(spy.waitForEnd());
        EXPECT_FALSE(spy.arrivedInsideStart);
        EXPECT_EQ(spy.error.size(), 1);
        EXPECT_EQ(spy.terminals(), 1);
        EXPECT_TRUE(spy.errorText().contains(c.textPart)) << spy.errorText().toStdString();
    }
    {
        cAudioJoin join;
        join.DestFormat(DestMP3);
        join.AddFile(good, -1, -1);
        join.AddFile(good, -1, -1);
        join.DestFile(work("aborted.mp3"));
        JobSpy<cAudioJoin> spy(&join);
        join.Join();
        join.Abort();
        join.AbortCleanup();
        ASSERT_TRUE(spy.waitForEnd());
        EXPECT_EQ(spy.aborted.size(), 1);
        EXPECT_EQ(spy.terminals(), 1);
    }
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"good.wav"});
}
