#include "controls/audio/AudioFacts.h"
#include "controls/audio/WavHeader.h"
#include "support/AudioFiles.h"
#include "support/HeaderFacts.h"
#include "support/TestEnvironment.h"
#include "support/TestNames.h"

#include <QFile>
#include <QJsonObject>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le64(quint64 v)
{
    QByteArray b(8, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A chunk as RIFF lays it out: the declared size, then the body and a pad
// byte after an odd body. declared < 0 declares the body's own size.
QByteArray chunk(const char *tag, const QByteArray &body, qint64 declared = -1)
{
    QByteArray c = QByteArray(tag, 4) + le32(quint32(declared < 0 ? body.size() : declared)) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

QByteArray riff(const QByteArray &chunks, const char *magic = "RIFF")
{
    return QByteArray(magic, 4) + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

struct Fmt {
    quint16 tag = 1;
    int channels = 2;
    int rate = 44100;
    int bits = 16;
    int byteRateOverride = 0;
};

QByteArray fmt(const Fmt &f)
{
    const int block = f.channels * f.bits / 8;
    return chunk("fmt ", le16(f.tag) + le16(quint16(f.channels)) + le32(quint32(f.rate))
                             + le32(quint32(f.byteRateOverride ? f.byteRateOverride : f.rate * block))
                             + le16(quint16(block)) + le16(quint16(f.bits)));
}

// WAVE_FORMAT_EXTENSIBLE around subformat tag sub (1 integer, 3 float).
QByteArray fmtExtensible(const Fmt &f, quint16 sub, int validBits, quint32 mask)
{
    const int block = f.channels * f.bits / 8;
    const QByteArray guid = le32(sub) + QByteArray::fromHex("000010008000" "00aa00389b71");
    return chunk("fmt ", le16(0xFFFE) + le16(quint16(f.channels)) + le32(quint32(f.rate))
                             + le32(quint32(f.rate * block)) + le16(quint16(block)) + le16(quint16(f.bits))
                             + le16(22) + le16(quint16(validBits)) + le32(mask) + guid);
}

// Bytes that look like audio and hold no S/PDIF sync word.
QByteArray audio(qint64 bytes)
{
    QByteArray a(bytes, '\0');
    for (qint64 i = 0; i < bytes; ++i)
        a[i] = char((i * 37 + i / 7) % 251);
    return a;
}

QByteArray list()
{
    return chunk("LIST", QByteArray("INFO") + chunk("INAM", QByteArray("A title\0", 8))
                             + chunk("IART", QByteArray("Someone\0", 8)));
}

QByteArray write(const QString &name, const QByteArray &bytes)
{
    QFile f(work(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return bytes;
}

QString encoded(const QString &name, const QStringList &codec)
{
    const QString source = work(name + ".src.wav");
    write(name + ".src.wav", riff(fmt({.channels = 1, .rate = 8000}) + chunk("data", audio(16000))));
    EXPECT_TRUE(TestAudio::ffmpeg(QStringList{"-i", source} + codec + QStringList{work(name)}));
    return work(name);
}

struct HeaderCase {
    const char *name;
    std::function<QString()> make;
    bool fromHeader; // whether the header alone settles it
};

QString file(const char *name, const QByteArray &bytes)
{
    write(name, bytes);
    return work(name);
}

std::vector<HeaderCase> headerCases()
{
    return {
        {"8-bit mono", [] { return file("u8.wav", riff(fmt({.channels = 1, .rate = 11025, .bits = 8}) + chunk("data", audio(22051)))); }, true},
        {"16-bit stereo", [] { return file("s16.wav", riff(fmt({}) + chunk("data", audio(44100 * 4 * 3)))); }, true},
        {"24-bit stereo", [] { return file("s24.wav", riff(fmt({.rate = 48000, .bits = 24}) + chunk("data", audio(48000 * 6 + 600)))); }, true},
        {"32-bit integer", [] { return file("s32.wav", riff(fmt({.rate = 96000, .bits = 32}) + chunk("data", audio(96000 * 8 / 3)))); }, true},
        {"32-bit float with fact", [] {
             return file("f32.wav", riff(fmt({.tag = 3, .bits = 32}) + chunk("fact", le32(5000)) + chunk("data", audio(5000 * 8))));
         }, true},
        {"64-bit float mono", [] { return file("f64.wav", riff(fmt({.tag = 3, .channels = 1, .rate = 22050, .bits = 64}) + chunk("data", audio(22050 * 8)))); }, true},
        {"six channels", [] { return file("c6.wav", riff(fmt({.channels = 6, .rate = 48000}) + chunk("data", audio(48000 * 12)))); }, true},
        {"extensible 24-bit 5.1", [] {
             return file("x24.wav", riff(fmtExtensible({.channels = 6, .rate = 48000, .bits = 24}, 1, 24, 0x3F) + chunk("data", audio(48000 * 18))));
         }, true},
        {"extensible float stereo", [] {
             return file("xf.wav", riff(fmtExtensible({.bits = 32}, 3, 32, 0x3) + chunk("data", audio(44100 * 8))));
         }, true},
        {"extensible without a channel mask", [] {
             return file("xm0.wav", riff(fmtExtensible({.channels = 4}, 1, 16, 0) + chunk("data", audio(44100 * 8))));
         }, true},
        {"extensible mask of other channels", [] {
             return file("xmm.wav", riff(fmtExtensible({}, 1, 16, 0x3F) + chunk("data", audio(44100 * 4))));
         }, false},
        {"extensible 20 valid bits of 24", [] {
             return file("x20.wav", riff(fmtExtensible({.bits = 24}, 1, 20, 0x3) + chunk("data", audio(44100 * 6))));
         }, false},
        {"odd data size", [] { return file("odd.wav", riff(fmt({.channels = 1}) + chunk("data", audio(8001)) + list())); }, true},
        {"odd 8-bit data and chunks after", [] {
             return file("odd8.wav", riff(fmt({.channels = 1, .rate = 8000, .bits = 8}) + chunk("data", audio(8001)) + list() + chunk("id3 ", QByteArray(10, '\0'))));
         }, true},
        {"chunks before data", [] {
             return file("pre.wav", riff(chunk("JUNK", QByteArray(27, '\0')) + fmt({}) + list() + chunk("cue ", QByteArray(4, '\0')) + chunk("data", audio(44100 * 4))));
         }, true},
        {"data longer than the file", [] {
             return file("trunc.wav", riff(fmt({}) + chunk("data", audio(44100 * 2), 44100 * 4 * 10)));
         }, true},
        {"data longer than the file, a part-block at its end", [] {
             return file("truncp.wav", riff(fmt({.bits = 24}) + chunk("data", audio(6 * 1000 + 4), 6 * 50000)));
         }, true},
        {"data longer than the file, with fact", [] {
             return file("truncf.wav", riff(fmt({}) + chunk("fact", le32(1234)) + chunk("data", audio(44100 * 2), 44100 * 4 * 10)));
         }, false},
        {"streaming header, size 0", [] { return file("s0.wav", riff(fmt({}) + chunk("data", audio(44100 * 4), 0))); }, true},
        {"streaming header, size 0xFFFFFFFF", [] {
             return file("sff.wav", riff(fmt({.channels = 1}) + chunk("data", audio(44100 * 2 + 1), 0xFFFFFFFF)));
         }, true},
        {"streaming header with nothing after it", [] { return file("s00.wav", riff(fmt({}) + chunk("data", {}, 0))); }, false},
        {"no audio at all", [] { return file("empty.wav", riff(fmt({}) + chunk("data", {}))); }, false},
        {"RF64", [] {
             const QByteArray data = audio(48000 * 6);
             const QByteArray ds64 = chunk("ds64", le64(0) + le64(quint64(data.size())) + le64(48000) + le32(0));
             return file("rf.wav", riff(ds64 + fmt({.rate = 48000, .bits = 24}) + chunk("data", data, 0xFFFFFFFF), "RF64"));
         }, true},
        {"RF64 with data past the end", [] {
             const QByteArray data = audio(48000 * 6);
             const QByteArray ds64 = chunk("ds64", le64(0) + le64(quint64(data.size()) * 4) + le64(48000 * 4) + le32(0));
             return file("rft.wav", riff(ds64 + fmt({.rate = 48000, .bits = 24}) + chunk("data", data, 0xFFFFFFFF), "RF64"));
         }, false},
        {"byte rate field that lies", [] {
             return file("br.wav", riff(fmt({.byteRateOverride = 1000}) + chunk("data", audio(44100 * 2), 44100 * 40)));
         }, false},
        {"12 bits in 16", [] {
             QByteArray f = fmt({.channels = 1});
             qToLittleEndian(quint16(12), f.data() + 8 + 14);
             return file("b12.wav", riff(f + chunk("data", audio(16000))));
         }, false},
        {"format after data", [] { return file("late.wav", riff(chunk("data", audio(44100 * 4)) + fmt({}))); }, false},
        {"two data chunks", [] {
             return file("two.wav", riff(fmt({}) + chunk("data", audio(4000)) + chunk("data", audio(8000))));
         }, false},
        {"S/PDIF sync words in PCM", [] {
             QByteArray data = audio(44100 * 4);
             data.replace(1000, 4, QByteArray("\x72\xF8\x1F\x4E", 4));
             return file("spdif.wav", riff(fmt({}) + chunk("data", data)));
         }, false},
        {"A-law", [] { return file("alaw.wav", riff(fmt({.tag = 6, .channels = 1, .rate = 8000, .bits = 8}) + chunk("fact", le32(8000)) + chunk("data", audio(8000)))); }, false},
        {"MP3 in WAV", [] { return encoded("mp3in.wav", {"-c:a", "libmp3lame", "-b:a", "32k"}); }, false},
        {"MS ADPCM", [] { return encoded("adpcm.wav", {"-c:a", "adpcm_ms"}); }, false},
        {"GSM", [] { return encoded("gsm.wav", {"-c:a", "libgsm_ms"}); }, false},
    };
}

// gtest names a failing case by this.
void PrintTo(const HeaderCase &c, std::ostream *os)
{
    *os << c.name;
}

class WavKinds : public ::testing::TestWithParam<HeaderCase> {};

} // namespace

// Whatever a WAV holds, its list facts come out the same as a full open of
// the file gives them; the header alone serves only the files it settles.
TEST_P(WavKinds, DescribedExactlyAsTheFullProbeOrLeftToIt)
{
    const HeaderCase &c = GetParam();
    const QString path = c.make();
    const std::optional<AudioFacts> full = HeaderFacts::fullProbe(path);
    const std::optional<AudioFacts> header = WavHeader::plainPcmFacts(path);
    EXPECT_EQ(header.has_value(), c.fromHeader);
    if (c.fromHeader) {
        ASSERT_TRUE(full.has_value());
        ASSERT_TRUE(header.has_value());
        HeaderFacts::expectSameAsFullProbe(path, *header, *full);
        EXPECT_EQ(TestAudio::probe(path)["stream"].toObject()["duration_ts"].toInteger(), header->totalSamples);
    }
    HeaderFacts::expectListViewIsTheFullProbe(path, full);
}

INSTANTIATE_TEST_SUITE_P(WavHeader, WavKinds, ::testing::ValuesIn(headerCases()),
    [](const ::testing::TestParamInfo<HeaderCase> &info) { return TestNames::of(QString::fromUtf8(info.param.name), info.index); });

TEST(WavHeader, ANameThatMeansHeaderlessAudioWinsOverAHeaderInside)
{
    const QString vox = file("riff.vox", riff(fmt({}) + chunk("data", audio(4000))));
    ASSERT_TRUE(HeaderFacts::fullProbe(vox).has_value());
    EXPECT_EQ(describeAudio(vox), HeaderFacts::fullProbe(vox));
}
