#include "controls/audio/AudioDecoder.h"

#include "controls/audio/Id3v2Layout.h"
#include "controls/audio/Id3v2Text.h"
#include "controls/audio/Mp3InfoTag.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Dialogic VOX files are headerless 4-bit ADPCM, by convention 8 kHz mono.
constexpr int kVoxSampleRate = 8000;
constexpr qint64 kVoxChunkBytes = 4096;
// How far a decode may run from a seek without reaching a page end before
// the decoder looks for one elsewhere (an Ogg page rarely spans a second).
constexpr qint64 kMaxHeldSeconds = 30;

bool isVox(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("vox"), Qt::CaseInsensitive) == 0;
}

QString metadataValue(const AVFormatContext *format, const char *const *keys)
{
    for (const char *const *key = keys; *key; ++key) {
        if (const AVDictionaryEntry *e = av_dict_get(format->metadata, *key, nullptr, 0))
            return QString::fromUtf8(e->value).trimmed();
        // Ogg keeps its comments on the stream rather than on the file.
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            if (format->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
                continue;
            if (const AVDictionaryEntry *e = av_dict_get(format->streams[i]->metadata, *key, nullptr, 0))
                return QString::fromUtf8(e->value).trimmed();
        }
    }
    return {};
}

// The first comment without a description of the ID3v2 tag that starts the
// file. FFmpeg skips a UTF-16 comment whose empty description has no
// byte-order mark, the way LAME writes every comment; other readers show it.
QString id3v2Comment(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.peek(3) != "ID3")
        return {};
    const Id3v2Layout::ParsedTag tag = Id3v2Layout::parseTag(file);
    for (const Id3v2Layout::ParsedFrame &frame : tag.frames) {
        // Compressed, encrypted or grouped data holds no plain text.
        if (frame.id != QLatin1String("COMM") || (frame.flags & 0x00E0))
            continue;
        Id3v2Text::LangHead head;
        if (Id3v2Text::langHead(frame.data, &head) && head.description.isEmpty())
            return Id3v2Text::frameValue(frame.id, frame.data).trimmed();
    }
    return {};
}

int storedBits(const AVCodecParameters *p)
{
    const AVCodecDescriptor *d = avcodec_descriptor_get(p->codec_id);
    if (d && QByteArray(d->name).startsWith("pcm_")) {
        const int bits = av_get_bits_per_sample(p->codec_id);
        if (bits > 0)
            return bits;
    }
    return 16;
}

} // namespace

AudioDecoder::AudioDecoder()
    : m_frame(av_frame_alloc())
    , m_packet(av_packet_alloc())
{
    av::quietLogs();
}

AudioDecoder::~AudioDecoder() = default;

void AudioDecoder::close()
{
    m_codec.reset();
    m_format.reset();
    m_raw.close();
    m_stream = -1;
    m_bitsPerSample = 16;
    m_totalSamples = -1;
    m_nextSample = 0;
    m_firstSample = 0;
    m_seeked = false;
    m_pending = false;
    m_draining = false;
    m_untouched = false;
    m_calibrated = false;
    m_offset = 0;
    m_grid = 0;
    m_gridPhase = 0;
    m_pages.close();
    m_byPages = false;
    m_granuleOffset = 0;
    dropHeldFrames();
}

void AudioDecoder::dropHeldFrames()
{
    m_held.clear();
    m_heldSamples = 0;
    m_page.reset();
    m_pagePosition = -1;
    m_pagePackets = 0;
}

bool AudioDecoder::open(const QString &path, QString *error)
{
    close();
    m_path = path;
    if (!m_frame || !m_packet) {
        *error = QStringLiteral("Out of memory");
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("The file %1 does not exist.").arg(path);
        return false;
    }
    const bool ok = isVox(path) ? openRawVox(path, error) : openContainer(path, error);
    if (!ok)
        close();
    return ok;
}

