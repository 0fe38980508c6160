#include "support/ToolWindowFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cStatusBar.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "lists/ItemProbe.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "support/AudioFixtures.h"
#include "support/FreshInstall.h"
#include "support/Mutagen.h"
#include "support/ScriptedServices.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

const QString kTooSmall = QStringLiteral("Source file length is to small.       ");
constexpr qint64 kCdRate = 44100;

qint64 seconds(double s)
{
    return std::llround(s * double(kCdRate));
}

// Every test starts where a new user does: the installer's settings, read by
// the settings windows as the program's start reads them, and a stereo
// CD-quality source.
class SplitterTest : public ToolFixture {
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
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

    // Loads the splitter, hands it the row and points it at the test's folder.
    frmSplitter &open(int row, const QString &listName = QStringLiteral("My list"))
    {
        frmSplitter &w = Forms::loadSplitter();
        w.HandOver(mainRow(row), listName);
        w.txtToPath->setEditText(destination());
        return w;
    }

    // A stereo 44.1 kHz WAV of a tone on the left and noise on the right.
    static QString makeSource(const QString &name, qint64 frames)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        Fixture::writeWav(path, Fixture::WavSpec{int(kCdRate), 2, 16}, frames);
        return path;
    }

    frmSplitter &openTone(qint64 frames = seconds(10), const RowTags &tags = {})
    {
        return open(addRow(makeSource(QStringLiteral("tone.wav"), frames), tags));
    }

    static void byParts(frmSplitter &w, const QString &count)
    {
        w.ptnSplitByParts->click();
        w.txtSplitParts->setText(count);
    }
    static void bySeconds(frmSplitter &w, const QString &secondsText)
    {
        w.ptnSplitBySecs->click();
        w.txtSplitSecs->setText(secondsText);
    }

    QStringList writtenFiles() const
    {
        return QDir(destination()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // The part files in part order (a name sort puts Part_10 before Part_2).
    QStringList partPaths(const QString &stem, int count, const QString &extension = QStringLiteral("WAV")) const
    {
        QStringList paths;
        for (int k = 1; k <= count; ++k)
            paths << destination() + QStringLiteral("Part_%1_%2.%3").arg(k).arg(stem, extension);
        return paths;
    }

    // The highest value the total bar showed during the job.
    static std::shared_ptr<int> watchTotalBar(frmSplitter &w)
    {
        auto highest = std::make_shared<int>(0);
        QObject::connect(w.cAudioConverter1, &cAudioConverter::Progress, &w,
                         [highest, bar = w.prgTotal] { *highest = qMax(*highest, bar->Value()); });
        return highest;
    }

private:
    std::unique_ptr<FreshInstall> m_fresh;
};

// The samples of the parts one after the other.
QVector<qint16> concatenated(const QStringList &paths, int *channels = nullptr, int *rate = nullptr)
{
    QVector<qint16> all;
    for (const QString &path : paths) {
        Fixture::WavSpec spec;
        all += Fixture::readWav16(path, &spec);
        if (channels)
            *channels = spec.channels;
        if (rate)
            *rate = spec.rate;
    }
    return all;
}

TEST_F(SplitterTest, AFreshInstallSplitsIntoSixStereoWavPartsThatAddUpToTheSource)
{
    const QString source = makeSource(QStringLiteral("concert take.wav"), seconds(61.5));
    frmSplitter &w = open(addRow(source));
    // Nothing chosen: the window as a new user first sees it.
    ASSERT_EQ(w.cboTargetFormat->currentText(), kWavFormat);
    ASSERT_TRUE(w.ptnSplitByParts->isChecked());
    ASSERT_EQ(w.txtSplitParts->text(), QStringLiteral("6"));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList parts = partPaths(QStringLiteral("concert take"), 6);
    QStringList names;
    for (const QString &path : parts)
        names << QFileInfo(path).fileName();
    names.sort();
    EXPECT_EQ(writtenFiles(), names);
    const qint64 expectedFrames[] = {441000, 441000, 441000, 441000, 441000, 507150};
    for (int k = 0; k < 6; ++k) {
        const QJsonObject stream = Fixture::probe(parts.at(k))[QStringLiteral("stream")].toObject();
        EXPECT_EQ(stream[QStringLiteral("codec_name")].toString(), QStringLiteral("pcm_s16le")) << k + 1;
        EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), 2) << k + 1;
        EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString(), QStringLiteral("44100")) << k + 1;
        EXPECT_EQ(stream[QStringLiteral("duration_ts")].toInteger(), expectedFrames[k]) << k + 1;
    }
    EXPECT_TRUE(concatenated(parts) == Fixture::readWav16(source)) << "the parts add up to the source, sample for sample";
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
}

struct SplitCase {
    const char *name;
    double sourceSeconds;
    bool parts;
    const char *number;
    QList<double> partSeconds; // in part order
    int totalMax;
};

class SplitLengths : public SplitterTest, public ::testing::WithParamInterface<SplitCase> {};

QList<double> repeated(double partSeconds, int count)
{
    return QList<double>(count, partSeconds);
}

