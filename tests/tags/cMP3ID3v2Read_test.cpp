#include "TagFixtures.h"

#include "support/Mutagen.h"
#include "support/TestEnvironment.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v2.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace TagFixture;

namespace {

QByteArray utf16le(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray utf16be(const QString &text, bool bom)
{
    QByteArray bytes = bom ? QByteArray("\xFE\xFF", 2) : QByteArray();
    for (QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return bytes;
}

cMP3ID3v2 readBytes(const QByteArray &bytes)
{
    cMP3ID3v2 tag;
    tag.setMP3File(writeFile("read.mp3", bytes));
    return tag;
}

} // namespace

TEST(cMP3ID3v2Read, TagAtTheStartFillsStoreAndProperties)
{
    const QByteArray frames = frame("TIT2", latin1Text("Song")) + frame("TPE1", latin1Text("Artist"))
        + frame("TALB", latin1Text("Album")) + frame("TYER", latin1Text("1999")) + frame("TRCK", latin1Text("3/9"))
        + frame("TENC", latin1Text("Enc")) + frame("TCOP", latin1Text("(c)")) + frame("TCOM", latin1Text("Comp"))
        + frame("TOPE", latin1Text("Orig")) + frame("WOAR", "http://artist") + frame("WCOM", "http://buy")
        + frame("WOAF", "http://audio") + frame("WXXX", QByteArray("\0desc\0http://link", 17))
        + frame("PCNT", QByteArray("\0\0\x01\x00", 4)) + frame("USLT", QByteArray("\0eng\0La la", 11))
        + frame("PRIV", QByteArray("owner\0\x01\x02", 8));
    const cMP3ID3v2 tag = readBytes(TagFixture::tag(3, frames, 64) + mpegFrames(2));

    EXPECT_TRUE(tag.HasID3v2Tag());
    EXPECT_EQ(tag.ID3v2TagVersion(), 3);
    EXPECT_EQ(tag.TagVersion(), 3);
    EXPECT_EQ(tag.Title(), "Song");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.Track(), "3/9");
    EXPECT_EQ(tag.EncodedBy(), "Enc");
    EXPECT_EQ(tag.Copyright(), "(c)");
    EXPECT_EQ(tag.Composer(), "Comp");
    EXPECT_EQ(tag.OriginalArtist(), "Orig");
    EXPECT_EQ(tag.ArtistURL(), "http://artist");
    EXPECT_EQ(tag.BuyURL(), "http://buy");
    EXPECT_EQ(tag.AudioURL(), "http://audio");
    EXPECT_EQ(tag.LinkTo(), "http://link");
    EXPECT_EQ(tag.PlayCounter(), "256");
    EXPECT_EQ(tag.Lyrics(), "La la");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.FrameCount(), 16);
    EXPECT_EQ(tag.Frame(1), "TIT2");
    EXPECT_EQ(tag.Frame(16), "PRIV");
    EXPECT_EQ(tag.TagsInFrame("PRIV"), 1);
}

TEST(cMP3ID3v2Read, RepeatedFramesAreAllStoredAndTheFirstOneShows)
{
    // Other readers show the first frame of an id, or all of them.
    const QByteArray frames = frame("TIT2", latin1Text("First")) + frame("TPE1", latin1Text("Artist one"))
        + frame("TIT2", latin1Text("Second")) + frame("TPE1", latin1Text("Artist two"))
        + frame("TCON", latin1Text("(17)")) + frame("TCON", latin1Text("(13)"))
        + frame("USLT", QByteArray("\0engdesc\0Described", 19)) + frame("USLT", QByteArray("\0eng\0Words", 11))
        + frame("USLT", QByteArray("\0eng\0More", 10));
    const cMP3ID3v2 tag = readBytes(TagFixture::tag(3, frames) + mpegFrames(1));
    EXPECT_EQ(tag.FrameCount(), 4);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 2);
    EXPECT_EQ(tag.TagsInFrame("tit2"), 2);
    EXPECT_EQ(tag.Title(), "First");
    EXPECT_EQ(tag.Artist(), "Artist one");
    EXPECT_EQ(tag.Genre(), 17);
    EXPECT_EQ(tag.Lyrics(), "Words") << "the first lyrics without a description";
}

