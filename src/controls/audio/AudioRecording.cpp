#include "controls/audio/AudioRecording.h"

#include "controls/audio/AudioWorkerThread.h"
#include "controls/audio/Resampler.h"
#include "controls/audio/TemporaryOutput.h"
#include "controls/audio/WavEncoder.h"

#include <QAudioSource>
#include <QIODevice>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr int kCheckMs = 50;

// Takes what the device pushes, writes it to the encoder and measures its
// level. Runs on the recording thread.
class RecordingTarget : public QIODevice {
public:
    using Level = std::function<void(double)>;

    RecordingTarget(AudioEncoder &encoder, Resampler &resampler, const AudioRecording::Format &format, int levelFrames,
        Level level)
        : m_encoder(encoder)
        , m_resampler(resampler)
        , m_format(format)
        , m_blockAlign(format.bits / 8 * format.channels)
        , m_levelFrames(levelFrames)
        , m_level(std::move(level))
    {
    }

    bool isSequential() const override { return true; }
    const QString &failure() const { return m_failure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_carry.append(data, int(size));
        const int frames = int(m_carry.size() / m_blockAlign);
        if (frames == 0 || !m_failure.isEmpty())
            return size;
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(m_carry.constData());
        measure(bytes, frames);
        const std::uint8_t *planes[] = {bytes};
        QString error;
        if (!m_resampler.convert(planes, frames, m_encoder, &error))
            m_failure = error;
        m_carry.remove(0, frames * m_blockAlign);
        return size;
    }

private:
    void measure(const std::uint8_t *bytes, int frames)
    {
        const int samples = frames * m_format.channels;
        for (int i = 0; i < samples; ++i) {
            const double v = m_format.bits == 8 ? (bytes[i] - 128) / 128.0
                                                : qint16(bytes[2 * i] | (bytes[2 * i + 1] << 8)) / 32768.0;
            m_peak = qMax(m_peak, std::fabs(v));
            if (++m_sinceLevel >= m_levelFrames * m_format.channels) {
                m_level(m_peak > 0 ? qMax(-96.0, 20 * std::log10(m_peak)) : -96.0);
                m_peak = 0;
                m_sinceLevel = 0;
            }
        }
    }

    AudioEncoder &m_encoder;
    Resampler &m_resampler;
    AudioRecording::Format m_format;
    int m_blockAlign;
    int m_levelFrames;
    Level m_level;
    QByteArray m_carry;
    QString m_failure;
    double m_peak = 0;
    int m_sinceLevel = 0;
};

} // namespace

class RecordingWorker : public QObject {
public:
    using Report = std::function<void(bool failed, const QString &error)>;
    using Level = std::function<void(double)>;

    RecordingWorker(Report report, Level level)
        : m_report(std::move(report))
        , m_level(std::move(level))
    {
    }

