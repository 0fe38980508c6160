#include "BurnWinFixture.h"

#include "controls/cd/cBurner.h"
#include "controls/ui/cGrid.h"
#include "core/UserSettingsStore.h"
#include "platform/Prompter.h"
#include "support/AudioFiles.h"
#include "support/IsoImage.h"
#include "support/ScriptedServices.h"
#include "tools/burn/frmDataBurner3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class DataBurnerTest : public BurnWinFixture {
protected:
    void SetUp() override
    {
        BurnWinFixture::SetUp();
        image = work(QStringLiteral("disc.iso"));
        useDrives({image});
    }
    void TearDown() override
    {
        closeWindow();
        BurnWinFixture::TearDown();
    }

    frmDataBurner3 &open(const QString &list = QStringLiteral("My list"))
    {
        frmDataBurner3 &w = Forms::loadDataBurner3();
        w.HandOverCommand(QStringLiteral("MP3 CD Maker"), mainRows(allRows()), list);
        return w;
    }

    static void closeWindow()
    {
        if (frmDataBurner3 *w = Forms::dataBurner3()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // Runs the event loop until the job has ended; true when it burned.
    static bool waitForBurn(const frmDataBurner3 &w)
    {
        waitUntil([&] { return !w.isRunning() && !w.isBurning(); }, 120000);
        return logMessages(w).contains(QStringLiteral("Done."));
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const MessageRequest &m : testServices().prompter->messages)
            texts << m.text;
        return texts;
    }

    QString image;
};

TEST_F(DataBurnerTest, ConvertsTheRowsIntoTheTemporaryFolderAndBurnsThemAsADataCd)
{
    const QString one = makeTone(QStringLiteral("one.wav"), 2, 440.0);
    const QString two = makeTone(QStringLiteral("two.wav"), 1, 660.0);
    for (const QString &source : {one, two})
        mainGrid->SetCell(addRow(source), mainGrid->ColumnIndex(QStringLiteral("COL_TAG_TRACK")), "[TRACK_NUM]");
    frmDataBurner3 &w = open();
    ASSERT_EQ(w.cmbEngine->currentIndex(), 0);
    ASSERT_EQ(w.cboTargetFormat->currentText(), kMp3Format);
    ASSERT_GT(w.cboDrv->count(), 0);

    w.cmdConvert->click();
    // A working window stays open, and its files stay where they are.
    EXPECT_FALSE(w.close());
    EXPECT_EQ(Forms::dataBurner3(), &w);
    ASSERT_TRUE(waitForBurn(w)) << logMessages(w).join('\n').toStdString();

    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.contains(QStringLiteral("Preparing to burn: 2 tracks."))) << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Add files to burn.")));
    EXPECT_TRUE(log.contains(QStringLiteral("Finished")));
    EXPECT_TRUE(log.contains(QStringLiteral("Erase temp files...")));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_TRUE(messageTexts().contains(QStringLiteral("Burn CD?") + QString(46, QLatin1Char(' '))));
    EXPECT_EQ(testServices().tray->balloons.last(), balloon(QStringLiteral("Done.")));

    // The disc holds both converted files under the template's names.
    const TestIso::IsoTree joliet = TestIso::readIso(image, true);
    ASSERT_TRUE(joliet.found);
    EXPECT_EQ(joliet.volumeId, QStringLiteral("My-list"));
    ASSERT_TRUE(joliet.entries.contains(QStringLiteral("one.mp3"))) << joliet.entries.keys().join(',').toStdString();
    ASSERT_TRUE(joliet.entries.contains(QStringLiteral("two.mp3")));
    for (const QString &name : {QStringLiteral("one.mp3"), QStringLiteral("two.mp3")}) {
        const QByteArray data = TestIso::isoFileData(image, joliet.entries.value(name));
        ASSERT_GT(data.size(), 200) << name.toStdString();
        // MP3 data, not the WAV source: an ID3 tag or a frame sync.
        EXPECT_TRUE(data.startsWith("ID3") || (uchar(data[0]) == 0xFF && (uchar(data[1]) & 0xE0) == 0xE0))
            << name.toStdString();
    }
    EXPECT_GT(TestIso::isoFileData(image, joliet.entries.value(QStringLiteral("one.mp3"))).size(),
              TestIso::isoFileData(image, joliet.entries.value(QStringLiteral("two.mp3"))).size());
    // "[TRACK_NUM]" is each item's number, as ffprobe reads it back.
    for (const auto &[name, number] : {std::pair{"one.mp3", "1"}, std::pair{"two.mp3", "2"}}) {
        const QString copy = work(QStringLiteral("disc-") + QLatin1String(name));
        QFile out(copy);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(TestIso::isoFileData(image, joliet.entries.value(QLatin1String(name))));
        out.close();
        EXPECT_EQ(TestAudio::probedTag(TestAudio::probe(copy), QStringLiteral("track")), QLatin1String(number)) << name;
    }

    // "Erase Temp files" is ticked by design: nothing is left behind.
    EXPECT_TRUE(QDir(tempFolder()).exists());
    EXPECT_EQ(filesIn(tempFolder()), QStringList());
    EXPECT_TRUE(QFile::exists(one));
    EXPECT_TRUE(QFile::exists(two));
}

