#include "controls/audio/WmaCodecs.h"

namespace WmaCodecs {

QString Format::description() const
{
    return QStringLiteral("%1 kbps, %2 kHz, %3 CBR")
        .arg(kbps)
        .arg(sampleRate / 1000)
        .arg(channels == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"));
}

const QVector<Codec> &codecs()
{
    static const QVector<Codec> list{
        {QStringLiteral("Windows Media Audio V2"), "wmav2"},
        {QStringLiteral("Windows Media Audio V1"), "wmav1"},
    };
    return list;
}

const QVector<Format> &formats()
{
    static const QVector<Format> list{
        {192, 48000, 2},
        {160, 48000, 2},
        {192, 44100, 2},
        {160, 44100, 2},
        {128, 44100, 2},
        {96, 44100, 2},
        {80, 44100, 2},
        {64, 44100, 2},
        {48, 44100, 2},
        {48, 44100, 1},
        {32, 44100, 1},
        {32, 32000, 1},
        {32, 22050, 2},
        {24, 22050, 1},
    };
    return list;
}

} // namespace WmaCodecs
