#include "controls/audio/AudioPlayback.h"

#include "controls/audio/AudioWorkerThread.h"
#include "controls/audio/AudioSnapshot.h"

#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMutex>
#include <QTimer>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kRingFrames = 1 << 16;
constexpr int kSnapshotFrames = 2048;
constexpr int kTickMs = 20;
// A device that stops taking sound for this long after the end has played
// what it will ever play.
constexpr qint64 kEndStallMs = 750;
constexpr qint64 kDeadDeviceMs = 5000;

// The last moments of what was handed to the device, left and right, with the
// number of frames handed over since the session began (or last sought).
class SoundRing {
public:
    void reset()
    {
        QMutexLocker lock(&m_mutex);
        m_written = 0;
        std::fill(m_left.begin(), m_left.end(), 0.f);
        std::fill(m_right.begin(), m_right.end(), 0.f);
    }
    void append(const qint16 *interleaved, int frames, int channels)
    {
        QMutexLocker lock(&m_mutex);
        for (int i = 0; i < frames; ++i) {
            const size_t at = size_t((m_written + i) % kRingFrames);
            m_left[at] = interleaved[i * channels] / 32768.f;
            m_right[at] = interleaved[i * channels + channels - 1] / 32768.f;
        }
        m_written += frames;
    }
    std::shared_ptr<const AudioSnapshot> window(qint64 playedFrames, int sampleRate) const
    {
        QMutexLocker lock(&m_mutex);
        auto s = std::make_shared<AudioSnapshot>();
        s->sampleRate = sampleRate;
        const qint64 end = qBound<qint64>(0, playedFrames, m_written);
        const qint64 begin = qMax<qint64>(qMax<qint64>(0, end - kSnapshotFrames), m_written - kRingFrames);
        s->mono.reserve(size_t(end - begin));
        for (qint64 i = begin; i < end; ++i) {
            const size_t at = size_t(i % kRingFrames);
            s->mono.push_back((m_left[at] + m_right[at]) / 2);
            s->peakLeft = qMax(s->peakLeft, std::fabs(m_left[at]));
            s->peakRight = qMax(s->peakRight, std::fabs(m_right[at]));
        }
        return s;
    }

private:
    mutable QMutex m_mutex;
    std::vector<float> m_left = std::vector<float>(kRingFrames);
    std::vector<float> m_right = std::vector<float>(kRingFrames);
    qint64 m_written = 0;
};

// Decodes on demand as the device pulls, so memory stays flat whatever the
// file's length.
class DecodedStream : public QIODevice {
public:
    DecodedStream(AudioDecoder &decoder, SoundRing &ring)
        : m_decoder(decoder)
        , m_ring(ring)
    {
    }

    bool setup(const QAudioFormat &format, QString *error)
    {
        m_channels = format.channelCount();
        m_rate = format.sampleRate();
        AVChannelLayout out{};
        av_channel_layout_default(&out, m_channels);
        AVChannelLayout in = av::layoutOf(m_decoder.channelLayout());
        SwrContext *raw = nullptr;
        int rc = swr_alloc_set_opts2(
            &raw, &out, AV_SAMPLE_FMT_S16, m_rate, &in, m_decoder.sampleFormat(), m_decoder.sampleRate(), 0, nullptr);
        m_swr.reset(raw);
        if (rc >= 0)
            rc = swr_init(m_swr.get());
        if (rc < 0)
            *error = QStringLiteral("Cannot prepare the sound for the device: %1").arg(av::errorText(rc));
        return rc >= 0;
    }

    // Drops what is buffered and goes on from sample (of the source).
    bool seek(qint64 sample, QString *error)
    {
        m_pending.clear();
        m_eof = false;
        m_dropFrames = 0;
        swr_init(m_swr.get());
        if (!m_decoder.seekToSample(sample, error))
            return false;
        m_seekTarget = sample;
        return true;
    }

