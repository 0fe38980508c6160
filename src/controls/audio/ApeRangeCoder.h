#pragma once

#include <cstdint>
#include <vector>

namespace ape {

// The format's range coder: a 31-bit low end with a carry bit above it, put
// out a byte at a time. Bytes go to out in the order a reader takes them;
// the first one is a placeholder the reader skips.
class RangeEncoder {
public:
    explicit RangeEncoder(std::vector<std::uint8_t> &out)
        : m_out(out)
    {
    }

    // A symbol of size out of total, starting at low.
    void encodeFrequency(std::uint32_t total, std::uint32_t low, std::uint32_t size)
    {
        normalize();
        const std::uint32_t unit = m_range / total;
        m_low += unit * low;
        m_range = unit * size;
    }
    // The same with a total of 1 << bits.
    void encodeShift(int bits, std::uint32_t low, std::uint32_t size)
    {
        normalize();
        const std::uint32_t unit = m_range >> bits;
        m_low += unit * low;
        m_range = unit * size;
    }
    // Puts out the whole low end, so the reader's look-ahead stays inside
    // the frame.
    void finish();

private:
    static constexpr std::uint32_t kTop = 1u << 31;
    static constexpr std::uint32_t kBottom = kTop >> 8;

    void normalize()
    {
        while (m_range <= kBottom) {
            shiftOut();
            m_range <<= 8;
        }
    }
    void shiftOut();
    // Puts out the held byte and the 0xFF run after it, raised by carry.
    void release(std::uint8_t carry);

    std::vector<std::uint8_t> &m_out;
    std::uint32_t m_low = 0;
    std::uint32_t m_range = kTop;
    std::uint8_t m_cache = 0; // the byte a carry may still raise
    std::uint32_t m_pendingFF = 0; // 0xFF bytes after it a carry would wrap
};

// The adaptive parameter the value model keeps per channel.
struct RiceState {
    std::uint32_t k = 10;
    std::uint32_t ksum = 16u << 10;
};

// Codes one signed residual with the model of format version 3990 and
// adapts state as a reader does after reading it.
void encodeValue(RangeEncoder &coder, RiceState &state, std::int32_t value);

} // namespace ape
