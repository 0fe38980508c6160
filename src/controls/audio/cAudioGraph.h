#pragma once

#include <QWidget>

#include <fftw3.h>

#include <memory>
#include <vector>

struct AudioSnapshot;

// A small graph of the sound that plays: its waveform and level (amplitude)
// or its spectrum (frequency). It is fed with the player's audio-data value
// (cPlayer::AudioData) through SetData, then drawn by Redraw.
class cAudioGraph : public QWidget {
    Q_OBJECT
public:
    enum GraphKind : qint32 { Amplitude = 0, Frequency = 1 };
    // The spectrum's length in samples; its bins are sampleRate / kFftSize apart.
    static constexpr int kFftSize = 2048;

    explicit cAudioGraph(GraphKind kind = Amplitude, QWidget *parent = nullptr);
    ~cAudioGraph() override;

    GraphKind GraphType() const { return m_kind; }
    void setGraphType(GraphKind kind);

    // Colours as the settings keep them (0x00BBGGRR or a system colour).
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 colour);
    quint32 TextColor() const { return m_textColor; }
    void setTextColor(quint32 colour);

    // Takes the sound the value stands for; a value that stands for nothing
    // (0, or one too old) empties the graph at the next Redraw.
    void SetData(qint32 audioData);
    // Analyses the data taken last and draws it; raises GraphValue.
    void Redraw();
    void Clear();
    // Lets go of the data and the analysis buffers.
    void Terminate();

    // What the last Redraw found: the louder channel's peak (0 to 100), the
    // spectrum (magnitude of each bin, 0 to about 1) and its strongest
    // frequency in Hz (0 when silent or empty).
    qint32 PeakLevel() const { return m_peakLevel; }
    const std::vector<double> &Spectrum() const { return m_spectrum; }
    double BinWidth() const { return m_binWidth; }
    double PeakFrequency() const { return m_peakFrequency; }

signals:
    // The amplitude graph's peak level, or the frequency graph's strongest
    // frequency in whole Hz, after each Redraw.
    void GraphValue(qint32 value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Fft;
    void analyse();
    void paintWaveform(class QPainter &painter);
    void paintSpectrum(class QPainter &painter);

    GraphKind m_kind;
    quint32 m_backColor = 0x000000;
    quint32 m_foreColor = 0x00FF00;
    quint32 m_textColor = 0xFFFFFF;
    std::shared_ptr<const AudioSnapshot> m_data;
    std::shared_ptr<const AudioSnapshot> m_drawn;
    std::unique_ptr<Fft> m_fft;
    std::vector<double> m_spectrum;
    double m_binWidth = 0;
    double m_peakFrequency = 0;
    qint32 m_peakLevel = 0;
};
