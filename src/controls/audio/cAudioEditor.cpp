#include "controls/audio/cAudioEditor.h"

#include "controls/audio/AudioDevices.h"
#include "controls/audio/AudioJob.h"
#include "controls/ui/OleColor.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kCursorTickMs = 50;
// The shortest stretch the view zooms to, so a tiny selection stays drawable.
constexpr qint64 kMinViewSamples = 16;

} // namespace

cAudioEditor::cAudioEditor(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(200, 80);
    setMouseTracking(false);
    connect(&m_overview, &WaveformOverview::progress, this, [this](int percent) {
        emit Progress(percent);
        update();
    });
    connect(&m_overview, &WaveformOverview::finished, this, [this](bool ok, const QString &error) {
        update();
        if (ok && m_overview.decodedSamples() != m_total && m_rate > 0) {
            // The header only estimated the length; the decoded samples are
            // the file, and the window hears of them once more, with the
            // whole file selected as after any FileInfo.
            m_total = m_overview.decodedSamples();
            m_selFirst = 0;
            m_selEnd = m_total;
            m_viewFirst = 0;
            m_viewLength = m_total;
            const qint32 seconds = qint32(m_total / m_rate);
            m_reported = {0, m_total, 0, qint64(seconds) * 1000};
            emit FileInfo(m_rate, m_bits, m_channels, seconds, m_total);
        }
        if (!ok && !error.isEmpty()) {
            m_errorText = error;
            emit Error(FileError, error);
        }
    });
    connect(&m_playback, &AudioPlayback::ended, this, [this](bool failed, const QString &error) {
        // The end of a playback that a new one replaced is not the end.
        if (m_playback.isActive())
            return;
        m_cursorTimer.stop();
        update();
        if (failed) {
            m_errorText = error;
            emit Error(DeviceError, error);
        }
        emit PlayDone();
    });
    m_cursorTimer.setInterval(kCursorTickMs);
    connect(&m_cursorTimer, &QTimer::timeout, this, [this] { update(); });
}

cAudioEditor::~cAudioEditor()
{
    Terminate();
}

void cAudioEditor::fail(qint32 code, const QString &text, bool operationDone)
{
    m_errorText = text;
    QMetaObject::invokeMethod(
        this,
        [this, code, text, operationDone] {
            emit Error(code, text);
            if (operationDone)
                emit OperationDone();
        },
        Qt::QueuedConnection);
}

void cAudioEditor::OpenFile(const QString &path)
{
    m_playback.stop();
    m_overview.stop();
    m_path.clear();
    m_total = m_rate = m_channels = m_bits = 0;
    m_selFirst = m_selEnd = m_viewFirst = m_viewLength = 0;
    m_reported = {};
    auto decoder = std::make_unique<AudioDecoder>();
    QString error;
    if (!decoder->open(path, &error)) {
        update();
        fail(FileError, error, false);
        return;
    }
    m_path = path;
    m_rate = decoder->sampleRate();
    m_channels = decoder->channels();
    m_bits = decoder->bitsPerSample();
    m_total = decoder->totalSamples();
    if (m_total < 0)
        m_total = decoder->durationMs() * m_rate / 1000;
    m_selEnd = m_viewLength = m_total;
    const qint32 seconds = m_rate > 0 ? qint32(m_total / m_rate) : 0;
    m_reported = {0, m_total, 0, qint64(seconds) * 1000};
    m_overview.start(std::move(decoder));
    update();
    QMetaObject::invokeMethod(
        this,
        [this, seconds, rate = m_rate, bits = m_bits, channels = m_channels, total = m_total] {
            emit FileInfo(rate, bits, channels, seconds, total);
        },
        Qt::QueuedConnection);
}

