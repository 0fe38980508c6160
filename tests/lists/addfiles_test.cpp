#include "commands_fixture.h"

#include "controls/ui/DataObject.h"
#include "core/mdlFileTime.h"
#include "support/AudioFiles.h"
#include "lists/frmStat.h"
#include "settings/OptionSettings.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QThread>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace Row = ItemsListRow;

namespace {

class AddingFiles : public ListWindowTest {
protected:
    void SetUp() override
    {
        ListWindowTest::SetUp();
        savedCopyTags = g_bCopyID3FromSource;
        g_bCopyID3FromSource = true;
    }

    void TearDown() override
    {
        g_bCopyID3FromSource = savedCopyTags;
        g_bSelectTheLastItem = false;
        for (QString *tag :
             {&g_sTagAlbum, &g_sTagArtist, &g_sTagComment, &g_sTagGenre, &g_sTagYear, &g_sTagSong, &g_sTagTrack})
            tag->clear();
        ListWindowTest::TearDown();
    }

    bool savedCopyTags = false;

    // An empty list "Alpha" and a list "Beta" of one item; Alpha is shown.
    frmMain &loadTwoLists()
    {
        writeList(QStringLiteral("Alpha.flst"), QString());
        writeList(QStringLiteral("Beta.flst"), rec("1", "kept", wav(QStringLiteral("kept.wav"), 1000)));
        frmMain &main = load();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Alpha"))));
        return main;
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        ListFixtures::writeBytes(path, bytes);
        return path;
    }

    int recordsIn(const QString &list) const
    {
        return int(ItemsListFile::recordPieces(QString::fromUtf8(listBytes(list))).size());
    }
};

TEST_F(AddingFiles, AnUnreadableFileIsReportedAndLeavesNoGap)
{
    frmMain &main = loadTwoLists();
    const QString a = taggedWav(QStringLiteral("a.wav"), 1000, QStringLiteral("Title A"), QStringLiteral("Artist A"),
                                QStringLiteral("Album A"));
    const QString bad = file(QStringLiteral("bad.wav"), "this is not audio at all");
    const QString c = taggedWav(QStringLiteral("c:d.wav"), 2500, QStringLiteral("Title C"), QStringLiteral("Artist C"),
                                QStringLiteral("Album C"));

    EXPECT_EQ(addAndWait(main, {a, bad, c}), 2);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Cannot add ") + bad + QStringLiteral(": not an audio file FFmpeg can read.")});
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    const struct {
        QString name, file, time, title, artist, album;
    } rows[] = {
        {QStringLiteral("a.wav"), a, QStringLiteral("00:00:01"), QStringLiteral("Title A"), QStringLiteral("Artist A"),
         QStringLiteral("Album A")},
        // 2.5 s is 2 s; the colon a file name may not hold is taken out.
        {QStringLiteral("cd.wav"), c, QStringLiteral("00:00:02"), QStringLiteral("Title C"), QStringLiteral("Artist C"),
         QStringLiteral("Album C")},
    };
    for (int r = 1; r <= 2; ++r) {
        SCOPED_TRACE(r);
        const auto &expected = rows[r - 1];
        EXPECT_EQ(icon(main, r, Row::Inc), Row::IconMarked);
        EXPECT_EQ(icon(main, r, Row::Type), Row::IconAudio);
        EXPECT_EQ(cell(main, r, Row::ItemName), expected.name);
        EXPECT_EQ(cell(main, r, Row::File), expected.file);
        EXPECT_EQ(cell(main, r, Row::Time), expected.time);
        EXPECT_EQ(cell(main, r, Row::BytesSize), QString::number(QFileInfo(expected.file).size()));
        EXPECT_FALSE(cell(main, r, Row::Size).isEmpty());
        const QDateTime created = main.cGrid1->CellValue(r, main.cGrid1->ColumnIndex(QStringLiteral("Created"))).toDateTime();
        EXPECT_EQ(created, mdlFileTime::GetFileCreated(expected.file));
        EXPECT_EQ(created.timeSpec(), Qt::LocalTime);
        EXPECT_EQ(cell(main, r, Row::Range), QStringLiteral("All"));
        EXPECT_EQ(cell(main, r, Row::RangeAll), QStringLiteral("1"));
        EXPECT_TRUE(cell(main, r, Row::RangeStart).isEmpty());
        EXPECT_EQ(cell(main, r, Row::TagTitle), expected.title);
        EXPECT_EQ(cell(main, r, Row::TagArtist), expected.artist);
        EXPECT_EQ(cell(main, r, Row::TagAlbum), expected.album);
    }
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
    EXPECT_TRUE(main.picEmptyMsg->isHidden());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    EXPECT_TRUE(main.PanelText(QStringLiteral("Items List Properties")).startsWith(QStringLiteral("2 Items, ")));
    EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), gridAsFile(main));
    EXPECT_EQ(g_frmStat, nullptr);
}

