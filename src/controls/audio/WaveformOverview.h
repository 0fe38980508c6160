#pragma once

#include "controls/Worker.h"
#include "controls/audio/AudioDecoder.h"

#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

// The lowest and highest value of every short run of samples of a file, per
// channel, decoded on a worker thread so that a long file never holds up the
// window that shows it. What is decoded so far can be drawn while the rest
// comes in; reports reach this object's thread queued. Each build is
// numbered: a report of a build that was stopped or replaced is dropped.
class WaveformOverview : public QObject {
    Q_OBJECT
public:
    explicit WaveformOverview(QObject *parent = nullptr);
    ~WaveformOverview() override;

    // Starts reading decoder (open, at its start); a build still running is
    // stopped first and reports nothing more.
    void start(std::unique_ptr<AudioDecoder> decoder);
    // Stops the build and waits for the worker; reports nothing more.
    void stop();
    // Asks the build to stop; it then ends in finished(false, "").
    void abort() { m_build.abort(); }
    bool isRunning() const { return m_build.isRunning(); }

    int channels() const;
    // How many samples one peak covers.
    qint64 samplesPerPeak() const;
    qint64 peakCount() const;
    // Samples decoded so far; the file's exact length once finished(true).
    qint64 decodedSamples() const;

    // For each of width columns over samples [first, first + length): the
    // lowest and highest value (-1 to 1) of channel. A column with nothing
    // decoded yet holds (1, -1), which draws nothing.
    QVector<QPair<float, float>> columns(int channel, qint64 first, qint64 length, int width) const;

signals:
    void progress(int percent);
    // ok false with an error text when decoding broke off, with an empty
    // text when aborted.
    void finished(bool ok, const QString &error);

private:
    std::pair<bool, QString> run(quint64 generation, const std::atomic<bool> &abort, AudioDecoder &decoder);
    void addFrame(const AVFrame *frame, AVSampleFormat format, qint64 firstSample);
    void report(quint64 generation, std::function<void()> call);

    mutable QMutex m_mutex;
    std::vector<float> m_low; // peak-major: peak * channels + channel
    std::vector<float> m_high;
    int m_channels = 0;
    qint64 m_samplesPerPeak = 1;
    qint64 m_decoded = 0;

    std::atomic<quint64> m_generation{0};
    // Last, so the build ends before anything it fills.
    Worker m_build;
};
