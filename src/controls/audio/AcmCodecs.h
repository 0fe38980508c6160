#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The codecs that fit a WAV file, listed as the ACM enumeration names them:
// format tags ("PCM", "IMA ADPCM") and their formats ("8.000 kHz, 16 Bit, Mono").
namespace AcmCodecs {

struct Format {
    QString name;
    int sampleRate = 0;
    int channels = 0;
    int bits = 0; // bits per sample as the tag codes it (0 where it has none)
    int kbps = 0; // MPEG Layer-3 only
};

struct Tag {
    QString name;
    const char *encoder; // libavcodec encoder
    const char *encoder8Bit; // PCM at 8 bits uses another one
    QVector<Format> formats;
};

// The PCM format tag, the one the enumeration's first argument names.
constexpr int kPcmFormatTag = 1;
// Lists only the tags the given format converts to.
constexpr int kConvertFlag = 0x100000;

const QVector<Tag> &tags();
const Tag *findTag(const QString &name);
const Format *findFormat(const Tag &tag, const QString &name);

// Tag names for a source of rate and channels: every tag, or with
// kConvertFlag those with a format of that rate and channel count.
QStringList tagNames(int sampleRate, int channels, int bits, int flags);

} // namespace AcmCodecs