TEST_F(AddingFiles, WithoutCopyingTagsRowsGetTheDefaultTagsAndTheLastRowCanBeSelected)
{
    frmMain &main = loadTwoLists();
    g_bCopyID3FromSource = false;
    g_bSelectTheLastItem = true;
    g_sTagAlbum = QStringLiteral("Default album");
    g_sTagArtist = QStringLiteral("Default artist");
    g_sTagComment = QStringLiteral("Default comment");
    g_sTagGenre = QStringLiteral("Default genre");
    g_sTagYear = QStringLiteral("2024");
    g_sTagSong = QStringLiteral("%S");
    g_sTagTrack = QStringLiteral("%N");
    const QString a = taggedWav(QStringLiteral("a.wav"), 1000, QStringLiteral("Own title"), QStringLiteral("Own artist"),
                                QStringLiteral("Own album"));
    const QString b = wav(QStringLiteral("b.wav"), 1000);
    EXPECT_EQ(addAndWait(main, {a, b}), 2);
    const struct {
        int column;
        QString value;
    } tags[] = {
        {Row::TagAlbum, QStringLiteral("Default album")},  {Row::TagArtist, QStringLiteral("Default artist")},
        {Row::TagComment, QStringLiteral("Default comment")}, {Row::TagGenre, QStringLiteral("Default genre")},
        {Row::TagYear, QStringLiteral("2024")},            {Row::TagTitle, QStringLiteral("%S")},
        {Row::TagTrack, QStringLiteral("%N")},
    };
    for (const auto &t : tags)
        EXPECT_EQ(cell(main, 1, t.column), t.value) << t.column;
    EXPECT_EQ(main.cGrid1->SelectedRow(), 2);
}

TEST_F(AddingFiles, FoldersAndOtherTypesArePassedOverSilently)
{
    frmMain &main = loadTwoLists();
    const QString text = file(QStringLiteral("notes.txt"), "hello");
    const QString dir = TestEnv::workFolder() + QStringLiteral("/folder.wav");
    QDir().mkpath(dir);
    const QString good = wav(QStringLiteral("good.wav"), 1000);

    EXPECT_EQ(addAndWait(main, {text, dir, good}), 1);
    EXPECT_TRUE(messages().isEmpty());
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(cell(main, 1, Row::File), good);

    // The same file again is one more row.
    EXPECT_EQ(addAndWait(main, {good}), 1);
    EXPECT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), 2);
}

// A file the add cannot take is named with the reason, and the files around
// it still go in, in their order.
TEST_F(AddingFiles, RefusedFilesAreNamedWithTheReason)
{
    frmMain &main = loadTwoLists();
    const QString good = wav(QStringLiteral("good.wav"), 1000);
    const QByteArray wavStart = ListFixtures::readBytes(good).left(30);
    const struct {
        QString path;
        const char *reason;
    } refused[] = {
        {file(QStringLiteral("empty.wav"), QByteArray()), "the file is empty."},
        {file(QStringLiteral("text.mp3"), "This is a letter, not a song.\n"), "not an audio file FFmpeg can read."},
        {file(QStringLiteral("short.wav"), wavStart), "not an audio file FFmpeg can read."},
        // A name without an extension is tried too.
        {file(QStringLiteral("noextension"), "garbage"), "not an audio file FFmpeg can read."},
        {TestEnv::workFolder() + QStringLiteral("/gone.wav"), "the file does not exist."},
    };
    QStringList paths{good};
    QStringList expected;
    for (const auto &r : refused) {
        paths << r.path;
        expected << QStringLiteral("Cannot add ") + r.path + QStringLiteral(": ") + QLatin1String(r.reason);
    }
    paths << good;

    EXPECT_EQ(addAndWait(main, paths), 2);
    EXPECT_EQ(messages(), expected);
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(cell(main, 1, Row::File), good);
    EXPECT_EQ(cell(main, 2, Row::File), good);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), 2);
}

