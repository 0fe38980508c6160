#include "controls/audio/cAudioGraph.h"

#include "controls/audio/AudioSnapshot.h"
#include "controls/ui/OleColor.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

struct FftwFree {
    void operator()(void *p) const { fftw_free(p); }
};
struct PlanDestroy {
    void operator()(fftw_plan_s *p) const { fftw_destroy_plan(p); }
};

} // namespace

// One real-to-complex transform of kFftSize samples, planned once.
struct cAudioGraph::Fft {
    Fft()
        : in(static_cast<double *>(fftw_malloc(sizeof(double) * kFftSize)))
        , out(static_cast<fftw_complex *>(fftw_malloc(sizeof(fftw_complex) * (kFftSize / 2 + 1))))
    {
        if (in && out)
            plan.reset(fftw_plan_dft_r2c_1d(kFftSize, in.get(), out.get(), FFTW_ESTIMATE));
    }
    std::unique_ptr<double, FftwFree> in;
    std::unique_ptr<fftw_complex, FftwFree> out;
    std::unique_ptr<fftw_plan_s, PlanDestroy> plan;
};

cAudioGraph::cAudioGraph(GraphKind kind, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

cAudioGraph::~cAudioGraph() = default;

void cAudioGraph::setGraphType(GraphKind kind)
{
    m_kind = kind;
    update();
}

void cAudioGraph::setBackColor(quint32 colour)
{
    m_backColor = colour;
    update();
}

void cAudioGraph::setForeColor(quint32 colour)
{
    m_foreColor = colour;
    update();
}

void cAudioGraph::setTextColor(quint32 colour)
{
    m_textColor = colour;
    update();
}

void cAudioGraph::SetData(qint32 audioData)
{
    m_data = AudioSnapshots::find(audioData);
}

void cAudioGraph::Redraw()
{
    m_drawn = m_data;
    analyse();
    emit GraphValue(m_kind == Amplitude ? m_peakLevel : qint32(std::lround(m_peakFrequency)));
    update();
}

void cAudioGraph::Clear()
{
    m_data.reset();
    m_drawn.reset();
    m_spectrum.clear();
    m_peakFrequency = 0;
    m_peakLevel = 0;
    update();
}

void cAudioGraph::Terminate()
{
    Clear();
    m_fft.reset();
}

void cAudioGraph::analyse()
{
    m_spectrum.clear();
    m_peakFrequency = 0;
    m_peakLevel = 0;
    m_binWidth = 0;
    if (!m_drawn || m_drawn->mono.empty() || m_drawn->sampleRate <= 0)
        return;
    m_peakLevel = qint32(std::lround(100.0 * qBound(0.f, qMax(m_drawn->peakLeft, m_drawn->peakRight), 1.f)));
    if (m_kind != Frequency)
        return;
    if (!m_fft)
        m_fft = std::make_unique<Fft>();
    if (!m_fft->plan)
        return;

    // The newest samples, Hann-windowed; a short window is padded with silence.
    const std::vector<float> &samples = m_drawn->mono;
    const size_t n = qMin<size_t>(samples.size(), kFftSize);
    const size_t from = samples.size() - n;
    double *in = m_fft->in.get();
    for (size_t i = 0; i < size_t(kFftSize); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(kFftSize - 1));
        in[i] = i < n ? samples[from + i] * w : 0.0;
    }
    fftw_execute(m_fft->plan.get());

    const fftw_complex *out = m_fft->out.get();
    const int bins = kFftSize / 2 + 1;
    m_spectrum.resize(size_t(bins));
    // A Hann window halves a sine's peak; this brings a full-scale sine to 1.
    const double scale = 4.0 / kFftSize;
    int peak = 0;
    for (int k = 0; k < bins; ++k) {
        m_spectrum[size_t(k)] = std::hypot(out[k][0], out[k][1]) * scale;
        if (k > 0 && m_spectrum[size_t(k)] > m_spectrum[size_t(peak)])
            peak = k;
    }
    m_binWidth = double(m_drawn->sampleRate) / kFftSize;
    if (peak == 0 || m_spectrum[size_t(peak)] < 1e-4)
        return;
    // The true frequency lies between bins; a parabola through the peak and
    // its neighbours finds it.
    double offset = 0;
    if (peak + 1 < bins) {
        const double a = m_spectrum[size_t(peak - 1)], b = m_spectrum[size_t(peak)], c = m_spectrum[size_t(peak + 1)];
        const double d = a - 2 * b + c;
        if (d != 0)
            offset = qBound(-0.5, 0.5 * (a - c) / d, 0.5);
    }
    m_peakFrequency = (peak + offset) * m_binWidth;
}

void cAudioGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), OleColor::toQColor(m_backColor, palette()));
    if (!m_drawn || m_drawn->mono.empty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_kind == Amplitude)
        paintWaveform(painter);
    else
        paintSpectrum(painter);
}

void cAudioGraph::paintWaveform(QPainter &painter)
{
    const std::vector<float> &samples = m_drawn->mono;
    const int w = qMax(1, width());
    const double mid = height() / 2.0;
    QPainterPath path;
    for (int x = 0; x < w; ++x) {
        // The extreme of each column's samples, so short clicks still show.
        const size_t a = samples.size() * size_t(x) / size_t(w);
        const size_t b = qMax(a + 1, samples.size() * size_t(x + 1) / size_t(w));
        float v = 0;
        for (size_t i = a; i < b && i < samples.size(); ++i)
            if (std::fabs(samples[i]) > std::fabs(v))
                v = samples[i];
        const QPointF p(x, mid - v * mid);
        if (x == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    painter.setPen(OleColor::toQColor(m_foreColor, palette()));
    painter.drawPath(path);
}

void cAudioGraph::paintSpectrum(QPainter &painter)
{
    if (m_spectrum.size() < 2)
        return;
    // Bands spaced evenly on a logarithmic scale of frequency, in decibels,
    // as the ear hears them.
    const int bands = qBound(4, width() / 4, 64);
    const double lowest = 1.0, highest = double(m_spectrum.size() - 1);
    const double bandWidth = double(width()) / bands;
    painter.setPen(Qt::NoPen);
    painter.setBrush(OleColor::toQColor(m_foreColor, palette()));
    for (int band = 0; band < bands; ++band) {
        const size_t a = size_t(lowest * std::pow(highest / lowest, double(band) / bands));
        const size_t b = qMax(a + 1, size_t(lowest * std::pow(highest / lowest, double(band + 1) / bands)));
        double v = 0;
        for (size_t k = a; k < b && k < m_spectrum.size(); ++k)
            v = qMax(v, m_spectrum[k]);
        const double db = v > 0 ? 20.0 * std::log10(v) : -120.0;
        const double h = qBound(0.0, (db + 72.0) / 72.0, 1.0) * height();
        painter.drawRect(QRectF(band * bandWidth, height() - h, qMax(1.0, bandWidth - 1), h));
    }
    if (m_peakFrequency > 0) {
        painter.setPen(OleColor::toQColor(m_textColor, palette()));
        painter.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignTop | Qt::AlignRight,
            QStringLiteral("%1 Hz").arg(std::lround(m_peakFrequency)));
    }
}