TEST_F(DataBurnerTest, AnItemThatCannotBeConvertedEndsTheBurnDoneWithErrors)
{
    addRow(makeTone(QStringLiteral("one.wav"), 1, 440.0));
    addRow(work(QStringLiteral("missing.wav")));
    frmDataBurner3 &w = open();
    w.chkTurnOffComputer->setChecked(true);
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    waitUntil([&] { return !w.isRunning() && !w.isBurning(); }, 120000);

    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.contains(QStringLiteral("Finished"))) << log.join('\n').toStdString();
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.mid(log.size() - 2),
              (QStringList{QStringLiteral("1 of 2 items failed."), QStringLiteral("Done with errors.")}));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().tray->balloons.last(), balloon(QStringLiteral("Done with errors.")));
    EXPECT_EQ(turnOff.shown, 0);
    const TestIso::IsoTree joliet = TestIso::readIso(image, true);
    ASSERT_TRUE(joliet.found);
    EXPECT_EQ(joliet.entries.keys(), QStringList{QStringLiteral("one.mp3")});
}

TEST_F(DataBurnerTest, AConversionWithoutADestinationFormatIsRefusedBeforeAnything)
{
    addRow(makeTone(QStringLiteral("one.wav"), 1, 440.0));
    frmDataBurner3 &w = open();
    w.cboTargetFormat->setCurrentIndex(-1);

    w.cmdConvert->click();

    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Select the destination format.")});
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(logMessages(w).isEmpty());
    EXPECT_FALSE(QFileInfo(image).size() > 0);
}

TEST_F(DataBurnerTest, CopyModeBurnsTheSourcesUnchangedAndKeepsRowsNamedAlike)
{
    // Two sources of one name in different folders: both reach the disc.
    QDir().mkpath(work(QStringLiteral("a")));
    QDir().mkpath(work(QStringLiteral("b")));
    const QString first = makeTone(QStringLiteral("a/song.wav"), 1, 440.0);
    const QString second = makeTone(QStringLiteral("b/song.wav"), 2, 550.0);
    addRow(first);
    addRow(second);
    frmDataBurner3 &w = open();
    w.chkDoNotConvertSource->click();
    EXPECT_FALSE(w.cboTargetFormat->isEnabled());
    EXPECT_FALSE(w.cmdEditTargetFormat->isEnabled());
    w.chkEraseTempfiles->setChecked(false);

    w.cmdConvert->click();
    ASSERT_TRUE(waitForBurn(w)) << logMessages(w).join('\n').toStdString();

    const TestIso::IsoTree joliet = TestIso::readIso(image, true);
    ASSERT_TRUE(joliet.found);
    QFile a(first), b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = a.readAll(), secondBytes = b.readAll();
    // The copy keeps the target's extension although it holds the WAV data.
    ASSERT_EQ(joliet.entries.size(), 2) << joliet.entries.keys().join(',').toStdString();
    EXPECT_EQ(TestIso::isoFileData(image, joliet.entries.value(QStringLiteral("song.mp3"))), firstBytes);
    const QString other = joliet.entries.lastKey() == QLatin1String("song.mp3") ? joliet.entries.firstKey()
                                                                                 : joliet.entries.lastKey();
    EXPECT_EQ(TestIso::isoFileData(image, joliet.entries.value(other)), secondBytes);
    // Unticked, the temporary files stay until the window closes.
    EXPECT_EQ(filesIn(tempFolder()).size(), 2);
    closeWindow();
    EXPECT_EQ(filesIn(tempFolder()), QStringList());
}