TEST_F(AddingFiles, NothingAddedToAnEmptyListShowsTheEmptyPanel)
{
    frmMain &main = loadTwoLists();
    EXPECT_EQ(addAndWait(main, {file(QStringLiteral("a.txt"), "x")}), 0);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.picEmptyMsg->isHidden());
}

TEST_F(AddingFiles, SupportedTypesAndLegalNames)
{
    const struct {
        const char *name;
        bool supported;
    } types[] = {
        {"song.mp3", true}, {"SONG.WAV", true}, {"x.wma", true}, {"x.ogg", true},
        {"x.com", true},    {"x.log", true},    {"noext", true}, {"x.txt", false},
        {"x.pdf", false},
    };
    for (const auto &t : types)
        EXPECT_EQ(frmStat::SupportAudioFile(QString::fromUtf8(t.name)), t.supported) << t.name;

    const struct {
        const char *in, *out;
    } names[] = {
        {"a:b:c", "ab:c"}, {"a?b?c", "ab?c"}, {"<a>|*", "a"}, {"plain.wav", "plain.wav"},
    };
    for (const auto &n : names)
        EXPECT_EQ(frmStat::getLegaName(QString::fromUtf8(n.in)), QString::fromUtf8(n.out)) << n.in;
}

TEST_F(AddingFiles, TheOpenDialogAddsTheChosenFiles)
{
    frmMain &main = loadTwoLists();
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    const QString b = wav(QStringLiteral("b.wav"), 1000);
    main.AddFiles();
    ASSERT_EQ(testServices().prompter->openRequests.size(), 1);
    EXPECT_EQ(testServices().prompter->openRequests.first().title, QStringLiteral("Add audio files"));
    EXPECT_TRUE(testServices().prompter->openRequests.first().multiSelect);
    EXPECT_EQ(main.cGrid1->Rows(), 0);

    testServices().prompter->openAnswers << QStringList{a, b};
    main.AddFiles();
    ASSERT_TRUE(addEnded());
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(cell(main, 1, Row::File), a);
    EXPECT_EQ(cell(main, 2, Row::File), b);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), 2);
}

TEST_F(AddingFiles, DropsAddToListsOnly)
{
    frmMain &main = loadTwoLists();
    const QString a = wav(QStringLiteral("a.wav"), 1000);

    // Onto the empty-list panel, as the file manager drops.
    main.show();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(a)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.lblAddorDrag, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.lblAddorDrag, &drop);
    ASSERT_TRUE(waitUntil([&] { return main.cGrid1->Rows() == 1; }, 10000));
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), 1);

    // Onto the grid, with a missing path among the dropped ones.
    main.cGrid1_OLEDragDrop(DataObject({a, TestEnv::workFolder() + QStringLiteral("/gone.wav")}), 1, 1, 0, 0, 0);
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_TRUE(messages().isEmpty());

    // While the root is selected nothing is added anywhere.
    const QByteArray alpha = listBytes(QStringLiteral("Alpha.flst"));
    EXPECT_TRUE(ListLoads::show(main, g_oItemsListsRoot));
    g_oItemsListsRoot->setSelected(true);
    main.cGrid1_OLEDragDrop(DataObject({a}), 1, 1, 0, 0, 0);
    EXPECT_EQ(g_frmStat, nullptr);
    flushEvents();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), alpha);
}

// Counts the key presses that reach a window, and those among them that came
// while a call was in hand.
class KeyWatch : public QObject {
public:
    bool insideCall = false;
    int keys = 0;
    int keysInsideCall = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            ++keys;
            keysInsideCall += insideCall ? 1 : 0;
        }
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(AddingFiles, TheAddReturnsAtOnceAndNoInputIsServedInsideTheCall)
{
    frmMain &main = loadTwoLists();
    QStringList paths;
    for (int i = 1; i <= 4; ++i)
        paths << wav(QStringLiteral("f%1.wav").arg(i), 1000);
    KeyWatch watch;
    main.installEventFilter(&watch);
    // A key press waiting in the queue when the add starts.
    QCoreApplication::postEvent(&main, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));

    int ended = -1;
    watch.insideCall = true;
    const bool started = AddFiles::addToSelectedList(main, paths, [&ended](int added) { ended = added; });
    watch.insideCall = false;
    const int rowsOnReturn = main.cGrid1->Rows();

    EXPECT_TRUE(started);
    EXPECT_EQ(rowsOnReturn, 0);
    EXPECT_EQ(ended, -1);
    EXPECT_EQ(watch.keysInsideCall, 0);
    EXPECT_NE(g_frmStat, nullptr);
    // A second add meanwhile neither starts nor writes.
    EXPECT_FALSE(AddFiles::addToSelectedList(main, paths, [](int) { ADD_FAILURE() << "a second add ended"; }));

    ASSERT_TRUE(waitUntil([&] { return ended >= 0; }, 60000));
    main.removeEventFilter(&watch);
    EXPECT_EQ(ended, 4);
    EXPECT_EQ(watch.keys, 1);
    EXPECT_EQ(main.cGrid1->Rows(), 4);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), 4);
    EXPECT_EQ(g_frmStat, nullptr);
}