TEST(cMP3ID3v2Read, LinkIsTheUrlWithoutADescriptionElseTheFirst)
{
    const QByteArray described = frame("WXXX", QByteArray("\0userUrl\0http://user/", 21));
    const QByteArray plain = frame("WXXX", QByteArray("\0\0http://plain/", 16));
    const QByteArray plainUtf16 = frame("WXXX", QByteArray("\x01\xFF\xFE\0\0http://wide/", 17));
    const QByteArray other = frame("WXXX", QByteArray("\0other\0http://other/", 20));
    const struct {
        const char *what;
        QByteArray frames;
        QString link;
    } cases[] = {
        {"described, then plain", described + plain, "http://plain/"},
        {"plain, then described", plain + described, "http://plain/"},
        {"two plain ones", plainUtf16 + plain, "http://wide/"},
        {"two described ones", described + other, "http://user/"},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(TagFixture::tag(3, c.frames) + mpegFrames(1));
        EXPECT_EQ(tag.LinkTo(), c.link) << c.what;
    }
}

TEST(cMP3ID3v2Read, TextEncodingsOfEveryVersion)
{
    const QString text = QString::fromUtf8("Grüße ЖЖ");
    const struct {
        const char *what;
        int version;
        QByteArray data;
        QString title;
    } cases[] = {
        {"ISO-8859-1", 3, QByteArray("\0Caf\xE9", 5), QString::fromUtf8("Café")},
        {"ISO-8859-1 with terminator", 3, QByteArray("\0Song\0", 6), "Song"},
        {"UTF-16, little-endian mark", 3, "\x01" + utf16le(text) + QByteArray(2, '\0'), text},
        {"UTF-16, big-endian mark", 3, "\x01" + utf16be(text, true), text},
        {"UTF-16BE", 4, "\x02" + utf16be(text, false), text},
        {"UTF-8", 4, "\x03" + text.toUtf8(), text},
        {"two values of version 4", 4, QByteArray("\x03" "A\0B", 4), "A/B"},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(TagFixture::tag(c.version, frame("TIT2", c.data, c.version)) + mpegFrames(1));
        EXPECT_EQ(tag.Title(), c.title) << c.what;
    }
}

TEST(cMP3ID3v2Read, VersionFourFrameSizesAreSyncSafe)
{
    // 200 characters: the size 201 is 00 00 01 49 sync-safe.
    const QString title(200, QLatin1Char('x'));
    const cMP3ID3v2 tag = readBytes(
        TagFixture::tag(4, frame("TIT2", latin1Text(title), 4) + frame("TPE1", latin1Text("After"), 4)) + mpegFrames(1));
    EXPECT_EQ(tag.Title(), title);
    EXPECT_EQ(tag.Artist(), "After");
    EXPECT_EQ(tag.ID3v2TagVersion(), 4);
}

