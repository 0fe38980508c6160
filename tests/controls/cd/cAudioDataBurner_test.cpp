#include "BurnFixtures.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/cAudioDataBurner.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace BurnFixture;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// Every event of one burner, in order, and whether one came inside the call
// that started the burn or off the UI thread.
struct DataRun {
    explicit DataRun(cAudioDataBurner &b)
    {
        auto note = [this](const QString &e) {
            events << e;
            offThread = offThread || QThread::currentThread() != qApp->thread();
        };
        QObject::connect(&b, &cAudioDataBurner::BurnStart, [note] { note("BurnStart"); });
        QObject::connect(&b, &cAudioDataBurner::Progress, [this](qint16 p) { percents << p; });
        QObject::connect(&b, &cAudioDataBurner::ClosingSession, [note] { note("ClosingSession"); });
        QObject::connect(&b, &cAudioDataBurner::Finished, [note] { note("Finished"); });
        QObject::connect(&b, &cAudioDataBurner::Message, [this, note](qint32 c, const QString &t) {
            code = c;
            text = t;
            note("Message");
        });
    }
    int terminals() const { return int(events.count("Finished") + events.count("Message")); }
    // Waits for the ending, then delivers what was queued behind it, so a
    // stray second one shows.
    bool waitForEnd()
    {
        const bool ended = waitUntil([&] { return terminals() >= 1; }, 60000);
        flushEvents();
        return ended;
    }

    QStringList events;
    QVector<int> percents;
    qint32 code = 0;
    QString text;
    bool offThread = false;
};

class DataBurnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        out = work("out");
        QDir().mkpath(out);
        image = out + "/disc.iso";
        drives = std::make_unique<Drives>(QStringList{"stdio:" + image, "stdio:" + out + "/second.iso"});
    }

    // Burns to drive D and waits for its one ending.
    void burn(cAudioDataBurner &b, DataRun &run, qint32 speed = 65535)
    {
        b.Burn("D", speed);
        EXPECT_TRUE(run.events.isEmpty() && run.percents.isEmpty()) << "an event arrived inside Burn";
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.terminals(), 1) << run.events.join(' ').toStdString();
        EXPECT_FALSE(run.offThread) << "an event arrived on the worker thread";
    }

    QString out;
    QString image;
    std::unique_ptr<Drives> drives;
};

TEST_F(DataBurnerTest, ListsImageDrivesWithLettersAndNoSpeeds)
{
    cAudioDataBurner b;
    ASSERT_EQ(b.DriveCount(), 2);
    EXPECT_EQ(b.DriveName(1), "D: " + image + " (image file)");
    EXPECT_EQ(b.DriveName(2).left(3), "E: ");
    EXPECT_EQ(b.DriveName(0), QString());
    EXPECT_EQ(b.DriveName(3), QString());
    EXPECT_EQ(b.SpeedCount("D"), 0);
    EXPECT_EQ(b.Speed(1), 0);
}

TEST_F(DataBurnerTest, ReadyAndEmptyFollowTheImageFile)
{
    cAudioDataBurner b;
    EXPECT_TRUE(b.IsReady("D"));
    EXPECT_TRUE(b.IsEmpty("D"));
    EXPECT_TRUE(b.IsEmpty("d:")) << "a letter in any case, with or without its colon";
    writeFile(image, "written before");
    EXPECT_TRUE(b.IsReady("D")) << "a written disc is still in the drive";
    EXPECT_FALSE(b.IsEmpty("D"));
    EXPECT_FALSE(b.IsReady("Q")) << "no such drive";
    EXPECT_FALSE(b.IsEmpty("Q"));

    Drives missingFolder({"stdio:" + work("no-such-folder/disc.iso")});
    cAudioDataBurner other;
    EXPECT_FALSE(other.IsReady("D"));
    EXPECT_FALSE(other.IsEmpty("D"));
}

