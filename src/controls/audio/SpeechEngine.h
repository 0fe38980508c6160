#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

// The speech synthesiser (espeak-ng). The library keeps one engine for the
// whole process, so every use goes through here, one synthesis at a time.
namespace SpeechEngine {

// One spoken word: where it starts in the sound and in the text (UTF-16
// positions of the QString that was spoken, from 0).
struct WordMark {
    qint64 sample = 0;
    int position = 0;
    int length = 0;
};

struct Speech {
    int sampleRate = 0; // the engine's own rate, mono 16-bit
    std::vector<qint16> samples;
    std::vector<WordMark> words;
};

// The engine's voices, in its own order; empty when it cannot start.
QStringList voiceNames();

struct Settings {
    int voice = -1; // position in voiceNames(); -1 or unknown: the default voice
    int rate = 0; // -10 (slowest) to 10 (fastest)
    int volume = 100; // 0 to 100
};

// Speaks text into speech. abort is polled while it works; false with a
// reason when the engine fails (an abort is not a failure).
bool synthesize(const QString &text, const Settings &settings, const std::atomic<bool> &abort, Speech *speech,
    QString *error);

} // namespace SpeechEngine
