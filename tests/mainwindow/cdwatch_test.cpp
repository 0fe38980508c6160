#include "support/MainWindowFixture.h"

#include "support/CdFixtures.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "lists/ItemsListRow.h"

#include <QFile>
#include <QLabel>
#include <QTimer>

#include <functional>

namespace {

namespace Row = ItemsListRow;

// Drives are images: a disc is a CUE/BIN with tracks, an empty drive a CUE
// without any.
class CdWatch : public MainWindowShellTest {
protected:
    void SetUp() override
    {
        MainWindowShellTest::SetUp();
        g_lAppIncCDRipper = 1;
    }

    // Answers the CUE path of drive n (from 0), empty at first.
    QString drive(int n)
    {
        const QString folder = TestEnv::workFolder() + QStringLiteral("/drive%1").arg(n);
        QDir().mkpath(folder);
        const QString cue = folder + QStringLiteral("/disc.cue");
        empty(cue);
        return cue;
    }

    static void empty(const QString &cue)
    {
        QFile bin(QString(cue).replace(QStringLiteral(".cue"), QStringLiteral(".bin")));
        ASSERT_TRUE(bin.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QFile file(cue);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("FILE \"disc.bin\" BINARY\r\n");
    }

    // Two audio tracks of 2 and 3 seconds and a data track.
    static void insert(const QString &cue)
    {
        const QVector<CdFixture::Track> tracks{{true, 150}, {true, 225}, {false, 150}};
        ASSERT_FALSE(CdFixture::writeImage(QFileInfo(cue).path(), QStringLiteral("disc"), tracks).isEmpty());
    }

    static void useDrives(const QStringList &cues)
    {
        qputenv("SONVALE_CD_DEVICES", QFile::encodeName(cues.join(QLatin1Char(':'))));
    }

    static cTreeNode *driveNode(int k)
    {
        return g_oAudioCDsRoot ? g_oAudioCDsRoot->Child().Item(k) : nullptr;
    }

    static QString cell(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellText(row, main.cGrid1->ColumnIndex(Row::key(column)));
    }

    static int icon(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellIcon(row, main.cGrid1->ColumnIndex(Row::key(column)));
    }
};

} // namespace

TEST_F(CdWatch, ADriveNodeListsTheTracksOfItsDisc)
{
    const QString d = drive(0);
    insert(d);
    useDrives({d});
    g_sTagAlbum = QStringLiteral("Default album");
    g_sTagTrack = QStringLiteral("7");
    frmMain &main = load();
    ASSERT_NE(driveNode(1), nullptr);
    EXPECT_EQ(driveNode(1)->Text(), QStringLiteral("D:"));
    EXPECT_EQ(driveNode(1)->Key(), QStringLiteral("##CD") + main.cAudioCDRipper1->DeviceName(0));
    EXPECT_TRUE(ListLoads::show(main, driveNode(1)));

    ASSERT_EQ(main.cGrid1->Rows(), 3);
    const int audio[] = {1, 1, 0};
    const int type[] = {3, 3, 4};
    const int seconds[] = {2, 3, 2};
    for (int r = 1; r <= 3; ++r) {
        SCOPED_TRACE(r);
        const QString name = QStringLiteral("Track0%1.cda").arg(r);
        EXPECT_EQ(cell(main, r, Row::ItemName), name);
        EXPECT_EQ(cell(main, r, Row::File), QStringLiteral("D:/") + name);
        EXPECT_EQ(icon(main, r, Row::Inc), audio[r - 1]);
        EXPECT_EQ(icon(main, r, Row::Type), type[r - 1]);
        EXPECT_EQ(cell(main, r, Row::Time), QStringLiteral("00:00:0%1").arg(seconds[r - 1]));
        EXPECT_EQ(cell(main, r, Row::BytesSize), QString::number(seconds[r - 1] * 176400));
        EXPECT_EQ(cell(main, r, Row::Range), QStringLiteral("All"));
        EXPECT_EQ(cell(main, r, Row::RangeAll), QStringLiteral("1"));
        EXPECT_TRUE(cell(main, r, Row::RangeStart).isEmpty());
        EXPECT_EQ(cell(main, r, Row::TagAlbum), QStringLiteral("Default album"));
        EXPECT_EQ(cell(main, r, Row::TagTrack), QStringLiteral("7"));
    }
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    EXPECT_TRUE(main.picEmptyMsg->isHidden());
    EXPECT_TRUE(main.tmrCDs->isActive());
    EXPECT_EQ(main.tmrCDs->interval(), 5000);
    EXPECT_TRUE(routed.isEmpty());

    // The last row when asked for, and the database lookup at once.
    g_bSelectTheLastItem = true;
    g_bAutoFreeDB = true;
    EXPECT_TRUE(ListLoads::show(main, driveNode(1)));
    EXPECT_EQ(main.cGrid1->SelectedRow(), 3);
    EXPECT_EQ(routed, QStringList{QStringLiteral("FreeDB")});
}

TEST_F(CdWatch, TheWatchListsADiscPutInAndClearsOneTakenOut)
{
    const QString d = drive(0);
    useDrives({d});
    frmMain &main = load();
    EXPECT_TRUE(ListLoads::show(main, driveNode(1)));
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.picEmptyMsg->isHidden());
    EXPECT_EQ(main.lblAddorDrag->text(), QStringLiteral("Insert an Audio CD to the CD drive."));

    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 0);

    insert(d);
    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    // A name the database gave the disc stays while the disc is in.
    driveNode(1)->setText(QStringLiteral("Some Album"));
    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_EQ(driveNode(1)->Text(), QStringLiteral("Some Album"));

    empty(d);
    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_EQ(driveNode(1)->Text(), QStringLiteral("D:"));
    EXPECT_FALSE(main.picEmptyMsg->isHidden());

    // A drive that cannot be opened is passed over: nothing changes.
    insert(d);
    main.tmrCDs_Timer();
    ASSERT_EQ(main.cGrid1->Rows(), 3);
    QFile::remove(d);
    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 3);
}

