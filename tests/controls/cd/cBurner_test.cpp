#include "BurnFixtures.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/cBurner.h"
#include "support/LocaleGuard.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace BurnFixture;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// Runs xorriso, an independent reader of discs, in a UTF-8 locale; its
// output, or the reason it failed.
QString xorriso(const QStringList &arguments, bool *ok)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    p.setProcessEnvironment(env);
    p.start("xorriso", arguments);
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return *ok ? QString::fromUtf8(p.readAllStandardOutput()) : QString::fromUtf8(p.readAllStandardError());
}

// Every path of the image's tree as xorriso reads it: "norock" reads the
// Joliet tree, "any" the Rock Ridge one.
QStringList xorrisoTree(const QString &image, const char *readFs)
{
    bool ok = false;
    const QString out = xorriso({"-read_fs", readFs, "-indev", image, "-find", "/"}, &ok);
    EXPECT_TRUE(ok) << out.toStdString();
    QStringList paths;
    for (QString line : out.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('\'') && line.endsWith('\''))
            paths << line.mid(1, line.size() - 2);
    }
    paths.sort();
    return paths;
}

struct EngineRun {
    explicit EngineRun(cBurner &b)
    {
        auto note = [this](const QString &e) {
            events << e;
            offThread = offThread || QThread::currentThread() != qApp->thread();
        };
        QObject::connect(&b, &cBurner::Initializing, [note] { note("Initializing"); });
        QObject::connect(&b, &cBurner::Adding, [this, note](const QString &p) {
            added << p;
            note("Adding");
        });
        QObject::connect(&b, &cBurner::Counts, [this, note](qint32 f, qint32 d) {
            files = f;
            dirs = d;
            note("Counts");
        });
        QObject::connect(&b, &cBurner::StartBurning, [note] { note("StartBurning"); });
        QObject::connect(&b, &cBurner::Progress, [this](qint32 p) { percents << p; });
        QObject::connect(&b, &cBurner::Finalization, [note] { note("Finalization"); });
        QObject::connect(&b, &cBurner::Completed, [note] { note("Completed"); });
        QObject::connect(&b, &cBurner::DoneBurn, [note] { note("DoneBurn"); });
        QObject::connect(&b, &cBurner::Canceled, [note] { note("Canceled"); });
        QObject::connect(&b, &cBurner::BurnEnd, [note] { note("BurnEnd"); });
        QObject::connect(&b, &cBurner::Error, [this, note](const QString &c, const QString &t) {
            code = c;
            text = t;
            note("Error");
        });
    }
    int terminals() const { return int(events.count("BurnEnd") + events.count("Error")); }
    bool waitForEnd()
    {
        const bool ended = waitUntil([&] { return terminals() >= 1; }, 60000);
        flushEvents();
        return ended && terminals() == 1;
    }

    QStringList events;
    QStringList added;
    QVector<int> percents;
    int files = -1;
    int dirs = -1;
    QString code;
    QString text;
    bool offThread = false;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        out = work("out");
        QDir().mkpath(out);
        image = out + "/disc.iso";
        drives = std::make_unique<Drives>(QStringList{"stdio:" + out + "/first.iso", "stdio:" + image});
    }
    QString out;
    QString image;
    std::unique_ptr<Drives> drives;
};

TEST_F(EngineTest, OfferedWithGivenWritersAndNamesThemFromIndexZero)
{
    EXPECT_TRUE(cBurner::IsInstalled());
    cBurner b;
    ASSERT_EQ(b.DriveCount(), 2);
    EXPECT_EQ(b.DriveName(0), "D: " + out + "/first.iso");
    EXPECT_EQ(b.DriveName(1), "E: " + image);
    EXPECT_EQ(b.DriveID(1), "Image file");
    EXPECT_EQ(b.DriveName(2), QString());
    EXPECT_EQ(b.DriveID(-1), QString());
}

