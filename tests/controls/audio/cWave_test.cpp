#include "AvFixtures.h"
#include "controls/audio/cWave.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Av;

namespace {

WAVEFORMATEX waveFormat(quint32 rate, quint16 channels, quint16 bits)
{
    WAVEFORMATEX f;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = quint16(bits / 8 * channels);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
}

struct WaveSpy {
    explicit WaveSpy(cWave &wave)
        : recordDone(&wave, &cWave::RecordDone)
        , playDone(&wave, &cWave::PlayDone)
        , level(&wave, &cWave::Level)
        , error(&wave, &cWave::Error)
    {
        for (auto signal : {&cWave::RecordDone, &cWave::PlayDone})
            QObject::connect(&wave, signal, &wave, [this] { call.hit(); });
    }
    // Lets any stray second event arrive before the counts are read.
    void settle() { flushEvents(); }
    QSignalSpy recordDone;
    QSignalSpy playDone;
    QSignalSpy level;
    QSignalSpy error;
    InsideCall call;
};

// Waits until the running take of wave holds at least ms of sound, told by
// the level reports it gives every levelFrames frames at rate; the meter is
// on meanwhile and as it was afterwards.
bool captured(cWave &wave, int rate, int levelFrames, int ms)
{
    QSignalSpy levels(&wave, &cWave::Level);
    const bool meter = wave.Meter();
    wave.setMeter(true);
    const qint64 reports = (qint64(ms) * rate + qint64(levelFrames) * 1000 - 1) / (qint64(levelFrames) * 1000);
    const bool enough = waitUntil([&] { return levels.size() >= reports; }, 10000 + ms);
    wave.setMeter(meter);
    return enough;
}

} // namespace

TEST(Wave, ListsTheInputDevicesByNumber)
{
    cWave wave;
    const qint32 inputs = wave.DeviceCount(cWave::InputDevices);
    EXPECT_EQ(inputs, QMediaDevices::audioInputs().size());
    EXPECT_EQ(wave.DeviceCount(cWave::OutputDevices), QMediaDevices::audioOutputs().size());
    EXPECT_EQ(wave.DeviceCount(7), 0);
    for (qint32 i = 0; i < inputs; ++i) {
        WaveDeviceCaps caps;
        EXPECT_EQ(wave.GetDeviceCaps(i, caps, cWave::InputDevices), 0);
        EXPECT_EQ(caps.szPname, QMediaDevices::audioInputs().at(i).description());
        EXPECT_GE(caps.dwChannels, 1u);
    }
    for (qint32 bad : {-1, inputs}) {
        WaveDeviceCaps caps;
        EXPECT_NE(wave.GetDeviceCaps(bad, caps, cWave::InputDevices), 0);
        EXPECT_TRUE(caps.szPname.isEmpty());
    }
    NoDevices hidden;
    EXPECT_EQ(wave.DeviceCount(cWave::InputDevices), 0);
}

