#pragma once

#include <cstdint>
#include <vector>

namespace ape {

// The format version written: frames of kBlocksPerFrame blocks, the
// predictor with its cross-channel stage and the 3990 value model.
constexpr std::uint16_t kFileVersion = 3990;
constexpr std::uint32_t kBlocksPerFrame = 73728 * 4;

// Whether level (1000, 2000, ... 5000) is one the format knows.
bool isCompressionLevel(int level);

// Compresses frames, each on its own: every frame starts the predictor,
// the filters and the value model afresh, as a reader does.
class FrameCoder {
public:
    FrameCoder(int level, int channels, int bits);
    // samples holds one row per channel (left, right) of blocks values as
    // the reader puts them out less 128 for 8-bit sources; crc is the
    // CRC-32 of the frame's PCM as stored in a WAV. Appends the frame as
    // it goes into the file: whole 32-bit words, each byte-reversed. False
    // when the frame cannot be coded (a reader's value past 32 bits).
    bool encode(const std::vector<std::int32_t> *samples, int blocks, std::uint32_t crc,
        std::vector<std::uint8_t> &out) const;

private:
    template <typename Int> bool predictStereo(const std::vector<std::int32_t> *samples, std::size_t n,
        std::vector<std::int32_t> &y, std::vector<std::int32_t> &x) const;

    int m_level;
    int m_channels;
    int m_bits;
};

} // namespace ape
