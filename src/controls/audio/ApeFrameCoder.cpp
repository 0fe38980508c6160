#include "controls/audio/ApeFrameCoder.h"

#include "controls/audio/ApeFilters.h"
#include "controls/audio/ApeRangeCoder.h"

#include <algorithm>
#include <array>

namespace ape {

namespace {

// Frame flags: a frame of silence (nothing coded), and a stereo frame
// whose channels are equal, coded as one.
constexpr std::uint32_t kMonoSilence = 1;
constexpr std::uint32_t kStereoSilence = 3;
constexpr std::uint32_t kPseudoStereo = 4;

struct FilterSpec {
    int order;
    int fractionBits;
};

// The filter stages of each level in the order a reader applies them; the
// encoder runs them the other way round.
const std::vector<FilterSpec> &filtersOf(int level)
{
    static const std::array<std::vector<FilterSpec>, 5> table = {{
        {},
        {{16, 11}},
        {{64, 11}},
        {{32, 10}, {256, 13}},
        {{16, 11}, {256, 13}, {1280, 15}},
    }};
    return table[std::size_t(level / 1000 - 1)];
}

void runFilters(int level, std::vector<std::int32_t> &values)
{
    const std::vector<FilterSpec> &specs = filtersOf(level);
    for (auto spec = specs.rbegin(); spec != specs.rend(); ++spec) {
        NeuralFilter filter(spec->order, spec->fractionBits);
        for (std::int32_t &v : values)
            v = filter.compress(v);
    }
}

void putBigEndian(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

} // namespace

bool isCompressionLevel(int level)
{
    return level >= 1000 && level <= 5000 && level % 1000 == 0;
}

FrameCoder::FrameCoder(int level, int channels, int bits)
    : m_level(level)
    , m_channels(channels)
    , m_bits(bits)
{
}

template <typename Int>
bool FrameCoder::predictStereo(const std::vector<std::int32_t> *samples, std::size_t n, std::vector<std::int32_t> &y,
    std::vector<std::int32_t> &x) const
{
    Predictor<Int> predictor;
    y.resize(n);
    x.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        // The reader rebuilds left = X - Y / 2 and right = left + Y.
        const std::int32_t left = samples[0][i];
        y[i] = samples[1][i] - left;
        x[i] = left + y[i] / 2;
        if (!predictor.compressStereo(y[i], x[i]))
            return false;
    }
    return true;
}

bool FrameCoder::encode(const std::vector<std::int32_t> *samples, int blocks, std::uint32_t crc,
    std::vector<std::uint8_t> &out) const
{
    const std::size_t n = std::size_t(blocks);
    const auto silent = [&](const std::vector<std::int32_t> &channel) {
        return std::all_of(channel.begin(), channel.begin() + blocks, [](std::int32_t v) { return v == 0; });
    };
    const bool stereo = m_channels == 2;
    std::uint32_t flags = 0;
    if (silent(samples[0]) && (!stereo || silent(samples[1])))
        flags = stereo ? kStereoSilence : kMonoSilence;
    else if (stereo && std::equal(samples[0].begin(), samples[0].begin() + blocks, samples[1].begin()))
        flags = kPseudoStereo;
    const int coded = flags == kPseudoStereo ? 1 : m_channels;

    // The reader sees the frame as big-endian words: the CRC, its top bit
    // telling whether the frame flags follow, then the range coder's bytes.
    std::vector<std::uint8_t> bytes;
    if (flags) {
        putBigEndian(bytes, (crc >> 1) | 0x80000000u);
        putBigEndian(bytes, flags);
    } else {
        putBigEndian(bytes, crc >> 1);
    }
    if (flags == kStereoSilence || flags == kMonoSilence) {
        // Nothing is coded, but the reader still starts its range decoder.
        putBigEndian(bytes, 0);
    } else {
        std::array<std::vector<std::int32_t>, 2> residuals;
        if (coded == 1) {
            Predictor<std::int32_t> predictor;
            residuals[0].resize(n);
            for (std::size_t i = 0; i < n; ++i)
                residuals[0][i] = predictor.compressMono(samples[0][i]);
        } else {
            // Readers predict 24-bit stereo at the Insane level in 64 bits.
            const bool wide = m_bits == 24 && m_level == 5000;
            if (!(wide ? predictStereo<std::int64_t>(samples, n, residuals[0], residuals[1])
                       : predictStereo<std::int32_t>(samples, n, residuals[0], residuals[1])))
                return false;
        }
        for (int c = 0; c < coded; ++c)
            runFilters(m_level, residuals[std::size_t(c)]);

        bytes.reserve(n * std::size_t(coded) * 2 + 64);
        RangeEncoder coder(bytes);
        std::array<RiceState, 2> models;
        for (std::size_t i = 0; i < n; ++i)
            for (int c = 0; c < coded; ++c)
                encodeValue(coder, models[std::size_t(c)], residuals[std::size_t(c)][i]);
        coder.finish();
    }
    while (bytes.size() % 4)
        bytes.push_back(0);
    for (std::size_t i = 0; i < bytes.size(); i += 4)
        out.insert(out.end(), {bytes[i + 3], bytes[i + 2], bytes[i + 1], bytes[i]});
    return true;
}

} // namespace ape
