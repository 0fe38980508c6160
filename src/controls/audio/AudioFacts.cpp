#include "controls/audio/AudioFacts.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/Mp3Header.h"
#include "controls/audio/OggHeader.h"
#include "controls/audio/WavHeader.h"

namespace {

// What the full open reports of any file the header readers do not settle.
std::optional<AudioFacts> probeFully(const QString &path)
{
    AudioDecoder decoder;
    QString error;
    if (!decoder.open(path, &error))
        return std::nullopt;
    return decoder.facts();
}

std::optional<AudioFacts> headerFacts(const QString &path)
{
    if (auto facts = WavHeader::plainPcmFacts(path))
        return facts;
    if (auto facts = Mp3Header::plainFacts(path))
        return facts;
    return std::nullopt;
}

} // namespace

std::optional<AudioFacts> describeAudio(const QString &path)
{
    if (!AudioDecoder::readsAsHeaderless(path)) {
        if (auto facts = headerFacts(path))
            return facts;
        if (auto ogg = OggHeader::plainVorbis(path))
            return ogg->facts;
    }
    return probeFully(path);
}

std::optional<AudioDescription> describeAudioAndTags(const QString &path)
{
    std::optional<AudioFacts> facts;
    if (!AudioDecoder::readsAsHeaderless(path)) {
        facts = headerFacts(path);
        if (!facts) {
            if (auto ogg = OggHeader::plainVorbis(path))
                return AudioDescription{ogg->facts, ogg->tags};
        }
    }
    if (!facts)
        facts = probeFully(path);
    if (!facts)
        return std::nullopt;
    // The facts name the demuxer, so the tags take no second format probe.
    return AudioDescription{*facts, AudioDecoder::readTags(path, facts->container)};
}
