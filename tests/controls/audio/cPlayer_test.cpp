#include "AvFixtures.h"
#include "controls/audio/AudioSnapshot.h"
#include "controls/audio/cPlayer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

using namespace Av;

namespace {

struct PlayerSpy {
    explicit PlayerSpy(cPlayer &player)
        : end(&player, &cPlayer::PlayEnd)
        , error(&player, &cPlayer::Error)
    {
        QObject::connect(&player, &cPlayer::PlayEnd, &player, [this] { call.hit(); });
        QObject::connect(&player, &cPlayer::Error, &player, [this] { call.hit(); });
    }
    // Lets any stray second event arrive before the counts are read.
    void settle() { flushEvents(); }
    QSignalSpy end;
    QSignalSpy error;
    InsideCall call;
};

qint32 play(cPlayer &player, PlayerSpy &spy, const QString &path, qint32 device = -1)
{
    return spy.call.run([&] { return player.Play(path, device); });
}

} // namespace

TEST(Player, OpenFileDescribesTheFile)
{
    struct Case {
        const char *name;
        std::function<QString()> make;
        double length;
        double lengthTolerance;
        int rate;
        int bitrate;
        int bitrateTolerance;
        int channels;
    };
    const Case cases[] = {
        {"cd stereo wav", [] { return toneWav("cd.wav", 3.0, {44100, 2, 16}); }, 3.0, 0.001, 44100, 1411, 0, 2},
        {"8-bit mono wav", [] { return toneWav("m8.wav", 2.5, {8000, 1, 8}); }, 2.5, 0.001, 8000, 64, 0, 1},
        {"mp3 at 128 kbit/s",
            [] {
                const QString wav = toneWav("src.wav", 2.0, {44100, 2, 16});
                EXPECT_TRUE(Fixture::ffmpeg({"-i", wav, "-c:a", "libmp3lame", "-b:a", "128k", work("a.mp3")}));
                return work("a.mp3");
            },
            2.0, 0.1, 44100, 128, 2, 2},
    };
    cPlayer player;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(player.OpenFile(c.make()), 0);
        EXPECT_NEAR(player.Length(), c.length, c.lengthTolerance);
        EXPECT_EQ(player.SampleRate(), c.rate);
        EXPECT_NEAR(player.Bitrate(), c.bitrate, c.bitrateTolerance);
        EXPECT_EQ(player.Channels(), c.channels);
    }
}

