#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace ape {

// The inverse sign the format adapts its coefficients with: -1 for a
// positive value, 1 for a negative one, 0 for zero.
inline std::int32_t inverseSign(std::int32_t v)
{
    return (v < 0) - (v > 0);
}

// One adaptive FIR stage ("neural network" filter) run the encoding way:
// it takes what a reader's stage puts out and answers what that stage must
// be fed, adapting exactly as the reader does.
class NeuralFilter {
public:
    NeuralFilter(int order, int fractionBits);
    std::int32_t compress(std::int32_t output);

private:
    int m_order;
    int m_fractionBits;
    std::int32_t m_average = 0;
    std::int32_t m_pendingStep = 0; // the previous sample's adaption sign
    std::vector<std::int16_t> m_coefficients;
    // Past outputs (clipped to 16 bits) and their adaption steps, each with
    // m_order + 1 zeros before the first sample and slid back when full.
    std::vector<std::int16_t> m_history;
    std::vector<std::int16_t> m_adapt;
    std::size_t m_position;
};

// The two-stage adaptive predictor of format version 3950 and later, run the
// encoding way for one frame: takes the reader's final values (Y then X for
// stereo) and answers the values the reader's predictor is fed. Int is the
// width the reader computes in: 32 bits, wrapping, for every file but 24-bit
// stereo at the Insane level, whose predictor runs in 64 bits.
template <typename Int> class Predictor {
public:
    Predictor();
    std::int32_t compressMono(std::int32_t value);
    // y and x of one block, in that order; answers them in place. False
    // when a value the reader is fed would not fit in 32 bits.
    bool compressStereo(std::int32_t &y, std::int32_t &x);

private:
    struct Channel {
        Int last = 0; // the stage-one value before the smoothing
        Int smoothed = 0; // the channel's final value
        Int crossPrevious = 0; // the other channel's previous final value
        std::array<Int, 4> a{}; // last, then its differences
        std::array<Int, 4> aSign{};
        std::array<Int, 5> b{}; // the other channel, then its differences
        std::array<Int, 5> bSign{};
        std::array<Int, 4> aCoefficients{360, 317, -109, 98};
        std::array<Int, 5> bCoefficients{};
    };
    // Pushes the stage-one history of ch and answers its prediction.
    static Int predictA(Channel &ch);
    static Int predictB(Channel &ch, Int other);
    static void adapt(Channel &ch, Int residual, bool withB);
    static Int settle(Channel &ch, Int value, Int predicted, bool withB);
    Int compressStereoChannel(Channel &ch, Int value, Int other);

    std::array<Channel, 2> m_channels;
};

} // namespace ape