TEST(Wave, RefusedRecordingsSayWhyAndWriteNothing)
{
    struct Case {
        const char *name;
        WAVEFORMATEX format;
        QString path;
        bool hideDevices;
        qint32 code;
        const char *says;
    };
    const QString good = work("take.wav");
    WAVEFORMATEX adpcm = waveFormat(8000, 1, 16);
    adpcm.wFormatTag = 2;
    WAVEFORMATEX misaligned = waveFormat(44100, 2, 16);
    misaligned.nBlockAlign = 2;
    const Case cases[] = {
        {"not pcm", adpcm, good, false, cWave::FormatError, "PCM"},
        {"three channels", waveFormat(44100, 3, 16), good, false, cWave::FormatError, "channels"},
        {"24 bits", waveFormat(44100, 2, 24), good, false, cWave::FormatError, "bits"},
        {"block align does not add up", misaligned, good, false, cWave::FormatError, "block align"},
        {"no rate", waveFormat(0, 1, 16), good, false, cWave::FormatError, "samples per second"},
        {"missing folder", waveFormat(8000, 1, 8), work("nowhere/take.wav"), false, cWave::FileError, "nowhere"},
        {"empty path", waveFormat(8000, 1, 8), QString(), false, cWave::FileError, "No file"},
        {"a folder", waveFormat(8000, 1, 8), TestEnv::workFolder(), false, cWave::FileError, "is a folder"},
        {"no input device", waveFormat(8000, 1, 8), good, true, cWave::DeviceError, "No audio input device"},
    };
    cWave wave;
    WaveSpy spy(wave);
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<NoDevices> hidden;
        if (c.hideDevices)
            hidden.emplace();
        qint32 device = -1;
        qint32 code = wave.RecordStart(device, c.path, c.format, 1600);
        EXPECT_EQ(code, c.code);
        EXPECT_FALSE(wave.IsRecording());
        EXPECT_TRUE(wave.ErrorText(code).contains(QLatin1String(c.says))) << wave.ErrorText(code).toStdString();
    }
    spy.settle();
    EXPECT_EQ(spy.recordDone.size(), 0);
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST(Wave, RecordsAWavOfTheChosenFormatAndLength)
{
    cWave wave;
    WaveSpy spy(wave);
    ASSERT_TRUE(haveInput());
    struct Case {
        quint32 rate;
        quint16 channels;
        quint16 bits;
    };
    // The test server's null source hands over a burst of silence when it
    // wakes from idle; one short take first wakes it, so the lengths below
    // measure the control and not the server.
    {
        qint32 device = -1;
        WAVEFORMATEX f = waveFormat(44100, 2, 16);
        ASSERT_EQ(wave.RecordStart(device, work("wake.wav"), f, 1600), 0);
        ASSERT_TRUE(captured(wave, 44100, 1600, 300));
        wave.RecordStop();
        ASSERT_TRUE(waitForSignal(spy.recordDone, 1, 10000));
    }
    for (const Case c : {Case{22050, 1, 8}, Case{44100, 2, 16}}) {
        SCOPED_TRACE(c.rate);
        spy.recordDone.clear();
        const QString path = work(QStringLiteral("take%1.wav").arg(c.rate));
        // What the user had under that name stays until the new take is complete.
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the previous take");
        old.close();

        qint32 device = -1;
        WAVEFORMATEX f = waveFormat(c.rate, c.channels, c.bits);
        ASSERT_EQ(spy.call.run([&] { return wave.RecordStart(device, path, f, 1600); }), 0);
        EXPECT_TRUE(wave.IsRecording());
        ASSERT_TRUE(captured(wave, int(c.rate), 1600, 1000));
        EXPECT_EQ(QFileInfo(path).size(), qint64(strlen("the previous take")));
        spy.call.run([&] {
            wave.RecordStop();
            return 0;
        });
        ASSERT_TRUE(waitForSignal(spy.recordDone, 1, 10000));
        spy.settle();
        EXPECT_EQ(spy.recordDone.size(), 1);
        EXPECT_EQ(spy.error.size(), 0);
        EXPECT_FALSE(spy.call.arrivedInside);
        EXPECT_FALSE(wave.IsRecording());

        const QJsonObject probed = Fixture::probe(path);
        const QJsonObject stream = probed["stream"].toObject();
        EXPECT_EQ(stream["sample_rate"].toString().toInt(), int(c.rate));
        EXPECT_EQ(stream["channels"].toInt(), c.channels);
        EXPECT_EQ(stream["bits_per_sample"].toInt(), c.bits);
        EXPECT_EQ(stream["codec_name"].toString(), c.bits == 8 ? "pcm_u8" : "pcm_s16le");
        // The take holds at least the second it was waited for; how much more
        // depends on how late a loaded machine delivers the stop and on the
        // server's bursts, so only the file's own account of it is checked.
        const double seconds = probed["format"].toObject()["duration"].toString().toDouble();
        EXPECT_GE(seconds, 0.95);
        QFile take(path);
        ASSERT_TRUE(take.open(QIODevice::ReadOnly));
        const QByteArray bytes = take.readAll();
        const qsizetype data = bytes.indexOf("data", 12);
        ASSERT_GT(data, 0);
        const quint32 dataBytes = qFromLittleEndian<quint32>(bytes.constData() + data + 4);
        // An odd-sized chunk is followed by its pad byte.
        EXPECT_EQ(qint64(dataBytes) + (dataBytes & 1), bytes.size() - data - 8);
        EXPECT_NEAR(seconds, double(dataBytes) / (c.rate * c.channels * (c.bits / 8)), 0.01);

        WaveFileDetails details;
        EXPECT_EQ(wave.GetFileDetails(path, details), 0);
        EXPECT_EQ(details.nSamplesPerSec, c.rate);
        EXPECT_EQ(details.SecondsLength, qRound(seconds));
    }
    // No temporary file is left behind.
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList({"*.sonvale.*"}, QDir::Files | QDir::Hidden).size(), 0);
}

