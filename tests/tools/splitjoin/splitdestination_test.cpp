// Where a new user's split parts go, and what becomes of names that are too
// long for the folder they go into.
#include "support/AudioFixtures.h"
#include "support/FreshInstall.h"
#include "support/ToolWindowFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <climits>
#include <memory>

namespace {

// A new user's machine: the installer's settings read by the settings
// windows as the program's start reads them, and a music folder of the
// user's own naming in the desktop's user folders file.
class SplitDestinationTest : public ToolFixture {
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
        QFile dirs(AppPaths::configFolder() + QStringLiteral("/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_MUSIC_DIR=\"$HOME/Songs\"\n");
        dirs.close();
        m_fresh = std::make_unique<FreshInstall>();
    }

    void TearDown() override
    {
        if (frmSplitter *w = Forms::splitter()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        m_fresh.reset();
        ToolFixture::TearDown();
    }

    static QString musicFolder() { return QDir::homePath() + QStringLiteral("/Songs/Sonvale/"); }

    // The splitter as the main window opens it on the row, its folder left
    // as the window chose it.
    frmSplitter &open(int row)
    {
        frmSplitter &w = Forms::loadSplitter();
        w.HandOver(mainRow(row), QStringLiteral("My list"));
        return w;
    }

    // A stereo CD-quality WAV of 12 s in the work folder.
    static QString makeSource(const QString &name)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        Fixture::writeWav(path, Fixture::WavSpec{44100, 2, 16}, 12 * 44100);
        return path;
    }

private:
    std::unique_ptr<FreshInstall> m_fresh;
};

TEST_F(SplitDestinationTest, AFreshInstallSplitsIntoTheUsersMusicFolderMadeOnFirstUse)
{
    const QString lists = AppPaths::programFolder() + QStringLiteral("/Main/");
    // The lists stay in the program's own folder.
    EXPECT_EQ(g_sItemsListMainDirectory, lists);

    frmSplitter &w = open(addRow(makeSource(QStringLiteral("concert.wav"))));
    EXPECT_EQ(w.txtToPath->currentText(), musicFolder());
    EXPECT_FALSE(QFileInfo::exists(musicFolder())) << "nothing is made before a job needs it";

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    QStringList parts;
    for (int k = 1; k <= 6; ++k)
        parts << QStringLiteral("Part_%1_concert.WAV").arg(k);
    parts.sort();
    EXPECT_EQ(QDir(musicFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), parts);
    EXPECT_TRUE(QDir(lists).entryList(QStringList{QStringLiteral("Part_*")}, QDir::Files).isEmpty());

    // The folder the job wrote into is offered first from now on.
    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open(1).txtToPath->currentText(), musicFolder());
}

struct LongNameCase {
    const char *what;
    QString stem; // the source's name before ".wav"
};

class LongSourceNames : public SplitDestinationTest, public ::testing::WithParamInterface<LongNameCase> {};

// A source whose own name is near the file system's limit: "Part_N_" and
// the extension would take each part's name past it.
TEST_P(LongSourceNames, SplitIntoSixPartsWhoseNamesFitAndKeepTheirNumberAndExtension)
{
    const LongNameCase &c = GetParam();
    const QString sourceName = c.stem + QStringLiteral(".wav");
    ASSERT_EQ(sourceName.toUtf8().size(), 252);
    const QString source = makeSource(sourceName);
    frmSplitter &w = open(addRow(source));
    w.txtToPath->setEditText(destination());

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    const QStringList written = QDir(destination()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(written.size(), 6) << written.join(QLatin1Char('\n')).toStdString();
    QSet<int> numbers;
    qint64 frames = 0;
    for (const QString &name : written) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_LE(name.toUtf8().size(), NAME_MAX);
        const QRegularExpressionMatch part = QRegularExpression(QStringLiteral("^Part_([1-6])_(.+)\\.WAV$")).match(name);
        ASSERT_TRUE(part.hasMatch());
        numbers << part.captured(1).toInt();
        // What is left of the source's name starts as it did.
        EXPECT_TRUE(c.stem.startsWith(part.captured(2).left(40)));
        const QJsonObject probed = Fixture::probe(destination() + name);
        EXPECT_EQ(probed[QStringLiteral("stream")].toObject()[QStringLiteral("codec_name")].toString(),
                  QStringLiteral("pcm_s16le"));
        frames += wavFrames(destination() + name);
    }
    EXPECT_EQ(numbers.size(), 6);
    EXPECT_EQ(frames, 12 * 44100) << "the parts hold the whole source";
}

INSTANTIATE_TEST_SUITE_P(
    Splitter, LongSourceNames,
    ::testing::Values(LongNameCase{"Ascii", QStringLiteral("Live at the harbour ") + QString(228, QLatin1Char('x'))},
                      // Two bytes a letter: the cut must not split one.
                      LongNameCase{"TwoByteLetters", QStringLiteral("Konzert ") + QString(120, QChar(0x00E9))}),
    [](const auto &info) { return std::string(info.param.what); });

// A long item name shows in the window's head line cut short, never running
// past the window's edge; the whole name stays in its tip.
TEST_F(SplitDestinationTest, ALongItemNameIsElidedInTheHeadLine)
{
    const QString name = QStringLiteral("Live at the harbour ") + QString(228, QLatin1Char('x')) + QStringLiteral(".wav");
    frmSplitter &w = open(addRow(makeSource(name)));
    w.show();
    QLabel *line = w.lblFilesToConvert;
    EXPECT_LE(line->geometry().right(), w.contentsRect().right());
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("Split: Live at the harbour"))) << line->text().toStdString();
    EXPECT_EQ(line->toolTip(), QStringLiteral("Split: ") + name);

    // A short one shows whole, as before.
    const int shortRow = addRow(makeSource(QStringLiteral("song.wav")));
    w.HandOver(mainRow(shortRow), QStringLiteral("My list"));
    EXPECT_EQ(line->text(), QStringLiteral("Split: song.wav"));
}

} // namespace
