#pragma once

#include <QString>

#include <vector>

// The wave formats speech can be written in, named by rate, bits and
// channels ("SAFT22kHz16BitMono"), each with its id.
namespace SpeechFormats {

struct Format {
    QString name;
    qint32 id = 0;
    int sampleRate = 0;
    int bits = 0;
    int channels = 0;
};

// In the order they are reported: by rate, then 8 then 16 bits, mono first.
const std::vector<Format> &all();
// The format of id, or nullptr.
const Format *find(qint32 id);
// The format speech is written in until another is chosen: the engine's own.
const Format &standard();

} // namespace SpeechFormats