TEST_P(SplitLengths, WritesEveryPartSampleExactWithItsName)
{
    const SplitCase &c = GetParam();
    const QString source = makeSource(QStringLiteral("tone.wav"), seconds(c.sourceSeconds));
    frmSplitter &w = open(addRow(source));
    if (c.parts)
        byParts(w, QString::fromLatin1(c.number));
    else
        bySeconds(w, QString::fromLatin1(c.number));
    const std::shared_ptr<int> highest = watchTotalBar(w);
    const auto captionWhileSplitting = std::make_shared<QString>();
    QObject::connect(w.cAudioConverter1, &cAudioConverter::Progress, &w,
                     [captionWhileSplitting, window = &w] { *captionWhileSplitting = window->windowTitle(); });

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList parts = partPaths(QStringLiteral("tone"), int(c.partSeconds.size()));
    ASSERT_EQ(writtenFiles().size(), parts.size());
    for (int k = 0; k < parts.size(); ++k)
        EXPECT_EQ(wavFrames(parts.at(k)), seconds(c.partSeconds.at(k))) << "part " << k + 1;
    int channels = 0;
    int rate = 0;
    EXPECT_TRUE(concatenated(parts, &channels, &rate) == Fixture::readWav16(source));
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, int(kCdRate));

    QStringList log;
    log << QStringLiteral("Preparing to split: tone.wav..") << QStringLiteral("Destination format: WAV");
    for (int k = 1; k <= parts.size(); ++k)
        log << QStringLiteral("Start to split: tone.wav...") << QStringLiteral("Done.");
    EXPECT_EQ(logMessages(w), log);
    EXPECT_EQ(w.prgTotal->Max(), c.totalMax);
    // The bar reaches its end with the last part and never runs past it.
    EXPECT_LE(*highest, c.totalMax);
    EXPECT_GT(*highest, c.totalMax - 100);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_EQ(testServices().tray->balloons, QStringList{g_sAppName + QLatin1Char(' ') + g_sAppVersion + QStringLiteral("|Done.")});
    EXPECT_TRUE(w.cmdConvert->isEnabled());
    EXPECT_TRUE(w.cmdExit->isEnabled());
    // The product caption shows only while parts are written; the window
    // names itself again once the job is over.
    EXPECT_EQ(*captionWhileSplitting, g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Audio Splitter"));
}

INSTANTIATE_TEST_SUITE_P(
    Splitter, SplitLengths,
    ::testing::Values(
        // Exactly N parts: the last one takes what the rounded length leaves.
        SplitCase{"SixPartsOfSixtyOneAndAHalfSeconds", 61.5, true, "6", {10, 10, 10, 10, 10, 11.5}, 600},
        SplitCase{"ElevenPartsOfThreeMinutes", 180, true, "11", {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 20}, 1100},
        SplitCase{"ThreeParts", 10, true, "3", {3, 3, 4}, 300},
        SplitCase{"OnePart", 10, true, "1", {10}, 100},
        SplitCase{"AWholeCountWithAFractionOfZeros", 9, true, "3.0", {3, 3, 3}, 300},
        // 2.5 s rounds to the even 2.
        SplitCase{"HalfRoundsToEven", 10, true, "4", {2, 2, 2, 4}, 400},
        // 1.17 s rounds down to 1, which leaves the last part 1.5 s.
        SplitCase{"ThreePartsOfThreeAndAHalfSeconds", 3.5, true, "3", {1, 1, 1.5}, 300},
        // Where the rounded length cannot give N parts, the whole seconds are
        // shared out, the longer parts first, and the last part takes the
        // fraction. 1.67 s rounds up to 2, which would leave nothing for the
        // sixth part.
        SplitCase{"RoundingUpThatLeavesNothingForTheLast", 10, true, "6", {2, 2, 2, 2, 1, 1}, 600},
        // 1.77 s rounds up to 2, which would leave the sixth part 0.6 s.
        SplitCase{"RoundingUpThatLeavesLessThanASecond", 10.6, true, "6", {2, 2, 2, 2, 1, 1.6}, 600},
        // 1.54 s rounds up to 2, which would leave the fortieth part nothing.
        SplitCase{"FortyPartsOfSixtyOneAndAHalfSeconds", 61.5, true, "40",
                  repeated(2, 21) + repeated(1, 18) + QList<double>{1.5}, 4000},
        // The seconds mode: every part that long, the last one what is left.
        SplitCase{"FourSecondPieces", 10, false, "4", {4, 4, 2}, 300},
        SplitCase{"TenSecondPiecesOfTenAndAHalf", 10.5, false, "10", {10, 0.5}, 200}),
    [](const auto &info) { return std::string(info.param.name); });

struct CompressedCase {
    const char *name;
    const char *extension;
    QStringList encoder;
};

class CompressedSources : public SplitterTest, public ::testing::WithParamInterface<CompressedCase> {};