bool AudioDecoder::openContainer(const QString &path, QString *error)
{
    AVFormatContext *raw = nullptr;
    int rc = avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (rc < 0) {
        *error = QStringLiteral("Cannot open %1: %2").arg(path, av::errorText(rc));
        return false;
    }
    m_format.reset(raw);
    rc = avformat_find_stream_info(m_format.get(), nullptr);
    if (rc < 0) {
        *error = QStringLiteral("Cannot read %1: %2").arg(path, av::errorText(rc));
        return false;
    }
    rc = av_find_best_stream(m_format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (rc < 0) {
        *error = QStringLiteral("%1 holds no audio stream.").arg(path);
        return false;
    }
    m_stream = rc;
    if (QByteArray(m_format->iformat->name) == "ogg")
        m_pages.open(path);
    else
        m_pages.close();
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        m_format->streams[i]->discard = int(i) == m_stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVStream *stream = m_format->streams[m_stream];
    if (!openCodec(stream->codecpar, error))
        return false;
    m_bitsPerSample = storedBits(stream->codecpar);

    const int rate = m_codec->sample_rate;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m_totalSamples = av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate});
    else if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0)
        m_totalSamples = av_rescale(m_format->duration, rate, AV_TIME_BASE);
    // The demuxer counts an MP3's whole frames, encoder delay and padding
    // included, or guesses from the bitrate when no Info tag counts them.
    if (stream->codecpar->codec_id == AV_CODEC_ID_MP3 && QByteArray(m_format->iformat->name) == "mp3")
        if (const qint64 exact = Mp3InfoTag::samples(path); exact > 0)
            m_totalSamples = exact;
    m_untouched = true;
    return true;
}

bool AudioDecoder::openRawVox(const QString &path, QString *error)
{
    m_raw.setFileName(path);
    if (!m_raw.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open %1: %2").arg(path, m_raw.errorString());
        return false;
    }
    if (m_raw.size() == 0) {
        *error = QStringLiteral("%1 holds no audio.").arg(path);
        return false;
    }
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters *)> p(
        avcodec_parameters_alloc(), [](AVCodecParameters *q) { avcodec_parameters_free(&q); });
    if (!p) {
        *error = QStringLiteral("Out of memory");
        return false;
    }
    p->codec_type = AVMEDIA_TYPE_AUDIO;
    p->codec_id = AV_CODEC_ID_ADPCM_IMA_OKI;
    p->sample_rate = kVoxSampleRate;
    av_channel_layout_default(&p->ch_layout, 1);
    if (!openCodec(p.get(), error))
        return false;
    m_bitsPerSample = 16;
    m_totalSamples = m_raw.size() * 2;
    return true;
}

bool AudioDecoder::openCodec(const AVCodecParameters *parameters, QString *error)
{
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec) {
        *error = QStringLiteral("%1: no decoder for its audio (%2).")
                     .arg(m_path, QString::fromUtf8(avcodec_get_name(parameters->codec_id)));
        return false;
    }
    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec) {
        *error = QStringLiteral("Out of memory");
        return false;
    }
    int rc = avcodec_parameters_to_context(m_codec.get(), parameters);
    if (rc >= 0)
        rc = avcodec_open2(m_codec.get(), codec, nullptr);
    if (rc < 0) {
        *error = QStringLiteral("Cannot decode %1: %2").arg(m_path, av::errorText(rc));
        m_codec.reset();
        return false;
    }
    if (m_codec->sample_rate <= 0 || m_codec->ch_layout.nb_channels <= 0) {
        *error = QStringLiteral("%1: the audio stream has no sample rate or channels.").arg(m_path);
        m_codec.reset();
        return false;
    }
    return true;
}

int AudioDecoder::sampleRate() const
{
    return m_codec ? m_codec->sample_rate : 0;
}

int AudioDecoder::channels() const
{
    return m_codec ? m_codec->ch_layout.nb_channels : 0;
}

AudioFacts AudioDecoder::facts() const
{
    if (!m_codec)
        return {};
    return {.container = m_format ? QByteArray(m_format->iformat->name) : QByteArray(),
            .sampleRate = sampleRate(),
            .channels = channels(),
            .bitsPerSample = m_bitsPerSample,
            .totalSamples = m_totalSamples};
}