TEST_F(DataBurnerTest, BurnsFilesIntoAnIsoWithShortAndJolietNames)
{
    const QString longName = QStringLiteral("A rather long track name, with blanks and Ümlauts.mp3");
    const QMap<QString, QByteArray> files = {
        {"song.mp3", pattern(1, 5000)},
        {longName, pattern(2, 70000)},
        {"empty.wma", QByteArray()},
    };
    cAudioDataBurner b;
    for (auto it = files.begin(); it != files.end(); ++it)
        ASSERT_TRUE(b.AddFile(writeFile(work("src/" + it.key()), it.value()))) << it.key().toStdString();
    b.VolumeName("My Music");
    b.FileSystem("CDFS");
    b.IdentityText1("Sonvale");
    b.IdentityText2("Sonvale");
    b.BurnOption(false);
    DataRun run(b);
    burn(b, run);

    EXPECT_EQ(run.events, QStringList({"BurnStart", "ClosingSession", "Finished"})) << run.text.toStdString();
    ASSERT_FALSE(run.percents.isEmpty());
    EXPECT_EQ(run.percents.last(), 100);
    EXPECT_TRUE(std::is_sorted(run.percents.begin(), run.percents.end()));
    EXPECT_EQ(filesIn(out), QStringList{"disc.iso"}) << "no temporary file is left";
    EXPECT_TRUE(fileMagic(image).startsWith("ISO 9660")) << fileMagic(image).toStdString();

    const IsoTree joliet = readIso(image, true);
    ASSERT_TRUE(joliet.found);
    EXPECT_EQ(joliet.volumeId, "My Music");
    ASSERT_EQ(joliet.entries.keys(), files.keys());
    for (auto it = files.begin(); it != files.end(); ++it)
        EXPECT_EQ(isoFileData(image, joliet.entries[it.key()]), it.value()) << it.key().toStdString();

    const IsoTree primary = readIso(image, false);
    ASSERT_TRUE(primary.found);
    EXPECT_EQ(primary.entries.size(), 3);
    EXPECT_TRUE(primary.entries.contains("SONG.MP3"));
    for (const QString &name : primary.entries.keys()) {
        const QStringList parts = name.split('.');
        EXPECT_LE(parts[0].size(), 8) << name.toStdString();
        EXPECT_EQ(name, name.toUpper()) << "level 1 names are upper case";
    }
    EXPECT_EQ(isoFileData(image, primary.entries["SONG.MP3"]), files["song.mp3"]);

    // The list was taken by the burn; a second burn has nothing to write.
    DataRun again(b);
    b.Burn("E", 65535);
    ASSERT_TRUE(again.waitForEnd());
    EXPECT_EQ(again.events, QStringList{"Message"});
    EXPECT_EQ(again.code, BurnError::NothingToBurn);
    EXPECT_FALSE(QFile::exists(out + "/second.iso"));
}

TEST_F(DataBurnerTest, AddFileRefusesWhatTheDiscCannotHold)
{
    cAudioDataBurner b;
    const QString a = writeFile(work("a/track.mp3"), "one");
    const QString sameName = writeFile(work("b/track.mp3"), "two");
    EXPECT_TRUE(b.AddFile(a));
    EXPECT_TRUE(b.AddFile(a)) << "the same file again is on the list once";
    EXPECT_FALSE(b.AddFile(sameName)) << "a second file of the same name";
    EXPECT_FALSE(b.AddFile(work("missing.mp3")));
    EXPECT_FALSE(b.AddFile(QString()));

    DataRun run(b);
    burn(b, run);
    EXPECT_EQ(run.events.last(), "Finished") << run.text.toStdString();
    EXPECT_EQ(readIso(image, true).entries.keys(), QStringList{"track.mp3"});
}