qint32 cAudioEditor::Play()
{
    if (m_path.isEmpty()) {
        m_errorText = QStringLiteral("No audio file is open.");
        return FileError;
    }
    auto decoder = std::make_unique<AudioDecoder>();
    QString error;
    if (!decoder->open(m_path, &error)) {
        m_errorText = error;
        return FileError;
    }
    const QAudioDevice device = AudioDevices::output(-1, &error);
    if (device.isNull()) {
        m_errorText = error;
        return DeviceError;
    }
    const bool whole = m_selFirst == 0 && m_selEnd >= m_total;
    if (whole || m_selEnd <= m_selFirst)
        m_playback.start(std::move(decoder), device);
    else
        m_playback.start(std::move(decoder), device, m_selFirst, m_selEnd);
    m_cursorTimer.start();
    return NoError;
}

void cAudioEditor::ZoomSelection()
{
    if (m_total <= 0 || m_selEnd <= m_selFirst)
        return;
    const qint64 length = qMax(kMinViewSamples, m_selEnd - m_selFirst);
    m_viewFirst = qBound<qint64>(0, m_selFirst, qMax<qint64>(0, m_total - length));
    m_viewLength = qMin(length, m_total);
    update();
}

void cAudioEditor::ZoomRestore()
{
    m_viewFirst = 0;
    m_viewLength = m_total;
    update();
}

void cAudioEditor::Abort()
{
    if (m_runner.isRunning())
        m_runner.abort();
    else if (m_overview.isRunning())
        m_overview.abort();
}

void cAudioEditor::Terminate()
{
    m_cursorTimer.stop();
    m_playback.stop();
    m_runner.stop();
    m_overview.stop();
}

void cAudioEditor::BackColor(quint32 colour)
{
    m_back = OleColor::toQColor(colour, palette());
    update();
}

void cAudioEditor::BackColor2(quint32 colour)
{
    m_back2 = OleColor::toQColor(colour, palette());
    update();
}

void cAudioEditor::TextColor(quint32 colour)
{
    m_wave = OleColor::toQColor(colour, palette());
    update();
}

qint64 cAudioEditor::msOf(qint64 sample) const
{
    return m_rate > 0 ? sample * 1000 / m_rate : 0;
}

void cAudioEditor::setSelection(qint64 first, qint64 end)
{
    applySelection(first, end, true);
}

void cAudioEditor::applySelection(qint64 first, qint64 end, bool ready)
{
    if (m_total <= 0)
        return;
    if (end < first)
        std::swap(first, end);
    m_selFirst = qBound<qint64>(0, first, m_total);
    m_selEnd = qBound<qint64>(0, end, m_total);
    update();
    const Reported reported{m_selFirst, m_selEnd, msOf(m_selFirst), msOf(m_selEnd)};
    QMetaObject::invokeMethod(
        this,
        [this, reported, ready] {
            m_reported = reported;
            emit SelectionChanged(reported.first, reported.end, reported.startMs, reported.endMs);
            if (ready)
                emit SelectionReady();
        },
        Qt::QueuedConnection);
}

void cAudioEditor::SaveSelection()
{
    AudioDecoder probe;
    QString error;
    if (!probe.open(m_saveSource, &error)) {
        fail(FileError, error, true);
        return;
    }
    const qint64 rate = probe.sampleRate();
    qint64 first = 0;
    qint64 count = 0;
    const bool sameFile = QFileInfo(m_saveSource) == QFileInfo(m_path);
    if (sameFile && m_saveStartMs == m_reported.startMs && m_saveStartMs + m_saveLengthMs == m_reported.endMs) {
        first = m_reported.first;
        count = m_reported.end - m_reported.first;
    } else {
        first = std::llround(double(m_saveStartMs) * double(rate) / 1000.0);
        count = std::llround(double(m_saveLengthMs) * double(rate) / 1000.0);
    }
    if (first < 0 || count <= 0) {
        fail(SaveError, QStringLiteral("The selection of %1 is empty; there is nothing to save.").arg(m_saveSource),
            true);
        return;
    }
    DestinationSettings settings;
    settings.format = DestWAV;
    settings.wav.SampleRate = qint32(rate);
    settings.wav.Channels = qint16(qBound(1, probe.channels(), 2));
    settings.wav.BitsPerSample = probe.bitsPerSample() == 8 ? 8 : 16;
    probe.close();
    AudioJobItem item;
    item.path = m_saveSource;
    item.firstSample = first;
    item.sampleCount = count;
    auto job = std::make_shared<AudioJob>(settings, AudioTags{}, m_saveDest, QVector<AudioJobItem>{item});
    const QString destination = m_saveDest;
    m_runner.start(
        this, job, [this](int, int percent) { emit Progress(percent); },
        [this, destination](EncodingJob::Result result, qint32, const QString &text) {
            if (result == EncodingJob::Result::Done) {
                emit SaveDone(0, destination);
            } else if (result == EncodingJob::Result::Failed) {
                m_errorText = text;
                emit Error(SaveError, text);
            }
            emit OperationDone();
        });
}