    void start(const QAudioDevice &device, const AudioRecording::Format &format, const QString &path, int levelFrames)
    {
        m_path = path;
        m_output = std::make_unique<TemporaryOutput>(path, TemporaryOutput::Kind::Take);
        WavFormatSettings settings{format.sampleRate, qint16(format.channels), qint16(format.bits)};
        m_encoder = std::make_unique<WavEncoder>(settings);
        const PcmSpec source{format.sampleRate, format.channels, format.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16};
        QString error;
        if (!m_encoder->open(m_output->path(), source, {}, &error)) {
            finish(true, error.replace(m_output->path(), path));
            return;
        }
        AVChannelLayout layout{};
        av_channel_layout_default(&layout, format.channels);
        if (!m_resampler.setup(layout, source.format, source.sampleRate, m_encoder->inputSpec(), &error)) {
            finish(true, error);
            return;
        }
        m_target = std::make_unique<RecordingTarget>(*m_encoder, m_resampler, format, levelFrames, m_level);
        m_target->open(QIODevice::WriteOnly);
        QAudioFormat audioFormat;
        audioFormat.setSampleRate(format.sampleRate);
        audioFormat.setChannelCount(format.channels);
        audioFormat.setSampleFormat(format.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        m_source = std::make_unique<QAudioSource>(device, audioFormat);
        m_source->start(m_target.get());
        if (m_source->error() != QAudio::NoError) {
            finish(true, QStringLiteral("The sound device %1 refused to record.").arg(device.description()));
            return;
        }
        if (!m_timer) {
            m_timer = new QTimer(this);
            m_timer->setInterval(kCheckMs);
            QObject::connect(m_timer, &QTimer::timeout, this, [this] { check(); });
        }
        m_timer->start();
    }

    void pause()
    {
        if (m_source)
            m_source->suspend();
    }
    void resume()
    {
        if (m_source)
            m_source->resume();
    }

    void stop()
    {
        if (!m_output || !m_source)
            return;
        m_source->stop();
        QString error;
        if (!m_target->failure().isEmpty()) {
            finish(true, m_target->failure());
        } else if (!m_resampler.flush(*m_encoder, &error) || !m_encoder->finish(&error)) {
            finish(true, error);
        } else {
            m_encoder.reset();
            if (!m_output->commit())
                finish(true, QStringLiteral("Cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno))));
            else
                finish(false, {});
        }
    }

    void teardown()
    {
        stop();
        delete m_timer;
        m_timer = nullptr;
    }

private:
    void check()
    {
        if (!m_target)
            return;
        if (!m_target->failure().isEmpty())
            finish(true, m_target->failure());
        else if (m_source->error() == QAudio::OpenError || m_source->error() == QAudio::FatalError)
            finish(true, QStringLiteral("The sound device stopped recording."));
    }

    // Taken by value: callers pass the target's own failure text, and the
    // target is destroyed here before the text is reported.
    void finish(bool failed, QString error)
    {
        if (!m_output)
            return;
        if (m_timer)
            m_timer->stop();
        // Destroying the sound source runs this thread's events (a second
        // stop, the tear-down), so the take is let go of before anything is
        // destroyed: those calls then find nothing running.
        std::unique_ptr<QAudioSource> source = std::move(m_source);
        std::unique_ptr<RecordingTarget> target = std::move(m_target);
        std::unique_ptr<AudioEncoder> encoder = std::move(m_encoder);
        std::unique_ptr<TemporaryOutput> output = std::move(m_output);
        if (source)
            source->stop();
        source.reset();
        target.reset();
        encoder.reset(); // closes the temporary file before it is removed
        output.reset();
        m_report(failed, error);
    }

    Report m_report;
    Level m_level;
    QString m_path;
    std::unique_ptr<TemporaryOutput> m_output;
    std::unique_ptr<AudioEncoder> m_encoder;
    Resampler m_resampler;
    std::unique_ptr<RecordingTarget> m_target;
    std::unique_ptr<QAudioSource> m_source;
    QTimer *m_timer = nullptr;
};

AudioRecording::AudioRecording(QObject *parent)
    : QObject(parent)
{
    m_worker = new RecordingWorker(
        [this](bool failed, const QString &error) {
            QMetaObject::invokeMethod(
                this,
                [this, failed, error] {
                    m_active = false;
                    m_paused = false;
                    emit ended(failed, error);
                },
                Qt::QueuedConnection);
        },
        [this](double decibels) {
            QMetaObject::invokeMethod(this, [this, decibels] { emit level(decibels); }, Qt::QueuedConnection);
        });
    AudioWorkerThread::start(m_thread, m_worker, QStringLiteral("recording"));
}

AudioRecording::~AudioRecording()
{
    // Ends a recording that still runs, so what was recorded is kept.
    AudioWorkerThread::finish(m_thread, m_worker);
}

void AudioRecording::start(const QAudioDevice &device, const Format &format, const QString &path, int levelFrames)
{
    m_active = true;
    m_paused = false;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, device, format, path, levelFrames] {
        worker->start(device, format, path, qMax(1, levelFrames));
    });
}

void AudioRecording::pause()
{
    AudioWorkerThread::setPaused(m_active, m_paused, m_worker, true);
}

void AudioRecording::resume()
{
    AudioWorkerThread::setPaused(m_active, m_paused, m_worker, false);
}

void AudioRecording::stop()
{
    if (!m_active)
        return;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->stop(); });
}
