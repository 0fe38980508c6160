#include "TagFixtures.h"

#include "support/TestEnvironment.h"
#include "support/UnprivilegedUser.h"

#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace TagFixture;

namespace {

QByteArray field(const QByteArray &bytes, int width)
{
    QByteArray out = bytes.left(width);
    out.resize(width, '\0');
    return out;
}

// A raw trailer; fields shorter than their width are filled with zero bytes.
QByteArray trailer(const QByteArray &title, const QByteArray &artist = {}, const QByteArray &album = {},
                   const QByteArray &year = {}, const QByteArray &comment30 = {}, quint8 track = 0, quint8 genre = 255)
{
    QByteArray bytes = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4);
    QByteArray comment = field(comment30, 30);
    if (comment30.size() <= 28)
        comment[29] = char(track);
    return bytes + comment + char(genre);
}

template <typename Call>
TagError errorOf(Call call)
{
    try {
        call();
    } catch (const TagError &error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return TagError(0, {}, {});
}

} // namespace

TEST(cMP3ID3v1, ReadsEveryFieldOfTheTrailer)
{
    const QString path = writeFile("song.mp3",
        mpegFrames(3) + trailer("Title", "Artist", "Album", "1999", "A comment", 7, 17));
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    EXPECT_TRUE(tag.HasID3v1Tag());
    EXPECT_EQ(tag.MP3File(), path);
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.Comment(), "A comment");
    EXPECT_EQ(tag.Track(), 7);
    EXPECT_EQ(tag.Genre(), 17);
}

TEST(cMP3ID3v1, TextFieldsLoseZeroBytesAnywhereAndBlanksAtTheEnds)
{
    const struct {
        QByteArray raw;
        QString read;
    } cases[] = {
        {"AB", "AB"},                                         // filled with zero bytes
        {QByteArray("  A\0B  ", 7), "AB"},                    // a zero byte inside, blanks around
        {"AB" + QByteArray(28, ' '), "AB"},                   // filled with blanks
        {"\tX\t", "\tX\t"},                                   // only blanks are trimmed
        {"Caf\xE9", QString::fromUtf8("Café")},               // one Latin-1 byte a character
    };
    for (const auto &c : cases) {
        const QString path = writeFile("text.mp3", mpegFrames(1) + trailer(c.raw));
        cMP3ID3v1 tag;
        tag.setMP3File(path);
        EXPECT_EQ(tag.Title(), c.read) << c.raw.toHex().constData();
    }
}

TEST(cMP3ID3v1, FilesWithoutTrailerReadAsClearedState)
{
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"lower-case marker", mpegFrames(1) + "tag" + trailer("Title").mid(3)},
        {"no trailer", mpegFrames(2)},
        {"empty file", QByteArray()},
        {"shorter than a trailer", QByteArray("TAG")},
    };
    for (const auto &c : cases) {
        cMP3ID3v1 tag;
        tag.setMP3File(writeFile("tagged.mp3", mpegFrames(1) + trailer("Old", {}, {}, {}, {}, 3, 4)));
        tag.setMP3File(writeFile("plain.mp3", c.bytes));
        EXPECT_FALSE(tag.HasID3v1Tag()) << c.what;
        EXPECT_EQ(tag.Title(), "") << c.what;
        EXPECT_EQ(tag.Genre(), 255) << c.what;
        EXPECT_EQ(tag.Track(), 0) << c.what;
    }
}

TEST(cMP3ID3v1, NewObjectStartsEmptyWithGenreZero)
{
    cMP3ID3v1 tag;
    EXPECT_FALSE(tag.HasID3v1Tag());
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_EQ(tag.Track(), 0);
    EXPECT_EQ(tag.Title(), "");
}

TEST(cMP3ID3v1, VersionOneZeroCommentIsReadAsVersionOneOne)
{
    const QByteArray comment30 = "123456789012345678901234567890";
    const QString path = writeFile("v10.mp3", mpegFrames(1) + trailer("T", {}, {}, {}, comment30));
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    EXPECT_EQ(tag.Comment(), "1234567890123456789012345678");
    EXPECT_EQ(tag.Track(), '0');

    tag.Update();
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.at(bytes.size() - 3), '\0');
    EXPECT_EQ(bytes.at(bytes.size() - 2), '0');
}

