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
// stereo) and answers the values the reader's predictor is fed.
class Predictor {
public:
    Predictor();
    std::int32_t compressMono(std::int32_t value);
    // y and x of one block, in that order; answers them in place.
    void compressStereo(std::int32_t &y, std::int32_t &x);

private:
    struct Channel {
        std::int32_t last = 0; // the stage-one value before the smoothing
        std::int32_t smoothed = 0; // the channel's final value
        std::int32_t crossPrevious = 0; // the other channel's previous final value
        std::array<std::int32_t, 4> a{}; // last, then its differences
        std::array<std::int32_t, 4> aSign{};
        std::array<std::int32_t, 5> b{}; // the other channel, then its differences
        std::array<std::int32_t, 5> bSign{};
        std::array<std::int32_t, 4> aCoefficients{360, 317, -109, 98};
        std::array<std::int32_t, 5> bCoefficients{};
    };
    // Pushes the stage-one history of ch and answers its prediction.
    static std::int32_t predictA(Channel &ch);
    static std::int32_t predictB(Channel &ch, std::int32_t other);
    static void adapt(Channel &ch, std::int32_t residual, bool withB);
    static std::int32_t settle(Channel &ch, std::int32_t value, std::int32_t predicted, bool withB);
    std::int32_t compressStereoChannel(Channel &ch, std::int32_t value, std::int32_t other);

    std::array<Channel, 2> m_channels;
};

} // namespace ape
