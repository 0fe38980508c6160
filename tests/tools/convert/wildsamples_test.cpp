#include "ConvertFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "support/AudioFixtures.h"
#include "tools/convert/frmConverter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QJsonObject>
#include <QPushButton>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace {

const QString kWmaFormat = QStringLiteral("WMA - Windows Media Audio files (*.wma)");
constexpr int kWildAt = kRate / 2;

// One second of a 440 Hz tone at half scale in 32-bit floats, one sample of
// it (in the middle) set to wild.
QVector<float> toneWith(float wild)
{
    QVector<float> samples(kRate);
    for (int i = 0; i < kRate; ++i)
        samples[i] = float(0.5 * std::sin(2 * M_PI * 440 * i / kRate));
    samples[kWildAt] = wild;
    return samples;
}

// The root mean square of 16-bit samples, as a share of full scale.
double rms(const QVector<qint16> &samples)
{
    double sum = 0;
    for (qint16 s : samples)
        sum += double(s) * s;
    return samples.isEmpty() ? 0 : std::sqrt(sum / double(samples.size())) / 32768.0;
}

struct WildCase {
    const char *name;
    float value;
    QString format;
    QString codec;
    QString extension;
};

void PrintTo(const WildCase &c, std::ostream *os)
{
    *os << c.name;
}

class WildSamples : public ConvertFixture, public ::testing::WithParamInterface<WildCase> {};

// A sample no encoder takes (not a number, infinite, or far beyond full
// scale) in a float WAV: the row still converts, the log says what was
// mended, and the file plays as the tone it holds.
TEST_P(WildSamples, AreMendedBeforeTheEncoderAndTheFilePlays)
{
    const WildCase &c = GetParam();
    const QString source = TestEnv::workFolder() + QStringLiteral("/tone.wav");
    const QVector<float> samples = toneWith(c.value);
    TestAudio::writeFloatWav(source, kRate, samples);
    addRow(source);
    frmConverter &w = Forms::loadConverter();
    w.HandOver(mainRows(allRows()), QStringLiteral("My list"));
    w.txtToPath->setEditText(destination());
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.format));
    ASSERT_EQ(w.cboTargetFormat->currentText(), c.format);
    w.cboFileName->setCurrentIndex(0);

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.last(), QStringLiteral("Done.")) << log.join('|').toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("1 sample(s) of the source were not numbers or lay beyond full scale")).size(), 1)
        << log.join('|').toStdString();
    const QString out = destination() + QStringLiteral("tone.") + c.extension;
    ASSERT_EQ(writtenFiles(), QStringList{QFileInfo(out).fileName()});

    // Another decoder reads the whole file back, and hears the tone.
    const QJsonObject probed = Fixture::probe(out);
    EXPECT_EQ(probed[QStringLiteral("stream")][QStringLiteral("codec_name")].toString(), c.codec);
    EXPECT_NEAR(probed[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble(), 1.0, 0.2);
    const QVector<qint16> decoded = Fixture::decodeS16(out);
    ASSERT_FALSE(decoded.isEmpty()) << "ffmpeg cannot decode " << out.toStdString();
    // Either side of the wild sample, the tone at its level: a codec whose
    // state it had spoiled would go silent or roar from there on. (A format
    // that takes stereo only spreads the mono tone at -3 dB.)
    const qsizetype half = decoded.size() / 2;
    for (const QVector<qint16> &side : {decoded.first(half), decoded.sliced(half)}) {
        EXPECT_GT(rms(side), 0.2);
        EXPECT_LT(rms(side), 0.45);
    }

    if (c.extension == QLatin1String("wav")) {
        // Sample for sample: the tone as it was, the wild sample silence
        // (not a number) or full scale.
        const QVector<qint16> written = Fixture::readWav16(out);
        ASSERT_EQ(written.size(), kRate);
        for (int i = 0; i < kRate; ++i) {
            const double want = i == kWildAt ? (std::isnan(c.value) ? 0.0 : 32767.0) : samples[i] * 32768.0;
            ASSERT_NEAR(written[i], want, 1.0) << "sample " << i;
        }
    }
}

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Converter, WildSamples,
    ::testing::Values(WildCase{"NanToMp3", kNan, kMp3Format, "mp3", "mp3"},
        WildCase{"InfToMp3", kInf, kMp3Format, "mp3", "mp3"},
        WildCase{"HugeToMp3", 1e30f, kMp3Format, "mp3", "mp3"},
        WildCase{"NanToOgg", kNan, kOggFormat, "vorbis", "ogg"},
        WildCase{"InfToOgg", kInf, kOggFormat, "vorbis", "ogg"},
        WildCase{"HugeToOgg", 1e30f, kOggFormat, "vorbis", "ogg"},
        WildCase{"NanToWma", kNan, kWmaFormat, "wmav2", "wma"},
        WildCase{"InfToWma", kInf, kWmaFormat, "wmav2", "wma"},
        WildCase{"HugeToWma", 1e30f, kWmaFormat, "wmav2", "wma"},
        WildCase{"NanToApe", kNan, kApeFormat, "ape", "ape"},
        WildCase{"InfToApe", kInf, kApeFormat, "ape", "ape"},
        WildCase{"HugeToApe", 1e30f, kApeFormat, "ape", "ape"},
        WildCase{"NanToWav", kNan, kWavFormat, "pcm_s16le", "wav"},
        WildCase{"InfToWav", kInf, kWavFormat, "pcm_s16le", "wav"},
        WildCase{"HugeToWav", 1e30f, kWavFormat, "pcm_s16le", "wav"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
