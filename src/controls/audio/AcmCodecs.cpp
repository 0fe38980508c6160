#include "controls/audio/AcmCodecs.h"

namespace AcmCodecs {
namespace {

    QString kHz(int rate)
    {
        // "44.100 kHz": the thousands of hertz with three decimals.
        return QStringLiteral("%1.%2 kHz").arg(rate / 1000).arg(rate % 1000, 3, 10, QLatin1Char('0'));
    }

    QString channelText(int channels)
    {
        return channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
    }

    QVector<Format> pcmLike(const QVector<int> &bitDepths)
    {
        static const int rates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
        QVector<Format> list;
        for (int rate : rates)
            for (int bits : bitDepths)
                for (int channels : {1, 2})
                    list.append({QStringLiteral("%1, %2 Bit, %3").arg(kHz(rate)).arg(bits).arg(channelText(channels)),
                        rate, channels, bits, 0});
        return list;
    }

    QVector<Format> mpegLayer3()
    {
        struct Version {
            QVector<int> rates;
            QVector<int> bitrates;
        };
        const Version versions[] = {
            {{8000, 11025}, {8, 16, 24, 32, 40, 48, 56, 64}},
            {{16000, 22050, 24000}, {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
            {{32000, 44100, 48000}, {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        };
        QVector<Format> list;
        for (const Version &v : versions)
            for (int rate : v.rates)
                for (int kbps : v.bitrates)
                    for (int channels : {1, 2})
                        list.append(
                            {QStringLiteral("%1 kBit/s, %2, %3").arg(kbps).arg(kHz(rate)).arg(channelText(channels)),
                                rate, channels, 0, kbps});
        return list;
    }

} // namespace

const QVector<Tag> &tags()
{
    static const QVector<Tag> table{
        {QStringLiteral("PCM"), "pcm_s16le", "pcm_u8", pcmLike({8, 16})},
        {QStringLiteral("CCITT A-Law"), "pcm_alaw", nullptr, pcmLike({8})},
        {QStringLiteral("CCITT u-Law"), "pcm_mulaw", nullptr, pcmLike({8})},
        {QStringLiteral("Microsoft ADPCM"), "adpcm_ms", nullptr, pcmLike({4})},
        {QStringLiteral("IMA ADPCM"), "adpcm_ima_wav", nullptr, pcmLike({4})},
        {QStringLiteral("GSM 6.10"), "libgsm_ms", nullptr, {{QStringLiteral("8.000 kHz, Mono"), 8000, 1, 0, 0}}},
        {QStringLiteral("MPEG Layer-3"), "libmp3lame", nullptr, mpegLayer3()},
    };
    return table;
}

const Tag *findTag(const QString &name)
{
    for (const Tag &t : tags())
        if (t.name == name)
            return &t;
    return nullptr;
}

const Format *findFormat(const Tag &tag, const QString &name)
{
    for (const Format &f : tag.formats)
        if (f.name == name)
            return &f;
    return nullptr;
}

QStringList tagNames(int sampleRate, int channels, int bits, int flags)
{
    Q_UNUSED(bits); // every tag is written from decoded PCM, whatever its depth
    QStringList names;
    for (const Tag &t : tags()) {
        bool listed = !(flags & kConvertFlag) || t.name == QLatin1String("PCM");
        for (const Format &f : t.formats)
            listed = listed || (f.sampleRate == sampleRate && f.channels == channels);
        if (listed)
            names << t.name;
    }
    return names;
}

} // namespace AcmCodecs
