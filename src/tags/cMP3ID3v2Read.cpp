// Reading the tag of cMP3ID3v2 into its frame store and named properties.
#include "tags/cMP3ID3v2.h"

#include "controls/audio/GenreTable.h"
#include "controls/audio/Id3v2Layout.h"
#include "controls/audio/Id3v2Text.h"
#include "tags/TagError.h"

#include <QFile>

namespace {
const QString kUnit = QStringLiteral("cMP3ID3v2");
}

void cMP3ID3v2::ReadTag()
{
    m_store = Store();
    resetFields();

    QFile file(m_sFile);
    if (m_sFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw TagError::fromFile(kUnit, file);
    const Id3v2Layout::ParsedTag tag = Id3v2Layout::parseTag(file);
    m_lTagPosition = tag.position;
    m_bVersion = tag.version;
    m_framesLeftOut = tag.leftOut;
    QHash<QString, bool> shown;
    for (const Id3v2Layout::ParsedFrame &frame : tag.frames)
        StoreFrame(frame.id, frame.data, frame.flags, shown);
}

void cMP3ID3v2::StoreFrame(const QString &id, const QByteArray &data, quint16 flags, QHash<QString, bool> &shown)
{
    const Tag stored{QString(), data, flags, true};
    appendTag(id, stored);

    // Compressed or encrypted data is kept for writing back but shows no text.
    if (flags & 0x00C0)
        return;
    // A grouped frame starts with its group byte.
    const QString text = Id3v2Text::frameValue(id, (flags & 0x0020) ? data.mid(1) : data);

    // Comments and lyrics with a description (player data such as
    // "iTunNORM") are no part of the properties. A link with one shows only
    // while no link without one has been read.
    const bool described = (id == QLatin1String("COMM") || id == QLatin1String("USLT") || id == QLatin1String("WXXX"))
        && !isUndescribed(id, stored);
    if (described && id != QLatin1String("WXXX"))
        return;
    if (id == QLatin1String("COMM")) {
        // Every comment of the tag, in file order, one a line.
        m_sComment = m_sComment.isEmpty() ? text : m_sComment + QStringLiteral("\r\n") + text;
        return;
    }
    // Of several frames of an id the first shows, as other readers show it;
    // a link without a description takes the place of one with a description.
    const auto earlier = shown.constFind(id);
    if (earlier != shown.cend() && (earlier.value() || described))
        return;
    shown.insert(id, !described);

    if (id == QLatin1String("TCON")) {
        // "(17)" and "17" are codes of the genre table, "(17)My mix" a code and a name.
        if (const int bare = Id3v2Text::bareGenreCode(text); bare >= 0) {
            m_bGenre = static_cast<quint8>(bare);
            m_sOtherGenreName = GenreTable::name(m_bGenre);
            return;
        }
        const qsizetype open = text.indexOf(QLatin1Char('('));
        const qsizetype close = text.indexOf(QLatin1Char(')'));
        if (open >= 0 && close > open + 1) {
            bool ok = false;
            const uint code = text.mid(open + 1, close - open - 1).toUInt(&ok);
            if (ok && code <= 255) {
                m_bGenre = static_cast<quint8>(code);
                const QString name = text.mid(close + 1);
                m_sOtherGenreName = name.isEmpty() ? GenreTable::name(m_bGenre) : name;
                return;
            }
        }
        m_sOtherGenreName = text;
        return;
    }

    static const QList<QPair<QString, QString cMP3ID3v2::*>> named = {
        {QStringLiteral("WOAR"), &cMP3ID3v2::m_sArtistURL},
        {QStringLiteral("WCOM"), &cMP3ID3v2::m_sBuyURL},
        {QStringLiteral("WOAF"), &cMP3ID3v2::m_sAudioURL},
        {QStringLiteral("TCOP"), &cMP3ID3v2::m_sCopyright},
        {QStringLiteral("TCOM"), &cMP3ID3v2::m_sComposer},
        {QStringLiteral("TOPE"), &cMP3ID3v2::m_sOriginalArtist},
        {QStringLiteral("WXXX"), &cMP3ID3v2::m_sLinkTo},
        {QStringLiteral("PCNT"), &cMP3ID3v2::m_sPlayCounter},
        {QStringLiteral("TENC"), &cMP3ID3v2::m_sEncodedBy},
        {QStringLiteral("TIT2"), &cMP3ID3v2::m_sTitle},
        {QStringLiteral("TPE1"), &cMP3ID3v2::m_sArtist},
        {QStringLiteral("TALB"), &cMP3ID3v2::m_sAlbum},
        {QStringLiteral("TYER"), &cMP3ID3v2::m_sYear},
        {QStringLiteral("USLT"), &cMP3ID3v2::m_sLyrics},
        {QStringLiteral("TRCK"), &cMP3ID3v2::m_sTrack},
    };
    for (const auto &[frameId, field] : named) {
        if (id == frameId) {
            this->*field = text;
            return;
        }
    }
}