qint64 AudioDecoder::bitRate() const
{
    if (!m_codec)
        return 0;
    if (m_format && m_stream >= 0) {
        const AVCodecParameters *p = m_format->streams[m_stream]->codecpar;
        if (p->bit_rate > 0)
            return p->bit_rate;
        if (m_format->bit_rate > 0)
            return m_format->bit_rate;
    }
    if (m_codec->bit_rate > 0)
        return m_codec->bit_rate;
    const int bits = av_get_bits_per_sample(m_codec->codec_id);
    return qint64(bits) * sampleRate() * channels();
}

AVSampleFormat AudioDecoder::sampleFormat() const
{
    return m_codec ? m_codec->sample_fmt : AV_SAMPLE_FMT_NONE;
}

AVChannelLayout AudioDecoder::channelLayout() const
{
    return av::layoutOf(m_codec->ch_layout);
}

bool AudioDecoder::seekToSample(qint64 sample, QString *error)
{
    if (!m_codec)
        return false;
    m_draining = false;
    m_pending = false;
    m_seeked = false;
    if (m_raw.isOpen()) {
        // ADPCM carries its predictor from sample to sample, so only a decode
        // from the start gives the samples a straight decode gives; VOX files
        // are small and decode fast.
        if (!m_raw.seek(0)) {
            *error = QStringLiteral("Cannot seek in %1: %2").arg(m_path, m_raw.errorString());
            return false;
        }
        avcodec_flush_buffers(m_codec.get());
        m_nextSample = 0;
        return decodeUpTo(sample, error);
    }
    if (!m_calibrated && !calibrate(error))
        return false;
    // The frames before a cut are decoded too and dropped: an MP3 frame draws
    // on bits stored up to 511 bytes before it (its bit reservoir), and every
    // transform codec overlaps a block with the one before. A second of
    // pre-roll covers both at any bitrate. Where Ogg pages place the frames
    // of a codec that decodes exactly from the packet after a seek (Vorbis
    // primes on that one packet, FLAC on none) a tenth of a second does;
    // Opus only settles, and keeps the second. Some demuxers (ASF) land on a
    // frame after the time asked for: then aim earlier still. Near the start
    // a fresh open serves better than a seek, as a demuxer that lands on the
    // first frame trims it as it pleases.
    const AVCodecID codec = m_codec->codec_id;
    const bool exactAfterOnePacket = m_byPages && (codec == AV_CODEC_ID_VORBIS || codec == AV_CODEC_ID_FLAC);
    const qint64 preRoll = exactAfterOnePacket ? sampleRate() / 10 : sampleRate();
    for (qint64 margin = preRoll;; margin *= 2) {
        const qint64 aim = sample - margin < sampleRate() ? 0 : sample - margin;
        if (aim == 0) {
            if (!rewind(error))
                return false;
            break;
        }
        if (!seekStream(aim)) {
            // A source that cannot seek is read on from where it stands.
            if (margin == preRoll)
                return decodeUpTo(sample, error);
            *error = QStringLiteral("Cannot seek in %1.").arg(m_path);
            return false;
        }
        if (m_byPages) {
            // Between page ends an Ogg demuxer guesses its timestamps from
            // block sizes, and Vorbis's change where the music does: the
            // frames are counted back from the end of a page instead.
            qint64 granule = -1;
            const Placing placed = decodeToPageEnd(&granule, error);
            if (placed == Placing::Failed)
                return false;
            const qint64 start = granule - m_granuleOffset - m_heldSamples;
            if (placed == Placing::NotPlaced || start < 0) {
                dropHeldFrames(); // no page end to count from: start farther back
                continue;
            }
            m_seeked = false;
            m_nextSample = start;
        }
        const Read r = next(error);
        if (r == Read::Failed)
            return false;
        if (r == Read::End) // past the end: the caller finds nothing to take
            return true;
        m_pending = true;
        if (m_firstSample < sampleRate()) {
            if (!rewind(error))
                return false;
            break;
        }
        if (m_firstSample <= aim)
            break;
    }
    return decodeUpTo(sample, error);
}

