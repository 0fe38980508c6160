#pragma once

#include <QString>
#include <QVector>

// The WMA codecs the converter writes (in ASF) and the formats of each.
namespace WmaCodecs {

struct Format {
    int kbps;
    int sampleRate;
    int channels;
    QString description() const;
};

struct Codec {
    QString name;
    const char *encoder;
};

const QVector<Codec> &codecs();
// The same formats for each codec; the encoders need at least 24 kbit/s.
const QVector<Format> &formats();

} // namespace WmaCodecs
