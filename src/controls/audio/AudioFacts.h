#pragma once

#include "controls/audio/AudioTags.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the program shows of an audio file without decoding it.
struct AudioFacts {
    // The library's name of the demuxer that reads the file ("wav", "mp3"),
    // so that opening it again for its tags needs no second format probe;
    // empty for headerless audio.
    QByteArray container;
    int sampleRate = 0;
    int channels = 0;
    // As the file stores PCM; 16 for compressed sources.
    int bitsPerSample = 16;
    // -1 when the container does not know it.
    qint64 totalSamples = -1;

    // Rounded to the nearest millisecond; 0 when the length is unknown.
    qint64 durationMs() const
    {
        if (totalSamples < 0 || sampleRate <= 0)
            return 0;
        return (totalSamples * 1000 + sampleRate / 2) / sampleRate;
    }
    // The same, held to the 32-bit millisecond counts the windows keep.
    qint32 durationMs32() const { return qint32(qMin<qint64>(durationMs(), INT32_MAX)); }

    friend bool operator==(const AudioFacts &, const AudioFacts &) = default;
};

// The facts of a plain PCM WAV, a plain MP3 or a plain Ogg Vorbis file come
// from its first bytes (and an Ogg file's last page) alone, which costs a few
// reads; every other file is opened and its stream probed, which reads and
// decodes a good part of it. Empty when the file cannot be opened as audio.
std::optional<AudioFacts> describeAudio(const QString &path);

// The facts and the tags, as describeAudio and the tag reader give them; an
// Ogg Vorbis file read from its pages gives both from that one open.
struct AudioDescription {
    AudioFacts facts;
    AudioTags tags;
};
std::optional<AudioDescription> describeAudioAndTags(const QString &path);
