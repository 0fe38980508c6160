#include "controls/audio/ApeFilters.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

namespace ape {

namespace {

// Room for this many samples between slides of a filter's history.
constexpr std::size_t kWindow = 4096;
// Filter orders are multiples of this, so the loops below work on whole
// blocks the compiler turns into vector code.
constexpr int kLanes = 16;

// The long filters spend nearly all their time in the two loops below; where
// the processor has them, wider vectors are picked when the program loads.
#if defined(__x86_64__) && defined(__GNUC__)
#define APE_VECTOR_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define APE_VECTOR_LOOP
#endif

APE_VECTOR_LOOP std::int32_t dotProduct(const std::int16_t *a, const std::int16_t *b, int n)
{
    // Sums wrap at 32 bits exactly as the reader's vector code does.
    // Unsigned, since a signed sum that wraps is undefined.
    std::uint32_t sum = 0;
    for (int i = 0; i < n; i += kLanes)
        for (int j = 0; j < kLanes; ++j)
            sum += std::uint32_t(std::int32_t(a[i + j]) * std::int32_t(b[i + j]));
    return std::int32_t(sum);
}

// c += step * a (step is 1 or -1, wrapping at 16 bits), then the dot
// product of the new c with b: one pass over the coefficients.
template <int Step>
APE_VECTOR_LOOP std::int32_t adaptThenDot(
    std::int16_t *__restrict c, const std::int16_t *__restrict a, const std::int16_t *__restrict b, int n)
{
    std::uint32_t sum = 0;
    for (int i = 0; i < n; i += kLanes)
        for (int j = 0; j < kLanes; ++j) {
            c[i + j] = std::int16_t(c[i + j] + Step * a[i + j]);
            sum += std::uint32_t(std::int32_t(c[i + j]) * std::int32_t(b[i + j]));
        }
    return std::int32_t(sum);
}

template <typename Int> Int wrapAdd(Int a, Int b)
{
    using U = std::make_unsigned_t<Int>;
    return Int(U(a) + U(b));
}

template <typename Int> Int wrapSub(Int a, Int b)
{
    using U = std::make_unsigned_t<Int>;
    return Int(U(a) - U(b));
}

template <typename Int> Int wrapMul(Int a, Int b)
{
    using U = std::make_unsigned_t<Int>;
    return Int(U(a) * U(b));
}

// x * 31 / 32 rounded down, the smoothing both stages share.
template <typename Int> Int decay(Int x)
{
    return wrapMul(x, Int(31)) >> 5;
}

template <typename Int, std::size_t N> void push(std::array<Int, N> &values, std::array<Int, N> &signs, Int v)
{
    // Slot 0 takes the new value, slot 1 its step from the previous one;
    // older steps move down one place.
    const Int previous = values[0];
    for (std::size_t i = N - 1; i > 1; --i) {
        values[i] = values[i - 1];
        signs[i] = signs[i - 1];
    }
    values[0] = v;
    values[1] = wrapSub(v, previous);
    signs[0] = (values[0] < 0) - (values[0] > 0);
    signs[1] = (values[1] < 0) - (values[1] > 0);
}

} // namespace

NeuralFilter::NeuralFilter(int order, int fractionBits)
    : m_order(order)
    , m_fractionBits(fractionBits)
    , m_coefficients(std::size_t(order), 0)
    , m_history(std::size_t(order) + 1 + kWindow, 0)
    , m_adapt(std::size_t(order) + 1 + kWindow, 0)
    , m_position(std::size_t(order) + 1)
{
}

std::int32_t NeuralFilter::compress(std::int32_t output)
{
    // The reader adapts its coefficients by the sign of what it was fed
    // right after its dot product; here that sign is known only after it,
    // so the previous sample's adaption runs in this sample's pass.
    const std::int16_t *history = m_history.data() + m_position - m_order;
    const std::int16_t *adapt = m_adapt.data() + m_position - 1 - m_order;
    std::int16_t *coefficients = m_coefficients.data();
    const std::int32_t dot = m_pendingStep > 0 ? adaptThenDot<1>(coefficients, adapt, history, m_order)
        : m_pendingStep < 0                    ? adaptThenDot<-1>(coefficients, adapt, history, m_order)
                                               : dotProduct(coefficients, history, m_order);
    // Rounded without wrapping, as the reader does: a dot product just
    // under 2^31 rounds up past it.
    const auto prediction
        = std::int32_t((std::int64_t(dot) + (std::int64_t(1) << (m_fractionBits - 1))) >> m_fractionBits);
    const std::int32_t input = wrapSub(output, prediction);
    const std::int32_t step = inverseSign(input);

    m_history[m_position] = std::int16_t(std::clamp<std::int32_t>(output, -32768, 32767));
    const std::uint32_t magnitude = output < 0 ? 0 - std::uint32_t(output) : std::uint32_t(output);
    std::int16_t size = 0;
    if (magnitude) {
        // Larger steps for outputs well above the running average.
        const std::int64_t average = m_average;
        size = std::int16_t(magnitude > average * 3 ? 32 : magnitude > average + average / 3 ? 16 : 8);
    }
    m_adapt[m_position] = std::int16_t(inverseSign(output) * size);
    m_average += std::int32_t(magnitude - std::uint32_t(m_average)) / 16;
    for (const int back : {1, 2, 8}) {
        // Recent steps decay; the deferred adaption must still see them as
        // they were, so the change is charged to the coefficient now.
        std::int16_t &a = m_adapt[m_position - std::size_t(back)];
        const std::int16_t before = a;
        a = std::int16_t(a >> 1);
        std::int16_t &c = m_coefficients[std::size_t(m_order - back)];
        c = std::int16_t(c + step * (before - a));
    }
    m_pendingStep = step;

    if (++m_position == m_history.size()) {
        const std::ptrdiff_t keep = m_order + 1;
        std::copy(m_history.end() - keep, m_history.end(), m_history.begin());
        std::copy(m_adapt.end() - keep, m_adapt.end(), m_adapt.begin());
        m_position = std::size_t(keep);
    }
    return input;
}

template <typename Int> Predictor<Int>::Predictor() = default;

template <typename Int> Int Predictor<Int>::predictA(Channel &ch)
{
    push(ch.a, ch.aSign, ch.last);
    Int sum = 0;
    for (std::size_t i = 0; i < ch.a.size(); ++i)
        sum = wrapAdd(sum, wrapMul(ch.a[i], ch.aCoefficients[i]));
    return sum;
}

template <typename Int> Int Predictor<Int>::predictB(Channel &ch, Int other)
{
    push(ch.b, ch.bSign, wrapSub(other, decay(ch.crossPrevious)));
    ch.crossPrevious = other;
    Int sum = 0;
    for (std::size_t i = 0; i < ch.b.size(); ++i)
        sum = wrapAdd(sum, wrapMul(ch.b[i], ch.bCoefficients[i]));
    return sum;
}

template <typename Int> void Predictor<Int>::adapt(Channel &ch, Int residual, bool withB)
{
    const Int sign = (residual < 0) - (residual > 0);
    if (!sign)
        return;
    for (std::size_t i = 0; i < ch.a.size(); ++i)
        ch.aCoefficients[i] = wrapAdd(ch.aCoefficients[i], Int(ch.aSign[i] * sign));
    if (withB)
        for (std::size_t i = 0; i < ch.b.size(); ++i)
            ch.bCoefficients[i] = wrapAdd(ch.bCoefficients[i], Int(ch.bSign[i] * sign));
}

template <typename Int> Int Predictor<Int>::settle(Channel &ch, Int value, Int predicted, bool withB)
{
    // The reader smooths its stage-one value into the final one; undo that,
    // then the prediction.
    const Int last = wrapSub(value, decay(ch.smoothed));
    const Int residual = wrapSub(last, predicted);
    ch.last = last;
    ch.smoothed = value;
    adapt(ch, residual, withB);
    return residual;
}

template <typename Int> std::int32_t Predictor<Int>::compressMono(std::int32_t value)
{
    Channel &ch = m_channels[0];
    return std::int32_t(settle(ch, value, predictA(ch) >> 10, false));
}

template <typename Int> Int Predictor<Int>::compressStereoChannel(Channel &ch, Int value, Int other)
{
    const Int a = predictA(ch);
    const Int b = predictB(ch, other);
    return settle(ch, value, wrapAdd(a, Int(b >> 1)) >> 10, true);
}

template <typename Int> bool Predictor<Int>::compressStereo(std::int32_t &y, std::int32_t &x)
{
    // Y sees X's value of the previous block, X sees Y's of this one.
    const Int ry = compressStereoChannel(m_channels[0], y, m_channels[1].smoothed);
    const Int rx = compressStereoChannel(m_channels[1], x, m_channels[0].smoothed);
    y = std::int32_t(ry);
    x = std::int32_t(rx);
    return ry == Int(y) && rx == Int(x);
}

template class Predictor<std::int32_t>;
template class Predictor<std::int64_t>;

} // namespace ape
