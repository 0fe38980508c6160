#include "controls/audio/SampleGuard.h"

#include <cmath>
#include <cstring>

namespace {

template <typename T> bool wild(T v)
{
    // NaN fails both comparisons and so counts as wild.
    return !(v >= T(-1) && v <= T(1));
}

template <typename T> T tame(T v)
{
    if (std::isnan(v))
        return T(0);
    return v > T(0) ? T(1) : T(-1);
}

template <typename T> bool anyWild(const std::uint8_t *plane, qsizetype count)
{
    const auto *s = reinterpret_cast<const T *>(plane);
    for (qsizetype i = 0; i < count; ++i)
        if (wild(s[i]))
            return true;
    return false;
}

template <typename T> qint64 tameAll(std::uint8_t *plane, qsizetype count)
{
    auto *s = reinterpret_cast<T *>(plane);
    qint64 n = 0;
    for (qsizetype i = 0; i < count; ++i)
        if (wild(s[i])) {
            s[i] = tame(s[i]);
            ++n;
        }
    return n;
}

} // namespace

void SampleGuard::setup(AVSampleFormat format, int channels)
{
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    const bool floating = packed == AV_SAMPLE_FMT_FLT || packed == AV_SAMPLE_FMT_DBL;
    m_format = floating ? format : AV_SAMPLE_FMT_NONE;
    m_double = packed == AV_SAMPLE_FMT_DBL;
    const bool planar = av_sample_fmt_is_planar(format);
    m_planes = planar ? channels : 1;
    m_perPlane = planar ? 1 : channels;
    m_mended = 0;
    m_copy.clear();
    m_out.clear();
}

const std::uint8_t *const *SampleGuard::mend(const std::uint8_t *const *data, int frames)
{
    if (m_format == AV_SAMPLE_FMT_NONE || frames <= 0)
        return data;
    const qsizetype count = qsizetype(frames) * m_perPlane;
    bool found = false;
    for (int p = 0; p < m_planes && !found; ++p)
        found = m_double ? anyWild<double>(data[p], count) : anyWild<float>(data[p], count);
    if (!found)
        return data;
    // The decoder's frame is not ours to change: mend a copy.
    const std::size_t bytes = std::size_t(count) * (m_double ? sizeof(double) : sizeof(float));
    m_copy.resize(std::size_t(m_planes));
    m_out.resize(std::size_t(m_planes));
    for (int p = 0; p < m_planes; ++p) {
        std::vector<std::uint8_t> &copy = m_copy[std::size_t(p)];
        if (copy.size() < bytes)
            copy.resize(bytes);
        std::memcpy(copy.data(), data[p], bytes);
        m_mended += m_double ? tameAll<double>(copy.data(), count) : tameAll<float>(copy.data(), count);
        m_out[std::size_t(p)] = copy.data();
    }
    return m_out.data();
}

QString SampleGuard::notice(qint64 count)
{
    if (count <= 0)
        return {};
    return QStringLiteral("%1 sample(s) of the source were not numbers or lay beyond full scale; "
                          "they were written as silence or as full scale.")
        .arg(count);
}
