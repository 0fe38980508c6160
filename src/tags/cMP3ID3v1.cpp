#include "tags/cMP3ID3v1.h"

#include "controls/audio/GenreTable.h"
#include "controls/audio/Id3v1Trailer.h"
#include "tags/TagError.h"

#include <QFile>

namespace {

const QString kUnit = QStringLiteral("cMP3ID3v1");
constexpr qint64 kTagSize = Id3v1Trailer::kSize;

} // namespace

void cMP3ID3v1::setMP3File(const QString &path)
{
    m_sFile = path;
    ReadTag();
}

void cMP3ID3v1::Update()
{
    WriteTag();
}

QString cMP3ID3v1::GenreName(quint8 genre) const
{
    return GenreTable::name(genre);
}

void cMP3ID3v1::ReadTag()
{
    m_bHasTag = false;
    m_sComment.clear();
    m_sArtist.clear();
    m_sAlbum.clear();
    m_sYear.clear();
    m_bGenre = 255;
    m_sTitle.clear();
    m_bTrack = 0;

    QFile file(m_sFile);
    if (m_sFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw TagError::fromFile(kUnit, file);

    const qint64 length = file.size();
    if (length < kTagSize)
        return;
    if (!file.seek(length - kTagSize))
        throw TagError::fromFile(kUnit, file);
    const QByteArray tag = file.read(kTagSize);
    if (tag.size() != kTagSize)
        throw TagError::raise(kUnit, TagError::DeviceIO, TagError::describe(TagError::DeviceIO));
    if (!tag.startsWith("TAG"))
        return;

    m_bHasTag = true;
    m_sTitle = StripNulls(tag.mid(3, 30));
    m_sArtist = StripNulls(tag.mid(33, 30));
    m_sAlbum = StripNulls(tag.mid(63, 30));
    m_sYear = StripNulls(tag.mid(93, 4));
    // Always read as version 1.1: the comment is 28 bytes whatever byte 125 holds.
    m_sComment = StripNulls(tag.mid(97, 28));
    m_bTrack = static_cast<quint8>(tag.at(126));
    m_bGenre = static_cast<quint8>(tag.at(127));
}

QString cMP3ID3v1::StripNulls(const QByteArray &field)
{
    QByteArray kept;
    kept.reserve(field.size());
    for (char c : field) {
        if (c != '\0')
            kept.append(c);
    }
    // Blanks only: tabs and other white space stay.
    qsizetype first = 0;
    qsizetype last = kept.size();
    while (first < last && kept.at(first) == ' ')
        ++first;
    while (last > first && kept.at(last - 1) == ' ')
        --last;
    return QString::fromLatin1(kept.mid(first, last - first));
}

void cMP3ID3v1::WriteTag()
{
    // An existing file is required: writing a trailer into a file we had to
    // create would only leave an empty stray file behind.
    QFile file(m_sFile);
    if (m_sFile.isEmpty() || !file.exists())
        throw TagError::raise(kUnit, TagError::FileNotFound, TagError::describe(TagError::FileNotFound));
    if (!file.open(QIODevice::ReadWrite))
        throw TagError::fromFile(kUnit, file);

    const qint64 length = file.size();
    if (length == 0)
        throw TagError::raise(kUnit, TagError::NotValidMp3, m_sFile + QStringLiteral(" is not a valid MP3 file."));

    // A trailer that is there is written over from its fourth byte; any other
    // file, however short, gets one appended.
    bool inPlace = false;
    if (length >= kTagSize) {
        if (!file.seek(length - kTagSize))
            throw TagError::fromFile(kUnit, file);
        inPlace = file.read(3) == "TAG";
    }
    const QByteArray whole =
        Id3v1Trailer::pack({m_sTitle, m_sArtist, m_sAlbum, m_sYear, m_sComment, m_bTrack, m_bGenre});
    const QByteArray trailer = inPlace ? whole.mid(3) : whole;

    const qint64 at = inPlace ? length - kTagSize + 3 : length;
    const bool written = file.seek(at) && file.write(trailer) == trailer.size() && file.flush();
    if (!written) {
        const TagError error = TagError::fromFile(kUnit, file);
        // A half-appended trailer must not stay behind the audio.
        if (!inPlace)
            file.resize(length);
        throw error;
    }
}
