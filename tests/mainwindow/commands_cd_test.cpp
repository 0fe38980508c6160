#include "support/MainWindowFixture.h"

#include "support/CdFixtures.h"
#include "support/LoopbackCddbServer.h"

#include "controls/cd/CdDevices.h"
#include "controls/cd/CdToc.h"
#include "controls/ui/cStatusBar.h"
#include "core/mdlFunctions.h"
#include "tools/rip/frmCDRipper.h"
#include "tools/rip/frmFreeDB.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

namespace Row = ItemsListRow;

// Tracks of 2, 3 and 1 seconds, then a data track.
const QVector<CdFixture::Track> kDisc = {{true, 150}, {true, 225}, {true, 75}, {false, 60}};

// An edition with the CD ripper, its one drive D: holding kDisc.
class CdCommands : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        image = CdFixture::writeImage(TestEnv::workFolder(), QStringLiteral("disc"), kDisc);
        ASSERT_FALSE(image.isEmpty());
        qputenv("SONVALE_CD_DEVICES", QFile::encodeName(image));
        g_lAppIncCDRipper = 1;
    }

    // The lists and the drive, the drive's tracks in the grid.
    frmMain &loadDrive()
    {
        frmMain &main = loadSongs();
        drive = g_oAudioCDsRoot ? g_oAudioCDsRoot->Child().Item(1) : nullptr;
        EXPECT_NE(drive, nullptr);
        if (drive) {
            EXPECT_TRUE(ListLoads::show(main, drive));
        }
        EXPECT_EQ(main.cGrid1->Rows(), kDisc.size());
        return main;
    }

    QString image;
    cTreeNode *drive = nullptr;

private:
};

// What the ripper held when it came on screen.
struct ShownRipper {
    bool shown = false;
    qint32 secondsTotal = -1;
    QString caption, timePanel, sizePanel, subFolder, device;
    bool deviceLocked = false, openLocked = false;
    QStringList rows;
    QList<int> marks;
};

void watchRipper(ShownRipper &shown)
{
    MainWindowTest::onNextModal([&shown](QWidget *w) {
        auto *ripper = qobject_cast<frmCDRipper *>(w);
        if (!ripper)
            return;
        shown.shown = true;
        shown.secondsTotal = ripper->g_ltmrItemSecsTotal;
        shown.caption = ripper->lblFilesToConvert->text();
        shown.timePanel = ripper->cStatusBar1->PanelText(QStringLiteral("Total Size"));
        shown.sizePanel = ripper->cStatusBar1->PanelText(QStringLiteral("Total Time"));
        shown.subFolder = ripper->txtUndeForlder->text();
        shown.device = ripper->cboDevices->currentText();
        shown.deviceLocked = !ripper->cboDevices->isEnabled();
        shown.openLocked = !ripper->cmdOpenCD->isEnabled();
        const cGrid &grid = *ripper->cGrid1;
        for (int i = 1; i <= grid.Rows(); ++i) {
            shown.rows << grid.CellText(i, grid.ColumnIndex(Row::key(Row::ItemName)));
            shown.marks << grid.CellIcon(i, grid.ColumnIndex(Row::key(Row::Inc)));
        }
    });
}

} // namespace

TEST_F(CdCommands, TheRipperGetsEveryTrackWithItsMarkAndItsDriveLocked)
{
    frmMain &main = loadDrive();
    main.cGrid1->setCellIcon(2, 1, Row::IconUnmarked); // tracks 1 and 3 stay marked
    ShownRipper shown;
    watchRipper(shown);
    clearInfo(main);
    run(main, QStringLiteral("Audio CD Ripper"));

    ASSERT_TRUE(shown.shown);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(shown.caption, QStringLiteral("2 items to convert."));
    EXPECT_EQ(shown.secondsTotal, 3);
    EXPECT_EQ(shown.timePanel, QStringLiteral("Total Time: 0:00:03"));
    EXPECT_EQ(shown.sizePanel, QStringLiteral("Total Size: ") + main.GetTotalSize(true));
    EXPECT_EQ(shown.subFolder, mdlFunctions::MakeSafeFileName(drive->Text()));
    EXPECT_EQ(shown.rows, (QStringList{QStringLiteral("Track01.cda"), QStringLiteral("Track02.cda"),
                                       QStringLiteral("Track03.cda"), QStringLiteral("Track04.cda")}));
    EXPECT_EQ(shown.marks, (QList<int>{Row::IconMarked, Row::IconUnmarked, Row::IconMarked, Row::IconUnmarked}));
    EXPECT_TRUE(shown.device.startsWith(QStringLiteral("D:"))) << shown.device.toStdString();
    EXPECT_TRUE(shown.deviceLocked);
    EXPECT_TRUE(shown.openLocked);
    EXPECT_TRUE(infoRefreshed(main));
}