TEST_P(CompressedSources, SplitToWavGiveSixPartsOfTheRightLengths)
{
    const CompressedCase &c = GetParam();
    const QString wav = makeSource(QStringLiteral("master.wav"), seconds(61.5));
    const QString source = TestEnv::workFolder() + QStringLiteral("/song.") + QLatin1String(c.extension);
    ASSERT_TRUE(Fixture::ffmpeg(QStringList{QStringLiteral("-i"), wav} + c.encoder + QStringList{source}));
    // The straight decode of the whole source, as a player would play it.
    const QString reference = TestEnv::workFolder() + QStringLiteral("/reference.wav");
    ASSERT_TRUE(Fixture::ffmpeg({QStringLiteral("-i"), source, QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), reference}));
    const QVector<qint16> decoded = Fixture::readWav16(reference);
    ASSERT_GT(decoded.size(), 2 * seconds(60));
    frmSplitter &w = open(addRow(source));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList parts = partPaths(QStringLiteral("song"), 6);
    ASSERT_EQ(writtenFiles().size(), 6);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(wavFrames(parts.at(k)), seconds(10)) << "part " << k + 1;
    EXPECT_EQ(wavFrames(parts.at(5)), decoded.size() / 2 - seconds(50)) << "the last part runs to the end of the source";
    int channels = 0;
    EXPECT_EQ(concatenated(parts, &channels).size(), decoded.size());
    EXPECT_EQ(channels, 2);
    // Every cut is sample-exact: each part holds its range of the straight
    // decode, with no glitch where the decoder started again.
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(Fixture::readWav16(parts.at(k)) == decoded.mid(2 * seconds(10) * k, k < 5 ? 2 * seconds(10) : -1))
            << "part " << k + 1 << " differs from the straight decode";
}

INSTANTIATE_TEST_SUITE_P(Splitter, CompressedSources,
                         ::testing::Values(CompressedCase{"Mp3", "mp3",
                                                          {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
                                                           QStringLiteral("-b:a"), QStringLiteral("128k")}},
                                           CompressedCase{"Ogg", "ogg",
                                                          {QStringLiteral("-c:a"), QStringLiteral("libvorbis"),
                                                           QStringLiteral("-q:a"), QStringLiteral("4")}}),
                         [](const auto &info) { return std::string(info.param.name); });

struct MusicCase {
    const char *name;
    const char *extension;
    QStringList encoder;
};

class MusicSources : public SplitterTest, public ::testing::WithParamInterface<MusicCase> {};