bool AudioDecoder::seekStream(qint64 aim)
{
    const AVStream *stream = m_format->streams[m_stream];
    const qint64 start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const qint64 target = start + av_rescale_q(aim + m_offset, AVRational{1, sampleRate()}, stream->time_base);
    m_untouched = false;
    if (av_seek_frame(m_format.get(), m_stream, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(m_codec.get());
    dropHeldFrames();
    m_draining = false;
    m_pending = false;
    m_nextSample = aim;
    m_seeked = true; // the first frame's timestamp places it
    return true;
}

bool AudioDecoder::rewind(QString *error)
{
    // A seek to the start does not always trim and prime as the first read
    // did (LAME's delay at 8 kHz, Opus's pre-skip): opening the file afresh
    // does, and then the frames are counted as a straight decode counts them.
    // A file just opened stands there already.
    if (m_untouched)
        return true;
    m_codec.reset();
    m_format.reset();
    dropHeldFrames();
    if (!openContainer(m_path, error))
        return false;
    m_draining = false;
    m_pending = false;
    m_nextSample = 0;
    m_seeked = false;
    return true;
}

bool AudioDecoder::decodeUpTo(qint64 sample, QString *error)
{
    for (;;) {
        const Read r = next(error);
        if (r == Read::Failed)
            return false;
        if (r == Read::End)
            return true;
        if (m_nextSample > sample) {
            m_pending = true;
            return true;
        }
    }
}

bool AudioDecoder::calibrate(QString *error)
{
    // Where a decoder's frames fall against their timestamps depends on the
    // codec: WMA hands out its first frame two frames late, and LAME's delay
    // is trimmed from a first frame that keeps its untrimmed time. A straight
    // decode places the second frame right after the first, which ties the
    // timestamps to the positions of a straight decode.
    m_calibrated = true;
    if (!rewind(error))
        return false;
    if (m_pages.isOpen()) {
        // An Ogg page tells where the last packet completed on it ends: the
        // first page end of a straight decode ties those positions to the
        // decode's own, which may start later (Opus's pre-skip).
        qint64 granule = -1;
        const Placing placed = decodeToPageEnd(&granule, error);
        if (placed == Placing::Failed)
            return false;
        if (placed == Placing::Placed) {
            m_byPages = true;
            m_granuleOffset = granule - m_heldSamples;
            return true;
        }
        if (!rewind(error))
            return false;
    }
    Read r = next(error);
    if (r != Read::Frame)
        return r != Read::Failed;
    const int firstLength = m_frame->nb_samples;
    r = next(error);
    if (r != Read::Frame)
        return r != Read::Failed;
    if (m_frame->best_effort_timestamp == AV_NOPTS_VALUE)
        return true;
    m_offset = timestampSamples(m_frame->best_effort_timestamp) - firstLength;
    // Timestamps coarser than a sample (ASF counts milliseconds) are rounded
    // to the frame grid of a codec whose frames all have one length, which
    // the second frame shows when the codec does not tell it (WMA).
    const AVStream *stream = m_format->streams[m_stream];
    const int frameLength = m_codec->frame_size > 0 ? m_codec->frame_size : m_frame->nb_samples;
    if (frameLength > 0 && av_cmp_q(stream->time_base, AVRational{1, sampleRate()}) > 0) {
        m_grid = frameLength;
        m_gridPhase = firstLength % frameLength;
    }
    return true;
}

qint64 AudioDecoder::timestampSamples(qint64 timestamp) const
{
    const AVStream *stream = m_format->streams[m_stream];
    const qint64 start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    return av_rescale_q(timestamp - start, stream->time_base, AVRational{1, sampleRate()});
}

AudioDecoder::Placing AudioDecoder::decodeToPageEnd(qint64 *granule, QString *error)
{
    // The frames are held until the packet that ends a page has given its
    // own: the samples decoded up to there end at the page's granule
    // position, and each frame before lies its length earlier.
    dropHeldFrames();
    const qint64 limit = kMaxHeldSeconds * sampleRate();
    qint64 end = -1;
    for (;;) {
        av_frame_unref(m_frame.get());
        const int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc >= 0) {
            av::Frame held(av_frame_alloc());
            if (!held) {
                *error = QStringLiteral("Out of memory");
                return Placing::Failed;
            }
            av_frame_move_ref(held.get(), m_frame.get());
            m_heldSamples += held->nb_samples;
            m_held.push_back(std::move(held));
            if (m_heldSamples > limit)
                return Placing::NotPlaced;
            continue;
        }
        if (rc != AVERROR(EAGAIN)) {
            *error = QStringLiteral("Cannot decode %1: %2").arg(m_path, av::errorText(rc));
            return Placing::Failed;
        }
        if (end >= 0) {
            *granule = end;
            return Placing::Placed;
        }
        const Read got = readPacket(error);
        if (got == Read::Failed)
            return Placing::Failed;
        if (got == Read::End)
            return Placing::NotPlaced;
        end = pageEndGranule(m_packet.get());
        const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
        // A damaged packet decodes to nothing, which the page still counts.
        if (sent == AVERROR_INVALIDDATA)
            return Placing::NotPlaced;
        if (sent < 0) {
            *error = QStringLiteral("Cannot decode %1: %2").arg(m_path, av::errorText(sent));
            return Placing::Failed;
        }
    }
}

qint64 AudioDecoder::pageEndGranule(const AVPacket *packet)
{
    // The demuxer tells the page a packet starts on. A page counts only when
    // its packets arrive as its header lists them, all from its first one;
    // the last one there then ends where the granule says. The last page of
    // a stream may cut its packet short, as decoders do not always.
    if (packet->pos != m_pagePosition) {
        m_pagePosition = packet->pos;
        m_pagePackets = 0;
        m_page = m_pages.at(packet->pos);
    }
    const int index = m_pagePackets++;
    if (!m_page || index >= m_page->packetSizes.size() || m_page->packetSizes.at(index) != packet->size) {
        m_page.reset();
        return -1;
    }
    if (index + 1 < m_page->packetSizes.size() || m_page->lastOfStream)
        return -1;
    return m_page->granule;
}

qint64 AudioDecoder::framePosition(const AVFrame *frame)
{
    // Decoded audio is contiguous, so a frame starts where the one before it
    // ended. Timestamps are only read right after a seek, for the first frame.
    if (!m_seeked || !m_format)
        return m_nextSample;
    m_seeked = false;
    if (frame->best_effort_timestamp == AV_NOPTS_VALUE)
        return m_nextSample;
    qint64 position = timestampSamples(frame->best_effort_timestamp) - m_offset;
    if (m_grid > 0) {
        const qint64 steps = (position - m_gridPhase + (position >= m_gridPhase ? m_grid / 2 : -m_grid / 2)) / m_grid;
        position = m_gridPhase + steps * m_grid;
    }
    return qMax<qint64>(0, position);
}

AudioDecoder::Read AudioDecoder::readPacket(QString *error)
{
    m_untouched = false;
    for (;;) {
        av_packet_unref(m_packet.get());
        if (m_raw.isOpen()) {
            const QByteArray chunk = m_raw.read(kVoxChunkBytes);
            if (chunk.isEmpty())
                return Read::End;
            int rc = av_new_packet(m_packet.get(), int(chunk.size()));
            if (rc < 0) {
                *error = av::errorText(rc);
                return Read::Failed;
            }
            memcpy(m_packet->data, chunk.constData(), size_t(chunk.size()));
            return Read::Frame;
        }
        const int rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc == AVERROR_EOF)
            return Read::End;
        if (rc < 0) {
            *error = QStringLiteral("Cannot read %1: %2").arg(m_path, av::errorText(rc));
            return Read::Failed;
        }
        if (m_packet->stream_index != m_stream)
            continue;
        // A PCM file cut off inside a sample frame (a recording stopped by a
        // crash or a full disc) ends at its last whole frame, which the
        // decoder would otherwise refuse as a whole.
        const AVCodecParameters *p = m_format->streams[m_stream]->codecpar;
        if (p->codec_id >= AV_CODEC_ID_FIRST_AUDIO && p->codec_id < AV_CODEC_ID_ADPCM_IMA_QT && p->block_align > 1
            && m_packet->size % p->block_align != 0) {
            const int whole = m_packet->size - m_packet->size % p->block_align;
            if (whole == 0)
                continue;
            av_shrink_packet(m_packet.get(), whole);
        }
        return Read::Frame;
    }
}