    // Decoding stops at sample (of the source); -1 plays to the end.
    void setEnd(qint64 sample) { m_end = sample; }

    // The sound sink never sees an end: once the sound is over it is handed
    // silence until the player stops it. A sink that reaches the end of its
    // source asks the sound server to drain, and the server's answer can come
    // in after the sink is gone; the player tells the end by the frames it
    // handed over instead.
    bool atEnd() const override { return false; }
    bool handedAll() const { return m_eof && m_pending.isEmpty(); }
    bool isSequential() const override { return true; }
    bool finishedDecoding() const { return m_eof; }
    qint64 framesHandedOver() const { return m_handedOver; }
    const QString &failure() const { return m_failure; }
    void restartCount() { m_handedOver = 0; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const int frameBytes = 2 * m_channels;
        maxSize -= maxSize % frameBytes;
        while (m_pending.size() < maxSize && !m_eof)
            decodeMore();
        if (m_eof && m_pending.isEmpty()) {
            memset(data, 0, size_t(qMax<qint64>(maxSize, 0)));
            return qMax<qint64>(maxSize, 0);
        }
        const qint64 n = qMin<qint64>(maxSize, m_pending.size());
        if (n <= 0)
            return 0;
        memcpy(data, m_pending.constData(), size_t(n));
        m_pending.remove(0, int(n));
        m_handedOver += n / frameBytes;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    void decodeMore()
    {
        QString error;
        const AudioDecoder::Read r = m_decoder.next(&error);
        if (r != AudioDecoder::Read::Frame) {
            if (r == AudioDecoder::Read::Failed)
                m_failure = error;
            convert(nullptr, 0); // the resampler's tail
            m_eof = true;
            return;
        }
        const AVFrame *frame = m_decoder.frame();
        int frames = frame->nb_samples;
        if (m_end >= 0) {
            const qint64 left = m_end - m_decoder.firstSample();
            if (left <= 0) {
                convert(nullptr, 0);
                m_eof = true;
                return;
            }
            frames = int(qMin<qint64>(frames, left));
        }
        if (m_seekTarget > 0) {
            // Frames after a seek may begin before the sample asked for.
            const qint64 before = m_seekTarget - m_decoder.firstSample();
            if (before >= frames)
                return;
            if (before > 0)
                m_dropFrames = av_rescale(before, m_rate, m_decoder.sampleRate());
            m_seekTarget = 0;
        }
        convert(frame->extended_data, frames);
    }

    void convert(const std::uint8_t *const *data, int frames)
    {
        const int room = swr_get_out_samples(m_swr.get(), frames) + 32;
        m_scratch.resize(size_t(room) * size_t(m_channels));
        std::uint8_t *out[] = {reinterpret_cast<std::uint8_t *>(m_scratch.data())};
        const int n = swr_convert(m_swr.get(), out, room, const_cast<const std::uint8_t **>(data), frames);
        if (n <= 0)
            return;
        const int skip = int(qMin<qint64>(m_dropFrames, n));
        m_dropFrames -= skip;
        const qint16 *kept = m_scratch.data() + size_t(skip) * size_t(m_channels);
        m_ring.append(kept, n - skip, m_channels);
        m_pending.append(reinterpret_cast<const char *>(kept), (n - skip) * 2 * m_channels);
    }

    AudioDecoder &m_decoder;
    SoundRing &m_ring;
    av::Swr m_swr;
    QByteArray m_pending;
    std::vector<qint16> m_scratch;
    QString m_failure;
    int m_channels = 2;
    int m_rate = 44100;
    qint64 m_seekTarget = 0;
    qint64 m_end = -1;
    qint64 m_dropFrames = 0;
    qint64 m_handedOver = 0;
    bool m_eof = false;
};

QAudioFormat formatFor(const AudioDecoder &decoder, const QAudioDevice &device)
{
    QAudioFormat format;
    format.setSampleRate(decoder.sampleRate());
    format.setChannelCount(qBound(1, decoder.channels(), 2));
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format.setSampleRate(qBound(device.minimumSampleRate(), format.sampleRate(), device.maximumSampleRate()));
        format.setChannelCount(qBound(device.minimumChannelCount(), format.channelCount(), 2));
    }
    return format;
}

} // namespace