TEST_P(MusicSources, EveryPartOfASplitEverySecondOrIntoSevenIsItsRangeOfTheStraightDecode)
{
    // Music switches a transform coder between long and short blocks, so
    // the frames after a seek differ in length: every cut must still land
    // where the straight decode has its samples, or a join repeats some and
    // drops others.
    const MusicCase &c = GetParam();
    const QString wav = TestEnv::workFolder() + QStringLiteral("/master.wav");
    Fixture::writeMusicWav(wav, Fixture::WavSpec{int(kCdRate), 2, 16}, seconds(61.5));
    const QString source = TestEnv::workFolder() + QStringLiteral("/song.") + QLatin1String(c.extension);
    ASSERT_TRUE(Fixture::ffmpeg(QStringList{QStringLiteral("-i"), wav} + c.encoder + QStringList{source}));
    const QVector<qint16> decoded = Fixture::decodeS16(source);
    const qint64 total = decoded.size() / 2;
    ASSERT_GT(total, seconds(61)); // WMA drops the end of its last block
    frmSplitter &w = open(addRow(source));

    const struct {
        bool parts;
        const char *number;
        int count;
        double partSeconds;
    } splits[] = {{false, "1", 62, 1}, {true, "7", 7, 9}};
    for (const auto &split : splits) {
        SCOPED_TRACE(split.number);
        for (const QString &name : writtenFiles())
            QFile::remove(destination() + name);
        if (split.parts)
            byParts(w, QLatin1String(split.number));
        else
            bySeconds(w, QLatin1String(split.number));
        w.cmdConvert->click();
        ASSERT_TRUE(waitForJobEnd(w));

        const QStringList parts = partPaths(QStringLiteral("song"), split.count);
        ASSERT_EQ(writtenFiles().size(), split.count);
        for (int k = 0; k < split.count; ++k) {
            const qint64 from = seconds(split.partSeconds * k);
            const qint64 to = k + 1 < split.count ? seconds(split.partSeconds * (k + 1)) : total;
            EXPECT_EQ(Fixture::rangeDifference(Fixture::readWav16(parts.at(k)), decoded, 2 * from, 2 * (to - from), 1), "")
                << "part " << k + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Splitter, MusicSources,
                         ::testing::Values(MusicCase{"Ogg", "ogg", {QStringLiteral("-c:a"), QStringLiteral("libvorbis"),
                                                                    QStringLiteral("-q:a"), QStringLiteral("4")}},
                                           MusicCase{"Mp3", "mp3", {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
                                                                    QStringLiteral("-b:a"), QStringLiteral("128k")}},
                                           MusicCase{"Wma", "wma", {QStringLiteral("-c:a"), QStringLiteral("wmav2"),
                                                                    QStringLiteral("-b:a"), QStringLiteral("128k")}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SplitterTest, AnMp3SplitToMp3OfItsKindCopiesTheFramesAndKeepsEverySample)
{
    // A 128 kbit/s stereo MP3 split to MP3 with a fresh install's settings
    // made constant-bitrate ("Write VBR Tag" unchecked: 128 kbit/s, 44100 Hz,
    // stereo): the parts are the source's own frames, and each decodes to
    // exactly its range of the source.
    g_bMp3VBRTag = false;
    const QString wav = makeSource(QStringLiteral("master.wav"), seconds(61.5));
    const QString source = TestEnv::workFolder() + QStringLiteral("/song.mp3");
    ASSERT_TRUE(Fixture::ffmpeg({QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
                                 QStringLiteral("-b:a"), QStringLiteral("128k"), source}));
    const QVector<qint16> decoded = Fixture::decodeS16(source);
    ASSERT_EQ(decoded.size(), 2 * seconds(61.5));
    QFile sourceFile(source);
    ASSERT_TRUE(sourceFile.open(QIODevice::ReadOnly));
    const QByteArray sourceBytes = sourceFile.readAll();
    frmSplitter &w = open(addRow(source));
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    ASSERT_EQ(w.cboTargetFormat->currentText(), kMp3Format);

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList parts = partPaths(QStringLiteral("song"), 6, QStringLiteral("MP3"));
    ASSERT_EQ(writtenFiles().size(), 6);
    for (int k = 0; k < 6; ++k) {
        const qint64 length = k < 5 ? seconds(10) : seconds(11.5);
        EXPECT_TRUE(Fixture::decodeS16(parts.at(k)) == decoded.mid(2 * k * seconds(10), 2 * length)) << "part " << k + 1;
        QFile part(parts.at(k));
        ASSERT_TRUE(part.open(QIODevice::ReadOnly));
        const QByteArray bytes = part.readAll();
        EXPECT_TRUE(sourceBytes.contains(bytes.mid(bytes.size() / 2, 400))) << "part " << k + 1 << " holds copied frames";
    }
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
}

TEST_F(SplitterTest, PartNamesEndInTheDestinationFormatsExtension)
{
    frmSplitter &w = openTone();
    const QString wma = QStringLiteral("WMA - Windows Media Audio files (*.wma)");
    const QString ogg = QStringLiteral("OGG - Ogg Media Format (*.ogg)");
    const QString ape = QStringLiteral("APE - Monkey 's Audio (*.ape)");
    const struct {
        QString source;
        QString format;
        int part;
        QString name;
    } cases[] = {
        {QStringLiteral("/music/song.mp3"), kWavFormat, 1, QStringLiteral("Part_1_song.WAV")},
        // An ACM file is a WAV file.
        {QStringLiteral("/music/song.mp3"), kAcmFormat, 12, QStringLiteral("Part_12_song.WAV")},
        {QStringLiteral("/music/song.wav"), kMp3Format, 3, QStringLiteral("Part_3_song.MP3")},
        {QStringLiteral("/music/song.wav"), wma, 1, QStringLiteral("Part_1_song.WMA")},
        {QStringLiteral("/music/song.wav"), ogg, 1, QStringLiteral("Part_1_song.OGG")},
        {QStringLiteral("/music/song.wav"), ape, 2, QStringLiteral("Part_2_song.APE")},
        // Extensions of any length, none at all, and points inside the name.
        {QStringLiteral("/music/song.aiff"), kWavFormat, 1, QStringLiteral("Part_1_song.WAV")},
        {QStringLiteral("/music/track"), kWavFormat, 1, QStringLiteral("Part_1_track.WAV")},
        {QStringLiteral("/music/live.at.home.flac"), kMp3Format, 4, QStringLiteral("Part_4_live.at.home.MP3")},
        {QStringLiteral("/music/a.b"), kWavFormat, 1, QStringLiteral("Part_1_a.WAV")},
    };
    for (const auto &c : cases) {
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.format));
        ASSERT_EQ(w.cboTargetFormat->currentText(), c.format);
        w.m_lPartNumber = c.part;
        EXPECT_EQ(w.GetPartFileName(c.source), c.name) << c.source.toStdString();
    }
}

TEST_F(SplitterTest, ApePartsDecodeToTheirRangesOfTheSource)
{
    const qint64 frames = seconds(7.3);
    frmSplitter &w = openTone(frames);
    const QString ape = QStringLiteral("APE - Monkey 's Audio (*.ape)");
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(ape));
    ASSERT_EQ(w.cboTargetFormat->currentText(), ape);
    byParts(w, QStringLiteral("3"));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Done."));
    const QVector<qint16> source = Fixture::readWav16(TestEnv::workFolder() + QStringLiteral("/tone.wav"));
    const QStringList parts = partPaths(QStringLiteral("tone"), 3, QStringLiteral("APE"));
    const qint64 starts[] = {0, seconds(2), seconds(4), frames};
    for (int k = 0; k < 3; ++k) {
        // Another decoder reads each part back, sample for sample.
        const QString decoded = TestEnv::workFolder() + QStringLiteral("/part%1.wav").arg(k + 1);
        ASSERT_TRUE(Fixture::ffmpeg({QStringLiteral("-i"), parts.at(k), QStringLiteral("-c:a"),
                                     QStringLiteral("pcm_s16le"), decoded}))
            << "part " << k + 1;
        EXPECT_TRUE(Fixture::readWav16(decoded) == source.mid(2 * starts[k], 2 * (starts[k + 1] - starts[k])))
            << "part " << k + 1;
    }
}

TEST_F(SplitterTest, WildFloatSamplesAreMendedInEveryPartAndThePartsPlay)
{
    // A float source with a sample no encoder takes in each third: not a
    // number, infinite, far beyond full scale.
    QVector<float> samples(int(seconds(3)));
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = float(0.5 * std::sin(2 * M_PI * 440 * i / double(kCdRate)));
    samples[int(seconds(0.5))] = std::numeric_limits<float>::quiet_NaN();
    samples[int(seconds(1.5))] = std::numeric_limits<float>::infinity();
    samples[int(seconds(2.5))] = 1e30f;
    const QString source = TestEnv::workFolder() + QStringLiteral("/tone.wav");
    TestAudio::writeFloatWav(source, int(kCdRate), samples);
    frmSplitter &w = open(addRow(source));
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    ASSERT_EQ(w.cboTargetFormat->currentText(), kMp3Format);
    byParts(w, QStringLiteral("3"));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.last(), QStringLiteral("Done.")) << log.join('|').toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("1 sample(s) of the source were not numbers or lay beyond full scale")).size(), 3)
        << log.join('|').toStdString();
    for (const QString &part : partPaths(QStringLiteral("tone"), 3, QStringLiteral("MP3"))) {
        // Another decoder reads each part whole, and hears the tone at its
        // level (the mono tone spread on two channels at -3 dB) to its end.
        const QVector<qint16> decoded = Fixture::decodeS16(part);
        ASSERT_FALSE(decoded.isEmpty()) << part.toStdString();
        const qsizetype half = decoded.size() / 2;
        for (const QVector<qint16> &side : {decoded.first(half), decoded.sliced(half)}) {
            double sum = 0;
            for (qint16 s : side)
                sum += double(s) * s;
            const double rms = std::sqrt(sum / double(side.size())) / 32768.0;
            EXPECT_GT(rms, 0.2) << part.toStdString();
            EXPECT_LT(rms, 0.45) << part.toStdString();
        }
    }
}

