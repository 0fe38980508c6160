#pragma once

#include "controls/audio/AudioFacts.h"
#include "controls/audio/AudioTags.h"
#include "controls/audio/FfmpegHandles.h"
#include "controls/audio/OggPages.h"

#include <QFile>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

// Reads any audio file the program accepts and hands out its decoded frames
// one at a time, each with the index of its first sample, so that callers can
// cut sample-exact ranges while memory stays flat whatever the file's length.
class AudioDecoder {
public:
    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder &) = delete;
    AudioDecoder &operator=(const AudioDecoder &) = delete;

    // Opens path and finds its audio stream; false with a reason otherwise.
    bool open(const QString &path, QString *error);
    void close();
    bool isOpen() const { return m_codec != nullptr; }

    int sampleRate() const;
    int channels() const;
    // The bits of a sample as the file stores PCM; 16 for compressed sources,
    // which decode to at least that.
    int bitsPerSample() const { return m_bitsPerSample; }
    // The length in samples, or -1 when the container does not know it.
    qint64 totalSamples() const { return m_totalSamples; }
    // The length in milliseconds, rounded to the nearest.
    qint64 durationMs() const { return facts().durationMs(); }
    AudioFacts facts() const;
    // Bits per second of the stored audio as the file tells it (for PCM
    // worked out from its format); 0 when unknown.
    qint64 bitRate() const;
    AVSampleFormat sampleFormat() const;
    AVChannelLayout channelLayout() const;

    // Makes the next frame the one that holds sample, decoded as a straight
    // decode from the start decodes it; the caller drops what lies before
    // sample using the frame's first-sample index.
    bool seekToSample(qint64 sample, QString *error);

    enum class Read { Frame, End, Failed };
    // Decodes the next frame into frame(); firstSample() tells where it starts.
    Read next(QString *error);
    const AVFrame *frame() const { return m_frame.get(); }
    qint64 firstSample() const { return m_firstSample; }

    // Whether path is read as headerless audio, whatever its content.
    static bool readsAsHeaderless(const QString &path);

    // The text tags of any file the decoder opens; empty fields when absent.
    // container, when known from the file's facts, spares the format probe.
    static AudioTags readTags(const QString &path, const QByteArray &container = {});
    // The seven tags from a file's metadata, firstOf answering the value of
    // the first of the keys (a null-ended list, any letter case) that the
    // file holds, trimmed; empty when it holds none of them.
    static AudioTags tagsFrom(const std::function<QString(const char *const *keys)> &firstOf);

private:
    enum class Placing { Placed, NotPlaced, Failed };

    bool openContainer(const QString &path, QString *error);
    bool openRawVox(const QString &path, QString *error);
    bool openCodec(const AVCodecParameters *parameters, QString *error);
    Read readPacket(QString *error);
    qint64 framePosition(const AVFrame *frame);
    bool seekStream(qint64 aim);
    bool rewind(QString *error);
    bool decodeUpTo(qint64 sample, QString *error);
    bool calibrate(QString *error);
    qint64 timestampSamples(qint64 timestamp) const;
    Placing decodeToPageEnd(qint64 *granule, QString *error);
    qint64 pageEndGranule(const AVPacket *packet);
    void dropHeldFrames();

    QString m_path;
    av::InputContext m_format;
    av::CodecContext m_codec;
    av::Frame m_frame;
    av::Packet m_packet;
    QFile m_raw; // headerless sources (Dialogic VOX) have no demuxer
    int m_stream = -1;
    int m_bitsPerSample = 16;
    qint64 m_totalSamples = -1;
    qint64 m_nextSample = 0;
    qint64 m_firstSample = 0;
    bool m_seeked = false; // the next frame's timestamp places it
    bool m_pending = false; // frame() is decoded but not yet handed out
    bool m_draining = false;
    bool m_untouched = false; // opened and nothing read since
    // How timestamps map to the positions of a straight decode, learnt at
    // the first seek: position = timestamp - offset, rounded to a grid of
    // frames when timestamps are coarser than a sample.
    bool m_calibrated = false;
    qint64 m_offset = 0;
    qint64 m_grid = 0;
    qint64 m_gridPhase = 0;
    // Ogg sources are placed by their pages instead: a page's granule
    // position, less m_granuleOffset, is where the last packet completed on
    // it ends in a straight decode.
    OggPages m_pages;
    bool m_byPages = false;
    qint64 m_granuleOffset = 0;
    // The page the packets read last start on, and how many of them were read.
    std::optional<OggPage> m_page;
    qint64 m_pagePosition = -1;
    int m_pagePackets = 0;
    // Frames decoded while looking for a page end, handed out before any other.
    std::deque<av::Frame> m_held;
    qint64 m_heldSamples = 0;
};
