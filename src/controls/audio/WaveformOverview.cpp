#include "controls/audio/WaveformOverview.h"

#include <QMutexLocker>

#include <functional>
#include <limits>

namespace {

// About a million peaks per channel at most, however long the file: enough
// detail for any screen, and a few megabytes of memory.
constexpr qint64 kMaxPeaks = 1 << 20;
constexpr qint64 kMinSamplesPerPeak = 32;
// When the container does not know its length.
constexpr qint64 kUnknownLengthSamplesPerPeak = 256;

template <typename T> float scaled(T value);
template <> float scaled(std::uint8_t v) { return (int(v) - 128) / 128.f; }
template <> float scaled(std::int16_t v) { return v / 32768.f; }
template <> float scaled(std::int32_t v) { return float(v / 2147483648.0); }
template <> float scaled(std::int64_t v) { return float(double(v) / 9223372036854775808.0); }
template <> float scaled(float v) { return v; }
template <> float scaled(double v) { return float(v); }

// Sample i of channel ch, whatever the frame's layout.
template <typename T> float valueOf(const AVFrame *frame, bool planar, int channels, int ch, int i)
{
    if (planar)
        return scaled(reinterpret_cast<const T *>(frame->extended_data[ch])[i]);
    return scaled(reinterpret_cast<const T *>(frame->extended_data[0])[qint64(i) * channels + ch]);
}

using ValueReader = float (*)(const AVFrame *, bool, int, int, int);

ValueReader readerFor(AVSampleFormat format)
{
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8:
        return valueOf<std::uint8_t>;
    case AV_SAMPLE_FMT_S16:
        return valueOf<std::int16_t>;
    case AV_SAMPLE_FMT_S32:
        return valueOf<std::int32_t>;
    case AV_SAMPLE_FMT_S64:
        return valueOf<std::int64_t>;
    case AV_SAMPLE_FMT_FLT:
        return valueOf<float>;
    case AV_SAMPLE_FMT_DBL:
        return valueOf<double>;
    default:
        return nullptr;
    }
}

} // namespace

WaveformOverview::WaveformOverview(QObject *parent)
    : QObject(parent)
{
}

WaveformOverview::~WaveformOverview()
{
    stop();
}

void WaveformOverview::stop()
{
    ++m_generation; // reports already on their way are dropped
    m_build.stop();
}

void WaveformOverview::start(std::unique_ptr<AudioDecoder> decoder)
{
    stop();
    const qint64 total = decoder->totalSamples();
    {
        QMutexLocker lock(&m_mutex);
        m_channels = qMax(1, decoder->channels());
        m_samplesPerPeak = total > 0 ? qMax(kMinSamplesPerPeak, (total + kMaxPeaks - 1) / kMaxPeaks)
                                     : kUnknownLengthSamplesPerPeak;
        const size_t peaks = total > 0 ? size_t((total + m_samplesPerPeak - 1) / m_samplesPerPeak) : 0;
        m_low.assign(peaks * size_t(m_channels), 1.f);
        m_high.assign(peaks * size_t(m_channels), -1.f);
        m_decoded = 0;
    }
    const quint64 generation = ++m_generation;
    std::shared_ptr<AudioDecoder> owned = std::move(decoder);
    auto outcome = std::make_shared<std::pair<bool, QString>>();
    m_build.start(
        this,
        [this, generation, owned, outcome](const std::atomic<bool> &abort) {
            *outcome = run(generation, abort, *owned);
        },
        [this, generation, outcome] {
            if (generation == m_generation)
                emit finished(outcome->first, outcome->second);
        });
}

void WaveformOverview::report(quint64 generation, std::function<void()> call)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, call = std::move(call)] {
            if (generation == m_generation)
                call();
        },
        Qt::QueuedConnection);
}

