// A job over several rows converts them side by side, yet the window sees
// them one after the other, exactly as from a control that takes one at a time.
#include "ConvertFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/convert/frmConverter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

class RowsAtOnceTest : public ConvertFixture {
protected:
    frmConverter &open(const QString &format)
    {
        frmConverter &w = Forms::loadConverter();
        w.HandOver(mainRows(allRows()), QStringLiteral("My list"));
        w.txtToPath->setEditText(destination());
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(format));
        w.cboFileName->setCurrentIndex(0);
        return w;
    }

    // The job's log, then each event of the control with what the window
    // shows once it has handled it.
    QStringList runJob(frmConverter &w, int rowsAtOnce)
    {
        w.cAudioConverter1->setConversionsAtOnce(rowsAtOnce);
        w.txtLog->clear();
        QStringList trace;
        const auto shown = [&](const QString &event) {
            trace << event + QStringLiteral(" | ") + rowJobState(w);
        };
        cAudioConverter *control = w.cAudioConverter1;
        const ConverterEvents seen(control, &w, shown);
        const qsizetype balloons = testServices().tray->balloons.size();
        w.cmdConvert->click();
        EXPECT_TRUE(waitForJobEnd(w, int(balloons) + 1));
        return logMessages(w) + trace;
    }

    // The written files by name with their bytes; they are removed, so the
    // next job writes them afresh.
    QMap<QString, QByteArray> takeWrittenFiles() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : writtenFiles()) {
            files.insert(name, readFile(destination() + name));
            QFile::remove(destination() + name);
        }
        return files;
    }
};

TEST_F(RowsAtOnceTest, RowsSideBySideShowAsOneAfterTheOther)
{
    // Rows of unlike lengths, so later ones end before earlier ones; a
    // ranged row, a failing one, one file twice (a numbered name) and tags
    // made from the row (its number, its item).
    addRow(makeTone(QStringLiteral("a.wav"), 4), named(QStringLiteral("First"), QStringLiteral("[TRACK_NUM]")));
    addRow(makeTone(QStringLiteral("b.wav"), 1), named(QStringLiteral("Second"), QStringLiteral("[ITEM_NAME] [RANGE]")));
    addRow(makeTone(QStringLiteral("c.wav"), 5), ranged(1, 3));
    addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav"));
    addRow(makeTone(QStringLiteral("d.wav"), 2), named(QStringLiteral("Fourth"), QStringLiteral("[TRACK_NUM]")));
    addRow(TestEnv::workFolder() + QStringLiteral("/b.wav"));
    addRow(makeTone(QStringLiteral("e.wav"), 1));
    frmConverter &w = open(kMp3Format);

    const QStringList oneByOne = runJob(w, 1);
    const QMap<QString, QByteArray> oneByOneFiles = takeWrittenFiles();
    const QStringList sideBySide = runJob(w, 4);
    const QMap<QString, QByteArray> sideBySideFiles = takeWrittenFiles();
    const QStringList allAtOnce = runJob(w, 16);

    ASSERT_TRUE(oneByOne.contains(QStringLiteral("Start to convert: e.wav...")));
    EXPECT_EQ(oneByOne.filter(QRegularExpression(QStringLiteral("^Error: "))).size(), 1);
    EXPECT_EQ(sideBySide, oneByOne);
    EXPECT_EQ(allAtOnce, oneByOne);
    ASSERT_EQ(oneByOneFiles.size(), 6);
    EXPECT_EQ(sideBySideFiles.keys(), oneByOneFiles.keys());
    // The last job's files are in place again.
    for (const QString &name : oneByOneFiles.keys()) {
        EXPECT_TRUE(sideBySideFiles.value(name) == oneByOneFiles.value(name)) << name.toStdString();
        const QJsonObject probed = Fixture::probe(destination() + name);
        EXPECT_EQ(probed[QStringLiteral("stream")][QStringLiteral("codec_name")].toString(), QStringLiteral("mp3"))
            << name.toStdString();
    }
    EXPECT_EQ(Fixture::probedTag(Fixture::probe(destination() + QStringLiteral("d.mp3")), QStringLiteral("track")),
              QStringLiteral("6"));
}

TEST_F(RowsAtOnceTest, AbortStopsEveryRunningRowAndLeavesNoFile)
{
    // A long CD-quality first row, still running while the short ones after
    // it have been converted ahead and wait for their turn.
    const QString source = TestEnv::workFolder() + QStringLiteral("/long.wav");
    Fixture::writeWav(source, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 240);
    addRow(source);
    for (const char *name : {"b.wav", "c.wav", "d.wav"})
        addRow(makeTone(QLatin1String(name), 1));
    frmConverter &w = open(kMp3Format);
    w.cAudioConverter1->setConversionsAtOnce(3);
    testServices().prompter->answers = {Msg::Yes};

    w.cmdConvert->click();
    // Three rows at once: the first and two ahead, each under a temporary name.
    ASSERT_TRUE(waitUntil([&] { return writtenFiles().size() == 3; })) << writtenFiles().join(u' ').toStdString();
    EXPECT_EQ(writtenFiles().filter(QStringLiteral(".part")).size(), 3);
    EXPECT_EQ(logMessages(w).filter(QStringLiteral("Start to convert: ")),
              QStringList{QStringLiteral("Start to convert: long.wav...")});
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();

    EXPECT_TRUE(writtenFiles().isEmpty()) << writtenFiles().join(u' ').toStdString();
    EXPECT_EQ(logMessages(w).filter(QStringLiteral("Start to convert: ")).size(), 1);
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
}

} // namespace