TEST(cMP3ID3v2Read, VersionFourTagsWithPlainFrameSizesAreReadWhole)
{
    // Several taggers wrote plain sizes into version 4 frames, as version 3 has them.
    const auto plainFrame = [](const QByteArray &id, const QByteArray &data) { return frame(id, data, 3); };
    const QByteArray txxx = plainFrame("TXXX", QByteArray(1, '\0') + QByteArray(150, 'd') + '\0' + QByteArray(149, 'v'));
    ASSERT_EQ(txxx.size(), 10 + 301) << "301 is 00 00 01 2D: a valid sync-safe number that reads as 173";
    const QByteArray notSyncSafe = plainFrame("TXXX", QByteArray(1, '\0') + QByteArray(100, 'd') + '\0' + QByteArray(98, 'v'));
    ASSERT_EQ(notSyncSafe.at(7), char(0xC8)) << "200 is 00 00 00 C8: no sync-safe number";
    const struct {
        const char *what;
        QByteArray frames;
    } cases[] = {
        {"sync-safe reading misses the next frame", plainFrame("TIT2", latin1Text("Title")) + txxx
             + plainFrame("TPE1", latin1Text("Artist")) + plainFrame("TALB", latin1Text("Album"))},
        {"size that is no sync-safe number", plainFrame("TIT2", latin1Text("Title")) + plainFrame("TPE1", latin1Text("Artist"))
             + notSyncSafe + plainFrame("TALB", latin1Text("Album"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray audio = mpegFrames(2);
        const QString path = writeFile("plain.mp3", TagFixture::tag(4, c.frames, 64) + audio);
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        EXPECT_EQ(tag.Title(), "Title");
        EXPECT_EQ(tag.Artist(), "Artist");
        EXPECT_EQ(tag.Album(), "Album");
        EXPECT_EQ(tag.FrameCount(), 4);

        // A title-only rewrite keeps all four frames, with standard sizes.
        tag.setTitle("New");
        tag.Update();
        const QJsonValue seen = Mutagen::frames(path);
        EXPECT_EQ(seen["TIT2"]["text"].toArray().at(0).toString(), "New");
        EXPECT_EQ(seen["TPE1"]["text"].toArray().at(0).toString(), "Artist");
        EXPECT_EQ(seen["TALB"]["text"].toArray().at(0).toString(), "Album");
        EXPECT_EQ(seen.toObject().size(), 4);
        EXPECT_TRUE(readFile(path).endsWith(audio));
    }
}

TEST(cMP3ID3v2Read, VersionTwoFramesTakeTheirFourLetterIds)
{
    const QByteArray frames = frameV22("TT2", latin1Text("Title")) + frameV22("TP1", latin1Text("Artist"))
        + frameV22("XYZ", latin1Text("unknown")) + frameV22("COM", QByteArray("\0eng\0Note", 9));
    const cMP3ID3v2 tag = readBytes(TagFixture::tag(2, frames) + mpegFrames(1));
    EXPECT_EQ(tag.ID3v2TagVersion(), 2);
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Comment(), "Note");
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 1);
    EXPECT_EQ(tag.TagsInFrame("TT2"), 0);
    EXPECT_EQ(tag.FrameCount(), 3) << "a frame without a version 3 equivalent is left out";
    EXPECT_EQ(tag.FramesLeftOut(), QStringList({"XYZ"}));
}

TEST(cMP3ID3v2Read, CommentsOfEveryWriterShowTheirTextOnly)
{
    const QByteArray own = QByteArray("\0\0nt\0", 5);
    const struct {
        const char *what;
        QByteArray frames;
        QString comment;
    } cases[] = {
        {"older releases' layout", frame("COMM", own + "abc"), "abc"},
        {"language", frame("COMM", QByteArray("\0eng\0Text", 9)), "Text"},
        {"UTF-16", frame("COMM", "\x01" "eng" + utf16le("") + QByteArray(2, '\0') + utf16le(QString::fromUtf8("Ж"))),
         QString::fromUtf8("Ж")},
        {"two comments, one a line", frame("COMM", own + "a") + frame("COMM", QByteArray("\0deu\0b", 7)), "a\r\nb"},
        {"a comment starting with nt", frame("COMM", own + "nth time"), "nth time"},
        // Comments with a description hold other programs' data, no comment of the user's.
        {"player data beside the comment", frame("COMM", QByteArray("\0engiTunNORM\0 0000031C", 22))
             + frame("COMM", QByteArray("\0eng\0Mine", 9)), "Mine"},
        {"UTF-16 description", frame("COMM", "\x01" "eng" + utf16le("d") + QByteArray(2, '\0') + utf16le("x")), ""},
        // LAME writes the empty description without a byte-order mark.
        {"LAME's UTF-16", frame("COMM", "\x01" "eng" + QByteArray(2, '\0') + utf16le(QString::fromUtf8("Café"))),
         QString::fromUtf8("Café")},
        {"UTF-16 without any mark", frame("COMM", QByteArray("\x01" "eng\0\0N\0o\0", 10)), "No"},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(TagFixture::tag(3, c.frames) + mpegFrames(1));
        EXPECT_EQ(tag.Comment(), c.comment) << c.what;
    }
}

TEST(cMP3ID3v2Read, GenreFrameGivesCodeAndName)
{
    const struct {
        QByteArray text;
        int genre;
        QString name;
    } cases[] = {
        {"(17)", 17, "Rock"},
        {"(17)Rock", 17, "Rock"},
        {"(17)X", 17, "X"},
        {"(0)My mix", 0, "My mix"},
        {"Rock", 255, "Rock"},
        {"(300)", 255, "(300)"},
        {"()", 255, "()"},
        {")17(", 255, ")17("},
        {"(123)", 123, ""},
        // Version 4 holds the code bare; other readers take it as one in every version.
        {"13", 13, "Pop"},
        {"0", 0, "Blues"},
        {"300", 255, "300"},
        {"1999", 255, "1999"},
        {" 13", 255, " 13"},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(TagFixture::tag(3, frame("TCON", latin1Text(c.text))) + mpegFrames(1));
        EXPECT_EQ(tag.Genre(), c.genre) << c.text.constData();
        EXPECT_EQ(tag.OtherGenreName(), c.name) << c.text.constData();
    }
}

TEST(cMP3ID3v2Read, ScanFindsTheHeaderAcrossBlocksUntilTheAudioSync)
{
    const QByteArray tagBytes = TagFixture::tag(3, frame("TIT2", latin1Text("Found")));
    const struct {
        const char *what;
        QByteArray bytes;
        bool found;
    } cases[] = {
        {"at the start", tagBytes + mpegFrames(1), true},
        {"straddling the first two blocks", QByteArray(4094, '\x11') + tagBytes + mpegFrames(1), true},
        {"after the sync in the same block", mpegFrames(1) + tagBytes, true},
        {"only in a block after the sync", mpegFrames(10) + tagBytes, false},
        {"empty file", QByteArray(), false},
        {"no header, no sync", QByteArray(9000, '\x22'), false},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(c.bytes);
        EXPECT_EQ(tag.HasID3v2Tag(), c.found) << c.what;
        EXPECT_EQ(tag.Title(), c.found ? "Found" : "") << c.what;
    }
}

TEST(cMP3ID3v2Read, UnknownVersionIsATagWithoutFrames)
{
    const cMP3ID3v2 tag = readBytes(TagFixture::tag(5, frame("TIT2", latin1Text("X"))) + mpegFrames(1));
    EXPECT_TRUE(tag.HasID3v2Tag());
    EXPECT_EQ(tag.ID3v2TagVersion(), 5);
    EXPECT_EQ(tag.FrameCount(), 0);
}

TEST(cMP3ID3v2Read, UnsynchronisationAndExtendedHeaderAreUndone)
{
    // A title holding the byte FF, which unsynchronisation follows with 00.
    QByteArray unsynced = frame("TIT2", QByteArray("\0A\xFF" "B", 4));
    unsynced.replace(QByteArray("\xFF"), QByteArray("\xFF\0", 2));
    const cMP3ID3v2 a = readBytes(TagFixture::tag(3, frame("TPE1", latin1Text("x")) + unsynced, 0, 0x80) + mpegFrames(1));
    EXPECT_EQ(a.Title(), QString::fromLatin1("A\xFF" "B"));

    const QByteArray extended = QByteArray("\0\0\0\x06\0\0\0\0\0\0", 10);
    const cMP3ID3v2 b = readBytes(TagFixture::tag(3, extended + frame("TIT2", latin1Text("Ext")), 0, 0x40) + mpegFrames(1));
    EXPECT_EQ(b.Title(), "Ext");
    EXPECT_EQ(b.FrameCount(), 1);
}

TEST(cMP3ID3v2Read, DamagedOrCutTagsKeepTheFramesBeforeTheDamage)
{
    const QByteArray good = frame("TIT2", latin1Text("Good"));
    QByteArray negative = frame("TPE1", latin1Text("x"));
    negative[4] = char(0x80);
    const struct {
        const char *what;
        QByteArray bytes;
        int frames;
    } cases[] = {
        // A frame cut short by the tag's end keeps the bytes it has.
        {"frame larger than the tag", TagFixture::tag(3, good + frame("TPE1", QByteArray(50, 'a'))).left(50), 2},
        {"frame size with the top bit set", TagFixture::tag(3, good + negative) + mpegFrames(1), 2},
        {"frame running into the audio", header(3, 0x7F) + good + frame("TPE1", QByteArray("\0xyz", 4)).left(12)
             + mpegFrames(1), 2},
        {"garbage frame id", TagFixture::tag(3, good + "\x01\x02\x03\x04" + QByteArray(20, 'z')) + mpegFrames(1), 1},
        {"zero filler", TagFixture::tag(3, good, 100) + mpegFrames(1), 1},
        {"header cut after the marker", QByteArray("ID3"), 0},
        {"header cut after the version", QByteArray("ID3\x03\x00"), 0},
        {"declared size far beyond the file", header(3, 0x7F7F7F7F) + good, 1},
        {"absurd extended header", TagFixture::tag(3, QByteArray("\x7F\xFF\xFF\xFF", 4) + good, 0, 0x40), 0},
        {"cut inside a frame header", (TagFixture::tag(3, good + frame("TPE1", latin1Text("y")))).chopped(12), 1},
    };
    for (const auto &c : cases) {
        const cMP3ID3v2 tag = readBytes(c.bytes);
        EXPECT_TRUE(tag.HasID3v2Tag()) << c.what;
        EXPECT_EQ(tag.FrameCount(), c.frames) << c.what;
        if (c.frames > 0) {
            EXPECT_EQ(tag.Title(), "Good") << c.what;
        }
    }
}

TEST(cMP3ID3v2Read, ReadingAnotherFileClearsEverything)
{
    cMP3ID3v2 tag;
    tag.setMP3File(writeFile("a.mp3", TagFixture::tag(3, frame("TIT2", latin1Text("A"))
        + frame("USLT", QByteArray("\0eng\0Words", 11)) + frame("TCON", latin1Text("(17)"))) + mpegFrames(1)));
    ASSERT_EQ(tag.Lyrics(), "Words");
    tag.setMP3File(writeFile("b.mp3", TagFixture::tag(3, frame("TPE1", latin1Text("B"))) + mpegFrames(1)));
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Lyrics(), "");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.OtherGenreName(), "");
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Artist(), "B");
}