std::pair<bool, QString> WaveformOverview::run(quint64 generation, const std::atomic<bool> &abort, AudioDecoder &decoder)
{
    const qint64 total = decoder.totalSamples();
    int lastPercent = -1;
    QString error;
    bool ok = true;
    for (;;) {
        if (abort) {
            ok = false;
            error.clear();
            break;
        }
        const AudioDecoder::Read r = decoder.next(&error);
        if (r == AudioDecoder::Read::End)
            break;
        if (r == AudioDecoder::Read::Failed) {
            ok = false;
            break;
        }
        addFrame(decoder.frame(), decoder.sampleFormat(), decoder.firstSample());
        if (total > 0) {
            const int percent = int(qMin<qint64>(100, decodedSamples() * 100 / total));
            if (percent != lastPercent) {
                lastPercent = percent;
                report(generation, [this, percent] { emit progress(percent); });
            }
        }
    }
    if (ok) {
        // The container's length is only an estimate for some formats; the
        // samples decoded are the file.
        QMutexLocker lock(&m_mutex);
        const size_t peaks = size_t((m_decoded + m_samplesPerPeak - 1) / m_samplesPerPeak);
        m_low.resize(peaks * size_t(m_channels), 1.f);
        m_high.resize(peaks * size_t(m_channels), -1.f);
    }
    return {ok, error};
}

void WaveformOverview::addFrame(const AVFrame *frame, AVSampleFormat format, qint64 firstSample)
{
    const ValueReader read = readerFor(format);
    if (!read || frame->nb_samples <= 0)
        return;
    const bool planar = av_sample_fmt_is_planar(format);
    QMutexLocker lock(&m_mutex);
    const int channels = m_channels;
    const qint64 end = firstSample + frame->nb_samples;
    const size_t needed = size_t((end + m_samplesPerPeak - 1) / m_samplesPerPeak) * size_t(channels);
    if (m_low.size() < needed) {
        m_low.resize(needed, 1.f);
        m_high.resize(needed, -1.f);
    }
    const int frameChannels = qMin(channels, frame->ch_layout.nb_channels);
    for (int ch = 0; ch < frameChannels; ++ch) {
        for (int i = 0; i < frame->nb_samples; ++i) {
            const float v = read(frame, planar, frame->ch_layout.nb_channels, ch, i);
            const size_t at = size_t((firstSample + i) / m_samplesPerPeak) * size_t(channels) + size_t(ch);
            m_low[at] = qMin(m_low[at], v);
            m_high[at] = qMax(m_high[at], v);
        }
    }
    m_decoded = qMax(m_decoded, end);
}

int WaveformOverview::channels() const
{
    QMutexLocker lock(&m_mutex);
    return m_channels;
}

qint64 WaveformOverview::samplesPerPeak() const
{
    QMutexLocker lock(&m_mutex);
    return m_samplesPerPeak;
}

qint64 WaveformOverview::peakCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_channels > 0 ? qint64(m_low.size()) / m_channels : 0;
}

qint64 WaveformOverview::decodedSamples() const
{
    QMutexLocker lock(&m_mutex);
    return m_decoded;
}

QVector<QPair<float, float>> WaveformOverview::columns(int channel, qint64 first, qint64 length, int width) const
{
    QVector<QPair<float, float>> out(qMax(0, width), qMakePair(1.f, -1.f));
    if (width <= 0 || length <= 0)
        return out;
    QMutexLocker lock(&m_mutex);
    if (channel < 0 || channel >= m_channels)
        return out;
    const qint64 peaks = qint64(m_low.size()) / m_channels;
    for (int x = 0; x < width; ++x) {
        const qint64 from = first + length * x / width;
        const qint64 to = qMax(from + 1, first + length * (x + 1) / width);
        const qint64 lastPeak = qMin(peaks, (to + m_samplesPerPeak - 1) / m_samplesPerPeak);
        float low = 1.f;
        float high = -1.f;
        for (qint64 p = from / m_samplesPerPeak; p < lastPeak; ++p) {
            const size_t at = size_t(p * m_channels + channel);
            if (m_low[at] > m_high[at])
                continue;
            low = qMin(low, m_low[at]);
            high = qMax(high, m_high[at]);
        }
        out[x] = qMakePair(low, high);
    }
    return out;
}