TEST_F(EngineTest, BurnsFilesAndFoldersAndReportsEveryStage)
{
    cBurner b;
    const QString a = writeFile(work("src/Intro to the album.mp3"), pattern(4, 3000));
    const QString folder = work("src/Bonus");
    writeFile(folder + "/one.txt", "one");
    writeFile(folder + "/Deeper/two.txt", "two");
    // A link back up the tree inside the folder is not followed; a file
    // given through a link is burned under the link's name.
    ASSERT_TRUE(QFile::link(folder, folder + "/Deeper/loop"));
    const QString linked = work("src/Linked.mp3");
    ASSERT_TRUE(QFile::link(a, linked));
    b.ClearFiles();
    b.AddFile(writeFile(work("src/dropped.mp3"), "cleared before the burn"));
    b.ClearFiles();
    b.FileSystemISO(true);
    b.FileSystemJoliet(true);
    b.FileSystemUDF(false);
    b.VolumeName("Holiday");
    b.AddFile(a);
    b.AddFile(folder);
    b.AddFile(linked);
    EngineRun run(b);
    QStringList warnings;
    QObject::connect(&b, &cBurner::Warning, [&warnings](const QString &text) { warnings << text; });
    b.Burn(1);
    EXPECT_TRUE(run.events.isEmpty()) << "an event arrived inside Burn";
    ASSERT_TRUE(run.waitForEnd()) << run.events.join(' ').toStdString();
    EXPECT_FALSE(run.offThread);
    EXPECT_EQ(run.events,
        QStringList({"Initializing", "Adding", "Adding", "Adding", "Counts", "StartBurning", "Finalization", "Completed",
            "DoneBurn", "BurnEnd"}))
        << run.text.toStdString();
    EXPECT_EQ(run.added, QStringList({a, folder, linked}));
    EXPECT_EQ(run.files, 4);
    EXPECT_EQ(run.dirs, 2);
    EXPECT_EQ(run.percents.value(run.percents.size() - 1), 100);
    EXPECT_EQ(filesIn(out), QStringList{"disc.iso"}) << "drive index 1 is the second drive";
    // Joliet has no links: the one inside the folder stays out of that tree,
    // which the burn's log is told.
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("/Bonus/Deeper/loop")) << warnings[0].toStdString();

    const IsoTree joliet = readIso(image, true);
    ASSERT_TRUE(joliet.found);
    EXPECT_EQ(joliet.volumeId, "Holiday");
    EXPECT_EQ(joliet.entries.keys(),
        QStringList({"Bonus", "Bonus/Deeper", "Bonus/Deeper/two.txt", "Bonus/one.txt", "Intro to the album.mp3",
            "Linked.mp3"}));
    EXPECT_EQ(isoFileData(image, joliet.entries["Linked.mp3"]), pattern(4, 3000));
    EXPECT_EQ(isoFileData(image, joliet.entries["Bonus/Deeper/two.txt"]), "two");
    EXPECT_EQ(isoFileData(image, joliet.entries["Intro to the album.mp3"]), pattern(4, 3000));
}