TEST_F(CdCommands, TheRipperGateSendsTheUserToADriveWithMarks)
{
    const QString blanks40(40, QLatin1Char(' '));
    frmMain &main = loadDrive();

    // No track marked.
    for (int row = 1; row <= main.cGrid1->Rows(); ++row)
        main.cGrid1->setCellIcon(row, 1, Row::IconUnmarked);
    run(main, QStringLiteral("Audio CD Ripper"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Mark the items to rip.") + QString(29, QLatin1Char(' '))});

    // A list, not a drive: the first drive is chosen and loaded instead.
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
    testServices().prompter->messages.clear();
    run(main, QStringLiteral("Audio CD Ripper"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Select the the Audio CD device to rip from.") + blanks40});
    EXPECT_EQ(main.cTreeView1->SelectedItem(), drive);
    EXPECT_EQ(main.cGrid1->Rows(), kDisc.size());

    // The drives' root.
    g_oAudioCDsRoot->setSelected(true);
    testServices().prompter->messages.clear();
    run(main, QStringLiteral("Audio CD Ripper"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Select the Items List of the CD.") + blanks40});
    EXPECT_EQ(main.cTreeView1->SelectedItem(), drive);

    EXPECT_EQ(Forms::cdRipper(), nullptr);
}

TEST_F(CdCommands, FreeDBLooksUpTheDriveAndNamesItsTracks)
{
    const quint32 id = cddbDiscId(CdTocReader::read(CdDevices::open(image).get()));
    LoopbackCddbServer server;
    const QString hex = QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
    server.addEntry(QStringLiteral("misc"), id, QStringLiteral("Band / Record"),
                    {"# xmcd", "#", "# Track frame offsets:", "#\t150", "#\t300", "#\t525", "#\t600", "#",
                     "# Disc length: 8 seconds", "#", "# Revision: 0", "# Submitted via: loopback 1.0", "#",
                     "DISCID=" + hex, "DTITLE=Band / Record", "DYEAR=2001", "DGENRE=Misc", "TTITLE0=First",
                     "TTITLE1=Second", "TTITLE2=Third", "TTITLE3=Data", "EXTD=", "EXTT0=", "EXTT1=", "EXTT2=",
                     "EXTT3=", "PLAYORDER="});
    qputenv("SONVALE_CDDB_SERVER", QStringLiteral("127.0.0.1:%1").arg(server.port()).toUtf8());
    frmMain &main = loadDrive();
    // Should the look-up never end, the window is closed rather than the test hung.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (frmFreeDB *window = Forms::freeDB())
            window->close();
    });
    guard.start(20000);
    clearInfo(main);
    run(main, QStringLiteral("FreeDB"));

    EXPECT_EQ(Forms::freeDB(), nullptr);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_EQ(main.cGrid1->CellText(1, main.cGrid1->ColumnIndex(Row::key(Row::ItemName))), QStringLiteral("First.cda"));
    EXPECT_EQ(main.cGrid1->CellText(3, main.cGrid1->ColumnIndex(Row::key(Row::ItemName))), QStringLiteral("Third.cda"));
    EXPECT_EQ(drive->Text(), QStringLiteral("Band - Record"));
    EXPECT_TRUE(infoRefreshed(main));
}
