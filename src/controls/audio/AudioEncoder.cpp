#include "controls/audio/AudioEncoder.h"

#include "controls/audio/AcmWavEncoder.h"
#include "controls/audio/ApeEncoder.h"
#include "controls/audio/Mp3Encoder.h"
#include "controls/audio/OggEncoder.h"
#include "controls/audio/WavEncoder.h"
#include "controls/audio/WmaEncoder.h"

std::unique_ptr<AudioEncoder> createEncoder(const DestinationSettings &settings, QString *error)
{
    switch (settings.format) {
    case DestACM: return std::make_unique<AcmWavEncoder>(settings.acmTag, settings.acmFormat);
    case DestMP3: return std::make_unique<Mp3Encoder>(settings.mp3);
    case DestWMA: return std::make_unique<WmaEncoder>(settings.wma);
    case DestOGG: return std::make_unique<OggEncoder>(settings.ogg);
    case DestAPE: return std::make_unique<ApeEncoder>(settings.apeLevel);
    case DestWAV: return std::make_unique<WavEncoder>(settings.wav);
    default: *error = QStringLiteral("Unknown destination format %1.").arg(settings.format); return nullptr;
    }
}
