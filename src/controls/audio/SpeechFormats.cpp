#include "controls/audio/SpeechFormats.h"

namespace SpeechFormats {

const std::vector<Format> &all()
{
    static const std::vector<Format> formats = [] {
        struct Rate {
            int hz;
            const char *label;
        };
        const Rate rates[] = {{8000, "8kHz"}, {11025, "11kHz"}, {12000, "12kHz"}, {16000, "16kHz"}, {22050, "22kHz"},
            {24000, "24kHz"}, {32000, "32kHz"}, {44100, "44kHz"}, {48000, "48kHz"}};
        std::vector<Format> list;
        qint32 id = 4;
        for (const Rate &r : rates)
            for (int bits : {8, 16})
                for (int channels : {1, 2})
                    list.push_back({QStringLiteral("SAFT%1%2Bit%3")
                                        .arg(QLatin1String(r.label))
                                        .arg(bits)
                                        .arg(channels == 1 ? QLatin1String("Mono") : QLatin1String("Stereo")),
                        id++, r.hz, bits, channels});
        return list;
    }();
    return formats;
}

const Format *find(qint32 id)
{
    for (const Format &f : all())
        if (f.id == id)
            return &f;
    return nullptr;
}

const Format &standard()
{
    for (const Format &f : all())
        if (f.sampleRate == 22050 && f.bits == 16 && f.channels == 1)
            return f;
    return all().front();
}

} // namespace SpeechFormats