// --- The view ---------------------------------------------------------------

qint64 cAudioEditor::sampleAtX(int x) const
{
    if (width() <= 0 || m_viewLength <= 0)
        return 0;
    const qint64 sample = m_viewFirst + qint64(qBound(0, x, width())) * m_viewLength / width();
    return qBound<qint64>(0, sample, m_total);
}

int cAudioEditor::xOfSample(qint64 sample) const
{
    if (m_viewLength <= 0)
        return 0;
    return int((sample - m_viewFirst) * width() / m_viewLength);
}

void cAudioEditor::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, m_back);
    background.setColorAt(1, m_back2);
    painter.fillRect(rect(), background);
    if (m_total <= 0 || m_viewLength <= 0)
        return;

    const int lanes = qMax(1, m_overview.channels());
    const int laneHeight = height() / lanes;
    // Colours that nearly match would hide the waveform altogether.
    QColor wave = m_wave;
    if (qAbs(wave.lightness() - m_back.lightness()) < 48)
        wave = m_back.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    painter.setPen(wave);
    for (int ch = 0; ch < lanes; ++ch) {
        const int middle = ch * laneHeight + laneHeight / 2;
        const double half = laneHeight / 2.0 - 1;
        const auto columns = m_overview.columns(ch, m_viewFirst, m_viewLength, width());
        for (int x = 0; x < columns.size(); ++x) {
            const auto [low, high] = columns[x];
            if (low > high)
                continue;
            painter.drawLine(x, middle - int(std::lround(high * half)), x, middle - int(std::lround(low * half)));
        }
        painter.drawLine(0, middle, width(), middle);
    }

    // A selection of part of the file shows inverted over the waveform.
    if (m_selEnd > m_selFirst && !(m_selFirst == 0 && m_selEnd >= m_total)) {
        const int left = qMax(0, xOfSample(m_selFirst));
        const int right = qMin(width(), qMax(left + 1, xOfSample(m_selEnd)));
        if (right > 0 && left < width()) {
            QColor shade = wave;
            shade.setAlpha(70);
            painter.fillRect(QRect(left, 0, right - left, height()), shade);
        }
    }
    if (m_playback.isActive() && m_rate > 0) {
        const int x = xOfSample(qint64(m_playback.position() * m_rate));
        if (x >= 0 && x < width()) {
            painter.setPen(QPen(wave, 1, Qt::DashLine));
            painter.drawLine(x, 0, x, height());
        }
    }
}

void cAudioEditor::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_total <= 0)
        return;
    m_dragAnchor = sampleAtX(int(event->position().x()));
    m_dragged = false;
}

void cAudioEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragAnchor < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    const qint64 here = sampleAtX(int(event->position().x()));
    if (here == m_dragAnchor && !m_dragged)
        return;
    m_dragged = true;
    applySelection(m_dragAnchor, here, false);
}

void cAudioEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_dragAnchor < 0)
        return;
    const qint64 here = sampleAtX(int(event->position().x()));
    const qint64 anchor = std::exchange(m_dragAnchor, -1);
    // A click without a drag selects the whole file again.
    if (!m_dragged || here == anchor)
        applySelection(0, m_total, true);
    else
        applySelection(anchor, here, true);
}
