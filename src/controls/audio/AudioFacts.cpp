#include "controls/audio/AudioFacts.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/Mp3Header.h"
#include "controls/audio/WavHeader.h"

std::optional<AudioFacts> describeAudio(const QString &path)
{
    if (!AudioDecoder::readsAsHeaderless(path)) {
        if (auto facts = WavHeader::plainPcmFacts(path))
            return facts;
        if (auto facts = Mp3Header::plainFacts(path))
            return facts;
    }
    AudioDecoder decoder;
    QString error;
    if (!decoder.open(path, &error))
        return std::nullopt;
    return decoder.facts();
}