TEST_F(SplitterTest, LengthsThatGiveNoPartStopTheStartWithAMessage)
{
    const struct {
        bool parts;
        QString number;
    } cases[] = {
        {true, QStringLiteral("11")},  // eleven parts of a second from 10 s
        {true, QStringLiteral("20")},  // half a second a part
        {true, QStringLiteral("0")},   // no count
        {true, QStringLiteral("-2")},  // a negative count
        {true, QStringLiteral("2.5")}, // no whole number of parts
        {true, QStringLiteral("six")}, // not a number
        {false, QStringLiteral("10")}, // a part as long as the source
        {false, QStringLiteral("0.4")},
        {false, QStringLiteral("ten")},
    };
    frmSplitter &w = openTone();
    for (const auto &c : cases) {
        testServices().prompter->messages.clear();
        if (c.parts)
            byParts(w, c.number);
        else
            bySeconds(w, c.number);
        w.cmdConvert->click();
        ASSERT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall}) << c.number.toStdString();
        EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::OkOnly) + Msg::Information);
        EXPECT_FALSE(w.isRunning());
        EXPECT_EQ(logMessages(w).last(), QStringLiteral("Destination format: WAV"));
    }
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(SplitterTest, AStartWithoutADestinationFormatIsRefusedAndWritesNothing)
{
    frmSplitter &w = openTone(seconds(2));
    w.cboTargetFormat->setCurrentIndex(-1);
    w.chkCreateSubFolder->click();
    w.txtUndeForlder->setText(QStringLiteral("Parts"));

    w.cmdConvert->click();

    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{QStringLiteral("Select the destination format.")});
    EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::OkOnly) + Msg::Information);
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(w.txtLog->toPlainText().isEmpty());
    EXPECT_TRUE(QDir(destination()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(SplitterTest, AnUnreadableSourceIsTooSmall)
{
    frmSplitter &w = open(addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav")));
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall});
    EXPECT_FALSE(w.isRunning());
}

TEST_F(SplitterTest, ACountThatGivesNoLengthNeverReusesTheLastJobs)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    QDir(destination()).removeRecursively();

    byParts(w, QStringLiteral("0"));
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall});
    EXPECT_FALSE(QDir(destination()).exists() && !writtenFiles().isEmpty());
}

TEST_F(SplitterTest, TheFolderBoxIsAFolderWithOrWithoutItsClosingSlash)
{
    frmSplitter &w = openTone(seconds(2));
    byParts(w, QStringLiteral("1"));
    w.txtToPath->setEditText(QString());
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{QStringLiteral("Select the destination folder.")});
    EXPECT_TRUE(w.txtLog->toPlainText().isEmpty());

    QString typed = destination();
    typed.chop(1);
    w.txtToPath->setEditText(typed);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("Part_1_tone.WAV")});
}

TEST_F(SplitterTest, ASecondJobIsSeparatedByABlankLine)
{
    frmSplitter &w = openTone(seconds(4));
    byParts(w, QStringLiteral("1"));
    w.chkOverWrite->setChecked(true);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w, 2));
    const QStringList log = logMessages(w);
    const qsizetype second = log.lastIndexOf(QStringLiteral("Preparing to split: tone.wav.."));
    ASSERT_GT(second, 0);
    EXPECT_EQ(log.at(second - 1), QString());
    // With the overwrite box ticked, nothing is asked.
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_FALSE(log.contains(QStringLiteral("File already exists.")));
}

struct OverwriteCase {
    const char *name;
    int answer;
    bool written;
    bool abortedLine;
};