// Unloading the window the add belongs to while files are still being opened
// stops and joins the workers with the add-files window.
TEST_F(AddingFiles, UnloadingTheMainWindowDuringAnAddIsSafe)
{
    frmMain &main = loadTwoLists();
    QStringList paths;
    for (int i = 1; i <= 30; ++i)
        paths << wav(QStringLiteral("f%1.wav").arg(i), 1000);
    bool called = false;
    ASSERT_TRUE(AddFiles::addToSelectedList(main, paths, [&called](int) { called = true; }));
    ASSERT_TRUE(waitUntil([&] { return main.cGrid1->Rows() >= 1; }, 60000));
    Forms::unload(&main);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    flushEvents();
    EXPECT_EQ(Forms::main(), nullptr);
    EXPECT_EQ(g_frmStat, nullptr);
    // Called back, if at all, only while the main window was still there.
    Q_UNUSED(called);
}

TEST_F(AddingFiles, AClickOnAnotherListDuringAnAddChangesNeither)
{
    frmMain &main = loadTwoLists();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    // More rows than one pass of the add writes: one file many times over.
    constexpr int kPaths = 4000;
    const QStringList paths(kPaths, wav(QStringLiteral("f.wav"), 1000));
    cTreeNode *alpha = listNode(QStringLiteral("Alpha"));
    cTreeNode *beta = listNode(QStringLiteral("Beta"));
    const QByteArray betaBefore = listBytes(QStringLiteral("Beta.flst"));
    const auto clickBeta = [&] {
        const QPoint at = main.cTreeView1->viewport()->mapTo(&main, main.cTreeView1->nodeRect(beta).center());
        QTest::mouseClick(main.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    };

    bool clicked = false;
    bool modal = false;
    QTimer poll;
    // A zero timer runs at each pass the add gives the event loop, however
    // quickly its files open.
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clicked || !g_frmStat || main.cGrid1->Rows() < 2)
            return;
        clicked = true;
        modal = QApplication::activeModalWidget() == g_frmStat;
        clickBeta();
    });
    poll.start();
    EXPECT_EQ(addAndWait(main, paths), kPaths);
    poll.stop();

    EXPECT_TRUE(clicked);
    EXPECT_TRUE(modal);
    EXPECT_EQ(main.cTreeView1->SelectedItem(), alpha);
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(main.cGrid1->Rows(), kPaths);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), kPaths);
    EXPECT_EQ(listBytes(QStringLiteral("Beta.flst")), betaBefore);

    // The same click once the add is over does select the other list.
    clickBeta();
    EXPECT_TRUE(waitUntil([&] { return main.cTreeView1->SelectedItem() == beta; }, 5000));
    EXPECT_TRUE(ListLoads::settle(main));
    EXPECT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), kPaths);
}

TEST_F(AddingFiles, CancelKeepsTheRowsWrittenSoFar)
{
    frmMain &main = loadTwoLists();
    // More rows than one pass of the add writes: one file many times over.
    constexpr int kPaths = 4000;
    const QStringList paths(kPaths, wav(QStringLiteral("f.wav"), 1000));
    int barMin = 0, barMax = 0, barValue = 0;
    bool barShown = false;
    QTimer poll;
    // A zero timer runs at each pass the add gives the event loop, however
    // quickly its files open.
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (g_frmStat && main.cGrid1->Rows() >= 2) {
            barMin = g_frmStat->cProgressBar1->minimum();
            barMax = g_frmStat->cProgressBar1->maximum();
            barValue = g_frmStat->cProgressBar1->value();
            barShown = g_frmStat->isVisible() && g_frmStat->cProgressBar1->isVisible();
            g_frmStat->cmdCancel->click();
        }
    });
    poll.start();
    const int added = addAndWait(main, paths);
    poll.stop();
    EXPECT_GE(added, 2);
    EXPECT_LT(added, kPaths);
    EXPECT_EQ(main.cGrid1->Rows(), added);
    EXPECT_EQ(recordsIn(QStringLiteral("Alpha.flst")), added);
    EXPECT_TRUE(g_bCancelAddFiles);
    // The bar counts the paths from 1 and ends one short of its maximum.
    EXPECT_TRUE(barShown);
    EXPECT_EQ(barMin, 1);
    EXPECT_EQ(barMax, kPaths + 1);
    EXPECT_GE(barValue, 2);
}

