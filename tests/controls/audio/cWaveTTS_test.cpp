#include "AvFixtures.h"
#include "controls/audio/cWaveTTS.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Av;

namespace {

struct SpeechSpy {
    explicit SpeechSpy(cWaveTTS &tts)
        : done(&tts, &cWaveTTS::Done)
        , error(&tts, &cWaveTTS::Error)
        , word(&tts, &cWaveTTS::Word)
    {
        QObject::connect(&tts, &cWaveTTS::Done, &tts, [this] { call.hit(); });
        QObject::connect(&tts, &cWaveTTS::Error, &tts, [this] { call.hit(); });
    }
    // Lets any stray second event arrive before the counts are read.
    void settle() { flushEvents(); }
    int terminals() const { return int(done.size() + error.size()); }
    QSignalSpy done;
    QSignalSpy error;
    QSignalSpy word;
    InsideCall call;
};

QMap<QString, qint32> formatsOf(cWaveTTS &tts)
{
    QMap<QString, qint32> formats;
    QObject::connect(&tts, &cWaveTTS::FormatFound, &tts,
        [&formats](const QString &name, qint32 id) { formats.insert(name, id); });
    tts.Initialize();
    QObject::disconnect(&tts, &cWaveTTS::FormatFound, &tts, nullptr);
    return formats;
}

double durationOf(const QString &path)
{
    return Fixture::probe(path)["format"].toObject()["duration"].toString().toDouble();
}

int peakOf(const QString &path)
{
    int peak = 0;
    for (qint16 s : Fixture::readWav16(path))
        peak = qMax(peak, qAbs(int(s)));
    return peak;
}

const QString kSentence = QStringLiteral("This sample shows you how to use the speech.");

} // namespace

TEST(WaveTTS, ListsVoicesOutputsAndFormats)
{
    cWaveTTS tts;
    const qint32 voices = tts.VoiceCount();
    ASSERT_GT(voices, 0) << "the speech engine's voices";
    for (qint32 i = 1; i <= voices; ++i)
        EXPECT_FALSE(tts.VoiceName(i).isEmpty()) << i;
    for (qint32 outside : {0, voices + 1})
        EXPECT_TRUE(tts.VoiceName(outside).isEmpty());

    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    EXPECT_EQ(tts.OutputCount(), outputs.size());
    for (qint32 i = 1; i <= outputs.size(); ++i)
        EXPECT_EQ(tts.OutputName(i), outputs.at(i - 1).description());

    QSignalSpy found(&tts, &cWaveTTS::FormatFound);
    tts.Initialize();
    EXPECT_EQ(found.size(), 36) << "9 rates, 8 and 16 bits, mono and stereo";
    QSet<QString> names;
    QSet<qint32> ids;
    for (const QList<QVariant> &f : found) {
        names.insert(f.at(0).toString());
        ids.insert(f.at(1).toInt());
    }
    EXPECT_EQ(names.size(), 36);
    EXPECT_EQ(ids.size(), 36);
    for (const char *name : {"SAFT8kHz8BitMono", "SAFT11kHz16BitStereo", "SAFT22kHz16BitMono", "SAFT48kHz16BitStereo"})
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
    EXPECT_EQ(found.first().at(0).toString(), "SAFT8kHz8BitMono");

    // Speech into a file needs no sound device.
    NoDevices hidden;
    EXPECT_EQ(tts.OutputCount(), 0);
    QString path = work("no_devices.wav");
    EXPECT_EQ(tts.SpeakToFile(kSentence, path), 0);
    EXPECT_GT(durationOf(path), 1.0);
}