TEST(cMP3ID3v1, UpdateAppendsTrailerToUntaggedFileLeavingItsBytes)
{
    const QByteArray audio = mpegFrames(3).left(1000);
    const QString path = writeFile("untagged.mp3", audio);
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    tag.setTitle("12345678901234567890123456789012345");   // 35 characters
    tag.setArtist("AB");
    tag.setAlbum(QString::fromUtf8("Café \u0416"));        // one character outside Latin-1
    tag.setYear("19999");
    tag.setComment("C");
    tag.setTrack(12);
    tag.setGenre(147);
    tag.Update();

    EXPECT_FALSE(tag.HasID3v1Tag()) << "the state is not read again after writing";
    const QByteArray bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1128);
    EXPECT_EQ(bytes.left(1000), audio);
    QByteArray expected = "TAG";
    expected += "123456789012345678901234567890";
    expected += "AB" + QByteArray(28, ' ');
    expected += "Caf\xE9 ?" + QByteArray(24, ' ');
    expected += "1999";
    expected += "C" + QByteArray(27, ' ');
    expected += QByteArray("\0\x0C\x93", 3);
    EXPECT_EQ(bytes.mid(1000), expected);

    tag.setMP3File(path);
    EXPECT_TRUE(tag.HasID3v1Tag());
    EXPECT_EQ(tag.Title(), "123456789012345678901234567890");
    EXPECT_EQ(tag.Album(), QString::fromUtf8("Café ?"));
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.Track(), 12);
    EXPECT_EQ(tag.Genre(), 147);
}

TEST(cMP3ID3v1, UpdateOverwritesExistingTrailerInPlace)
{
    // 129 bytes: one audio byte and a trailer.
    const QString path = writeFile("small.mp3", "\xFF" + trailer("Old", "Old", "Old", "2000", "Old", 1, 2));
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    ASSERT_TRUE(tag.HasID3v1Tag());
    tag.setTitle("New");
    tag.Update();

    const QByteArray bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 129);
    EXPECT_EQ(bytes.left(4), "\xFFTAG");
    cMP3ID3v1 again;
    again.setMP3File(path);
    EXPECT_EQ(again.Title(), "New");
    EXPECT_EQ(again.Artist(), "Old");
    EXPECT_EQ(again.Track(), 1);
    EXPECT_EQ(again.Genre(), 2);
}

TEST(cMP3ID3v1, LowerCaseMarkerIsNoTrailerSoUpdateAppendsOne)
{
    const QByteArray bytes = mpegFrames(1) + "tag" + trailer("Title").mid(3);
    const QString path = writeFile("lower.mp3", bytes);
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    tag.setTitle("X");
    tag.Update();
    const QByteArray after = readFile(path);
    EXPECT_EQ(after.size(), bytes.size() + 128);
    EXPECT_EQ(after.left(bytes.size()), bytes);
}

TEST(cMP3ID3v1, ShortFilesTakeATrailerToo)
{
    // A lone trailer of 128 bytes is read and written over; a shorter file
    // gets one appended. Neither is left silently unwritten.
    const struct {
        const char *what;
        QByteArray bytes;
        bool tagged;
        qint64 sizeAfter;
    } cases[] = {
        {"one byte", QByteArray("x"), false, 129},
        {"127 bytes", QByteArray(127, 'x'), false, 255},
        {"only a trailer, 128 bytes", trailer("Title", {}, {}, {}, {}, 4, 17), true, 128},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeFile("short.mp3", c.bytes);
        cMP3ID3v1 tag;
        tag.setMP3File(path);
        EXPECT_EQ(tag.HasID3v1Tag(), c.tagged);
        EXPECT_EQ(tag.Title(), c.tagged ? "Title" : "");
        tag.setTitle("Changed");
        tag.Update();
        const QByteArray after = readFile(path);
        EXPECT_EQ(after.size(), c.sizeAfter);
        if (!c.tagged) {
            EXPECT_TRUE(after.startsWith(c.bytes));
        }
        cMP3ID3v1 again;
        again.setMP3File(path);
        EXPECT_TRUE(again.HasID3v1Tag());
        EXPECT_EQ(again.Title(), "Changed");
        EXPECT_EQ(again.Track(), c.tagged ? 4 : 0);
        EXPECT_EQ(again.Genre(), c.tagged ? 17 : 255);
    }
}