// Each way a burn fails ends in one Message with a reason, and leaves any
// image there as it was and no new one.
TEST_F(DataBurnerTest, FailuresEndInAMessageAndWriteNothing)
{
    struct Case {
        const char *name;
        QString fileSystem;
        bool imageThere;
        bool removeSource;
        QString letter;
        qint32 code;
        QString textHas;
    };
    const QVector<Case> cases = {
        {"UDF", "UDF", false, false, "D", BurnError::Unsupported, "UDF"},
        {"unknown file system", "HFS", false, false, "D", BurnError::Unsupported, "HFS"},
        {"disc not blank", "CDFS", true, false, "D", BurnError::DriveNotReady, "already exists"},
        {"source gone", "CDFS", false, true, "D", BurnError::SourceError, "does not exist"},
        {"no such drive", "CDFS", false, false, "X", BurnError::NoDrive, "X:"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(image);
        const QString source = writeFile(work("src/file.mp3"), pattern(3, 1000));
        if (c.imageThere)
            writeFile(image, "an earlier disc");
        cAudioDataBurner b;
        ASSERT_TRUE(b.AddFile(source));
        if (c.removeSource)
            QFile::remove(source);
        b.FileSystem(c.fileSystem);
        DataRun run(b);
        b.Burn(c.letter, 65535);
        EXPECT_TRUE(run.events.isEmpty());
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.events, QStringList{"Message"});
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.text.contains(c.textHas)) << run.text.toStdString();
        if (c.imageThere) {
            QFile f(image);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), "an earlier disc");
            EXPECT_EQ(filesIn(out), QStringList{"disc.iso"});
        } else {
            EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
        }
    }
}

TEST(DataBurnerDevices, NoWriterGivesAClearMessage)
{
    Drives none({});
    cAudioDataBurner b;
    EXPECT_EQ(b.DriveCount(), 0);
    EXPECT_FALSE(b.IsReady("D"));
    b.AddFile(writeFile(work("x.mp3"), "x"));
    DataRun run(b);
    b.Burn("D", 65535);
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.events, QStringList{"Message"});
    EXPECT_EQ(run.code, BurnError::NoDrive);
    EXPECT_EQ(run.text, "There is no CD writer.");
}

TEST_F(DataBurnerTest, AbortLeavesNoImage)
{
    // Large enough that the write is still running when the abort comes.
    QFile big(work("src/big.bin"));
    QDir().mkpath(work("src"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(400) << 20));
    big.close();
    for (bool atOnce : {true, false}) {
        SCOPED_TRACE(atOnce ? "abort at once" : "abort while writing");
        cAudioDataBurner b;
        ASSERT_TRUE(b.AddFile(big.fileName()));
        DataRun run(b);
        if (!atOnce)
            QObject::connect(&b, &cAudioDataBurner::Progress, &b, [&b] { b.Abort(); });
        b.Burn("D", 65535);
        if (atOnce)
            b.Abort();
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.events.last(), "Message");
        EXPECT_EQ(run.code, BurnError::Aborted) << run.text.toStdString();
        EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
    }

    // The writer library is still winding the aborted write down; a burn
    // started right away must wait for it, not be taken as written.
    cAudioDataBurner next;
    ASSERT_TRUE(next.AddFile(writeFile(work("src/after.mp3"), pattern(5, 4096))));
    DataRun run(next);
    burn(next, run);
    EXPECT_EQ(run.events.last(), "Finished") << run.text.toStdString();
    const IsoTree joliet = readIso(image, true);
    ASSERT_TRUE(joliet.entries.contains("after.mp3"));
    EXPECT_EQ(isoFileData(image, joliet.entries["after.mp3"]), pattern(5, 4096));
}

TEST_F(DataBurnerTest, ASourceCutShortWhileWritingFailsTheBurn)
{
    // The disc must never be reported good with a file's tail made up or mixed.
    QFile big(work("src/shrinking.bin"));
    QDir().mkpath(work("src"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(200) << 20));
    big.close();
    cAudioDataBurner b;
    ASSERT_TRUE(b.AddFile(big.fileName()));
    DataRun run(b);
    QObject::connect(&b, &cAudioDataBurner::BurnStart, &b, [&big] { QFile::resize(big.fileName(), 1000); });
    b.Burn("D", 65535);
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.events.last(), "Message") << run.events.join(' ').toStdString();
    EXPECT_EQ(run.code, BurnError::SourceError) << run.text.toStdString();
    EXPECT_TRUE(run.text.contains("shrinking.bin changed")) << run.text.toStdString();
    EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
}

TEST_F(DataBurnerTest, TerminateStopsARunningBurn)
{
    QFile big(work("src/big.bin"));
    QDir().mkpath(work("src"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(400) << 20));
    big.close();
    {
        cAudioDataBurner b;
        ASSERT_TRUE(b.AddFile(big.fileName()));
        b.Burn("D", 65535);
        b.Terminate();
    }
    flushEvents();
    EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
}

} // namespace
