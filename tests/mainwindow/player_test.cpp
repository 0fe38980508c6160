#include "support/MainWindowFixture.h"

#include "support/AudioFixtures.h"
#include "support/SoundDevices.h"

#include "controls/audio/cPlayer.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cSlider.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "lists/ItemsListRow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>

namespace {

namespace Row = ItemsListRow;

class Player : public MainWindowShellTest {
protected:
    static QString tone(const QString &name, double seconds)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        Fixture::writeWav(path, {44100, 1, 16}, qint64(seconds * 44100));
        return path;
    }

    static bool bold(frmMain &main, int row) { return main.cGrid1->CellFont(row, 3).bold(); }

    void press(frmMain &main, const char *key)
    {
        main.tlbrRecorder->buttonWidget(main.tlbrRecorder->ButtonIndex(QLatin1String(key)))->click();
    }

    static void setMark(frmMain &main, int row, bool marked)
    {
        main.cGrid1->setCellIcon(row, main.cGrid1->ColumnIndex(Row::key(Row::Inc)),
                                 marked ? Row::IconMarked : Row::IconUnmarked);
    }
};

} // namespace

TEST_F(Player, NothingToPlayOrAMissingFile)
{
    writeFilesList(QStringLiteral("Empty"), {});
    frmMain &main = load();
    press(main, "Play");
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    // Pause while idle is released again.
    press(main, "Pause");
    EXPECT_FALSE(main.tlbrRecorder->ButtonChecked(QStringLiteral("Pause")));
    Forms::unload(&main);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString kept = tone(QStringLiteral("kept.wav"), 0.5);
    const QString gone = tone(QStringLiteral("gone.wav"), 0.5);
    writeFilesList(QStringLiteral("Empty"), {kept, gone});
    frmMain &again = load();
    ASSERT_EQ(again.cGrid1->Rows(), 2);
    QFile::remove(gone);
    again.cGrid1->setSelectedRow(2);
    press(again, "Play");
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text, gone + QStringLiteral(" is not existed."));
    EXPECT_EQ(testServices().prompter->messages.first().icon(), int(Msg::Information));
    // The list is read again; the row stays, marked as missing its file.
    ASSERT_TRUE(ListLoads::settle(again));
    EXPECT_EQ(again.cGrid1->Rows(), 2);
    EXPECT_TRUE(again.cGrid1->CellFont(2, again.cGrid1->ColumnIndex(Row::key(Row::ItemName))).italic());
    EXPECT_FALSE(again.cPlayer1->IsPlaying());
}

TEST_F(Player, ADotFileIsPlayedNotReportedMissing)
{
    const QString intro = tone(QStringLiteral(".intro.wav"), 1.5);
    writeFilesList(QStringLiteral("Songs"), {intro});
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    main.cGrid1->setSelectedRow(1);
    ASSERT_TRUE(haveOutput());
    press(main, "Play");
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_TRUE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Playing"));
    press(main, "Stop");
}

