#include "support/HeaderFacts.h"

#include "controls/audio/AudioDecoder.h"
#include "support/AudioFiles.h"

#include <QJsonObject>

#include <gtest/gtest.h>

namespace HeaderFacts {

std::optional<AudioFacts> fullProbe(const QString &path)
{
    AudioDecoder decoder;
    QString error;
    if (!decoder.open(path, &error))
        return std::nullopt;
    return decoder.facts();
}

void expectSameAsFullProbe(const QString &path, const AudioFacts &header, const AudioFacts &full)
{
    EXPECT_EQ(header.container, full.container);
    EXPECT_EQ(header.sampleRate, full.sampleRate);
    EXPECT_EQ(header.channels, full.channels);
    EXPECT_EQ(header.bitsPerSample, full.bitsPerSample);
    EXPECT_EQ(header.totalSamples, full.totalSamples);
    EXPECT_EQ(header.durationMs(), full.durationMs());
    const QJsonObject stream = TestAudio::probe(path)["stream"].toObject();
    EXPECT_EQ(stream["sample_rate"].toString().toInt(), header.sampleRate);
    EXPECT_EQ(stream["channels"].toInt(), header.channels);
}

void expectListViewIsTheFullProbe(const QString &path, const std::optional<AudioFacts> &full)
{
    EXPECT_EQ(describeAudio(path), full);
    if (full) {
        EXPECT_EQ(AudioDecoder::readTags(path, full->container), AudioDecoder::readTags(path));
    }
}

} // namespace HeaderFacts