// Lives on the playback thread; everything here runs there.
class PlaybackWorker : public QObject {
public:
    using Report = std::function<void(quint64 session, bool failed, const QString &error)>;

    explicit PlaybackWorker(Report report)
        : m_report(std::move(report))
    {
    }

    void start(quint64 session, std::unique_ptr<AudioDecoder> decoder, const QAudioDevice &device,
        qint64 firstSample, qint64 endSample)
    {
        finish(false, {});
        m_session = session;
        m_decoder = std::move(decoder);
        ring.reset();
        m_base = 0;
        m_stream = std::make_unique<DecodedStream>(*m_decoder, ring);
        m_format = formatFor(*m_decoder, device);
        QString error;
        if (!m_stream->setup(m_format, &error) || (firstSample > 0 && !m_stream->seek(firstSample, &error))) {
            finish(true, error);
            return;
        }
        m_stream->setEnd(endSample);
        m_base = firstSample > 0 ? firstSample * 1000000 / m_decoder->sampleRate() : 0;
        m_stream->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, m_format);
        m_sink->start(m_stream.get());
        if (m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError) {
            finish(true, QStringLiteral("The sound device %1 refused to play.").arg(device.description()));
            return;
        }
        if (!m_timer) {
            m_timer = new QTimer(this);
            m_timer->setInterval(kTickMs);
            QObject::connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
        }
        m_stall.invalidate();
        m_timer->start();
    }

    void pause()
    {
        if (m_sink)
            m_sink->suspend();
    }
    void resume()
    {
        if (m_sink)
            m_sink->resume();
    }
    void stop() { finish(false, {}); }

    // The device objects belong to this thread and end here.
    void teardown()
    {
        finish(false, {});
        delete m_timer;
        m_timer = nullptr;
    }

    void seek(double seconds)
    {
        if (!m_sink)
            return;
        const bool wasSuspended = m_sink->state() == QAudio::SuspendedState;
        m_sink->stop();
        const qint64 sample = qMax<qint64>(0, qint64(seconds * m_decoder->sampleRate()));
        QString error;
        if (!m_stream->seek(sample, &error)) {
            finish(true, error);
            return;
        }
        ring.reset();
        m_stream->restartCount();
        m_base = qint64(seconds * 1e6);
        m_stall.invalidate();
        m_sink->start(m_stream.get());
        if (wasSuspended)
            m_sink->suspend();
    }

    // Read from the caller's thread.
    std::atomic<qint64> positionUs{0};
    std::atomic<qint64> playedFrames{0};
    std::atomic<int> sampleRate{0};
    SoundRing ring;