TEST_F(Player, PlaysPausesAndStopsTheSelectedItem)
{
    writeFilesList(QStringLiteral("Songs"), {tone(QStringLiteral("a.wav"), 1.5), tone(QStringLiteral("b.wav"), 8)});
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    main.cGrid1->setSelectedRow(2);
    main.LoadSelectedItemToPlayer();
    EXPECT_EQ(main.lbTotalLengthSec->text(), QStringLiteral("0:00:08"));
    {
        // Without a sound device the player says why and changes nothing.
        const NoDevices none;
        press(main, "Play");
        EXPECT_TRUE(waitUntil([] { return !testServices().prompter->messages.isEmpty(); }, 5000));
        EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
        EXPECT_FALSE(main.tmSlider->isActive());
        EXPECT_FALSE(bold(main, 2));
    }
    testServices().prompter->messages.clear();
    ASSERT_TRUE(haveOutput());
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Playing"));
    EXPECT_EQ(main.cStatusBar1->PanelIcon(QStringLiteral("Main")), 38);
    EXPECT_EQ(main.cSlider1->Max(), 8);
    EXPECT_TRUE(bold(main, 2));
    EXPECT_FALSE(bold(main, 1));
    EXPECT_TRUE(main.cTreeView1->SelectedItem()->Bold());
    EXPECT_TRUE(main.tmSlider->isActive());
    EXPECT_TRUE(main.tmrAudioData->isActive());
    EXPECT_TRUE(waitUntil([&] { return main.cSlider1->Value() >= 1; }, 5000));
    EXPECT_NE(main.lblCurrentPositionSec->text(), QStringLiteral("0:00:00"));

    // The status bar says what the player does: paused, or playing again
    // whether the button is released or Play is pressed.
    press(main, "Pause");
    EXPECT_TRUE(main.cPlayer1->IsPaused());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Paused"));
    press(main, "Pause");
    EXPECT_FALSE(main.cPlayer1->IsPaused());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Playing"));
    press(main, "Pause");
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Paused"));
    // Play while paused resumes the same item.
    press(main, "Play");
    EXPECT_FALSE(main.cPlayer1->IsPaused());
    EXPECT_FALSE(main.tlbrRecorder->ButtonChecked(QStringLiteral("Pause")));
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Playing"));
    // Stop while paused resumes, then stops.
    press(main, "Pause");
    press(main, "Stop");
    EXPECT_FALSE(main.tlbrRecorder->ButtonChecked(QStringLiteral("Pause")));
    EXPECT_FALSE(main.cPlayer1->IsPlaying());
    EXPECT_TRUE(waitUntil([&] { return main.PanelText(QStringLiteral("Main")) == QLatin1String("Ready."); }, 5000));
    EXPECT_EQ(main.cStatusBar1->PanelIcon(QStringLiteral("Main")), 47);
    EXPECT_FALSE(bold(main, 2));
    EXPECT_FALSE(main.cTreeView1->SelectedItem()->Bold());
    EXPECT_EQ(main.cSlider1->Value(), 0);
    EXPECT_EQ(main.lblCurrentPositionSec->text(), QStringLiteral("0:00:00"));
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(Player, AnItemThatEndsGoesOnWithTheNextMarkedRow)
{
    ASSERT_TRUE(haveOutput());
    QStringList files;
    for (int i = 1; i <= 5; ++i)
        files << tone(QStringLiteral("t%1.wav").arg(i), 0.3);
    writeFilesList(QStringLiteral("Short"), files);
    g_bGoToNextItem = true;
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 5);
    for (int r = 1; r <= 5; ++r)
        setMark(main, r, r == 3 || r == 5);
    main.cGrid1->setSelectedRow(2);
    QList<int> played;
    QObject::connect(main.tmSlider, &QTimer::timeout, [&] {
        if (played.isEmpty() || played.last() != main.cGrid1->SelectedRow())
            played << main.cGrid1->SelectedRow();
    });
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    // Shorter than a second, the item still gives the slider a length of 1.
    EXPECT_EQ(main.cSlider1->Max(), 1);
    EXPECT_TRUE(waitUntil([&] { return main.cGrid1->SelectedRow() == 5 && !main.cPlayer1->IsPlaying()
                                       && main.PanelText(QStringLiteral("Main")) == QLatin1String("Ready."); },
                          15000));
    EXPECT_EQ(main.cGrid1->SelectedRow(), 5);
    EXPECT_TRUE(played.contains(3));
    EXPECT_FALSE(played.contains(4));
    // At the last row nothing more plays: the end moves on at once or never.
    flushEvents();
    EXPECT_FALSE(main.tmrPlayer->isActive());
    EXPECT_FALSE(main.cPlayer1->IsPlaying());
}

