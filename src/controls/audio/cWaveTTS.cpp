#include "controls/audio/cWaveTTS.h"

#include "controls/audio/AudioDevices.h"
#include "controls/audio/Resampler.h"
#include "controls/audio/SpeechFormats.h"
#include "controls/audio/TemporaryOutput.h"
#include "controls/audio/WavEncoder.h"

#include <QEventLoop>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kWordClockMs = 20;
constexpr int kChunk = 4096;

// Writes speech as a PCM WAV of format at path, under a temporary name until
// it is complete.
bool writeWav(const SpeechEngine::Speech &speech, const SpeechFormats::Format &format, const QString &path,
    QString *error)
{
    TemporaryOutput output(path);
    auto encoder = std::make_unique<WavEncoder>(
        WavFormatSettings{format.sampleRate, qint16(format.channels), qint16(format.bits)});
    const PcmSpec source{speech.sampleRate, 1, AV_SAMPLE_FMT_S16};
    Resampler resampler;
    AVChannelLayout mono{};
    av_channel_layout_default(&mono, 1);
    bool ok = encoder->open(output.path(), source, {}, error)
        && resampler.setup(mono, AV_SAMPLE_FMT_S16, speech.sampleRate, encoder->inputSpec(), error);
    for (size_t at = 0; ok && at < speech.samples.size(); at += kChunk) {
        const std::uint8_t *planes[] = {reinterpret_cast<const std::uint8_t *>(speech.samples.data() + at)};
        ok = resampler.convert(planes, int(qMin<size_t>(kChunk, speech.samples.size() - at)), *encoder, error);
    }
    ok = ok && resampler.flush(*encoder, error) && encoder->finish(error);
    encoder.reset();
    if (ok && !output.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        ok = false;
    }
    if (!ok)
        error->replace(output.path(), path);
    return ok;
}

} // namespace

cWaveTTS::cWaveTTS(QObject *parent)
    : QObject(parent)
{
    m_wordClock.setInterval(kWordClockMs);
    connect(&m_wordClock, &QTimer::timeout, this, &cWaveTTS::emitWords);
    connect(&m_playback, &AudioPlayback::ended, this, &cWaveTTS::playbackEnded);
}

cWaveTTS::~cWaveTTS()
{
    m_synthesis.stop();
}

qint32 cWaveTTS::VoiceCount() const
{
    return qint32(SpeechEngine::voiceNames().size());
}

QString cWaveTTS::VoiceName(qint32 &index) const
{
    const QStringList names = SpeechEngine::voiceNames();
    return index >= 1 && index <= names.size() ? names.at(index - 1) : QString();
}

qint32 cWaveTTS::OutputCount() const
{
    return qint32(AudioDevices::outputs().size());
}

QString cWaveTTS::OutputName(qint32 &index) const
{
    const QList<QAudioDevice> outputs = AudioDevices::outputs();
    return index >= 1 && index <= outputs.size() ? outputs.at(index - 1).description() : QString();
}

void cWaveTTS::Initialize()
{
    for (const SpeechFormats::Format &f : SpeechFormats::all())
        emit FormatFound(f.name, f.id);
}

SpeechEngine::Settings cWaveTTS::settings() const
{
    return {m_voice, m_rate, m_volume};
}

void cWaveTTS::startSynthesis(Worker::Work work)
{
    // A new text replaces whatever is still being synthesised.
    m_synthesis.abort();
    m_synthesis.start(this, std::move(work));
}

qint32 cWaveTTS::refuse(ErrorCode code, const QString &text)
{
    m_errorText = text;
    QMetaObject::invokeMethod(this, [this, code, text] { emit Error(code, text); }, Qt::QueuedConnection);
    return code;
}

void cWaveTTS::finishSpeech(ErrorCode code, const QString &error)
{
    m_speaking = false;
    m_wordClock.stop();
    m_speech.reset();
    m_synthesis.abort();
    if (code != NoError) {
        refuse(code, error);
        return;
    }
    QMetaObject::invokeMethod(this, [this] { emit Done(); }, Qt::QueuedConnection);
}

