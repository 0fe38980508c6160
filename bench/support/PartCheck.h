#pragma once

#include <QString>
#include <QStringList>

// Whether the parts of a split are the source, read back by other decoders
// than the program's: each part's decode is laid against its range of the
// source's straight decode by the same decoder, the two decoders running
// side by side, so no decode is ever held whole in memory.
namespace Bench {

enum class Decoder { Ffmpeg, Mpg123 };

struct PartLayout {
    qint64 partSamples = 0; // every part's length but the last's, which runs to the end
    int channels = 2;
    // 0: every sample equal. Otherwise the least signal-to-error ratio (dB)
    // of each part against its range, for parts that were encoded anew.
    double minSnrDb = 0;
};

QString decoderName(Decoder decoder);

// Empty when parts (in order) cut the source as layout says; otherwise what
// is wrong, naming the part and the decoder.
QString checkParts(const QStringList &parts, const QString &source, const PartLayout &layout, Decoder decoder);

// checkParts with FFmpeg and mpg123 at once.
QString checkPartsWithBothDecoders(const QStringList &parts, const QString &source, const PartLayout &layout);

} // namespace Bench