TEST(cMP3ID3v2Read, OpenFailureResetsAndNamesTheClass)
{
    cMP3ID3v2 tag;
    tag.setMP3File(writeFile("a.mp3", TagFixture::tag(3, frame("TIT2", latin1Text("A"))) + mpegFrames(1)));
    const QString missing = TestEnv::workFolder() + "/missing.mp3";
    try {
        tag.setMP3File(missing);
        FAIL() << "no error was raised";
    } catch (const TagError &error) {
        EXPECT_EQ(error.Number(), TagError::FileNotFound);
        EXPECT_TRUE(error.Source().endsWith(".cMP3ID3v2"));
    }
    EXPECT_EQ(tag.MP3File(), missing);
    EXPECT_FALSE(tag.HasID3v2Tag());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.FrameCount(), 0);
}

TEST(cMP3ID3v2Read, TagsWrittenByAnotherToolAreRead)
{
    const QString source = writeFile("plain.mp3", mpegFrames(40));
    const QString title = QString::fromUtf8("Tést Жук");
    for (const char *version : {"3", "4"}) {
        const QString out = TestEnv::workFolder() + "/ffmpeg" + version + ".mp3";
        ASSERT_TRUE(ffmpeg({"-i", source, "-c", "copy", "-metadata", "title=" + title, "-metadata", "artist=The Artist",
                            "-metadata", "album=The Album", "-metadata", "date=1987", "-metadata", "track=4/12",
                            "-metadata", "genre=Rock", "-id3v2_version", version, out}));
        cMP3ID3v2 tag;
        tag.setMP3File(out);
        EXPECT_EQ(tag.ID3v2TagVersion(), QByteArray(version).toInt());
        EXPECT_EQ(tag.Title(), title) << version;
        EXPECT_EQ(tag.Artist(), "The Artist") << version;
        EXPECT_EQ(tag.Album(), "The Album") << version;
        EXPECT_EQ(tag.Year(), "1987") << version;
        EXPECT_EQ(tag.Track(), "4/12") << version;
        EXPECT_EQ(tag.OtherGenreName(), "Rock") << version;
    }
}