TEST(Player, OpenFileOfNoAudioFailsAndDescribesNothing)
{
    cPlayer player;
    ASSERT_EQ(player.OpenFile(toneWav("good.wav", 1.0)), 0);
    QFile text(work("notes.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no sound at all\n");
    text.close();
    for (const QString &path : {work("missing.wav"), work("notes.wav"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_NE(player.OpenFile(path), 0);
        EXPECT_EQ(player.Length(), 0);
        EXPECT_EQ(player.SampleRate(), 0);
        EXPECT_EQ(player.Channels(), 0);
        EXPECT_FALSE(player.ErrorText().isEmpty());
    }
}

TEST(Player, FormatSecondsGivesHoursMinutesAndSeconds)
{
    const std::pair<qint32, const char *> cases[]
        = {{0, "0:00:00"}, {30, "0:00:30"}, {61, "0:01:01"}, {3599, "0:59:59"}, {3725, "1:02:05"}, {-5, "0:00:00"}};
    cPlayer player;
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(player.FormatSeconds(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(Player, StartThatCannotPlayEndsInOneErrorAfterTheCall)
{
    cPlayer player;
    PlayerSpy spy(player);
    const QString tone = toneWav("tone.wav", 1.0);
    struct Case {
        const char *name;
        QString path;
        bool hideDevices;
        qint32 code;
    };
    const Case cases[] = {
        {"missing file", work("gone.wav"), false, cPlayer::FileError},
        {"no sound device", tone, true, cPlayer::DeviceError},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        spy.end.clear();
        spy.error.clear();
        std::optional<NoDevices> hidden;
        if (c.hideDevices)
            hidden.emplace();
        EXPECT_EQ(play(player, spy, c.path), c.code);
        EXPECT_FALSE(player.IsPlaying());
        ASSERT_TRUE(waitForSignal(spy.error));
        spy.settle();
        EXPECT_EQ(spy.error.size(), 1);
        EXPECT_EQ(spy.error.first().at(0).toInt(), c.code);
        EXPECT_FALSE(spy.error.first().at(1).toString().isEmpty());
        EXPECT_EQ(spy.end.size(), 0);
        EXPECT_FALSE(spy.call.arrivedInside);
    }
}

TEST(Player, PlaysAdvancesAndStopsWithOneEndAfterTheCall)
{
    cPlayer player;
    PlayerSpy spy(player);
    const QString tone = toneWav("tone.wav", 5.0, {44100, 2, 16});
    ASSERT_TRUE(haveOutput());
    ASSERT_EQ(play(player, spy, tone), 0);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_NEAR(player.Length(), 5.0, 0.001);
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 0.4; }, 10000)) << player.Position();
    EXPECT_NE(player.AudioData(), 0);

    spy.call.run([&] {
        player.Stop();
        return 0;
    });
    EXPECT_FALSE(player.IsPlaying());
    ASSERT_TRUE(waitForSignal(spy.end));
    spy.settle();
    EXPECT_EQ(spy.end.size(), 1);
    EXPECT_EQ(spy.error.size(), 0);
    EXPECT_FALSE(spy.call.arrivedInside);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.AudioData(), 0);
}

TEST(Player, ShortFileEndsByItselfOnce)
{
    ASSERT_TRUE(haveOutput());
    cPlayer player;
    PlayerSpy spy(player);
    ASSERT_EQ(play(player, spy, toneWav("short.wav", 0.4)), 0);
    ASSERT_TRUE(waitForSignal(spy.end, 1, 10000));
    spy.settle();
    EXPECT_EQ(spy.end.size(), 1);
    EXPECT_EQ(spy.error.size(), 0);
    EXPECT_FALSE(player.IsPlaying());
}

TEST(Player, ProbingAnotherFileLeavesThePlaybackAlone)
{
    ASSERT_TRUE(haveOutput());
    cPlayer player;
    PlayerSpy spy(player);
    ASSERT_EQ(play(player, spy, toneWav("long.wav", 6.0, {44100, 2, 16})), 0);
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 0.3; }, 10000));

    ASSERT_EQ(player.OpenFile(toneWav("other.wav", 1.5, {22050, 1, 8})), 0);
    EXPECT_EQ(player.SampleRate(), 22050);
    EXPECT_EQ(player.Channels(), 1);
    EXPECT_NEAR(player.Length(), 1.5, 0.001);
    EXPECT_NE(player.OpenFile(work("missing.wav")), 0);

    const double before = player.Position();
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= before + 0.3; }, 10000));
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(spy.end.size(), 0);
    player.Stop();
    ASSERT_TRUE(waitForSignal(spy.end));
}

TEST(Player, PauseHoldsThePositionAndSeekMovesIt)
{
    ASSERT_TRUE(haveOutput());
    cPlayer player;
    PlayerSpy spy(player);
    ASSERT_EQ(play(player, spy, toneWav("long.wav", 8.0, {44100, 2, 16})), 0);
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 0.3; }, 10000));

    player.Pause();
    EXPECT_TRUE(player.IsPaused());
    EXPECT_TRUE(player.IsPlaying());
    // A second player is the clock: while it plays on, the paused one holds.
    cPlayer clock;
    PlayerSpy clockSpy(clock);
    ASSERT_EQ(play(clock, clockSpy, toneWav("clock.wav", 8.0, {44100, 2, 16})), 0);
    ASSERT_TRUE(waitUntil([&] { return clock.Position() >= 0.2; }, 10000));
    const double held = player.Position();
    ASSERT_TRUE(waitUntil([&] { return clock.Position() >= 0.6; }, 10000));
    EXPECT_NEAR(player.Position(), held, 0.05);
    clock.Stop();

    player.Resume();
    EXPECT_FALSE(player.IsPaused());
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= held + 0.2; }, 10000));

    player.Seek(5);
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 5.0; }, 10000));
    EXPECT_LT(player.Position(), 6.5);
    player.Stop();
    ASSERT_TRUE(waitForSignal(spy.end));
    EXPECT_EQ(spy.end.size(), 1);
}

TEST(Player, PlayWhilePlayingEndsTheFirstOnceAndPlaysTheSecond)
{
    ASSERT_TRUE(haveOutput());
    cPlayer player;
    PlayerSpy spy(player);
    ASSERT_EQ(play(player, spy, toneWav("a.wav", 5.0)), 0);
    ASSERT_EQ(play(player, spy, toneWav("b.wav", 5.0, {22050, 1, 16})), 0);
    EXPECT_EQ(player.SampleRate(), 22050);
    ASSERT_TRUE(waitForSignal(spy.end));
    EXPECT_TRUE(player.IsPlaying());
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 0.2; }, 10000));
    player.Stop();
    ASSERT_TRUE(waitForSignal(spy.end, 2));
    spy.settle();
    EXPECT_EQ(spy.end.size(), 2);
}