AudioDecoder::Read AudioDecoder::next(QString *error)
{
    if (!m_codec) {
        *error = QStringLiteral("No source is open.");
        return Read::Failed;
    }
    if (m_pending) {
        m_pending = false;
        return Read::Frame;
    }
    if (!m_held.empty()) {
        av_frame_unref(m_frame.get());
        av_frame_move_ref(m_frame.get(), m_held.front().get());
        m_held.pop_front();
        m_heldSamples -= m_frame->nb_samples;
        m_firstSample = m_nextSample;
        m_nextSample += m_frame->nb_samples;
        return Read::Frame;
    }
    for (;;) {
        av_frame_unref(m_frame.get());
        int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc >= 0) {
            m_firstSample = framePosition(m_frame.get());
            m_nextSample = m_firstSample + m_frame->nb_samples;
            return Read::Frame;
        }
        if (rc == AVERROR_EOF)
            return Read::End;
        if (rc != AVERROR(EAGAIN)) {
            *error = QStringLiteral("Cannot decode %1: %2").arg(m_path, av::errorText(rc));
            return Read::Failed;
        }
        if (m_draining) // the decoder wants input after the flush packet: done
            return Read::End;
        const Read got = readPacket(error);
        if (got == Read::Failed)
            return got;
        if (got == Read::End) {
            m_draining = true;
            rc = avcodec_send_packet(m_codec.get(), nullptr);
        } else {
            rc = avcodec_send_packet(m_codec.get(), m_packet.get());
            // A damaged packet is skipped as players skip it; the rest decodes.
            if (rc == AVERROR_INVALIDDATA)
                continue;
        }
        if (rc < 0 && rc != AVERROR_EOF) {
            *error = QStringLiteral("Cannot decode %1: %2").arg(m_path, av::errorText(rc));
            return Read::Failed;
        }
    }
}