TEST_F(Player, PlayWhilePlayingRestartsWithTheSelectedRow)
{
    ASSERT_TRUE(haveOutput());
    writeFilesList(QStringLiteral("Songs"), {tone(QStringLiteral("a.wav"), 6), tone(QStringLiteral("b.wav"), 4)});
    g_bGoToNextItem = true;
    frmMain &main = load();
    main.cGrid1->setSelectedRow(1);
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    main.cGrid1->setSelectedRow(2);
    press(main, "Play");
    EXPECT_TRUE(main.tmrPlayer->isActive());
    EXPECT_TRUE(waitUntil([&] { return main.cPlayer1->IsPlaying() && bold(main, 2); }, 5000));
    EXPECT_FALSE(main.tmrPlayer->isActive());
    EXPECT_EQ(main.cSlider1->Max(), 4);
    EXPECT_FALSE(bold(main, 1));
}

TEST_F(Player, ACommandStopsTheItemWithoutMovingOn)
{
    ASSERT_TRUE(haveOutput());
    writeFilesList(QStringLiteral("Songs"), {tone(QStringLiteral("a.wav"), 6), tone(QStringLiteral("b.wav"), 6)});
    g_bGoToNextItem = true;
    frmMain &main = load();
    main.cGrid1->setSelectedRow(1);
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    // Item number 0 runs no command; the dispatcher still stops the item first.
    main.m_cMenu_Click(0);
    EXPECT_FALSE(main.cPlayer1->IsPlaying());
    EXPECT_TRUE(waitUntil([&] { return main.PanelText(QStringLiteral("Main")) == QLatin1String("Ready."); }, 5000));
    flushEvents();
    EXPECT_FALSE(main.tmrPlayer->isActive());
    EXPECT_FALSE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
}

TEST_F(Player, ALateEndOfTheItemStoppedForARestartLeavesTheNextPlaying)
{
    ASSERT_TRUE(haveOutput());
    writeFilesList(QStringLiteral("Songs"), {tone(QStringLiteral("a.wav"), 6), tone(QStringLiteral("b.wav"), 6)});
    frmMain &main = load();
    main.cGrid1->setSelectedRow(1);
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    QSignalSpy ends(main.cPlayer1, &cPlayer::PlayEnd);
    main.cGrid1->setSelectedRow(2);
    press(main, "Play");
    ASSERT_TRUE(main.tmrPlayer->isActive());
    // The restart's tick comes before the first item's end has arrived.
    main.tmrPlayer_Timer();
    ASSERT_TRUE(main.cPlayer1->IsPlaying());
    ASSERT_TRUE(waitForSignal(ends, 1, 5000));
    EXPECT_TRUE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Playing"));
    EXPECT_TRUE(main.tmSlider->isActive());
    EXPECT_TRUE(bold(main, 2));
    EXPECT_FALSE(bold(main, 1));
    press(main, "Stop");
}

TEST_F(Player, TheListIsNotClearedUnderAnItemThatCannotBeStopped)
{
    ASSERT_TRUE(haveOutput());
    writeFilesList(QStringLiteral("Songs"), {tone(QStringLiteral("a.wav"), 6), tone(QStringLiteral("b.wav"), 6)});
    frmMain &main = load();
    QFile list(listFile(QStringLiteral("Songs")));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray before = list.readAll();
    list.close();
    main.cGrid1->setSelectedRow(1);
    press(main, "Play");
    ASSERT_TRUE(main.cPlayer1->IsPlaying());

    // A player toolbar without its Stop button cannot stop the item.
    cToolbar *const kept = main.tlbrRecorder;
    cToolbar bare;
    main.tlbrRecorder = &bare;
    main.ClearTheList(true);
    main.tlbrRecorder = kept;
    EXPECT_TRUE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.cGrid1->Rows(), 2);
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), before);
    list.close();

    // Once it can be stopped, the list is cleared.
    main.ClearTheList(true);
    EXPECT_FALSE(main.cPlayer1->IsPlaying());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}