TEST_F(CdWatch, OnlyADriveWithoutADiscSaysSo)
{
    const struct {
        const char *name;
        std::function<void(const QString &cue)> drive;
        QStringList messages;
    } cases[] = {
        {"no disc", [](const QString &) {}, {QStringLiteral("There is no CD in the drive.")}},
        {"a data disc",
         [](const QString &cue) {
             ASSERT_FALSE(CdFixture::writeImage(QFileInfo(cue).path(), QStringLiteral("disc"), {{false, 150}}).isEmpty());
         },
         {}},
        {"a drive that cannot be opened", [](const QString &cue) { QFile::remove(cue); }, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString d = drive(0);
        c.drive(d);
        useDrives({d});
        frmMain &main = load();
        EXPECT_TRUE(ListLoads::show(main, driveNode(1)));
        EXPECT_EQ(testServices().prompter->messageTexts(), c.messages);
        for (const MessageRequest &message : testServices().prompter->messages)
            EXPECT_EQ(message.icon(), int(Msg::Information));
        EXPECT_EQ(main.cGrid1->Rows(), 0);
        EXPECT_FALSE(main.picEmptyMsg->isHidden());
        EXPECT_EQ(main.lblAddorDrag->text(), QStringLiteral("Insert an Audio CD to the CD drive."));
        EXPECT_TRUE(main.prgStatus->isHidden());
        EXPECT_NE(main.cursor().shape(), Qt::WaitCursor);
        EXPECT_EQ(main.PanelText(QStringLiteral("Items List Properties")), QStringLiteral("0 Items, 0 KB, 00:00:00"));
        testServices().prompter->messages.clear();
        TearDown();
        g_lAppIncCDRipper = 1;
    }
}

TEST_F(CdWatch, OnlyTheSelectedDriveIsListedByTheWatch)
{
    const QString d = drive(0);
    const QString e = drive(1);
    useDrives({d, e});
    frmMain &main = load();
    EXPECT_TRUE(ListLoads::show(main, driveNode(1)));
    driveNode(2)->setText(QStringLiteral("Old name"));
    insert(e);
    main.tmrCDs_Timer();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_EQ(main.cTreeView1->SelectedItem(), driveNode(1));
    EXPECT_EQ(driveNode(1)->Text(), QStringLiteral("D:"));
    EXPECT_EQ(driveNode(2)->Text(), QStringLiteral("Old name"));
}

TEST_F(CdWatch, AddAudioCdLoadsTheFirstDriveHoldingADisc)
{
    struct Case {
        const char *name;
        bool first;
        bool second;
        int loaded; // 0: none
    };
    const Case cases[] = {
        {"only the second", false, true, 2}, {"both", true, true, 1}, {"neither", false, false, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString d = drive(0);
        const QString e = drive(1);
        if (c.first)
            insert(d);
        if (c.second)
            insert(e);
        useDrives({d, e});
        frmMain &main = load(QStringLiteral("-addaudiocd"));
        QCoreApplication::processEvents();
        if (c.loaded == 0) {
            EXPECT_NE(main.cTreeView1->SelectedItem(), driveNode(1));
            EXPECT_NE(main.cTreeView1->SelectedItem(), driveNode(2));
        } else {
            EXPECT_EQ(main.cTreeView1->SelectedItem(), driveNode(c.loaded));
            EXPECT_EQ(main.cGrid1->Rows(), 3);
        }
        TearDown();
        g_lAppIncCDRipper = 1;
    }
}

TEST_F(CdWatch, AnEditionWithoutTheRipperHasNoDrivesToWatch)
{
    const QString d = drive(0);
    insert(d);
    useDrives({d});
    g_lAppIncCDRipper = 0;
    frmMain &main = load(QStringLiteral("-addaudiocd"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(g_oAudioCDsRoot.isNull());
    EXPECT_FALSE(main.tmrCDs->isActive());
    main.tmrCDs_Timer();
    cTreeNode *selected = main.cTreeView1->SelectedItem();
    ASSERT_NE(selected, nullptr);
    EXPECT_FALSE(frmMain::IsCDNode(selected->Key()));
}

TEST_F(CdWatch, DeviceErrorsAreShownWithTheirCode)
{
    useDrives({drive(0)});
    frmMain &main = load();
    main.cAudioCDRipper1_Error(5, QStringLiteral("The drive is not ready."));
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text, QStringLiteral("The drive is not ready. (5)"));
    EXPECT_EQ(testServices().prompter->messages.first().icon(), int(Msg::NoIcon));
    EXPECT_EQ(testServices().prompter->messages.first().buttons(), int(Msg::OkOnly));
}

TEST_F(CdWatch, WithoutItemsListsTheLoadShowsTheFirstDrive)
{
    const QString d = drive(0);
    insert(d);
    useDrives({d});
    g_lAppIncItemsLists = 0;
    frmMain &main = load();
    EXPECT_TRUE(g_oItemsListsRoot.isNull());
    EXPECT_EQ(main.cTreeView1->SelectedItem(), driveNode(1));
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    TearDown();

    // Neither lists nor drives: nothing is loaded and the load completes.
    g_lAppIncItemsLists = 0;
    g_lAppIncCDRipper = 0;
    frmMain &bare = load();
    EXPECT_EQ(bare.cGrid1->Rows(), 0);
    EXPECT_EQ(bare.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
}
