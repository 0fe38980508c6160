#include "controls/audio/OggPages.h"

#include <QtEndian>

namespace {

constexpr int kHeaderBytes = 27;
constexpr quint8 kContinued = 0x01;
constexpr quint8 kEndOfStream = 0x04;

} // namespace

bool OggPages::open(const QString &path)
{
    m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
}

std::optional<OggPage> OggPages::at(qint64 position)
{
    if (!m_file.isOpen() || position < 0 || !m_file.seek(position))
        return std::nullopt;
    const QByteArray header = m_file.read(kHeaderBytes);
    if (header.size() != kHeaderBytes || !header.startsWith("OggS") || header.at(4) != 0)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const quint8 flags = bytes[5];
    const QByteArray lacing = m_file.read(bytes[26]);
    if (lacing.size() != bytes[26])
        return std::nullopt;

    OggPage page;
    page.granule = qFromLittleEndian<qint64>(bytes + 6);
    page.lastOfStream = flags & kEndOfStream;
    qsizetype segment = 0;
    // The segments up to the first short one end a packet begun on an
    // earlier page.
    if (flags & kContinued) {
        while (segment < lacing.size() && quint8(lacing.at(segment)) == 255)
            ++segment;
        ++segment;
    }
    int size = 0;
    for (; segment < lacing.size(); ++segment) {
        const quint8 value = quint8(lacing.at(segment));
        size += value;
        if (value < 255) {
            page.packetSizes.append(size);
            size = 0;
        }
    }
    return page;
}