TEST(WaveTTS, SpeaksIntoAWavOfTheChosenFormat)
{
    struct Case {
        const char *format; // empty: none chosen
        int rate;
        int channels;
        int bits;
    };
    const Case cases[] = {
        {"", 22050, 1, 16},
        {"SAFT22kHz16BitMono", 22050, 1, 16},
        {"SAFT8kHz8BitMono", 8000, 1, 8},
        {"SAFT11kHz8BitStereo", 11025, 2, 8},
        {"SAFT44kHz16BitStereo", 44100, 2, 16},
        {"SAFT48kHz16BitMono", 48000, 1, 16},
    };
    cWaveTTS tts;
    const QMap<QString, qint32> formats = formatsOf(tts);
    SpeechSpy spy(tts);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        spy.done.clear();
        if (*c.format)
            tts.setFormat(formats.value(QLatin1String(c.format)));
        QString path = work(QStringLiteral("speech_%1.wav").arg(QLatin1String(c.format)));
        ASSERT_EQ(spy.call.run([&] { return tts.SpeakToFile(kSentence, path); }), 0) << tts.ErrorText().toStdString();
        ASSERT_TRUE(QFileInfo::exists(path)) << "complete when the call returns";
        const QJsonObject stream = Fixture::probe(path)["stream"].toObject();
        EXPECT_EQ(stream["sample_rate"].toString().toInt(), c.rate);
        EXPECT_EQ(stream["channels"].toInt(), c.channels);
        EXPECT_EQ(stream["bits_per_sample"].toInt(), c.bits);
        EXPECT_GT(durationOf(path), 1.0);
        ASSERT_TRUE(waitForSignal(spy.done));
        spy.settle();
        EXPECT_EQ(spy.terminals(), 1);
        EXPECT_FALSE(spy.call.arrivedInside);
    }
    EXPECT_TRUE(QDir(TestEnv::workFolder()).entryList({"*.sonvale.*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(WaveTTS, TheChosenVoiceSpeaks)
{
    // The engine varies its sound a little from one run to the next, so
    // voices are told apart by how long they take over the same text.
    cWaveTTS tts;
    ASSERT_GT(tts.VoiceCount(), 1);
    auto samples = [&tts](const QString &name, qint32 voice) {
        tts.setVoice(voice);
        QString path = work(name);
        EXPECT_EQ(tts.SpeakToFile(kSentence, path), 0);
        return double(Fixture::readWav16(path).size());
    };
    const double byDefault = samples("default.wav", -1);
    EXPECT_GT(byDefault, 22050);
    EXPECT_NEAR(samples("unknown.wav", tts.VoiceCount()), byDefault, byDefault * 0.01)
        << "a position no voice has speaks with the default voice";
    const double first = samples("first.wav", 0);
    const double last = samples("last.wav", tts.VoiceCount() - 1);
    EXPECT_GT(std::abs(first - last), byDefault * 0.05);
}

TEST(WaveTTS, RateAndVolumeShapeTheSpeech)
{
    cWaveTTS tts;
    auto speak = [&tts](const QString &name, qint32 rate, qint32 volume) {
        tts.setRate(rate);
        tts.setVolume(volume);
        QString path = work(name);
        EXPECT_EQ(tts.SpeakToFile(kSentence, path), 0);
        return path;
    };
    const QString slow = speak("slow.wav", -10, 100);
    const QString normal = speak("normal.wav", 0, 100);
    const QString fast = speak("fast.wav", 10, 100);
    const QString quiet = speak("quiet.wav", 0, 20);
    EXPECT_GT(durationOf(slow), durationOf(normal) * 1.4);
    EXPECT_LT(durationOf(fast), durationOf(normal) / 1.4);
    EXPECT_LT(peakOf(quiet), peakOf(normal) / 2);
}

TEST(WaveTTS, FilesThatCannotBeWrittenEndInOneError)
{
    struct Case {
        const char *name;
        QString path;
        qint32 format;
        qint32 code;
        const char *says;
    };
    const Case cases[] = {
        {"unknown format", work("a.wav"), 999, cWaveTTS::FormatError, "999"},
        {"missing folder", work("nowhere/a.wav"), 0, cWaveTTS::FileError, "nowhere"},
        {"no file name", QString(), 0, cWaveTTS::FileError, "No file"},
        {"a folder", TestEnv::workFolder(), 0, cWaveTTS::FileError, "folder"},
    };
    cWaveTTS tts;
    SpeechSpy spy(tts);
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        spy.error.clear();
        spy.done.clear();
        tts.setFormat(c.format);
        EXPECT_EQ(spy.call.run([&] { return tts.SpeakToFile(kSentence, c.path); }), c.code);
        ASSERT_TRUE(waitForSignal(spy.error));
        spy.settle();
        EXPECT_EQ(spy.terminals(), 1);
        EXPECT_EQ(spy.error.first().at(0).toInt(), c.code);
        EXPECT_TRUE(spy.error.first().at(1).toString().contains(QLatin1String(c.says)));
        EXPECT_FALSE(spy.call.arrivedInside);
    }
    EXPECT_TRUE(QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(WaveTTS, SpeaksAloudWordByWord)
{
    cWaveTTS tts;
    SpeechSpy spy(tts);
    {
        // Without a sound device speaking aloud ends in one error, after the call.
        const NoDevices none;
        spy.call.run([&] {
            tts.Speak(kSentence);
            return 0;
        });
        ASSERT_TRUE(waitForSignal(spy.error));
        EXPECT_EQ(spy.error.first().at(0).toInt(), cWaveTTS::DeviceError);
        EXPECT_FALSE(spy.call.arrivedInside);
        EXPECT_FALSE(tts.IsSpeaking());
    }
    spy.error.clear();
    ASSERT_TRUE(haveOutput());
    // Positions are of the QString, also past letters outside ASCII.
    const QString text = QStringLiteral("naïve café works");
    spy.call.run([&] {
        tts.Speak(text);
        return 0;
    });
    EXPECT_TRUE(tts.IsSpeaking());
    ASSERT_TRUE(waitForSignal(spy.done, 1, 20000));
    spy.settle();
    EXPECT_EQ(spy.terminals(), 1);
    EXPECT_FALSE(spy.call.arrivedInside);
    EXPECT_FALSE(tts.IsSpeaking());
    QList<std::pair<int, int>> words;
    for (const QList<QVariant> &w : spy.word)
        words.append({w.at(0).toInt(), w.at(1).toInt()});
    const QList<std::pair<int, int>> expected{{0, 5}, {6, 4}, {11, 5}};
    EXPECT_EQ(words, expected);
}

TEST(WaveTTS, StopAndASecondSpeakEachEndTheSpeechOnce)
{
    ASSERT_TRUE(haveOutput());
    cWaveTTS tts;
    SpeechSpy spy(tts);
    const QString longText = kSentence.repeated(6);
    tts.Speak(longText);
    ASSERT_TRUE(waitForSignal(spy.word, 2, 20000));
    tts.Speak(longText); // the first ends, the second starts
    EXPECT_TRUE(tts.IsSpeaking());
    ASSERT_TRUE(waitForSignal(spy.done));
    EXPECT_TRUE(tts.IsSpeaking());
    const int wordsBefore = int(spy.word.size());
    ASSERT_TRUE(waitUntil([&] { return spy.word.size() > wordsBefore; }, 20000));
    spy.call.run([&] {
        tts.Stop();
        return 0;
    });
    EXPECT_FALSE(tts.IsSpeaking());
    ASSERT_TRUE(waitForSignal(spy.done, 2));
    const int wordsAtEnd = int(spy.word.size());
    spy.settle();
    EXPECT_EQ(spy.terminals(), 2);
    EXPECT_EQ(spy.word.size(), wordsAtEnd) << "no word after the end";
    EXPECT_FALSE(spy.call.arrivedInside);
}
