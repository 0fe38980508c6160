#include "controls/audio/SpeechEngine.h"

#include <espeak-ng/speak_lib.h>

#include <QMutex>

#include <cmath>

namespace {

// The library is one engine per process with one callback; this lock is the
// only way to use it from more than one thread.
QMutex &engineLock()
{
    static QMutex lock;
    return lock;
}

// Started once, on first use; the sample rate, or -1 when it cannot start.
int engineRate()
{
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr, espeakINITIALIZE_DONT_EXIT);
    return rate;
}

struct Identifier {
    QString name;
    QByteArray id;
};

// Listed once: the installed voices do not change while the program runs,
// and a window asking for them must not wait for a synthesis to finish.
// Call it without holding the engine lock.
const std::vector<Identifier> &voices()
{
    static const std::vector<Identifier> list = [] {
        QMutexLocker lock(&engineLock());
        std::vector<Identifier> found;
        if (engineRate() <= 0)
            return found;
        for (const espeak_VOICE **v = espeak_ListVoices(nullptr); v && *v; ++v)
            found.push_back({QString::fromUtf8((*v)->name).replace(QLatin1Char('_'), QLatin1Char(' ')),
                QByteArray((*v)->identifier ? (*v)->identifier : (*v)->name)});
        return found;
    }();
    return list;
}

struct Run {
    const std::atomic<bool> *abort;
    SpeechEngine::Speech *speech;
    const std::vector<int> *utf16Of; // UTF-16 position of each code point
};

// The synthesis under way; set and cleared under the engine lock, since the
// library's callback is one for the whole process.
Run *currentRun = nullptr;

int collect(short *wav, int count, espeak_EVENT *events)
{
    Run *run = currentRun;
    if (!run)
        return 0;
    if (wav && count > 0)
        run->speech->samples.insert(run->speech->samples.end(), wav, wav + count);
    const auto &map = *run->utf16Of;
    const int last = int(map.size()) - 1;
    for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        // The engine also marks the end with an empty word.
        if (e->type != espeakEVENT_WORD || e->length <= 0)
            continue;
        // Positions count code points from 1.
        const int first = qBound(0, e->text_position - 1, last);
        const int end = qBound(0, first + e->length, last);
        const qint64 sample = qint64(e->audio_position) * run->speech->sampleRate / 1000;
        run->speech->words.push_back({sample, map[size_t(first)], map[size_t(end)] - map[size_t(first)]});
    }
    return run->abort->load() ? 1 : 0;
}

} // namespace

namespace SpeechEngine {

QStringList voiceNames()
{
    QStringList names;
    for (const Identifier &v : voices())
        names << v.name;
    return names;
}

bool synthesize(
    const QString &text, const Settings &settings, const std::atomic<bool> &abort, Speech *speech, QString *error)
{
    const std::vector<Identifier> &list = voices();
    QMutexLocker lock(&engineLock());
    const int rate = engineRate();
    if (rate <= 0) {
        *error = QStringLiteral("The speech engine cannot start: check that espeak-ng and its data are installed.");
        return false;
    }
    speech->sampleRate = rate;
    speech->samples.clear();
    speech->words.clear();

    if (settings.voice >= 0 && settings.voice < int(list.size()))
        espeak_SetVoiceByName(list[size_t(settings.voice)].id.constData());
    else
        espeak_SetVoiceByName("en");
    const int wpm = int(std::lround(espeakRATE_NORMAL * std::pow(2.0, qBound(-10, settings.rate, 10) / 10.0)));
    espeak_SetParameter(espeakRATE, qBound(espeakRATE_MINIMUM, wpm, espeakRATE_MAXIMUM), 0);
    espeak_SetParameter(espeakVOLUME, qBound(0, settings.volume, 100), 0);

    // Wide characters, so the engine's positions are code points that map
    // back onto the QString exactly.
    const std::u32string wide = text.toStdU32String();
    std::vector<int> utf16Of;
    utf16Of.reserve(wide.size() + 1);
    int at = 0;
    for (char32_t c : wide) {
        utf16Of.push_back(at);
        at += c > 0xFFFF ? 2 : 1;
    }
    utf16Of.push_back(at);
    std::vector<wchar_t> buffer(wide.begin(), wide.end());
    buffer.push_back(0);

    Run run{&abort, speech, &utf16Of};
    currentRun = &run;
    espeak_SetSynthCallback(collect);
    const espeak_ERROR rc = espeak_Synth(buffer.data(), buffer.size() * sizeof(wchar_t), 0, POS_CHARACTER, 0,
        espeakCHARS_WCHAR, nullptr, nullptr);
    espeak_Synchronize();
    currentRun = nullptr;
    if (rc != EE_OK && !abort) {
        *error = QStringLiteral("The speech engine could not speak the text (error %1).").arg(int(rc));
        return false;
    }
    return true;
}

} // namespace SpeechEngine