void cWaveTTS::Speak(const QString &text)
{
    if (m_writing) {
        refuse(EngineError, QStringLiteral("Speech is being written to a file; speak again when it is done."));
        return;
    }
    if (m_speaking)
        Stop();
    QString error;
    const QAudioDevice device = AudioDevices::output(m_output, &error);
    if (device.isNull()) {
        refuse(DeviceError, error);
        return;
    }
    if (!m_scratch)
        m_scratch = std::make_unique<QTemporaryDir>();
    if (!m_scratch->isValid()) {
        refuse(FileError, QStringLiteral("No temporary folder can be made for the speech: %1")
                              .arg(m_scratch->errorString()));
        return;
    }
    m_speaking = true;
    const quint64 job = ++m_job;
    const QString wav = m_scratch->filePath(QStringLiteral("speech%1.wav").arg(job));
    const SpeechEngine::Settings s = settings();
    startSynthesis([this, job, text, s, wav, device](const std::atomic<bool> &abort) {
        auto speech = std::make_shared<SpeechEngine::Speech>();
        QString error;
        bool ok = SpeechEngine::synthesize(text, s, abort, speech.get(), &error);
        if (ok && !abort) {
            const SpeechFormats::Format native{QString(), 0, speech->sampleRate, 16, 1};
            ok = writeWav(*speech, native, wav, &error);
        }
        QMetaObject::invokeMethod(
            this,
            [this, job, speech, wav, error, device, ok] {
                if (job != m_job || !m_speaking) {
                    QFile::remove(wav);
                    return;
                }
                if (!ok) {
                    finishSpeech(EngineError, error);
                    return;
                }
                auto decoder = std::make_unique<AudioDecoder>();
                QString openError;
                if (!decoder->open(wav, &openError)) {
                    finishSpeech(EngineError, openError);
                    return;
                }
                m_speech = speech;
                m_nextWord = 0;
                m_playingJobs.push_back(job);
                m_playback.start(std::move(decoder), device);
                m_wordClock.start();
            },
            Qt::QueuedConnection);
    });
}

void cWaveTTS::emitWords()
{
    if (!m_speech || !m_playback.isActive())
        return;
    const qint64 heard = qint64(m_playback.position() * m_speech->sampleRate);
    while (m_nextWord < m_speech->words.size() && m_speech->words[m_nextWord].sample <= heard) {
        const SpeechEngine::WordMark &w = m_speech->words[m_nextWord++];
        emit Word(w.position, w.length);
    }
}

void cWaveTTS::playbackEnded(bool failed, const QString &error)
{
    const quint64 job = m_playingJobs.isEmpty() ? 0 : m_playingJobs.takeFirst();
    if (m_scratch)
        QFile::remove(m_scratch->filePath(QStringLiteral("speech%1.wav").arg(job)));
    if (job != m_job || !m_speaking)
        return;
    if (!failed)
        emitWords(); // words of the last moments, which the clock may not have reached
    finishSpeech(failed ? DeviceError : NoError, error);
}

void cWaveTTS::Stop()
{
    if (!m_speaking)
        return;
    m_synthesis.abort();
    m_playback.stop();
    finishSpeech(NoError, {});
}

qint32 cWaveTTS::SpeakToFile(const QString &text, QString &path)
{
    if (m_writing)
        return refuse(EngineError, QStringLiteral("Speech is already being written to a file."));
    if (m_speaking)
        Stop();
    const SpeechFormats::Format *format = m_format == 0 ? &SpeechFormats::standard() : SpeechFormats::find(m_format);
    if (!format)
        return refuse(FormatError, QStringLiteral("There is no speech format with the id %1.").arg(m_format));
    if (path.isEmpty())
        return refuse(FileError, QStringLiteral("No file to speak into was given."));
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return refuse(FileError,
            QStringLiteral("Cannot write %1: the folder %2 does not exist.").arg(path, info.absolutePath()));
    if (info.isDir())
        return refuse(FileError, QStringLiteral("Cannot write %1: it is a folder.").arg(path));
    if (!QFileInfo(info.absolutePath()).isWritable())
        return refuse(FileError,
            QStringLiteral("Cannot write %1: the folder %2 cannot be written to.").arg(path, info.absolutePath()));

    struct Outcome {
        bool finished = false;
        ErrorCode code = NoError;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    const SpeechEngine::Settings s = settings();
    const SpeechFormats::Format chosen = *format;
    m_writing = true;
    startSynthesis([this, outcome, text, s, chosen, path, &loop](const std::atomic<bool> &abort) {
        SpeechEngine::Speech speech;
        QString error;
        ErrorCode code = NoError;
        if (!SpeechEngine::synthesize(text, s, abort, &speech, &error))
            code = EngineError;
        else if (!writeWav(speech, chosen, path, &error))
            code = FileError;
        QMetaObject::invokeMethod(
            this,
            [outcome, code, error, &loop] {
                outcome->finished = true;
                outcome->code = code;
                outcome->error = error;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    // The caller goes on with the file as soon as this returns, so it waits
    // here; the window keeps painting while the engine works.
    while (!outcome->finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_writing = false;
    if (outcome->code != NoError)
        return refuse(outcome->code, outcome->error);
    QMetaObject::invokeMethod(this, [this] { emit Done(); }, Qt::QueuedConnection);
    return NoError;
}

void cWaveTTS::Terminate()
{
    Stop();
    m_synthesis.stop();
}
