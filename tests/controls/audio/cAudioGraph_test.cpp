#include "AvFixtures.h"
#include "controls/audio/AudioSnapshot.h"
#include "controls/audio/cAudioGraph.h"
#include "controls/audio/cPlayer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

using namespace Av;

namespace {

// A ticket for a sine of frequency at rate and amplitude (0 to 1).
qint32 sineTicket(double frequency, int rate, double amplitude, size_t frames = 4096)
{
    auto s = std::make_shared<AudioSnapshot>();
    s->sampleRate = rate;
    for (size_t i = 0; i < frames; ++i)
        s->mono.push_back(float(amplitude * std::sin(2 * M_PI * frequency * double(i) / rate)));
    s->peakLeft = s->peakRight = float(amplitude);
    return AudioSnapshots::publish(s);
}

size_t strongestBin(const std::vector<double> &spectrum)
{
    return size_t(std::max_element(spectrum.begin() + 1, spectrum.end()) - spectrum.begin());
}

} // namespace

TEST(AudioGraph, SpectrumPeaksAtTheTonesBin)
{
    struct Case {
        double frequency;
        int rate;
        double amplitude;
    };
    const Case cases[] = {
        {1000, 8000, 0.5}, // exactly bin 256
        {440, 44100, 0.25}, // between bins 20 and 21
        {3000, 22050, 0.9},
        {12000, 48000, 0.1},
    };
    cAudioGraph graph(cAudioGraph::Frequency);
    QSignalSpy value(&graph, &cAudioGraph::GraphValue);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.frequency);
        graph.SetData(sineTicket(c.frequency, c.rate, c.amplitude));
        graph.Redraw();
        const double binWidth = double(c.rate) / cAudioGraph::kFftSize;
        EXPECT_DOUBLE_EQ(graph.BinWidth(), binWidth);
        ASSERT_EQ(graph.Spectrum().size(), size_t(cAudioGraph::kFftSize / 2 + 1));
        EXPECT_EQ(strongestBin(graph.Spectrum()), size_t(std::lround(c.frequency / binWidth)));
        EXPECT_NEAR(graph.PeakFrequency(), c.frequency, binWidth / 4);
        EXPECT_NEAR(graph.Spectrum()[strongestBin(graph.Spectrum())], c.amplitude, c.amplitude * 0.45);
        EXPECT_EQ(value.last().at(0).toInt(), qint32(std::lround(graph.PeakFrequency())));
    }
}

TEST(AudioGraph, AmplitudeReportsTheLouderChannelsPeak)
{
    cAudioGraph graph(cAudioGraph::Amplitude);
    QSignalSpy value(&graph, &cAudioGraph::GraphValue);
    auto s = std::make_shared<AudioSnapshot>();
    s->sampleRate = 44100;
    s->mono.assign(512, 0.1f);
    s->peakLeft = 0.2f;
    s->peakRight = 0.634f;
    graph.SetData(AudioSnapshots::publish(s));
    graph.Redraw();
    EXPECT_EQ(graph.PeakLevel(), 63);
    EXPECT_EQ(value.last().at(0).toInt(), 63);
    EXPECT_TRUE(graph.Spectrum().empty());
}

TEST(AudioGraph, NothingToShowLeavesAnEmptyGraph)
{
    cAudioGraph graph(cAudioGraph::Frequency);
    graph.resize(120, 40);
    graph.SetData(sineTicket(1000, 8000, 0.5));
    graph.Redraw();
    ASSERT_GT(graph.PeakFrequency(), 0);

    graph.Clear();
    EXPECT_TRUE(graph.Spectrum().empty());
    EXPECT_EQ(graph.PeakFrequency(), 0);
    graph.Redraw(); // Clear dropped the data too
    EXPECT_TRUE(graph.Spectrum().empty());

    // Silence, an unknown ticket and 0 all draw nothing and find no tone.
    for (qint32 ticket : {sineTicket(1000, 8000, 0.0), qint32(0), qint32(-7), INT32_MAX}) {
        graph.SetData(ticket);
        graph.Redraw();
        EXPECT_EQ(graph.PeakFrequency(), 0) << ticket;
        EXPECT_EQ(graph.PeakLevel(), 0) << ticket;
        graph.grab(); // paints without data
    }
    graph.Terminate();
    graph.SetData(sineTicket(1000, 8000, 0.5));
    graph.Redraw(); // works again after a release
    EXPECT_NEAR(graph.PeakFrequency(), 1000, 1);
}

TEST(AudioGraph, ColoursAreKeptAndDrawn)
{
    cAudioGraph graph(cAudioGraph::Amplitude);
    graph.resize(60, 30);
    graph.setBackColor(0x0000FF); // red, as the settings write it (BGR)
    graph.setForeColor(0xFF0000);
    graph.setTextColor(0x00FF00);
    EXPECT_EQ(graph.BackColor(), 0x0000FFu);
    EXPECT_EQ(graph.ForeColor(), 0xFF0000u);
    EXPECT_EQ(graph.TextColor(), 0x00FF00u);
    const QImage empty = graph.grab().toImage();
    EXPECT_EQ(empty.pixelColor(2, 2), QColor(255, 0, 0));

    auto s = std::make_shared<AudioSnapshot>();
    s->sampleRate = 8000;
    s->mono.assign(600, 0.0f); // a flat line across the middle
    s->peakLeft = s->peakRight = 0.0f;
    graph.SetData(AudioSnapshots::publish(s));
    graph.Redraw();
    const QImage line = graph.grab().toImage();
    int blue = 0;
    for (int y = 0; y < line.height(); ++y)
        blue = qMax(blue, line.pixelColor(30, y).blue());
    EXPECT_GE(blue, 120); // the line, antialiased across two rows
    EXPECT_EQ(line.pixelColor(30, 2), QColor(255, 0, 0));
}

TEST(AudioGraph, FedFromThePlayerFindsThePlayingTone)
{
    ASSERT_TRUE(haveOutput());
    cPlayer player;
    QSignalSpy end(&player, &cPlayer::PlayEnd);
    qint32 device = -1;
    ASSERT_EQ(player.Play(toneWav("tone.wav", 4.0), device), 0);
    cAudioGraph graph(cAudioGraph::Frequency);
    // Past the first moments, so a whole window of sound has played.
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 0.3; }, 10000));
    ASSERT_TRUE(waitUntil(
        [&] {
            graph.SetData(player.AudioData());
            graph.Redraw();
            return graph.Spectrum().size() > 1 && graph.PeakFrequency() > 0;
        },
        10000));
    EXPECT_NEAR(graph.PeakFrequency(), 440, graph.BinWidth());
    player.Stop();
    ASSERT_TRUE(waitForSignal(end));
}