bool AudioDecoder::readsAsHeaderless(const QString &path)
{
    return isVox(path);
}

AudioTags AudioDecoder::readTags(const QString &path, const QByteArray &container)
{
    av::quietLogs();
    if (isVox(path))
        return {};
    const AVInputFormat *known = container.isEmpty() ? nullptr : av_find_input_format(container.constData());
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), known, nullptr) < 0)
        return {};
    av::InputContext format(raw);
    AudioTags tags = tagsFrom([&format](const char *const *keys) { return metadataValue(format.get(), keys); });
    if (tags.comment.isEmpty())
        tags.comment = id3v2Comment(path);
    return tags;
}

AudioTags AudioDecoder::tagsFrom(const std::function<QString(const char *const *keys)> &firstOf)
{
    static const char *const album[] = {"album", nullptr};
    static const char *const artist[] = {"artist", "author", "album_artist", nullptr};
    static const char *const comment[] = {"comment", "description", nullptr};
    static const char *const genre[] = {"genre", nullptr};
    static const char *const title[] = {"title", nullptr};
    static const char *const track[] = {"track", "tracknumber", nullptr};
    static const char *const year[] = {"date", "year", "WM/Year", "TYER", "TDRC", nullptr};
    AudioTags tags;
    tags.album = firstOf(album);
    tags.artist = firstOf(artist);
    tags.comment = firstOf(comment);
    tags.genre = firstOf(genre);
    tags.title = firstOf(title);
    tags.track = firstOf(track);
    tags.year = firstOf(year);
    // A full date ("2024-05-01") still gives its year.
    static const QRegularExpression datePrefix(QStringLiteral("^(\\d{4})[-/T ]"));
    if (const auto m = datePrefix.match(tags.year); m.hasMatch())
        tags.year = m.captured(1);
    return tags;
}