TEST_F(DataBurnerTest, AnAbortedCopyLeavesNoTemporaryFileAndAsksNoBurnQuestion)
{
    addRow(makeTone(QStringLiteral("one.wav"), 2, 440.0));
    addRow(makeTone(QStringLiteral("two.wav"), 2, 550.0));
    frmDataBurner3 &w = open();
    w.chkDoNotConvertSource->click();
    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    testServices().prompter->answers << Msg::Yes;
    w.cmdAbort->click();
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon(QStringLiteral("Aborted."))});

    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_FALSE(messageTexts().contains(QStringLiteral("Burn CD?") + QString(46, QLatin1Char(' '))));
    EXPECT_EQ(filesIn(tempFolder()), QStringList());
    EXPECT_FALSE(QFile::exists(image));
}

TEST_F(DataBurnerTest, CopyModeNeverWritesAnItemOntoItself)
{
    // An item kept in the temporary folder under the name its copy would
    // take: copying it there would empty the user's file.
    const QString folder = tempFolder();
    QDir().mkpath(folder);
    const QString item = folder + QStringLiteral("/song.mp3");
    ASSERT_TRUE(QFile::copy(makeTone(QStringLiteral("song.wav"), 1, 440.0), item));
    QFile original(item);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    addRow(item);
    frmDataBurner3 &w = open();
    w.chkDoNotConvertSource->click();

    w.cmdConvert->click();
    waitUntil([&] { return !w.isRunning() && !w.isBurning(); }, 60000);

    QFile after(item);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("is the source file itself")).size(), 1) << log.join('\n').toStdString();
    EXPECT_TRUE(messageTexts().contains(QStringLiteral("Nothing to burn.")));
    EXPECT_FALSE(QFile::exists(image));
}

TEST_F(DataBurnerTest, WipingTheTemporaryFolderLeavesWhatIsNotATemporaryFile)
{
    const QString folder = tempFolder();
    QDir().mkpath(folder + QStringLiteral("/sub"));
    const auto put = [](const QString &path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    };
    put(folder + QStringLiteral("/old.mp3"));
    put(folder + QStringLiteral("/.hidden"));
    put(folder + QStringLiteral("/sub/kept.mp3"));
    // An item the user keeps there is a source, not a leftover.
    const QString item = makeTone(QStringLiteral("item.wav"), 1, 440.0);
    ASSERT_TRUE(QFile::copy(item, folder + QStringLiteral("/mine.wav")));
    addRow(folder + QStringLiteral("/mine.wav"));
    frmDataBurner3 &w = open();

    w.EraseTempFiles();
    EXPECT_EQ(filesIn(folder), (QStringList{QStringLiteral(".hidden"), QStringLiteral("mine.wav")}));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/sub/kept.mp3")));

    // A temporary folder that is a link to elsewhere is never emptied.
    closeWindow();
    const QString elsewhere = work(QStringLiteral("music"));
    QDir().mkpath(elsewhere);
    put(elsewhere + QStringLiteral("/precious.mp3"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere, folder));
    mainGrid->Clear();
    frmDataBurner3 &again = open();
    again.EraseTempFiles();
    EXPECT_TRUE(QFile::exists(elsewhere + QStringLiteral("/precious.mp3")));
    // Nor does a job write into it.
    addRow(item);
    again.cmdConvert->click();
    EXPECT_FALSE(again.isRunning());
    EXPECT_TRUE(logMessages(again).contains(QStringLiteral("Aborted.")));
    EXPECT_EQ(filesIn(elsewhere), QStringList{QStringLiteral("precious.mp3")});
}