class OverwriteQuestion : public SplitterTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteQuestion, AnswerDecidesTheWholeJob)
{
    const OverwriteCase &c = GetParam();
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("2"));
    w.chkPlaySound->setChecked(true);
    const QString existing = destination() + QStringLiteral("Part_1_tone.WAV");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    testServices().prompter->answers = {c.answer};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text,
              QStringLiteral("The file: '") + existing + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"));
    EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::YesNoCancel) + Msg::Information);
    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.contains(QStringLiteral("File already exists.")));
    EXPECT_FALSE(w.isRunning());
    if (c.written) {
        EXPECT_TRUE(log.contains(QStringLiteral("Overwrite it...")));
        EXPECT_EQ(wavFrames(existing), seconds(5));
        EXPECT_EQ(writtenFiles().size(), 2);
        EXPECT_EQ(testServices().sound->played, QStringList{g_sEndSoundFile});
        return;
    }
    EXPECT_EQ(log.last(), c.abortedLine ? QStringLiteral("Aborted.") : QStringLiteral("File already exists."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Aborted.")));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("Part_1_tone.WAV")});
    EXPECT_TRUE(testServices().sound->played.isEmpty()) << "an ended-by-answer job runs no end-of-job event";
}

INSTANTIATE_TEST_SUITE_P(Splitter, OverwriteQuestion,
                         ::testing::Values(OverwriteCase{"Yes", Msg::Yes, true, false},
                                           OverwriteCase{"No", Msg::No, false, false},
                                           OverwriteCase{"Cancel", Msg::Cancel, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SplitterTest, AbortStopsThePartAndLeavesNoFile)
{
    // A long source, so the first part is still running when the abort comes.
    frmSplitter &w = openTone(seconds(240));
    byParts(w, QStringLiteral("2"));
    w.chkPlaySound->setChecked(true);

    w.cmdAbort->click(); // idle: nothing is asked
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    testServices().prompter->answers = {Msg::Yes};
    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning() && logMessages(w).last() == QStringLiteral("Aborted."); }, 60000));
    flushEvents();

    EXPECT_EQ(testServices().prompter->messageTexts(),
              QStringList{QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' '))});
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Aborted.")));
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().sound->played.isEmpty());
}

TEST_F(SplitterTest, AbortAnsweredNoLeavesTheJobRunning)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("3"));
    testServices().prompter->answers = {Msg::No};
    w.cmdConvert->click();
    w.cmdAbort->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(writtenFiles().size(), 3);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
}

TEST_F(SplitterTest, CloseIsRefusedWhileAJobRuns)
{
    frmSplitter &w = openTone(seconds(120));
    QPointer<frmSplitter> window(&w);
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    EXPECT_FALSE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(writtenFiles().size(), 2);
    EXPECT_TRUE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
}

