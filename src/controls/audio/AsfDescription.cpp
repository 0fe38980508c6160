#include "controls/audio/AsfDescription.h"

#include "platform/SafeWrite.h"

#include <QFile>
#include <QSaveFile>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace AsfDescription {

namespace {

using Guid = std::array<uchar, 16>;

// The objects' GUIDs as the file stores them.
constexpr Guid kHeader{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kContentDescription{
    0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties{
    0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

// GUID, size; the header object adds its object count and two reserved bytes.
constexpr int kObjectHead = 24;
constexpr int kHeaderHead = 30;
// The File Size field of the File Properties object, after its File ID.
constexpr int kFileSizeAt = kObjectHead + 16;
// Title, author, copyright, description, rating.
constexpr int kFields = 5;
constexpr int kDescriptionField = 3;

bool isGuid(const QByteArray &object, const Guid &guid)
{
    return object.size() >= 16
        && std::equal(guid.begin(), guid.end(), reinterpret_cast<const uchar *>(object.constData()));
}

QByteArray utf16z(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        char b[2];
        qToLittleEndian(quint16(c.unicode()), b);
        out.append(b, 2);
    }
    return out.append(2, '\0');
}

// The Content Description object with description set, from the old one
// (empty when there was none).
QByteArray contentDescription(const QByteArray &old, const QString &description)
{
    QVector<QByteArray> fields(kFields);
    if (old.size() >= kObjectHead + 2 * kFields) {
        qint64 at = kObjectHead + 2 * kFields;
        for (int i = 0; i < kFields; ++i) {
            const quint16 length = qFromLittleEndian<quint16>(old.constData() + kObjectHead + 2 * i);
            fields[i] = old.mid(at, length);
            at += length;
        }
    }
    fields[kDescriptionField] = utf16z(description);
    QByteArray object(reinterpret_cast<const char *>(kContentDescription.data()), 16);
    object.append(8, '\0');
    for (const QByteArray &field : std::as_const(fields)) {
        char b[2];
        qToLittleEndian(quint16(field.size()), b);
        object.append(b, 2);
    }
    for (const QByteArray &field : std::as_const(fields))
        object.append(field);
    qToLittleEndian(quint64(object.size()), object.data() + 16);
    return object;
}

} // namespace

bool setDescription(const QString &path, const QString &description, QString *error)
{
    const auto fail = [&](const QString &why) {
        *error = QStringLiteral("Cannot write the comment into %1: %2").arg(path, why);
        return false;
    };
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    const QByteArray head = in.read(kHeaderHead);
    if (head.size() < kHeaderHead || !isGuid(head, kHeader))
        return fail(QStringLiteral("it is no ASF file."));
    const quint64 headerSize = qFromLittleEndian<quint64>(head.constData() + 16);
    const quint32 count = qFromLittleEndian<quint32>(head.constData() + 24);
    if (headerSize < kHeaderHead || headerSize > quint64(in.size()) || headerSize > (64u << 20))
        return fail(QStringLiteral("its header is damaged."));
    const QByteArray body = in.read(qint64(headerSize) - kHeaderHead);
    QVector<QByteArray> objects;
    for (qint64 at = 0; at < body.size();) {
        if (at + kObjectHead > body.size())
            return fail(QStringLiteral("its header is damaged."));
        const quint64 size = qFromLittleEndian<quint64>(body.constData() + at + 16);
        if (size < kObjectHead || size > quint64(body.size() - at))
            return fail(QStringLiteral("its header is damaged."));
        objects << body.mid(at, qint64(size));
        at += qint64(size);
    }
    if (quint32(objects.size()) != count)
        return fail(QStringLiteral("its header is damaged."));

    bool replaced = false;
    for (QByteArray &object : objects) {
        if (isGuid(object, kContentDescription)) {
            object = contentDescription(object, description);
            replaced = true;
        }
    }
    if (!replaced)
        objects << contentDescription({}, description);
    QByteArray header = head;
    for (const QByteArray &object : std::as_const(objects))
        header.append(object);
    const qint64 growth = header.size() - qint64(headerSize);
    qToLittleEndian(quint64(header.size()), header.data() + 16);
    qToLittleEndian(quint32(objects.size()), header.data() + 24);
    // The File Properties object states the file's size.
    for (qint64 at = kHeaderHead; at < header.size();) {
        const quint64 size = qFromLittleEndian<quint64>(header.constData() + at + 16);
        if (isGuid(header.mid(at, 16), kFileProperties) && size >= quint64(kFileSizeAt + 8)) {
            const quint64 fileSize = qFromLittleEndian<quint64>(header.constData() + at + kFileSizeAt);
            qToLittleEndian(quint64(qint64(fileSize) + growth), header.data() + at + kFileSizeAt);
        }
        at += qint64(size);
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    if (const QString error = SafeWrite::write(out, header); !error.isEmpty())
        return fail(error);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty())
            return fail(in.errorString());
        if (const QString error = SafeWrite::write(out, chunk); !error.isEmpty())
            return fail(error);
    }
    in.close();
    if (const QString error = SafeWrite::commit(out); !error.isEmpty())
        return fail(error);
    return true;
}

} // namespace AsfDescription
