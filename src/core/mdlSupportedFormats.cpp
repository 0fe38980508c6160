#include "core/mdlSupportedFormats.h"

#include <array>
#include <utility>

namespace mdlSupportedFormats {

QString GetAudioOpenFilter()
{
    // Texts as users have always seen them, the doubled "*.wav" included.
    static const std::array<std::pair<const char *, const char *>, 12> pairs = {{
        {"All supported audio files "
         "(*.acm;*.wav;*.aiff;*.aif;*.aifc;*.ape;*.cda;*.mp3;*.ogg;*.au;*.snd;*.voc;*.vox;*.wav;*.wma;)",
         "*.acm;*.wav;*.aiff;*.aif;*.aifc;*.ape;*.cda;*.mp3;*.ogg;*.au;*.snd;*.voc;*.vox;*.wav;*.wma;"},
        {"Windows legacy audio components (*.acm;*.wav)", "*.acm;*.wav"},
        {"Audio Interchange File Format (*.aiff;*.aif;*.aifc)", "*.aiff;*.aif;*.aifc"},
        {"Monkey's Audio files (*.ape)", "*.ape"},
        {"Compact Disc Audio track (*.cda)", "*.cda"},
        {"MPEG-1 Audio Layer 3 (MP3) (*.mp3)", "*.mp3"},
        {"Ogg Media format (*.ogg)", "*.ogg"},
        {"Au/SND file format. (*.au;*.snd)", "*.au;*.snd"},
        {"Creative Voice (VOC) (*.voc)", "*.voc"},
        {"Dialogic ADPCM (VOX) (*.vox)", "*.vox"},
        {"Waveform audio format (*.wav)", "*.wav"},
        {"Windows Media Audio files (*.wma)", "*.wma"},
    }};
    QString filter;
    for (const auto &[description, pattern] : pairs) {
        filter += QLatin1String(description) + QChar(u'\0');
        filter += QLatin1String(pattern) + QChar(u'\0');
    }
    return filter;
}

bool IsOfferedExtension(const QString &extension)
{
    static const QString lowered = GetAudioOpenFilter().toLower();
    return lowered.contains(extension.toLower());
}

} // namespace mdlSupportedFormats
