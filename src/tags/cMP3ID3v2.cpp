#include "tags/cMP3ID3v2.h"

#include "controls/audio/GenreTable.h"
#include "controls/audio/Id3v2Text.h"
#include "tags/TagError.h"

#include <algorithm>

namespace {

const QString kUnit = QStringLiteral("cMP3ID3v2");

TagError raiseNumber(qint32 number)
{
    return TagError::raise(kUnit, number, TagError::describe(number));
}

// The language of comment and lyrics frames that come with none of their own.
const QByteArray kDefaultLanguage = QByteArrayLiteral("eng");

} // namespace

// ---- frame store ----------------------------------------------------------

cMP3ID3v2::Store &cMP3ID3v2::store()
{
    if (!m_store)
        throw raiseNumber(TagError::ObjectNotSet);
    return *m_store;
}

qsizetype cMP3ID3v2::indexOf(const QString &frame) const
{
    if (!m_store)
        return -1;
    for (qsizetype i = 0; i < m_store->size(); ++i) {
        if (m_store->at(i).id.compare(frame, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qint32 cMP3ID3v2::FrameCount() const
{
    if (!m_store)
        throw raiseNumber(TagError::ObjectNotSet);
    return qint32(m_store->size());
}

QString cMP3ID3v2::Frame(qint32 index) const
{
    if (!m_store)
        throw raiseNumber(TagError::ObjectNotSet);
    if (index < 1 || index > m_store->size())
        throw raiseNumber(TagError::SubscriptOutOfRange);
    return m_store->at(index - 1).id;
}

void cMP3ID3v2::RemoveFrame(const QString &frame)
{
    Store &frames = store();
    const qsizetype at = indexOf(frame);
    if (at < 0)
        throw raiseNumber(TagError::InvalidCall);
    frames.removeAt(at);
}

qint32 cMP3ID3v2::TagsInFrame(const QString &frame) const
{
    const qsizetype at = indexOf(frame);
    return at < 0 ? 0 : qint32(m_store->at(at).tags.size());
}

void cMP3ID3v2::appendTag(const QString &frame, Tag tag)
{
    Store &frames = store();
    const qsizetype at = indexOf(frame);
    if (at < 0)
        frames.append({frame, {std::move(tag)}});
    else
        frames[at].tags.append(std::move(tag));
}

void cMP3ID3v2::AddTag(const QString &sFrame, const QString &sTag)
{
    appendTag(sFrame, Tag{sTag, {}, 0, false});
}

void cMP3ID3v2::RemoveTag(const QString &sFrame, qint32 tagIndex)
{
    Store &frames = store();
    const qsizetype at = indexOf(sFrame);
    if (at < 0 || tagIndex < 1 || tagIndex > frames.at(at).tags.size())
        throw raiseNumber(TagError::InvalidCall);
    frames[at].tags.removeAt(tagIndex - 1);
    if (frames.at(at).tags.isEmpty())
        frames.removeAt(at);
}

// ---- named properties -----------------------------------------------------

void cMP3ID3v2::setFrame(const QString &id, const QString &text)
{
    // The id need not exist; a set always leaves exactly one tag, at the end.
    const qsizetype at = indexOf(id);
    if (at >= 0)
        m_store->removeAt(at);
    AddTag(id, text);
}

bool cMP3ID3v2::isUndescribed(const QString &id, const Tag &tag, QByteArray *language)
{
    // WXXX has no language: its description comes first.
    const bool url = id.compare(QLatin1String("WXXX"), Qt::CaseInsensitive) == 0;
    Id3v2Text::LangHead head;
    if (tag.fromFile) {
        // Compressed or encrypted data cannot be told apart: it is kept.
        if (tag.flags & 0x00C0)
            return false;
        const QByteArray data = (tag.flags & 0x0020) ? tag.data.mid(1) : tag.data;
        if (!(url ? Id3v2Text::userUrlDescription(data, &head.description) : Id3v2Text::langHead(data, &head)))
            return false;
    } else {
        head.language = url ? QByteArray() : tag.text.left(3).toLatin1();
        head.description = tag.text.mid(url ? 0 : 3).section(QChar(0), 0, 0);
    }
    if (!head.description.isEmpty())
        return false;
    if (language)
        *language = head.language;
    return true;
}

void cMP3ID3v2::setUndescribedFrame(const QString &id, const QString &text)
{
    const bool withLanguage = id != QLatin1String("WXXX");
    Store &frames = store();
    QByteArray language = kDefaultLanguage;
    qsizetype at = indexOf(id);
    qsizetype place = -1;
    if (at >= 0) {
        QList<Tag> &tags = frames[at].tags;
        for (qsizetype i = tags.size() - 1; i >= 0; --i) {
            QByteArray found;
            if (!isUndescribed(id, tags.at(i), &found))
                continue;
            // The language of the frame read is kept when it is a real code
            // (older releases wrote the bytes 0, "n", "t").
            language = Id3v2Text::isLanguageCode(found) ? found : kDefaultLanguage;
            place = i;
            tags.removeAt(i);
        }
        if (tags.isEmpty()) {
            frames.removeAt(at);
            at = -1;
        }
    }
    const QString head = withLanguage ? QString::fromLatin1(language) : QString();
    Tag tag{head + QChar(0) + text, {}, 0, false};
    if (at < 0)
        appendTag(id, std::move(tag));
    else
        frames[at].tags.insert(std::min(place < 0 ? frames[at].tags.size() : place, frames[at].tags.size()),
                               std::move(tag));
}

void cMP3ID3v2::setGenreFrame()
{
    // With no genre code the frame holds the name alone: "(255)" refers to no
    // genre and other programs would show it as part of the name.
    QString text = m_sOtherGenreName;
    if (m_bGenre != 255)
        text.prepend(QLatin1Char('(') + QString::number(m_bGenre) + QLatin1Char(')'));
    setFrame(QStringLiteral("TCON"), text);
}

void cMP3ID3v2::setArtistURL(const QString &value) { m_sArtistURL = value; setFrame(QStringLiteral("WOAR"), value); }
void cMP3ID3v2::setBuyURL(const QString &value) { m_sBuyURL = value; setFrame(QStringLiteral("WCOM"), value); }
void cMP3ID3v2::setAudioURL(const QString &value) { m_sAudioURL = value; setFrame(QStringLiteral("WOAF"), value); }
void cMP3ID3v2::setCopyright(const QString &value) { m_sCopyright = value; setFrame(QStringLiteral("TCOP"), value); }
void cMP3ID3v2::setComposer(const QString &value) { m_sComposer = value; setFrame(QStringLiteral("TCOM"), value); }
void cMP3ID3v2::setOriginalArtist(const QString &value)
{
    m_sOriginalArtist = value;
    setFrame(QStringLiteral("TOPE"), value);
}
void cMP3ID3v2::setLinkTo(const QString &value)
{
    m_sLinkTo = value;
    setUndescribedFrame(QStringLiteral("WXXX"), value);
}
void cMP3ID3v2::setPlayCounter(const QString &value)
{
    m_sPlayCounter = value;
    setFrame(QStringLiteral("PCNT"), value);
}
void cMP3ID3v2::setEncodedBy(const QString &value) { m_sEncodedBy = value; setFrame(QStringLiteral("TENC"), value); }
void cMP3ID3v2::setTitle(const QString &value) { m_sTitle = value; setFrame(QStringLiteral("TIT2"), value); }
void cMP3ID3v2::setArtist(const QString &value) { m_sArtist = value; setFrame(QStringLiteral("TPE1"), value); }
void cMP3ID3v2::setAlbum(const QString &value) { m_sAlbum = value; setFrame(QStringLiteral("TALB"), value); }
void cMP3ID3v2::setYear(const QString &value) { m_sYear = value; setFrame(QStringLiteral("TYER"), value); }
void cMP3ID3v2::setComment(const QString &value)
{
    m_sComment = value;
    setUndescribedFrame(QStringLiteral("COMM"), value);
}
void cMP3ID3v2::setLyrics(const QString &value)
{
    // Lyrics have the comment's layout: language, description, text.
    m_sLyrics = value;
    setUndescribedFrame(QStringLiteral("USLT"), value);
}
void cMP3ID3v2::setGenre(quint8 value)
{
    m_bGenre = value;
    setGenreFrame();
}
void cMP3ID3v2::setOtherGenreName(const QString &value)
{
    m_sOtherGenreName = value;
    setGenreFrame();
}
void cMP3ID3v2::setTrack(const QString &value) { m_sTrack = value; setFrame(QStringLiteral("TRCK"), value); }

QString cMP3ID3v2::GenreName(quint8 genre) const
{
    return GenreTable::name(genre);
}

void cMP3ID3v2::setMP3File(const QString &path)
{
    m_sFile = path;
    ReadTag();
}

void cMP3ID3v2::Update()
{
    WriteTag();
}

void cMP3ID3v2::resetFields()
{
    m_lTagPosition = 0;
    m_bVersion = 0;
    m_framesLeftOut.clear();
    for (QString *field : {&m_sTitle, &m_sArtist, &m_sAlbum, &m_sYear, &m_sComment, &m_sTrack, &m_sPlayCounter,
                           &m_sEncodedBy, &m_sOtherGenreName, &m_sLinkTo, &m_sOriginalArtist, &m_sComposer,
                           &m_sCopyright, &m_sAudioURL, &m_sBuyURL, &m_sArtistURL, &m_sLyrics})
        field->clear();
    m_bGenre = 255;
}
