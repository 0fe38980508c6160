#include "controls/audio/Id3v1Trailer.h"

namespace Id3v1Trailer {
namespace {

QByteArray field(const QString &text, int width)
{
    QByteArray bytes = text.left(width).toLatin1();
    bytes.resize(width, ' ');
    return bytes;
}

} // namespace

QByteArray pack(const Fields &fields)
{
    QByteArray trailer("TAG");
    trailer.reserve(kSize);
    trailer += field(fields.title, 30);
    trailer += field(fields.artist, 30);
    trailer += field(fields.album, 30);
    trailer += field(fields.year, 4);
    trailer += field(fields.comment, 28);
    trailer.append('\0');
    trailer.append(static_cast<char>(fields.track));
    trailer.append(static_cast<char>(fields.genre));
    return trailer;
}

quint8 trackNumber(const QString &text)
{
    bool ok = false;
    const int number = text.section(QLatin1Char('/'), 0, 0).trimmed().toInt(&ok);
    return ok && number >= 1 && number <= 255 ? quint8(number) : 0;
}

} // namespace Id3v1Trailer