private:
    void tick()
    {
        if (!m_sink)
            return;
        const qint64 processed = m_sink->processedUSecs();
        positionUs = m_base + processed;
        playedFrames = processed * m_format.sampleRate() / 1000000;
        sampleRate = m_format.sampleRate();
        if (m_sink->error() == QAudio::OpenError || m_sink->error() == QAudio::FatalError) {
            finish(true, QStringLiteral("The sound device stopped playing."));
            return;
        }
        if (m_sink->state() == QAudio::SuspendedState) {
            m_stall.invalidate();
            return;
        }
        if (processed != m_lastProcessed || !m_stall.isValid()) {
            m_lastProcessed = processed;
            m_stall.start();
        }
        if (!m_stream->finishedDecoding()) {
            // A device that takes no sound for this long will take none.
            if (m_stall.elapsed() > kDeadDeviceMs)
                finish(true, QStringLiteral("The sound device stopped taking sound."));
            return;
        }
        const qint64 handedUs = m_stream->framesHandedOver() * 1000000 / m_format.sampleRate();
        // Some devices stop counting short of the last buffer.
        if ((m_stream->handedAll() && processed >= handedUs - 1000) || m_stall.elapsed() > kEndStallMs)
            finish(!m_stream->failure().isEmpty(), m_stream->failure());
    }

    // Taken by value: callers pass the stream's own failure text, and the
    // stream is destroyed here before the text is reported.
    void finish(bool failed, QString error)
    {
        if (!m_session)
            return;
        if (m_timer)
            m_timer->stop();
        // Destroying the sound sink runs this thread's events (a second stop,
        // the tear-down), so the session is let go of before anything is
        // destroyed: those calls then find nothing playing.
        const quint64 session = std::exchange(m_session, 0);
        std::unique_ptr<QAudioSink> sink = std::move(m_sink);
        std::unique_ptr<DecodedStream> stream = std::move(m_stream);
        std::unique_ptr<AudioDecoder> decoder = std::move(m_decoder);
        if (sink)
            sink->stop();
        sink.reset();
        stream.reset();
        decoder.reset();
        positionUs = 0;
        playedFrames = 0;
        m_report(session, failed, error);
    }

    Report m_report;
    quint64 m_session = 0;
    std::unique_ptr<AudioDecoder> m_decoder;
    std::unique_ptr<DecodedStream> m_stream;
    std::unique_ptr<QAudioSink> m_sink;
    QAudioFormat m_format;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_stall;
    qint64 m_lastProcessed = -1;
    qint64 m_base = 0;
};

AudioPlayback::AudioPlayback(QObject *parent)
    : QObject(parent)
{
    m_worker = new PlaybackWorker([this](quint64 session, bool failed, const QString &error) {
        QMetaObject::invokeMethod(
            this, [this, session, failed, error] { sessionEnded(session, failed, error); }, Qt::QueuedConnection);
    });
    AudioWorkerThread::start(m_thread, m_worker, QStringLiteral("playback"));
}

AudioPlayback::~AudioPlayback()
{
    AudioWorkerThread::finish(m_thread, m_worker);
}

void AudioPlayback::start(
    std::unique_ptr<AudioDecoder> decoder, const QAudioDevice &device, qint64 firstSample, qint64 endSample)
{
    const quint64 session = ++m_session;
    m_active = true;
    m_paused = false;
    m_length = decoder->durationMs() / 1000.0;
    if (endSample >= 0 && decoder->sampleRate() > 0)
        m_length = double(endSample - qMax<qint64>(0, firstSample)) / decoder->sampleRate();
    m_worker->positionUs = 0;
    m_worker->playedFrames = 0;
    auto owned = std::make_shared<std::unique_ptr<AudioDecoder>>(std::move(decoder));
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, session, owned, device, firstSample, endSample] {
        worker->start(session, std::move(*owned), device, firstSample, endSample);
    });
}

void AudioPlayback::pause()
{
    AudioWorkerThread::setPaused(m_active, m_paused, m_worker, true);
}

void AudioPlayback::resume()
{
    AudioWorkerThread::setPaused(m_active, m_paused, m_worker, false);
}

void AudioPlayback::stop()
{
    if (!m_active)
        return;
    m_active = false;
    m_paused = false;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->stop(); });
}

void AudioPlayback::seek(double seconds)
{
    if (!m_active)
        return;
    m_worker->positionUs = qint64(seconds * 1e6);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, seconds] { worker->seek(seconds); });
}

double AudioPlayback::position() const
{
    return m_active ? m_worker->positionUs / 1e6 : 0.0;
}

std::shared_ptr<const AudioSnapshot> AudioPlayback::snapshot() const
{
    if (!m_active)
        return {};
    return m_worker->ring.window(m_worker->playedFrames, m_worker->sampleRate);
}

void AudioPlayback::sessionEnded(quint64 session, bool failed, const QString &error)
{
    if (session == m_session) {
        m_active = false;
        m_paused = false;
    }
    emit ended(failed, error, session);
}