TEST_F(EngineTest, NamesReachEveryReaderWholeUnderTheCLocale)
{
    CLocaleGuard plain("C");
    const QString unicode = QString::fromUtf8("Gr\u00fc\u00dfe \u2013 \u0416\u0443\u043a \u65e5\u672c.mp3");
    const QString longName = QString("Track with a name far longer than any short format allows ").repeated(3).left(125)
        + ".mp3";
    ASSERT_EQ(longName.size(), 129);
    const QString folder = QString::fromUtf8("Ordner \u00e4\u00f6\u00fc");
    const QString inner = QString::fromUtf8("Lied \u00df.mp3");
    const QMap<QString, QByteArray> sources = {
        {unicode, pattern(1, 5000)},
        {longName, pattern(2, 3000)},
        {folder + "/" + inner, pattern(3, 70000)},
    };
    cBurner b;
    b.FileSystemISO(true);
    b.FileSystemJoliet(true);
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        writeFile(work("src/" + it.key()), it.value());
    b.AddFile(work("src/" + unicode));
    b.AddFile(work("src/" + longName));
    b.AddFile(work("src/" + folder));
    EngineRun run(b);
    b.Burn(1);
    ASSERT_TRUE(run.waitForEnd());
    ASSERT_EQ(run.events.last(), "BurnEnd") << run.text.toStdString();

    // Rock Ridge holds every name whole; Joliet too, but for the one past its
    // 103 characters, which keeps its extension. xorriso lists them sorted.
    EXPECT_EQ(xorrisoTree(image, "any"),
        QStringList({"/", "/" + unicode, "/" + folder, "/" + folder + "/" + inner, "/" + longName}));
    QStringList joliet = xorrisoTree(image, "norock");
    const QStringList cut = joliet.filter("/Track with");
    ASSERT_EQ(cut.size(), 1) << joliet.join('|').toStdString();
    const QString shortened = cut.first().mid(1);
    EXPECT_GE(shortened.size(), 103) << shortened.toStdString();
    EXPECT_TRUE(shortened.endsWith(".mp3") && longName.startsWith(shortened.chopped(4))) << shortened.toStdString();
    joliet.removeOne(cut.first());
    EXPECT_EQ(joliet, QStringList({"/", "/" + unicode, "/" + folder, "/" + folder + "/" + inner}));

    // Every file comes back out of the disc as it went in.
    const QString extracted = work("extracted");
    bool ok = false;
    const QString out = xorriso({"-osirrox", "on", "-indev", image, "-extract", "/", extracted}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    QStringList found;
    for (QDirIterator it(extracted, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << it.next().mid(extracted.size() + 1);
    found.sort();
    EXPECT_EQ(found, sources.keys());
    for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
        QFile f(extracted + "/" + it.key());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << it.key().toStdString();
        EXPECT_EQ(f.readAll(), it.value()) << it.key().toStdString();
    }
}

// Every file of the disc's folders under the given root of a tree, by its
// path below root, with its content, as xorriso extracts them.
QMap<QString, QByteArray> extractTree(const QString &image, const char *readFs, const QString &into)
{
    bool ok = false;
    const QString out = xorriso({"-read_fs", readFs, "-osirrox", "on", "-indev", image, "-extract", "/", into}, &ok);
    EXPECT_TRUE(ok) << out.toStdString();
    QMap<QString, QByteArray> files;
    for (QDirIterator it(into, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile f(it.next());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        files.insert(f.fileName().mid(into.size() + 1), f.readAll());
    }
    return files;
}

TEST_F(EngineTest, FilesDeeperThanJolietPathsAllowReachBothTrees)
{
    // Nine folders down, names of 200 characters: far past the 240 bytes of
    // a Joliet path and the eight levels of an ISO 9660 one.
    QString relative = "Deep";
    for (int level = 1; level <= 9; ++level)
        relative += QStringLiteral("/Level %1 of the folders").arg(level);
    QMap<QString, QByteArray> sources;
    for (int i = 0; i < 3; ++i) {
        const QString name
            = QStringLiteral("%1 ").arg(i) + QString("a long name for a file far down ").repeated(7).left(194) + ".mp3";
        ASSERT_EQ(name.size(), 200);
        sources.insert(relative + "/" + name, pattern(10 + i, 3000 + i));
        writeFile(work("src/" + relative + "/" + name), sources.last());
    }
    sources.insert("Deep/top.mp3", pattern(20, 100));
    writeFile(work("src/Deep/top.mp3"), sources.last());
    cBurner b;
    b.FileSystemISO(true);
    b.FileSystemJoliet(true);
    b.AddFile(work("src/Deep"));
    EngineRun run(b);
    QStringList warnings;
    QObject::connect(&b, &cBurner::Warning, [&warnings](const QString &text) { warnings << text; });
    b.Burn(1);
    ASSERT_TRUE(run.waitForEnd());
    ASSERT_EQ(run.events.last(), "BurnEnd") << run.text.toStdString() << " " << warnings.join('|').toStdString();
    EXPECT_EQ(run.files, 4);

    // Rock Ridge gives every file back under its own path.
    EXPECT_EQ(extractTree(image, "any", work("rockridge")), sources);
    // Joliet cuts the names to 103 characters but keeps every file, with
    // its content, in its folder.
    const QMap<QString, QByteArray> joliet = extractTree(image, "norock", work("joliet"));
    ASSERT_EQ(joliet.size(), sources.size()) << QStringList(joliet.keys()).join('|').toStdString();
    for (auto it = joliet.cbegin(); it != joliet.cend(); ++it) {
        const QString folder = it.key().section('/', 0, -2);
        const QString name = it.key().section('/', -1);
        const auto source = std::find_if(sources.cbegin(), sources.cend(), [&](const QByteArray &data) {
            return data == it.value();
        });
        ASSERT_NE(source, sources.cend()) << it.key().toStdString();
        EXPECT_EQ(folder, source.key().section('/', 0, -2));
        EXPECT_TRUE(source.key().section('/', -1).startsWith(name.chopped(4))) << name.toStdString();
    }
}

TEST_F(EngineTest, IsoAloneWritesNoJolietTree)
{
    cBurner b;
    b.FileSystemISO(true);
    b.FileSystemJoliet(false);
    b.AddFile(writeFile(work("src/Long file name.mp3"), "data"));
    EngineRun run(b);
    b.Burn(1);
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.events.last(), "BurnEnd") << run.text.toStdString();
    EXPECT_FALSE(readIso(image, true).found);
    const IsoTree primary = readIso(image, false);
    ASSERT_EQ(primary.entries.size(), 1);
    EXPECT_EQ(isoFileData(image, primary.entries.first()), "data");
}

// A burn that cannot be done ends in one Error naming the reason, and writes
// nothing: the window then gives its controls back without the end events.
TEST_F(EngineTest, RefusedBurnsEndInErrorAndWriteNothing)
{
    struct Case {
        const char *name;
        bool iso, joliet, udf;
        bool missingFile;
        qint32 drive;
        qint32 code;
        QString textHas;
    };
    const QVector<Case> cases = {
        {"UDF with the others", true, true, true, false, 1, BurnError::Unsupported, "UDF"},
        {"UDF alone", false, false, true, false, 1, BurnError::Unsupported, "UDF"},
        {"no file system", false, false, false, false, 1, BurnError::Unsupported, "file system"},
        {"missing file", true, true, false, true, 1, BurnError::SourceError, "gone.mp3"},
        {"drive index past the list", true, true, false, false, 2, BurnError::NoDrive, "2"},
        {"negative drive index", true, true, false, false, -1, BurnError::NoDrive, "-1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cBurner b;
        b.FileSystemISO(c.iso);
        b.FileSystemJoliet(c.joliet);
        b.FileSystemUDF(c.udf);
        b.AddFile(writeFile(work("src/kept.mp3"), "kept"));
        if (c.missingFile)
            b.AddFile(work("src/gone.mp3"));
        EngineRun run(b);
        b.Burn(c.drive);
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.events.last(), "Error");
        EXPECT_EQ(run.events.count("BurnEnd"), 0);
        EXPECT_EQ(run.code, QString::number(c.code));
        EXPECT_TRUE(run.text.contains(c.textHas)) << run.text.toStdString();
        EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
    }
}

TEST_F(EngineTest, AbortCancelsThenEndsInErrorWithoutAnImage)
{
    QFile big(work("src/big.bin"));
    QDir().mkpath(work("src"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(400) << 20));
    big.close();
    cBurner b;
    b.AddFile(big.fileName());
    EngineRun run(b);
    QObject::connect(&b, &cBurner::Progress, &b, [&b] { b.Abort(); });
    b.Burn(1);
    ASSERT_TRUE(run.waitForEnd());
    ASSERT_GE(run.events.size(), 2);
    EXPECT_EQ(run.events.mid(run.events.size() - 2), QStringList({"Canceled", "Error"}));
    EXPECT_EQ(run.code, QString::number(BurnError::Aborted));
    EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
}

TEST(EngineOffer, NotOfferedWithoutAWriterOfDvds)
{
    // With the list given empty there is no writer at all; with none given the
    // default image drive alone does not make a DVD writer, and this machine
    // has no optical drive that the test could rely on.
    Drives none({});
    EXPECT_FALSE(cBurner::IsInstalled());
    cBurner b;
    EXPECT_EQ(b.DriveCount(), 0);
    EngineRun run(b);
    b.Burn(0);
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.code, QString::number(BurnError::NoDrive));
    EXPECT_EQ(run.text, "There is no CD or DVD writer.");
}

} // namespace