TEST_F(DataBurnerTest, TheEngineChoiceIsRememberedAndFallsBackWithoutTheSecondEngine)
{
    addRow(makeTone(QStringLiteral("one.wav"), 1, 440.0));
    frmDataBurner3 &w = open();
    EXPECT_FALSE(w.chkUDF->isVisibleTo(&w));
    w.cmbEngine->setCurrentIndex(1);
    EXPECT_TRUE(w.chkISO->isVisibleTo(&w));
    EXPECT_TRUE(w.chkJOLIET->isChecked());
    EXPECT_FALSE(w.chkUDF->isChecked());
    ASSERT_EQ(w.cboDrv->count(), 1);
    EXPECT_TRUE(w.cboDrv->itemText(0).endsWith(QStringLiteral(" - Image file"))) << w.cboDrv->itemText(0).toStdString();
    closeWindow();
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::burnerEngine()), QStringLiteral("1"));

    frmDataBurner3 &again = open();
    EXPECT_EQ(again.cmbEngine->currentIndex(), 1);
    EXPECT_TRUE(again.lblFileSys->isVisibleTo(&again));
    closeWindow();

    // Without a writer for the second engine the window says so and opens
    // on the first one, which is what it stores.
    useDrives({});
    ASSERT_FALSE(cBurner::IsInstalled());
    testServices().prompter->messages.clear();
    frmDataBurner3 &fallback = open();
    EXPECT_EQ(fallback.cmbEngine->currentIndex(), 0);
    EXPECT_FALSE(fallback.chkISO->isVisibleTo(&fallback));
    EXPECT_EQ(testServices().prompter->messages.size(), 1);
    closeWindow();
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::burnerEngine()), QStringLiteral("0"));
}

TEST_F(DataBurnerTest, UdfIsRefusedBeforeAnythingIsConverted)
{
    addRow(makeTone(QStringLiteral("one.wav"), 1, 440.0));
    frmDataBurner3 &w = open();
    w.cmbEngine->setCurrentIndex(1);
    ASSERT_EQ(w.cmbEngine->currentIndex(), 1);
    w.chkUDF->setChecked(true);
    testServices().prompter->messages.clear();

    w.cmdConvert->click();
    const QString refusal
        = QStringLiteral("UDF cannot be written: this system has no UDF writer. Choose ISO or Joliet instead.");
    EXPECT_EQ(messageTexts(), QStringList{refusal});
    EXPECT_EQ(logMessages(w).mid(0, 3), (QStringList{QStringLiteral("Preparing to burn: 1 tracks."), refusal,
                                                    QStringLiteral("Aborted.")}));
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(filesIn(tempFolder()).isEmpty());
    EXPECT_FALSE(QFile::exists(image));
}

TEST_F(DataBurnerTest, AnImageDriveThatAlreadyHoldsADiscIsRefusedByTheFirstEngine)
{
    addRow(makeTone(QStringLiteral("one.wav"), 1, 440.0));
    {
        QFile f(image);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    frmDataBurner3 &w = open();
    const QString drive = w.cboDrv->currentText().left(2);
    w.cmdConvert->click();
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Please insert an empty media into drive: ") + drive});
    EXPECT_EQ(logMessages(w), (QStringList{QStringLiteral("Preparing to burn: 1 tracks."),
                                           QStringLiteral("The CD drive '") + drive + QStringLiteral("' is not empty."),
                                           QStringLiteral("Aborted.")}));
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(QFileInfo(image).size(), 4096);
}

} // namespace