TEST(Wave, ClosingWhileRecordingKeepsTheRecording)
{
    ASSERT_TRUE(haveInput());
    const QString path = work("kept.wav");
    {
        // As a window unloads: stop, release, and the control is gone at once.
        cWave wave;
        qint32 device = -1;
        WAVEFORMATEX f = waveFormat(16000, 1, 16);
        ASSERT_EQ(wave.RecordStart(device, path, f, 1600), 0);
        ASSERT_TRUE(captured(wave, 16000, 1600, 700));
        wave.PlayStop();
        wave.RecordStop();
        wave.Terminate();
    }
    const QJsonObject stream = Fixture::probe(path)["stream"].toObject();
    EXPECT_EQ(stream["sample_rate"].toString().toInt(), 16000);
    EXPECT_GT(Fixture::readWav16(path).size(), 1600);
    EXPECT_TRUE(QDir(TestEnv::workFolder()).entryList({"*.sonvale.*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Wave, MeterLevelsArriveOnlyWhileOnAndPauseHolds)
{
    ASSERT_TRUE(haveInput());
    cWave wave;
    WaveSpy spy(wave);
    qint32 device = -1;
    WAVEFORMATEX f = waveFormat(8000, 1, 16);
    ASSERT_EQ(wave.RecordStart(device, work("quiet.wav"), f, 800), 0);
    {
        // A second take with its meter on tells when sound has come in.
        cWave clock;
        qint32 clockDevice = -1;
        WAVEFORMATEX cf = waveFormat(8000, 1, 16);
        ASSERT_EQ(clock.RecordStart(clockDevice, work("clock.wav"), cf, 800), 0);
        ASSERT_TRUE(captured(clock, 8000, 800, 400));
        clock.RecordStop();
    }
    flushEvents();
    EXPECT_EQ(spy.level.size(), 0) << "meter off";
    wave.setMeter(true);
    ASSERT_TRUE(waitForSignal(spy.level, 2, 5000));
    for (const QList<QVariant> &level : spy.level) {
        EXPECT_GE(level.at(0).toInt(), 0);
        EXPECT_LE(level.at(0).toInt(), 120);
    }
    wave.RecordPause();
    EXPECT_TRUE(wave.IsRecordPaused());
    wave.RecordResume();
    EXPECT_FALSE(wave.IsRecordPaused());
    wave.RecordStop();
    ASSERT_TRUE(waitForSignal(spy.recordDone, 1, 10000));
}

TEST(Wave, FileDetailsOfWavFiles)
{
    struct Case {
        Fixture::WavSpec spec;
        double seconds;
        qint32 secondsLength;
    };
    const Case cases[] = {
        {{44100, 2, 16}, 2.4, 2},
        {{8000, 1, 8}, 2.6, 3},
        {{22050, 1, 16}, 0.2, 0},
    };
    cWave wave;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seconds);
        const QString path = toneWav(QStringLiteral("d%1.wav").arg(c.spec.rate), c.seconds, c.spec);
        WaveFileDetails d;
        ASSERT_EQ(wave.GetFileDetails(path, d), 0);
        EXPECT_EQ(d.wFormatTag, 1);
        EXPECT_EQ(d.nChannels, c.spec.channels);
        EXPECT_EQ(d.nSamplesPerSec, quint32(c.spec.rate));
        EXPECT_EQ(d.wBitsPerSample, c.spec.bits);
        EXPECT_EQ(d.nBlockAlign, c.spec.bits / 8 * c.spec.channels);
        EXPECT_EQ(d.nAvgBytesPerSec, quint32(c.spec.rate * d.nBlockAlign));
        EXPECT_EQ(d.SecondsLength, c.secondsLength);
        EXPECT_EQ(d.FileName, QFileInfo(path).fileName());
        EXPECT_EQ(d.FilePath, QFileInfo(path).absoluteFilePath());
    }
    QFile text(work("words.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("RIFF but not really a wave");
    text.close();
    for (const QString &bad : {work("words.wav"), work("missing.wav")}) {
        WaveFileDetails d;
        EXPECT_NE(wave.GetFileDetails(bad, d), 0);
        EXPECT_EQ(d.SecondsLength, 0);
    }
}

TEST(Wave, PlaysAWavToItsEndAndStops)
{
    cWave wave;
    WaveSpy spy(wave);
    qint32 code = wave.PlayStart(work("missing.wav"), -1, 8000);
    EXPECT_EQ(code, cWave::FileError);
    EXPECT_TRUE(wave.ErrorText(code).contains("missing.wav"));
    const QString tone = toneWav("tone.wav", 1.0, {22050, 1, 16});
    {
        const NoDevices none;
        code = wave.PlayStart(tone, -1, 8000);
        EXPECT_EQ(code, cWave::DeviceError);
        EXPECT_TRUE(wave.ErrorText(code).contains("No audio output device"));
    }
    ASSERT_TRUE(haveOutput());
    EXPECT_EQ(wave.PlayPosition(), 0);
    ASSERT_EQ(spy.call.run([&] { return wave.PlayStart(tone, 0, 8000); }), 0);
    EXPECT_TRUE(wave.IsPlaying());
    ASSERT_TRUE(waitForSignal(spy.playDone, 1, 10000));
    spy.settle();
    EXPECT_EQ(spy.playDone.size(), 1);
    EXPECT_FALSE(spy.call.arrivedInside);
    EXPECT_FALSE(wave.IsPlaying());
    // After the end the position stays at the end until the next stop.
    EXPECT_EQ(wave.PlayPosition(), 100);
    EXPECT_EQ(wave.PlayLength(), 1);

    spy.playDone.clear();
    ASSERT_EQ(wave.PlayStart(toneWav("long.wav", 5.0), -1, 8000), 0);
    ASSERT_TRUE(waitUntil([&] { return wave.PlayLength() >= 1; }, 10000));
    EXPECT_GT(wave.PlayPosition(), 10);
    EXPECT_LT(wave.PlayPosition(), 60);
    wave.PlayPause();
    wave.PlayResume();
    EXPECT_EQ(spy.call.run([&] { return wave.PlayStop(); }), 0);
    ASSERT_TRUE(waitForSignal(spy.playDone));
    spy.settle();
    EXPECT_EQ(spy.playDone.size(), 1);
    EXPECT_FALSE(spy.call.arrivedInside);
    EXPECT_EQ(wave.PlayPosition(), 0);
    EXPECT_EQ(wave.PlayStop(), 0) << "stopping when nothing plays is harmless";
}
