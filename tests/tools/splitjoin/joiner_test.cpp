#include "support/ToolWindowFixture.h"

#include "controls/audio/cAudioJoin.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cStatusBar.h"
#include "core/mdlModes.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/splitjoin/frmJoiner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

class JoinerTest : public ToolFixture {
protected:
    void TearDown() override
    {
        if (frmJoiner *w = Forms::joiner()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        ToolFixture::TearDown();
    }

    // Three whole tones of 2, 3 and 1.5 seconds, handed over as marked rows.
    frmJoiner &openThree(const QList<RowTags> &tags = {})
    {
        const qint64 frames[] = {2 * kRate, 3 * kRate, 3 * kRate / 2};
        const char *names[] = {"a.wav", "b.wav", "c.wav"};
        QList<int> rows;
        for (int i = 0; i < 3; ++i)
            rows << addRow(makeTone(QLatin1String(names[i]), frames[i]), tags.value(i));
        return open(rows);
    }

    frmJoiner &open(const QList<int> &rows)
    {
        frmJoiner &w = Forms::loadJoiner();
        w.HandOver(mainRows(rows), QStringLiteral("Joins"));
        w.txtToPath->setEditText(destination());
        return w;
    }

    QStringList writtenFiles() const
    {
        return QDir(destination()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST_F(JoinerTest, AStartWithoutADestinationFormatIsRefusedAndWritesNothing)
{
    frmJoiner &w = openThree();
    w.cboTargetFormat->setCurrentIndex(-1);

    w.cmdConvert->click();

    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{QStringLiteral("Select the destination format.")});
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(w.txtLog->toPlainText().isEmpty());
    EXPECT_TRUE(QDir(destination()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(JoinerTest, JoinsThreeFilesIntoOneNamedByTheTemplate)
{
    frmJoiner &w = openThree();
    w.chkPlaySound->setChecked(true);
    w.chkTurnOffComputer->setChecked(true);
    TurnOffWatcher turnOff;
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList files = writtenFiles();
    ASSERT_EQ(files.size(), 1);
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QRegularExpression name(QStringLiteral("^Joined_File-") + QRegularExpression::escape(date)
                                  + QStringLiteral("-\\d\\d-\\d\\d-\\d\\d\\.wav$"));
    EXPECT_TRUE(name.match(files.first()).hasMatch()) << files.first().toStdString();
    EXPECT_EQ(wavFrames(destination() + files.first()), 2 * kRate + 3 * kRate + 3 * kRate / 2);

    EXPECT_EQ(logMessages(w), (QStringList{QStringLiteral("Preparing to join: 3 tracks."),
                                           QStringLiteral("Destination format: WAV"), QStringLiteral("Add a.wav..."),
                                           QStringLiteral("Add b.wav..."), QStringLiteral("Add c.wav..."),
                                           QStringLiteral("Done.")}));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("Files: 3/3"));
    EXPECT_EQ(w.prgTotal->Max(), 300);
    EXPECT_EQ(w.prgTotal->Value(), 300);
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Done.")));
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(turnOff.shown, 1);
}

TEST_F(JoinerTest, HandOverCountsTheMarkedItems)
{
    frmJoiner &w = openThree();
    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("3 items to join."));
    EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:00:30"));
    EXPECT_EQ(w.txtUndeForlder->text(), QStringLiteral("Joins"));
    EXPECT_EQ(w.cGrid1->Rows(), 3);
    EXPECT_EQ(w.cGrid1->SelectedRow(), 1);
}

TEST_F(JoinerTest, ARangedRowGivesOnlyItsRange)
{
    const int whole = addRow(makeTone(QStringLiteral("a.wav"), 2 * kRate));
    const int ranged = addRow(makeTone(QStringLiteral("b.wav"), 5 * kRate), {}, 1, 3);
    frmJoiner &w = open({whole, ranged});
    w.txtJoinedFileName->setText(QStringLiteral("joined.[dest_extension]"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    qint32 start = 0;
    qint32 length = 0;
    EXPECT_EQ(w.cAudioJoin1->GetFile(2, start, length), mainGrid->CellText(ranged, mainGrid->ColumnIndex(QStringLiteral("COL_FILE"))));
    EXPECT_EQ(start, 1);
    EXPECT_EQ(length, 3);
    w.cAudioJoin1->GetFile(1, start, length);
    EXPECT_EQ(start, -1);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("joined.wav")), 5 * kRate);
}

TEST_F(JoinerTest, NameTemplateTokens)
{
    frmJoiner &w = openThree();
    const struct {
        QString format;
        QString tmpl;
        QString name;
    } cases[] = {
        {kMp3Format, QStringLiteral("x.[dest_extension]"), QStringLiteral("x.mp3")},
        {kAcmFormat, QStringLiteral("x.[dest_extension]"), QStringLiteral("x.acm")},
        {kWavFormat, QStringLiteral("from-[source_extension].[dest_extension]"), QStringLiteral("from-wav.wav")},
        // Tokens match with case; other text stays as typed.
        {kWavFormat, QStringLiteral("[DATE] [Time] name"), QStringLiteral("[DATE] [Time] name")},
    };
    for (const auto &c : cases) {
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.format));
        EXPECT_EQ(w.MakeJoinedFileName(c.tmpl), c.name) << c.tmpl.toStdString();
    }
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d\\d$"))
                    .match(w.MakeJoinedFileName(QStringLiteral("[time]")))
                    .hasMatch());
    EXPECT_FALSE(w.MakeJoinedFileName(QStringLiteral("[date]")).contains(QLatin1Char('/')));
}

TEST_F(JoinerTest, TheJoinedFileStaysInsideTheDestinationFolder)
{
    const struct {
        QString tmpl;
        QString written; // empty: nothing is written
    } cases[] = {
        {QStringLiteral("../x.[dest_extension]"), QStringLiteral("..-x.wav")},
        {QStringLiteral("sub/dir/y.wav"), QStringLiteral("sub-dir-y.wav")},
        {QStringLiteral("/tmp/z.wav"), QStringLiteral("-tmp-z.wav")},
        {QStringLiteral("tab\tname.wav"), QStringLiteral("tab-name.wav")},
        {QStringLiteral(".."), QString()},
        {QString(), QString()},
    };
    frmJoiner &w = openThree();
    const QString parent = QDir(destination() + QStringLiteral("..")).absolutePath();
    const QStringList parentBefore = QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tmpl.toStdString());
        for (const QString &f : writtenFiles())
            QFile::remove(destination() + f);
        w.txtJoinedFileName->setText(c.tmpl);
        w.cmdConvert->click();
        if (c.written.isEmpty()) {
            EXPECT_FALSE(w.isRunning());
            EXPECT_EQ(logMessages(w).last(),
                      QStringLiteral("Error: The name template \"") + c.tmpl + QStringLiteral("\" gives no file name."));
            EXPECT_TRUE(writtenFiles().isEmpty());
            continue;
        }
        ASSERT_TRUE(waitForJobEnd(w));
        EXPECT_EQ(writtenFiles(), QStringList{c.written});
        EXPECT_EQ(wavFrames(destination() + c.written), 2 * kRate + 3 * kRate + 3 * kRate / 2);
    }
    EXPECT_EQ(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), parentBefore);
}

