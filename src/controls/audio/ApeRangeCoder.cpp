#include "controls/audio/ApeRangeCoder.h"

namespace ape {

namespace {

// Cumulative frequencies out of 65536 for overflow counts 0..20; counts 21
// to 62 take one unit each above them, 63 escapes to a 32-bit count.
constexpr std::uint16_t kCumulative[22] = {0, 19578, 36160, 48417, 56323, 60899, 63265, 64435, 64971, 65232, 65351,
    65416, 65447, 65466, 65476, 65482, 65485, 65488, 65490, 65491, 65492, 65493};
constexpr std::uint32_t kModelled = 21;
constexpr std::uint32_t kEscape = 63;
constexpr std::uint32_t kMaxK = 24;

void encodeOverflow(RangeEncoder &coder, std::uint32_t overflow)
{
    if (overflow < kModelled) {
        coder.encodeShift(16, kCumulative[overflow], kCumulative[overflow + 1] - kCumulative[overflow]);
        return;
    }
    const std::uint32_t symbol = overflow < kEscape ? overflow : kEscape;
    // One unit each, placed so that 63 lands on the last one (65535).
    coder.encodeShift(16, symbol + 65535 - kEscape, 1);
    if (symbol == kEscape) {
        coder.encodeShift(16, overflow >> 16, 1);
        coder.encodeShift(16, overflow & 0xFFFF, 1);
    }
}

} // namespace

void RangeEncoder::release(std::uint8_t carry)
{
    m_out.push_back(std::uint8_t(m_cache + carry));
    for (; m_pendingFF; --m_pendingFF)
        m_out.push_back(std::uint8_t(0xFF + carry));
}

void RangeEncoder::shiftOut()
{
    if (m_low < (0xFFu << 23)) {
        release(0);
        m_cache = std::uint8_t(m_low >> 23);
    } else if (m_low & kTop) {
        release(1);
        m_cache = std::uint8_t(m_low >> 23);
    } else {
        ++m_pendingFF;
    }
    m_low = (m_low << 8) & (kTop - 1);
}

void RangeEncoder::finish()
{
    for (int i = 0; i < 4; ++i)
        shiftOut();
    release(0);
}

void encodeValue(RangeEncoder &coder, RiceState &state, std::int32_t value)
{
    // Positive values go to odd codes, the others to even ones.
    const std::uint32_t x = value > 0 ? 2 * std::uint32_t(value) - 1 : 2 * (0 - std::uint32_t(value));
    std::uint32_t pivot = state.ksum >> 5;
    if (pivot == 0)
        pivot = 1;
    const std::uint32_t overflow = x / pivot;
    const std::uint32_t base = x % pivot;
    encodeOverflow(coder, overflow);
    if (pivot < 0x10000) {
        coder.encodeFrequency(pivot, base, 1);
    } else {
        // The base goes in two parts, a high one under 65536 and the bits below.
        int bits = 0;
        while ((pivot >> bits) & ~0xFFFFu)
            ++bits;
        coder.encodeFrequency((pivot >> bits) + 1, base >> bits, 1);
        coder.encodeFrequency(1u << bits, base & ((1u << bits) - 1), 1);
    }

    const std::uint32_t limit = state.k ? 1u << (state.k + 4) : 0;
    state.ksum += (x + 1) / 2 - ((state.ksum + 16) >> 5);
    // The reader's parameter stops at 24; 24-bit noise can push past it.
    if (state.ksum < limit)
        --state.k;
    else if (state.ksum >= 1u << (state.k + 5) && state.k < kMaxK)
        ++state.k;
}

} // namespace ape
