#pragma once

#include "controls/audio/ApeFrameCoder.h"
#include "controls/audio/AudioEncoder.h"

extern "C" {
#include <libavutil/crc.h>
}

#include <QFile>
#include <QTemporaryFile>

#include <memory>
#include <vector>

// Monkey's Audio (format version 3.99) at one of the five compression
// levels, mono or stereo at the source's rate: 8 bits from 8-bit sources,
// 24 from sources of more than 16 (the most the format holds), else 16; the
// tags go into an APEv2 tag at the end. The frames are kept in a side file
// until the end, because the seek table before them needs their count.
class ApeEncoder : public AudioEncoder {
public:
    // level is the list's index: 0 (Fast) to 4 (Slow).
    explicit ApeEncoder(std::int32_t level);
    ~ApeEncoder() override;

    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;
    PcmSpec inputSpec() const override { return m_spec; }
    bool write(const std::uint8_t *const *data, int frames, QString *error) override;
    bool finish(QString *error) override;
    QString notice() const override;

private:
    bool flushFrame(QString *error);
    bool writeHeader(QString *error);
    bool copyFrames(QString *error);
    // "Cannot write <path>: <reason>".
    QString writeError(const QString &reason) const;

    int m_level;
    QString m_path;
    PcmSpec m_spec;
    int m_bits = 16;
    int m_sourceChannels = 0;
    bool m_lowBitsDropped = false; // a 32-bit source had bits below the 24 kept
    std::vector<std::uint8_t> m_stored; // one chunk as a WAV stores it, for the CRC
    AudioTags m_tags;
    std::unique_ptr<ape::FrameCoder> m_coder;
    QFile m_file;
    QTemporaryFile m_frames;
    std::vector<std::int32_t> m_samples[2];
    const AVCRC *m_crcTable;
    std::uint32_t m_crc = ~0u; // kept inverted, as av_crc runs

    std::vector<std::uint8_t> m_encoded;
    std::vector<std::uint32_t> m_frameSizes;
    std::uint32_t m_finalBlocks = 0;
    std::uint64_t m_audioBytes = 0;
};

// The APEv2 tag (header, items, footer) of the tags that are set; empty
// when none is.
QByteArray apeV2Tag(const AudioTags &tags);