TEST_F(JoinerTest, AnExistingJoinedFileIsAskedForEveryTime)
{
    frmJoiner &w = openThree();
    // A hidden file is the user's file too.
    w.txtJoinedFileName->setText(QStringLiteral(".joined.wav"));
    const QString existing = destination() + QStringLiteral(".joined.wav");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    for (int answer : {int(Msg::No), int(Msg::Cancel)}) {
        testServices().prompter->answers = {answer};
        w.cmdConvert->click();
        EXPECT_EQ(logMessages(w).last(), QStringLiteral("File already exists."));
        EXPECT_FALSE(w.isRunning());
        EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Ready."));
    }
    EXPECT_EQ(testServices().prompter->messages.size(), 2);
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
    kept.close();

    testServices().prompter->answers = {Msg::Yes};
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_TRUE(logMessages(w).contains(QStringLiteral("Overwrite it...")));
    EXPECT_EQ(wavFrames(existing), 2 * kRate + 3 * kRate + 3 * kRate / 2);
}

TEST_F(JoinerTest, ASecondJoinStartsFromAnEmptyListAndLogsEveryFileAgain)
{
    frmJoiner &w = openThree();
    w.txtJoinedFileName->setText(QStringLiteral("first.wav"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    w.txtJoinedFileName->setText(QStringLiteral("second.wav"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w, 2));

    EXPECT_EQ(w.cAudioJoin1->FileCount(), 3);
    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("Add a.wav...")).size(), 2);
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("second.wav")), wavFrames(destination() + QStringLiteral("first.wav")));
}

TEST_F(JoinerTest, AnErrorEndsTheJoinWithoutEndOfJobEvents)
{
    const int good = addRow(makeTone(QStringLiteral("a.wav"), kRate));
    const int missing = addRow(TestEnv::workFolder() + QStringLiteral("/gone.wav"));
    frmJoiner &w = open({good, missing});
    w.chkPlaySound->setChecked(true);
    w.chkOpenDestFolder->setChecked(true);
    w.cmdConvert->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();

    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.last().startsWith(QStringLiteral("Error: ")));
    EXPECT_FALSE(log.contains(QStringLiteral("Done.")));
    EXPECT_EQ(w.m_bErrorOccurred, -1);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Processing..."));
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
    EXPECT_TRUE(testServices().sound->played.isEmpty());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());
    EXPECT_TRUE(writtenFiles().isEmpty());
}

TEST_F(JoinerTest, TheJoinedFileTakesTheFirstRowsTags)
{
    RowTags first;
    first.title = QStringLiteral("First [YEAR]");
    first.track = QStringLiteral("[TRACK_NUM]");
    RowTags second;
    second.title = QStringLiteral("Second");
    frmJoiner &w = openThree({first, second});
    w.txtJoinedFileName->setText(QStringLiteral("tagged.wav"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QString title = QStringLiteral("First ") + QString::number(QDate::currentDate().year());
    EXPECT_EQ(w.cAudioJoin1->TagTitle(), title);
    // The window's grid has row 1 selected after the hand-over.
    EXPECT_EQ(w.cAudioJoin1->TagTrack(), QStringLiteral("2"));
    EXPECT_EQ(Fixture::probedTag(Fixture::probe(destination() + QStringLiteral("tagged.wav")), QStringLiteral("title")), title);
}

TEST_F(JoinerTest, AbortLeavesNoJoinedFile)
{
    const QString a = TestEnv::workFolder() + QStringLiteral("/long1.wav");
    const QString b = TestEnv::workFolder() + QStringLiteral("/long2.wav");
    Fixture::writeWav(a, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 120);
    Fixture::writeWav(b, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 120);
    frmJoiner &w = open({addRow(a), addRow(b)});
    testServices().prompter->answers = {Msg::Yes};
    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Aborted.")));
    EXPECT_TRUE(writtenFiles().isEmpty());
}

} // namespace