TEST_F(SplitterTest, AFailedPartIsLoggedTheJobGoesOnAndEndsDoneWithErrors)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("3"));
    // A folder where the second part should go makes that part fail.
    QDir().mkpath(destination() + QStringLiteral("Part_2_tone.WAV"));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("notify-me done");
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("Error: ")).size(), 1);
    EXPECT_TRUE(log.filter(QStringLiteral("Error: ")).first().endsWith(QLatin1Char(')')));
    EXPECT_EQ(log.last(), QStringLiteral("1 of 3 parts failed."));
    EXPECT_EQ(w.m_bErrorOccurred, -1);
    for (const char *name : {"Part_1_tone.WAV", "Part_3_tone.WAV"})
        EXPECT_TRUE(QFileInfo(destination() + QLatin1String(name)).isFile()) << name;
    EXPECT_EQ(writtenFiles().size(), 2);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().tray->balloons,
              QStringList{g_sAppName + QLatin1Char(' ') + g_sAppVersion + QStringLiteral("|Done with errors.")});
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(testServices().shell->opened.size(), 1);
    EXPECT_EQ(testServices().launcher->starts.size(), 1);
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(SplitterTest, ASplitWhoseEveryPartFailsSaysSo)
{
    frmSplitter &w = openTone(seconds(4));
    byParts(w, QStringLiteral("2"));
    for (const char *name : {"Part_1_tone.WAV", "Part_2_tone.WAV"})
        QDir().mkpath(destination() + QLatin1String(name));
    w.chkTurnOffComputer->setChecked(true);
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("Error: ")).size(), 2);
    EXPECT_FALSE(log.contains(QStringLiteral("Done.")));
    EXPECT_EQ(log.last(), QStringLiteral("Every part failed: nothing was written."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().tray->balloons,
              QStringList{g_sAppName + QLatin1Char(' ') + g_sAppVersion + QStringLiteral("|Done with errors.")});
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(SplitterTest, EndOfJobEventsRunThroughTheSeams)
{
    frmSplitter &w = openTone(seconds(3));
    byParts(w, QStringLiteral("1"));
    w.chkCreateSubFolder->click();
    w.txtUndeForlder->setText(QStringLiteral("Parts"));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("\"/opt/my tools/notify\" --title \"Job done\" ; rm -rf x");
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_TRUE(QFileInfo(destination() + QStringLiteral("Parts/Part_1_tone.WAV")).isFile());
    EXPECT_EQ(testServices().sound->played, QStringList{g_sEndSoundFile});
    EXPECT_EQ(testServices().shell->opened, QStringList{destination() + QStringLiteral("Parts/")});
    ASSERT_EQ(testServices().launcher->starts.size(), 1);
    const auto &start = testServices().launcher->starts.first();
    EXPECT_EQ(start.program, QStringLiteral("/opt/my tools/notify"));
    // Shell words stay plain arguments of the one program.
    EXPECT_EQ(start.arguments, (QStringList{QStringLiteral("--title"), QStringLiteral("Job done"), QStringLiteral(";"),
                                            QStringLiteral("rm"), QStringLiteral("-rf"), QStringLiteral("x")}));
    EXPECT_TRUE(start.minimized);
    EXPECT_EQ(turnOff.shown, 1);
    EXPECT_EQ(turnOff.seconds, 30);
    EXPECT_TRUE(testServices().power->actions.isEmpty());
}

TEST_F(SplitterTest, WithNoEventTickedNothingRuns)
{
    g_bPlaySound = true; // the window's boxes, not the options, decide
    frmSplitter &w = openTone(seconds(2));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(false);
    byParts(w, QStringLiteral("1"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_TRUE(testServices().sound->played.isEmpty());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());
    EXPECT_TRUE(testServices().launcher->starts.isEmpty());
}

TEST_F(SplitterTest, EveryPartCarriesTheRowsTagTexts)
{
    RowTags tags;
    tags.album = QStringLiteral("Live [YEAR]");
    tags.artist = QStringLiteral("[PROG_NAME] [PROG_VERSION]");
    tags.comment = QStringLiteral("[date] [SOURCE_NAME]");
    tags.genre = QStringLiteral("Jazz");
    tags.title = QStringLiteral("Take");
    tags.track = QStringLiteral("[TRACK_NUM]");
    frmSplitter &w = openTone(seconds(4), tags);
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(w.cAudioConverter1->TagAlbum(), QStringLiteral("Live ") + year);
    EXPECT_EQ(w.cAudioConverter1->TagArtist(), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    // Lower-case and the converter's own placeholders stay as typed.
    EXPECT_EQ(w.cAudioConverter1->TagComment(), QStringLiteral("[date] [SOURCE_NAME]"));
    EXPECT_EQ(w.cAudioConverter1->TagTrack(), QStringLiteral("1"));
    EXPECT_EQ(w.cAudioConverter1->TagYear(), QString());

    for (const char *part : {"Part_1_tone.WAV", "Part_2_tone.WAV"}) {
        const QJsonObject probed = Fixture::probe(destination() + QLatin1String(part));
        EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("title")), QStringLiteral("Take")) << part;
        EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("artist")), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    }
}

TEST_F(SplitterTest, TheCommentOfALameTaggedSourceReachesEveryPart)
{
    // LAME writes its comment in UTF-16 with an empty description that has
    // no byte-order mark.
    const QString comment = QStringLiteral("Notes on the take");
    const QString source = TestEnv::workFolder() + QStringLiteral("/noted.mp3");
    QProcess lame;
    lame.start(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("--id3v2-only"), QStringLiteral("--tt"),
                                        QStringLiteral("Take"), QStringLiteral("--tc"), comment,
                                        makeSource(QStringLiteral("master.wav"), seconds(4)), source});
    ASSERT_TRUE(lame.waitForFinished(60000) && lame.exitStatus() == QProcess::NormalExit && lame.exitCode() == 0);

    // What adding the file copies into its row.
    const AudioTags read = probeItemFile(source).tags;
    EXPECT_EQ(read.comment, comment);
    RowTags tags;
    tags.title = read.title;
    tags.comment = read.comment;
    frmSplitter &w = open(addRow(source, tags));
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    for (const QString &part : partPaths(QStringLiteral("noted"), 2, QStringLiteral("MP3"))) {
        SCOPED_TRACE(part.toStdString());
        const QJsonObject frames = Mutagen::frames(part).toObject();
        EXPECT_EQ(frames[QStringLiteral("COMM::eng")][QStringLiteral("text")][0].toString(), comment);
        EXPECT_EQ(frames[QStringLiteral("TIT2")][QStringLiteral("text")][0].toString(), QStringLiteral("Take"));
        EXPECT_EQ(probeItemFile(part).tags.comment, comment) << "the program reads the part's comment too";
    }
}

TEST_F(SplitterTest, HandOverFillsTheWindowFromTheSelectedRow)
{
    const QString tone = makeSource(QStringLiteral("tone.wav"), kCdRate);
    addRow(makeSource(QStringLiteral("other.wav"), kCdRate));
    RowTags tags;
    tags.title = QStringLiteral("T");
    const int row = addRow(tone, tags);
    frmSplitter &w = open(row, QStringLiteral("Live: 2024/B"));

    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("Split: tone.wav"));
    EXPECT_EQ(w.g_sFileToSplit, tone);
    EXPECT_EQ(w.txtUndeForlder->text(), mdlFunctions::MakeSafeFileName(QStringLiteral("Live: 2024/B")));
    EXPECT_FALSE(w.txtUndeForlder->text().contains(QLatin1Char('/')));
    EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:00:10"));
    EXPECT_TRUE(w.cStatusBar1->PanelText(QStringLiteral("Total Time")).startsWith(QStringLiteral("Total Size: ")));
    ASSERT_EQ(w.cGrid1->Rows(), 1);
    EXPECT_EQ(w.cGrid1->CellText(1, 1), QString());
    for (int col = 2; col <= mainGrid->Columns(); ++col)
        EXPECT_EQ(w.cGrid1->CellText(1, col), mainGrid->CellText(row, col)) << col;
}

