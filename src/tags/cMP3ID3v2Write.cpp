// Writing the frame store of cMP3ID3v2 as a version 3 tag at the start of the file.
#include "tags/cMP3ID3v2.h"

#include "controls/audio/Id3v2Layout.h"
#include "controls/audio/Id3v2Text.h"
#include "platform/SafeWrite.h"
#include "tags/TagError.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcId3v2Write, "sonvale.tags.id3v2")

const QString kUnit = QStringLiteral("cMP3ID3v2");
constexpr qint64 kRegionStep = 2048;
constexpr qint64 kCopyBlock = 1 << 16;
constexpr qint64 kMaxSyncSafe = 0x0FFFFFFF;

TagError raiseNumber(qint32 number)
{
    return TagError::raise(kUnit, number, TagError::describe(number));
}

// The old file is kept; the text names the system's reason.
TagError writeFailure(const QString &error)
{
    return TagError::raise(kUnit, TagError::DeviceIO, TagError::describe(TagError::DeviceIO) + QStringLiteral(": ") + error);
}

bool writableId(const QString &id)
{
    return std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    });
}

} // namespace

QByteArray cMP3ID3v2::BuildTag() const
{
    QByteArray buffer("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
    for (const FrameEntry &entry : *m_store) {
        if (entry.id.contains(QLatin1String("ID3"), Qt::CaseInsensitive))
            continue;
        const QString id = entry.id.left(4).toUpper();
        if (id.size() < 4 || !writableId(id))
            throw raiseNumber(TagError::InvalidCall);
        for (const Tag &tag : entry.tags) {
            const QByteArray data = tag.fromFile ? tag.data : Id3v2Text::frameData(id, tag.text);
            // A frame needs at least one byte of data (PCNT without a number has none).
            if (data.isEmpty())
                continue;
            if (data.size() > kMaxSyncSafe)
                throw raiseNumber(TagError::InvalidCall);
            QByteArray header(10, '\0');
            for (int i = 0; i < 4; ++i)
                header[i] = static_cast<char>(id.at(i).unicode());
            Id3v2Layout::putLongBE(header, 4, quint32(data.size()));
            header[8] = static_cast<char>(tag.fromFile ? tag.flags >> 8 : 0);
            header[9] = static_cast<char>(tag.fromFile ? tag.flags & 0xFF : 0);
            buffer += header;
            buffer += data;
        }
    }
    buffer.append(4, '\0');
    return buffer;
}

void cMP3ID3v2::WriteTag()
{
    if (!m_store)
        throw raiseNumber(TagError::ObjectNotSet);
    QByteArray region = BuildTag();

    QFile source(m_sFile);
    if (m_sFile.isEmpty() || !source.exists())
        throw raiseNumber(TagError::FileNotFound);
    if (!source.open(QIODevice::ReadOnly))
        throw TagError::fromFile(kUnit, source);
    const qint64 length = source.size();
    if (length == 0)
        throw raiseNumber(TagError::SubscriptOutOfRange);

    // The old tag region is replaced only when it starts the file; a tag found
    // further on is left where it is and the new one goes in front.
    const Id3v2Layout::ParsedTag old = Id3v2Layout::parseTag(source);
    const qint64 oldRegion = old.position == 4 ? old.regionEnd : 0;
    const qint64 built = region.size();
    // The old region is reused while the new tag is shorter; otherwise the new
    // region is the smallest multiple of 2048 bytes longer than the tag.
    const qint64 regionSize = built < oldRegion ? oldRegion : (built / kRegionStep + 1) * kRegionStep;
    if (regionSize - 10 > kMaxSyncSafe)
        throw raiseNumber(TagError::InvalidCall);
    region.resize(regionSize, '\0');
    Id3v2Layout::putSyncSafe(region, 6, quint32(regionSize - 10));

    // The whole file is written beside the original and renamed over it only
    // when complete, so a failure at any point leaves the original as it was.
    QSaveFile target(m_sFile);
    if (!target.open(QIODevice::WriteOnly))
        throw TagError::fromFile(kUnit, target);
    if (const QString error = SafeWrite::write(target, region); !error.isEmpty())
        throw writeFailure(error);
    if (!source.seek(oldRegion))
        throw TagError::fromFile(kUnit, source);
    qint64 copied = oldRegion;
    while (copied < length) {
        const QByteArray block = source.read(std::min(kCopyBlock, length - copied));
        if (block.isEmpty())
            throw TagError::raise(kUnit, TagError::DeviceIO, TagError::describe(TagError::DeviceIO));
        if (const QString error = SafeWrite::write(target, block); !error.isEmpty())
            throw writeFailure(error);
        copied += block.size();
    }
    source.close();
    if (const QString error = SafeWrite::commit(target); !error.isEmpty())
        throw writeFailure(error);

    if (!m_framesLeftOut.isEmpty()) {
        qCWarning(lcId3v2Write).noquote()
            << QStringLiteral("%1: the version 2.2 frames %2 have no version 2.3 form and were not written")
                   .arg(m_sFile, m_framesLeftOut.join(QStringLiteral(", ")));
        m_framesLeftOut.clear();
    }
}