// The threads of this process, as the kernel counts them.
int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

TEST_F(AddingFiles, RowsFollowTheGivenOrderWhicheverFilesOpenFirst)
{
    frmMain &main = loadTwoLists();
    // MP3s take a full probe, WAVs are read from their headers: later files
    // are done first. Lengths tell the rows apart.
    const auto mp3 = [this](const QString &name, int ms) {
        const QString source = wav(name + QStringLiteral(".src.wav"), ms, 8000);
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        EXPECT_TRUE(TestAudio::ffmpeg({"-i", source, "-c:a", "libmp3lame", path}));
        return path;
    };
    const struct {
        QString path;
        QString time;
    } files[] = {
        {mp3(QStringLiteral("m1.mp3"), 2000), QStringLiteral("00:00:02")},
        {wav(QStringLiteral("w1.wav"), 1000), QStringLiteral("00:00:01")},
        {wav(QStringLiteral("w3.wav"), 3000), QStringLiteral("00:00:03")},
        {mp3(QStringLiteral("m4.mp3"), 4000), QStringLiteral("00:00:04")},
        {wav(QStringLiteral("w5.wav"), 5000), QStringLiteral("00:00:05")},
        {mp3(QStringLiteral("m6.mp3"), 6000), QStringLiteral("00:00:06")},
        {wav(QStringLiteral("w1.wav"), 1000), QStringLiteral("00:00:01")},
        {wav(QStringLiteral("w7.wav"), 7000), QStringLiteral("00:00:07")},
    };
    QStringList paths;
    for (const auto &f : files)
        paths << f.path;

    EXPECT_EQ(addAndWait(main, paths), 8);
    ASSERT_EQ(main.cGrid1->Rows(), 8);
    for (int r = 1; r <= 8; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(cell(main, r, Row::File), files[r - 1].path);
        EXPECT_EQ(cell(main, r, Row::Time), files[r - 1].time);
    }
    EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), gridAsFile(main));
}

// Should another list take the grid while files are still being opened, what
// is still to come is dropped rather than written into the other list.
TEST_F(AddingFiles, FilesStillToComeAreDroppedWhenTheListChangesMeanwhile)
{
    frmMain &main = loadTwoLists();
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    const QString bad = file(QStringLiteral("bad.wav"), "this is not audio at all");
    QStringList paths{a, bad};
    for (int i = 1; i <= 30; ++i)
        paths << wav(QStringLiteral("f%1.wav").arg(i), 1000);
    const QByteArray betaBefore = listBytes(QStringLiteral("Beta.flst"));
    const QByteArray alphaBefore = listBytes(QStringLiteral("Alpha.flst"));
    const int threadsBefore = threadCount();
    int threadsWhileAdding = 0;
    testServices().prompter->whileShown = [&](const MessageRequest &) {
        threadsWhileAdding = threadCount();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Beta"))));
    };

    addAndWait(main, paths);
    testServices().prompter->whileShown = nullptr;

    EXPECT_EQ(messages(), QStringList{QStringLiteral("Cannot add ") + bad + QStringLiteral(": not an audio file FFmpeg can read.")});
    EXPECT_TRUE(ListLoads::settle(main));
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("kept"));
    EXPECT_TRUE(main.cGrid1->Redraw());
    EXPECT_EQ(listBytes(QStringLiteral("Beta.flst")), betaBefore);
    EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), alphaBefore);
    EXPECT_EQ(g_frmStat, nullptr);
    // A few workers, never one per file.
    EXPECT_GT(threadsWhileAdding, 0);
    EXPECT_LE(threadsWhileAdding - threadsBefore, QThread::idealThreadCount());
}

} // namespace