TEST(cMP3ID3v1, ErrorsNameTheirNumberAndSource)
{
    const QString missing = TestEnv::workFolder() + "/missing.mp3";
    cMP3ID3v1 tag;
    tag.setMP3File(writeFile("tagged.mp3", mpegFrames(1) + trailer("Old", {}, {}, {}, {}, 3, 4)));

    const TagError readError = errorOf([&] { tag.setMP3File(missing); });
    EXPECT_EQ(readError.Number(), TagError::FileNotFound);
    EXPECT_TRUE(readError.Source().endsWith(".cMP3ID3v1")) << readError.Source().toStdString();
    EXPECT_FALSE(readError.Source().startsWith('.'));
    EXPECT_EQ(tag.MP3File(), missing);
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Genre(), 255);

    // Writing to a missing path reports it and leaves no empty file behind.
    const TagError writeError = errorOf([&] { tag.Update(); });
    EXPECT_EQ(writeError.Number(), TagError::FileNotFound);
    EXPECT_FALSE(QFile::exists(missing));

    const QString empty = writeFile("empty.mp3", {});
    tag.setMP3File(empty);
    const TagError emptyError = errorOf([&] { tag.Update(); });
    EXPECT_EQ(emptyError.Number(), -2147217407);
    EXPECT_EQ(emptyError.Description(), empty + " is not a valid MP3 file.");
    EXPECT_TRUE(emptyError.Source().endsWith(".cMP3ID3v1"));
}

TEST(cMP3ID3v1, UpdateThatCannotOpenTheFileFailsAndChangesNothing)
{
    const QString folder = TestEnv::workFolder() + "/folder.mp3";
    ASSERT_TRUE(QDir().mkpath(folder));
    cMP3ID3v1 tag;
    EXPECT_NE(errorOf([&] { tag.setMP3File(folder); }).Number(), 0);
    EXPECT_EQ(errorOf([&] { tag.Update(); }).Number(), TagError::PathFileAccess);

    const QByteArray bytes = mpegFrames(2);
    const QString path = writeFile("readonly.mp3", bytes);
    tag.setMP3File(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    tag.setTitle("X");
    {
        const UnprivilegedUser user;
        EXPECT_EQ(errorOf([&] { tag.Update(); }).Number(), TagError::PermissionDenied);
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(path), bytes);
}

TEST(cMP3ID3v1, GenreNamesFollowTheTableToItsEdges)
{
    cMP3ID3v1 tag;
    const struct {
        int code;
        const char *name;
    } cases[] = {
        {0, "Blues"}, {1, "Classic Rock"}, {79, "Hard Rock"}, {80, "Folk"}, {122, "Drum Solo"}, {123, ""},
        {124, "Euro - House"}, {147, "Synth Pop"}, {148, ""}, {255, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tag.GenreName(quint8(c.code)), c.name) << c.code;
    for (int code = 0; code <= 147; ++code)
        EXPECT_EQ(tag.GenreName(quint8(code)).isEmpty(), code == 123) << code;
}

TEST(cMP3ID3v1, AnotherToolReadsTheWrittenTrailer)
{
    const QString path = writeFile("probe.mp3", mpegFrames(20));
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    tag.setTitle("Probe Title");
    tag.setArtist("Probe Artist");
    tag.setAlbum("Probe Album");
    tag.setYear("2001");
    tag.setComment("Probe comment");
    tag.setTrack(5);
    tag.setGenre(17);
    tag.Update();

    const auto tags = probeTags(path);
    EXPECT_EQ(tags.value("title"), "Probe Title");
    EXPECT_EQ(tags.value("artist"), "Probe Artist");
    EXPECT_EQ(tags.value("album"), "Probe Album");
    EXPECT_EQ(tags.value("date"), "2001");
    EXPECT_EQ(tags.value("comment"), "Probe comment");
    EXPECT_EQ(tags.value("track"), "5");
    EXPECT_EQ(tags.value("genre"), "Rock");
}