TEST_F(SplitterTest, SplitModeEnablesItsOwnBoxAndFiltersIllegalKeys)
{
    frmSplitter &w = openTone();
    EXPECT_TRUE(w.ptnSplitByParts->isChecked());
    EXPECT_EQ(w.txtSplitParts->text(), QStringLiteral("6"));
    EXPECT_EQ(w.txtSplitSecs->text(), QStringLiteral("10"));
    EXPECT_TRUE(w.txtSplitParts->isEnabled());
    EXPECT_FALSE(w.txtSplitSecs->isEnabled());
    w.ptnSplitBySecs->click();
    EXPECT_FALSE(w.txtSplitParts->isEnabled());
    EXPECT_TRUE(w.txtSplitSecs->isEnabled());
    w.ptnSplitByParts->click();
    EXPECT_TRUE(w.txtSplitParts->isEnabled());

    w.txtSplitParts->setText(QString());
    QTest::keyClicks(w.txtSplitParts, QStringLiteral("1/a"));
    EXPECT_EQ(w.txtSplitParts->text(), QStringLiteral("1a"));
}

} // namespace

namespace {

class SplitSideBySideTest : public SplitterTest {
protected:
    // The job's log, then each event of the control with what the window
    // shows once it has handled it.
    static QStringList splitTrace(frmSplitter &w, int partsAtOnce);
};

QStringList SplitSideBySideTest::splitTrace(frmSplitter &w, int partsAtOnce)
{
    w.cAudioConverter1->setConversionsAtOnce(partsAtOnce);
    w.txtLog->clear();
    QStringList trace;
    const auto shown = [&](const QString &event) {
        trace << QStringLiteral("%1 | %2 | %3 | %4 %5 | part %6 from %7 | %8")
                     .arg(event, w.lblCurrentTrack->text(), w.windowTitle())
                     .arg(w.prgCurrnet->Value())
                     .arg(w.prgTotal->Value())
                     .arg(w.m_lPartNumber)
                     .arg(w.g_lStartFrom)
                     .arg(w.isRunning() ? "running" : "idle");
    };
    cAudioConverter *control = w.cAudioConverter1;
    const ConverterEvents seen(control, &w, shown);
    const qsizetype balloons = testServices().tray->balloons.size();
    w.cmdConvert->click();
    EXPECT_TRUE(waitUntil([&] { return testServices().tray->balloons.size() > balloons; }));
    flushEvents();
    return logMessages(w) + trace;
}

TEST_F(SplitSideBySideTest, PartsShowAsOneAfterTheOther)
{
    const QString source = makeSource(QStringLiteral("tone.wav"), seconds(9.5));
    frmSplitter &w = open(addRow(source));
    byParts(w, QStringLiteral("5"));
    const QStringList parts = partPaths(QStringLiteral("tone"), 5);

    const QStringList oneByOne = splitTrace(w, 1);
    QList<QByteArray> oneByOneFiles;
    for (const QString &path : parts) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        oneByOneFiles << f.readAll();
        f.remove();
    }
    const QStringList sideBySide = splitTrace(w, 4);

    ASSERT_EQ(oneByOne.count(QStringLiteral("Done.")), 5);
    EXPECT_EQ(sideBySide, oneByOne);
    ASSERT_EQ(writtenFiles().size(), 5);
    for (int k = 0; k < parts.size(); ++k) {
        QFile f(parts.at(k));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == oneByOneFiles.at(k)) << "part " << k + 1;
    }
    EXPECT_TRUE(concatenated(parts) == Fixture::readWav16(source));
}

TEST_F(SplitSideBySideTest, ALaterPartsFileIsAskedAboutInItsTurn)
{
    frmSplitter &w = openTone(seconds(8));
    byParts(w, QStringLiteral("4"));
    w.cAudioConverter1->setConversionsAtOnce(4);
    const QString existing = destination() + QStringLiteral("Part_3_tone.WAV");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    testServices().prompter->answers = {Msg::No};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    // Parts 1 and 2 are written and done before the question; no part after
    // it was written ahead of the answer.
    const QStringList done{QStringLiteral("Start to split: tone.wav..."), QStringLiteral("Done.")};
    const QStringList asked{QStringLiteral("Start to split: tone.wav..."), QStringLiteral("File already exists.")};
    const QStringList start{QStringLiteral("Preparing to split: tone.wav.."), QStringLiteral("Destination format: WAV")};
    EXPECT_EQ(logMessages(w), start + done + done + asked);
    EXPECT_EQ(writtenFiles(), (QStringList{QStringLiteral("Part_1_tone.WAV"), QStringLiteral("Part_2_tone.WAV"),
                                           QStringLiteral("Part_3_tone.WAV")}));
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("Part_2_tone.WAV")), seconds(2));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
}

} // namespace
