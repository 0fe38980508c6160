#pragma once

#include "controls/audio/AudioEncoder.h"

#include <lame/lame.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

// MP3 through LAME itself, so that every field of the settings record takes
// effect: channel mode, quality, CBR/VBR/ABR with their bitrates, the VBR
// (Xing/Info) tag and the header flags. Tags go into ID3v2 and ID3v1.
class Mp3Encoder : public AudioEncoder {
public:
    explicit Mp3Encoder(const Mp3EncoderSettings &settings);
    ~Mp3Encoder() override;

    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;
    PcmSpec inputSpec() const override { return m_spec; }
    bool write(const std::uint8_t *const *data, int frames, QString *error) override;
    bool finish(QString *error) override;

    // The rate and channels the encoder writes with settings for a source
    // of sourceRate and sourceChannels.
    static std::pair<int, int> outputLayout(const Mp3EncoderSettings &settings, int sourceRate, int sourceChannels);
    // The ID3v2 tag that starts and the ID3v1 trailer that ends a file the
    // encoder writes with tags (each empty when it has none).
    static bool tagBlocks(const AudioTags &tags, QByteArray *id3v2, QByteArray *id3v1);

private:
    struct LameDeleter {
        void operator()(lame_global_flags *g) const { lame_close(g); }
    };
    struct FileDeleter {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    bool configure(const PcmSpec &source, QString *error);
    bool put(const unsigned char *bytes, std::size_t size, QString *error);

    Mp3EncoderSettings m_settings;
    QString m_path;
    PcmSpec m_spec;
    std::unique_ptr<lame_global_flags, LameDeleter> m_lame;
    std::unique_ptr<std::FILE, FileDeleter> m_file;
    std::vector<unsigned char> m_buffer;
    long m_id3v2Size = 0;
    QByteArray m_id3v1;  // the ID3v1 trailer that ends the file; empty without tags
};
