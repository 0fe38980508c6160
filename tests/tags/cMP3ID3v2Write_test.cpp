#include "TagFixtures.h"

#include "support/Mutagen.h"
#include "support/TestEnvironment.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace TagFixture;

namespace {

struct WrittenFrame {
    QByteArray id;
    QByteArray data;
    QByteArray flags;
    bool operator==(const WrittenFrame &) const = default;
};

quint32 syncSafeAt(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 7) | (quint8(bytes.at(at + i)) & 0x7F);
    return value;
}

// The length of the tag region that starts the file, from its size field.
qint64 regionOf(const QByteArray &file)
{
    return file.startsWith("ID3") ? 10 + syncSafeAt(file, 6) : 0;
}

// The frames of a version 3 tag at the start of the file.
QList<WrittenFrame> framesOf(const QByteArray &file)
{
    QList<WrittenFrame> frames;
    const qint64 end = regionOf(file);
    qint64 pos = 10;
    while (pos + 10 <= end && file.mid(pos, 4) != QByteArray(4, '\0')) {
        quint32 size = 0;
        for (int i = 0; i < 4; ++i)
            size = (size << 8) | quint8(file.at(pos + 4 + i));
        frames.append({file.mid(pos, 4), file.mid(pos + 10, size), file.mid(pos + 8, 2)});
        pos += 10 + size;
    }
    return frames;
}

WrittenFrame frameNamed(const QByteArray &file, const QByteArray &id)
{
    for (const WrittenFrame &f : framesOf(file)) {
        if (f.id == id)
            return f;
    }
    return {};
}

template <typename Call>
qint32 errorNumberOf(Call call)
{
    try {
        call();
    } catch (const TagError &error) {
        EXPECT_TRUE(error.Source().endsWith(".cMP3ID3v2")) << error.Source().toStdString();
        return error.Number();
    }
    return 0;
}

// Writes only a title of the given length into a fresh copy of bytes.
QByteArray writeTitle(const QString &path, int length)
{
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle(QString(length, QLatin1Char('t')));
    tag.Update();
    return readFile(path);
}

} // namespace

TEST(cMP3ID3v2Write, SmallTagByteForByte)
{
    const QByteArray audio = mpegFrames(3);
    const QString path = writeFile("hi.mp3", audio);
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle("Hi");
    tag.Update();

    const QByteArray bytes = readFile(path);
    const QByteArray expected = QByteArray("ID3\x03\0\0\0\0\x0F\x76", 10) + QByteArray("TIT2\0\0\0\x03\0\0\0Hi", 13)
        + QByteArray(4, '\0');
    EXPECT_EQ(bytes.left(expected.size()), expected);
    EXPECT_EQ(bytes.mid(expected.size(), 2048 - expected.size()), QByteArray(2048 - expected.size(), '\0'));
    EXPECT_EQ(bytes.mid(2048), audio);
}

TEST(cMP3ID3v2Write, NewRegionIsTheNextMultipleOf2048)
{
    // The tag's length is 25 bytes plus the title (header, frame header,
    // encoding byte, four closing zero bytes).
    const struct {
        int title;       // -1: no frame at all (14 bytes)
        qint64 region;
    } cases[] = {{-1, 2048}, {0, 2048}, {2022, 2048}, {2023, 4096}, {5000, 6144}};
    for (const auto &c : cases) {
        const QByteArray audio = mpegFrames(2);
        const QString path = writeFile("region.mp3", audio);
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        if (c.title >= 0)
            tag.setTitle(QString(c.title, QLatin1Char('t')));
        tag.Update();
        const QByteArray bytes = readFile(path);
        EXPECT_EQ(regionOf(bytes), c.region) << c.title;
        EXPECT_EQ(bytes.size(), c.region + audio.size()) << c.title;
        EXPECT_EQ(bytes.mid(c.region), audio) << c.title;
    }
}

TEST(cMP3ID3v2Write, ShorterTagIsWrittenIntoTheOldRegion)
{
    const QByteArray audio = mpegFrames(2);
    const QString path = writeFile("again.mp3", audio);
    writeTitle(path, 100);

    // 1975 characters make a tag of 2000 bytes: it fits the 2048-byte region.
    QByteArray bytes = writeTitle(path, 1975);
    EXPECT_EQ(bytes.size(), 2048 + audio.size());
    EXPECT_EQ(regionOf(bytes), 2048);
    EXPECT_EQ(bytes.mid(2000, 48), QByteArray(48, '\0')) << "no old bytes are left in the padding";
    EXPECT_EQ(bytes.mid(2048), audio);

    // 2023 characters make 2048 bytes, which no longer fit.
    bytes = writeTitle(path, 2023);
    EXPECT_EQ(bytes.size(), 4096 + audio.size());
    EXPECT_EQ(regionOf(bytes), 4096);
    EXPECT_EQ(bytes.mid(4096), audio);
}

TEST(cMP3ID3v2Write, FrameDataOfEachKind)
{
    const QString path = writeFile("kinds.mp3", mpegFrames(1));
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle(QString(300, QLatin1Char('x')));
    tag.setComment("abc");
    tag.AddTag("XID3", "left out");
    tag.AddTag("tcom", "Lower");
    tag.setPlayCounter("12");
    tag.setArtistURL("http://a/");
    tag.setLinkTo("http://l/");
    tag.setArtist(QString::fromUtf8("Ж"));
    tag.Update();
    const QByteArray bytes = readFile(path);

    const QList<QByteArray> ids = [&] {
        QList<QByteArray> list;
        for (const WrittenFrame &f : framesOf(bytes))
            list << f.id;
        return list;
    }();
    EXPECT_EQ(ids, QList<QByteArray>({"TIT2", "COMM", "TCOM", "PCNT", "WOAR", "WXXX", "TPE1"}));
    const struct {
        QByteArray id;
        QByteArray data;
    } cases[] = {
        {"COMM", QByteArray("\0eng\0abc", 8)},
        {"TCOM", QByteArray("\0Lower", 6)},
        {"PCNT", QByteArray("\0\0\0\x0C", 4)},
        {"WOAR", "http://a/"},
        {"WXXX", QByteArray("\0\0http://l/", 11)},
        {"TPE1", QByteArray("\x01\xFF\xFE\x16\x04", 5)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(frameNamed(bytes, c.id).data, c.data) << c.id.constData();
    EXPECT_EQ(bytes.mid(10, 10), QByteArray("TIT2\0\0\x01\x2D\0\0", 10));
}

TEST(cMP3ID3v2Write, CommentAndLyricsTakeALanguageCodeAndLeaveOtherProgramsFramesAlone)
{
    const QByteArray playerData = frame("COMM", QByteArray("\0engiTunNORM\0 0000031C", 22));
    const struct {
        const char *what;
        QByteArray frames;
        const char *key;  // mutagen's key of the comment written
    } cases[] = {
        {"no comment yet", {}, "COMM::eng"},
        {"older releases' language bytes", frame("COMM", QByteArray("\0\0nt\0old", 8)), "COMM::eng"},
        {"a language of its own", frame("COMM", QByteArray("\0deu\0alt", 8)), "COMM::deu"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeFile("lang.mp3", tag(3, c.frames + playerData) + mpegFrames(2));
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setComment("New");
        tag.setLyrics("Words");
        tag.Update();

        const QJsonObject seen = Mutagen::frames(path).toObject();
        QStringList keys{c.key, "COMM:iTunNORM:eng", "USLT::eng"};
        keys.sort();
        EXPECT_EQ(seen.keys(), keys) << "the old comment is replaced, the player's data kept";
        EXPECT_EQ(seen[c.key]["text"].toArray().at(0).toString(), "New");
        EXPECT_EQ(seen["COMM:iTunNORM:eng"]["text"].toArray().at(0).toString(), " 0000031C");
        EXPECT_EQ(seen["USLT::eng"]["text"].toString(), "Words");
        cMP3ID3v2 again;
        again.setMP3File(path);
        EXPECT_EQ(again.Comment(), "New");
        EXPECT_EQ(again.Lyrics(), "Words");
    }
}

TEST(cMP3ID3v2Write, IdsNoReaderCouldParseAreRefusedBeforeTheFileIsTouched)
{
    for (const char *id : {"AB", "T-X1", ""}) {
        const QByteArray bytes = mpegFrames(2);
        const QString path = writeFile("ids.mp3", bytes);
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setTitle("T");
        tag.AddTag(id, "x");
        EXPECT_EQ(errorNumberOf([&] { tag.Update(); }), TagError::InvalidCall) << id;
        EXPECT_EQ(readFile(path), bytes) << id;
    }
}

TEST(cMP3ID3v2Write, AudioAfterTheTagStaysByteIdentical)
{
    const QByteArray audio = mpegFrames(12) + "TAG" + QByteArray(125, 'v');
    const QByteArray title = frame("TIT2", latin1Text("Old title"));
    QByteArray legacyLeftovers = QByteArray("ID3\x03\0\0\0\0\x08\0", 10) + title + QByteArray(4, '\0');
    legacyLeftovers += QByteArray(500, '\0') + "old frame bytes left behind";
    legacyLeftovers.resize(2048, 'q');
    QByteArray legacyBig = QByteArray("ID3\x03\0\0\0\0\x80\0", 10) + title + QByteArray(4, '\0');
    legacyBig.resize(0x8000, '\0');
    const QByteArray junk(50, '\x11');

    const struct {
        const char *what;
        QByteArray before;   // what precedes the audio in the file
        QByteArray kept;     // what must follow the new tag: the audio and what must not be dropped
    } cases[] = {
        {"no tag", {}, {}},
        {"tag of another writer with padding", tag(3, title, 1000), {}},
        // The tag ends where its header says: what follows is never taken in.
        {"tag with padding its size does not count", tag(3, title) + QByteArray(300, '\0'), QByteArray(300, '\0')},
        {"version 2 tag", tag(2, frameV22("TT2", latin1Text("Old"))), {}},
        {"version 4 tag", tag(4, frame("TIT2", latin1Text("Old"), 4), 20), {}},
        {"version 4 tag with a footer", header(4, frame("TIT2", latin1Text("Old"), 4).size(), 0x10)
             + frame("TIT2", latin1Text("Old"), 4) + QByteArray("3DI\x04\0\x10\0\0\0\x0E", 10), {}},
        // 00 00 08 00 is a sync-safe 1024: the rest of the older region stays.
        {"older release's tag: size of the whole region", QByteArray("ID3\x03\0\0\0\0\x08\0", 10) + title
             + QByteArray(2048 - 10 - title.size(), '\0'), QByteArray(2048 - 1034, '\0')},
        {"older release's tag with left-over bytes", legacyLeftovers, legacyLeftovers.mid(1034)},
        // 00 00 80 00 is no sync-safe number; read plain it ends at the audio.
        {"older release's tag too large for a sync-safe reading", legacyBig, {}},
        // Neither reading of 00 00 13 88 ends at the audio: the old tag stays.
        {"tag whose size reaches into the audio", header(3, 5000) + title, header(3, 5000) + title},
        {"tag whose sync-safe size reaches into the audio", header(3, 0x00000768) + title, {}},
        {"tag cut short by the end of the file", header(3, 0x10000) + title, {}},
        {"tag further into the file", junk + tag(3, title), junk + tag(3, title)},
    };
    for (const auto &c : cases) {
        const QString path = writeFile("audio.mp3", c.before + audio);
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setTitle("New");
        tag.Update();

        const QByteArray bytes = readFile(path);
        const QByteArray rest = c.kept + audio;
        EXPECT_TRUE(bytes.endsWith(rest)) << c.what;
        EXPECT_EQ(regionOf(bytes) + rest.size(), bytes.size()) << c.what;
        cMP3ID3v2 again;
        again.setMP3File(path);
        EXPECT_EQ(again.Title(), "New") << c.what;
        EXPECT_EQ(again.ID3v2TagVersion(), 3) << c.what;
    }
}

TEST(cMP3ID3v2Write, MalformedTagsNeverGiveUpAudioAfterTheirDeclaredEnd)
{
    const QByteArray audio = mpegFrames(6);
    // Over 127 bytes, so that the size's plain reading differs from its sync-safe one.
    const QByteArray title = frame("TIT2", latin1Text(QString(140, 't')));
    const QByteArray artist = frame("TPE1", latin1Text("Artist"));
    // The last frame's size says 2 bytes more than it has: it reaches the sync word.
    QByteArray longLast = title + artist;
    longLast[title.size() + 7] = char(longLast.at(title.size() + 7) + 2);
    // TIT2 claims 1,000 bytes (00 00 03 E8) in a 658-byte tag, header included.
    QByteArray claimsMore = header(3, 648) + (frame("TIT2", latin1Text("Big")) + QByteArray(648, '\0')).left(648);
    claimsMore.replace(14, 4, QByteArray("\0\0\x03\xE8", 4));
    // A version 4 tag with its size written plain, 00 00 01 C0, which is no
    // sync-safe number, and the extended-header flag, with and without an
    // extended header.
    const QByteArray frames4 = frame("TIT2", latin1Text(QString(150, 'x')), 4) + frame("TPE1", latin1Text("A"), 4);
    const auto plainV4 = [&](const QByteArray &head) {
        QByteArray body = head + frames4;
        body.resize(0x1C0, '\0');
        return header(4, quint32(body.size()), 0x40) + body;
    };

    const struct {
        const char *what;
        QByteArray tag;
        qint64 declaredEnd;
    } cases[] = {
        {"version 3, last frame 2 bytes too long", tag(3, longLast), 10 + longLast.size()},
        {"TIT2 claiming 1,000 bytes in a 658-byte tag", claimsMore, 658},
        {"version 4, plain size, extended header", plainV4(QByteArray("\0\0\0\x06\x01\0", 6)), 10 + 0x1C0},
        {"version 4, plain size, extended-header flag alone", plainV4({}), 10 + 0x1C0},
        // Its sync-safe size, 512, runs past the tag's end into the audio.
        {"version 4, plain size, extended header too long", plainV4(QByteArray("\0\0\x04\0\x01\0", 6)), 10 + 0x1C0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.tag.size(), c.declaredEnd);
        const QString path = writeFile("malformed.mp3", c.tag + audio);
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setTitle("New");
        tag.Update();

        const QByteArray bytes = readFile(path);
        EXPECT_TRUE(bytes.endsWith(audio)) << "every audio byte is still there, in order";
        EXPECT_EQ(regionOf(bytes) + audio.size(), bytes.size()) << "the old tag is replaced, not kept";
        EXPECT_TRUE(probesAsMp3(path));
        cMP3ID3v2 again;
        again.setMP3File(path);
        EXPECT_EQ(again.Title(), "New");
    }
}

TEST(cMP3ID3v2Write, FramesOfOtherWritersAreWrittenBackUnchanged)
{
    const QByteArray picture = QByteArray("\0image/png\0\x03\0", 13) + QByteArray("\x89PNG\0\0\0\x0D\xFF\xD8\xFF\xE0", 12);
    const QByteArray frames = frame("APIC", picture) + frame("PRIV", QByteArray("owner\0\0\x01\0", 9))
        + frame("TIT2", QByteArray("\x01\xFF\xFE" "A\0B\0\0\0", 9)) + frame("COMM", QByteArray("\0engdesc\0Text", 13))
        + frame("TXXX", QByteArray("\0key\0value", 10)) + frame("TCMP", latin1Text("1"), 3, 0x4000);
    const QByteArray audio = mpegFrames(4);
    const QString path = writeFile("others.mp3", tag(3, frames, 100) + audio);
    const QList<WrittenFrame> before = framesOf(readFile(path));

    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setArtist("Added");
    tag.Update();

    QList<WrittenFrame> after = framesOf(readFile(path));
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.takeLast().id, "TPE1");
    EXPECT_EQ(after, before);
    EXPECT_TRUE(readFile(path).endsWith(audio));
}

TEST(cMP3ID3v2Write, VersionTwoAndFourTagsBecomeVersionThree)
{
    const QString v2 = writeFile("v2.mp3", tag(2, frameV22("TT2", latin1Text("Two"))
        + frameV22("PIC", QByteArray("\0JPG\x03\0\xFF\xD8", 8)) + frameV22("COM", QByteArray("\0engd\0Note", 10)))
        + mpegFrames(4));
    const QString v4 = writeFile("v4.mp3", tag(4, frame("TIT2", "\x03" + QString::fromUtf8("Вier").toUtf8(), 4)
        + frame("TDRC", latin1Text("2024-05-01"), 4) + frame("TPE1", latin1Text(QString(200, 'a')), 4), 10)
        + mpegFrames(4));
    for (const QString &path : {v2, v4}) {
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setAlbum("Album");
        tag.Update();
        const QByteArray bytes = readFile(path);
        EXPECT_EQ(bytes.at(3), 3);
        cMP3ID3v2 again;
        again.setMP3File(path);
        EXPECT_EQ(again.Album(), "Album");
        EXPECT_TRUE(probesAsMp3(path));
    }
    EXPECT_EQ(frameNamed(readFile(v2), "APIC").data, QByteArray("\0image/jpeg\0\x03\0\xFF\xD8", 16));
    EXPECT_EQ(frameNamed(readFile(v2), "COMM").data, QByteArray("\0engd\0Note", 10));
    cMP3ID3v2 four;
    four.setMP3File(v4);
    EXPECT_EQ(four.Title(), QString::fromUtf8("Вier"));
    EXPECT_EQ(four.Year(), "2024");
    EXPECT_EQ(four.Artist(), QString(200, 'a'));
    EXPECT_EQ(frameNamed(readFile(v4), "TIT2").data.at(0), 1) << "UTF-8 is not a version 3 encoding";
}

TEST(cMP3ID3v2Write, FilesThatCannotTakeATagAreLeftAsTheyWere)
{
    cMP3ID3v2 tag;
    const QString missing = TestEnv::workFolder() + "/missing.mp3";
    tag.setMP3File(writeFile("any.mp3", mpegFrames(1)));
    QFile::remove(tag.MP3File());
    EXPECT_EQ(errorNumberOf([&] { tag.Update(); }), TagError::FileNotFound);
    EXPECT_FALSE(QFile::exists(tag.MP3File())) << "no empty file is made";

    const QString empty = writeFile("empty.mp3", {});
    tag.setMP3File(empty);
    tag.setTitle("T");
    EXPECT_EQ(errorNumberOf([&] { tag.Update(); }), TagError::SubscriptOutOfRange);
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST(cMP3ID3v2Write, FailedWriteLeavesTheOriginalAndNoWorkingFile)
{
    const QByteArray bytes = mpegFrames(40);
    const QString path = writeFile("full.mp3", bytes);
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle("Too much for the disk");

    // A file-size limit below the new file's size makes the write fail
    // half-way, as a full disk would.
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = rlim_t(bytes.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const qint32 number = errorNumberOf([&] { tag.Update(); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(number, 0);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files), QStringList({"full.mp3"}));
}

TEST(cMP3ID3v2Write, FilePermissionsAreKept)
{
    const QString path = writeFile("perm.mp3", mpegFrames(2));
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(path, permissions);
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle("T");
    tag.Update();
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077);
    EXPECT_EQ(QFile::permissions(path) & ownerGroupOther, permissions);
}

TEST(cMP3ID3v2Write, AnotherToolReadsTheWrittenTag)
{
    const QString path = writeFile("probe.mp3", mpegFrames(40));
    const QString title = QString::fromUtf8("Tïtle Жук");
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle(title);
    tag.setArtist("Artist");
    tag.setAlbum("Album");
    tag.setYear("1999");
    tag.setTrack("3/12");
    tag.setGenre(17);
    tag.setComment("A comment");
    tag.setComposer("Composer");
    tag.setCopyright("Copyright");
    tag.setEncodedBy("Encoder");
    tag.Update();

    ASSERT_TRUE(probesAsMp3(path));
    const auto tags = probeTags(path);
    EXPECT_EQ(tags.value("title"), title);
    EXPECT_EQ(tags.value("artist"), "Artist");
    EXPECT_EQ(tags.value("album"), "Album");
    EXPECT_EQ(tags.value("date"), "1999");
    EXPECT_EQ(tags.value("track"), "3/12");
    EXPECT_EQ(tags.value("genre"), "Rock");
    EXPECT_EQ(tags.value("comment"), "A comment");
    EXPECT_EQ(tags.value("composer"), "Composer");
    EXPECT_EQ(tags.value("copyright"), "Copyright");
    EXPECT_EQ(tags.value("encoded_by"), "Encoder");
}

TEST(cMP3ID3v2Write, LinkedFileIsWrittenThroughItsLink)
{
    const QByteArray audio = mpegFrames(3);
    const QString target = writeFile("target.mp3", audio);
    const QString link = TestEnv::workFolder() + "/link.mp3";
    ASSERT_TRUE(QFile::link(target, link));
    cMP3ID3v2 tag;
    tag.setMP3File(link);
    tag.setTitle("Through the link");
    tag.Update();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    cMP3ID3v2 again;
    again.setMP3File(target);
    EXPECT_EQ(again.Title(), "Through the link");
    EXPECT_TRUE(readFile(target).endsWith(audio));
}

TEST(cMP3ID3v2Write, EncodedFileKeepsItsAudioByteForByte)
{
    // A real encoder's file with its own tag (version 4) and its info frame.
    const QString path = TestEnv::workFolder() + "/encoded.mp3";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=2", "-c:a", "libmp3lame", "-b:a", "96k",
                        "-metadata", "title=Before", "-metadata", "artist=Encoder", path}));
    cMP3ID3v2 before;
    before.setMP3File(path);
    ASSERT_EQ(before.Title(), "Before");
    const QByteArray original = readFile(path);
    const QByteArray audio = original.mid(regionOf(original));

    cMP3ID3v2 tag;
    tag.setMP3File(path);
    tag.setTitle(QString(3000, QLatin1Char('L')));  // larger than the old tag
    tag.Update();

    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.mid(regionOf(bytes)), audio);
    const auto tags = probeTags(path);
    EXPECT_EQ(tags.value("title"), QString(3000, QLatin1Char('L')));
    EXPECT_EQ(tags.value("artist"), "Encoder");
}

TEST(cMP3ID3v2Write, VersionTwoTwoFramesKeepTheirDataUnderTheirVersionThreeIds)
{
    // RVA: increments, 16 bits, right and left changes, right and left peaks.
    const QByteArray volume("\x03\x10\x01\x00\x00\x80\x7F\xFF\x7F\xFF", 10);
    const struct {
        const char *v22;
        const char *v23;  // the id version 2.3 has for it
        QByteArray data;
    } frames[] = {
        {"TT2", "TIT2", latin1Text("Old title")},
        {"TP1", "TPE1", QByteArray("\x01\xFF\xFE" "A\0r\0t\0", 9)},
        {"TCP", "TCMP", latin1Text("1")},
        {"TST", "TSOT", latin1Text("Title, The")},
        {"TSA", "TSOA", latin1Text("Album, The")},
        {"TSP", "TSOP", latin1Text("Artist, The")},
        {"TS2", "TSO2", latin1Text("Band, The")},
        {"TSC", "TSOC", latin1Text("Composer, The")},
        {"RVA", "RVAD", volume},
    };
    QByteArray body;
    for (const auto &f : frames)
        body += frameV22(f.v22, f.data);
    const QByteArray audio = mpegFrames(6) + "TAG" + QByteArray(125, 'v');
    const QString path = writeFile("v22.mp3", tag(2, body, 40) + audio);
    // mutagen gives the frames of a version 2.2 tag their later ids itself.
    const QJsonObject before = Mutagen::frames(path, false).toObject();
    QStringList ids;
    for (const auto &f : frames)
        ids << QLatin1String(f.v23);
    ids.sort();
    ASSERT_EQ(before.keys(), ids) << "mutagen reads every frame of the fixture";

    cMP3ID3v2 tag;
    tag.setMP3File(path);
    EXPECT_TRUE(tag.FramesLeftOut().isEmpty());
    tag.setTitle("New title");
    tag.Update();

    QJsonObject expected = before;
    expected["TIT2"] = QJsonObject{{"text", QJsonArray{"New title"}}};
    EXPECT_EQ(Mutagen::frames(path, false).toObject(), expected);
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.at(3), 3);
    EXPECT_EQ(bytes.mid(regionOf(bytes)), audio) << "the audio and the trailer are unchanged";
}

TEST(cMP3ID3v2Write, VersionTwoTwoFramesWithoutAVersionThreeFormAreNamedWhenLeftOut)
{
    const QByteArray body = frameV22("TT2", latin1Text("Old")) + frameV22("CRM", QByteArray("owner\0why\0\x01\x02", 12))
        + frameV22("XYZ", latin1Text("experimental")) + frameV22("CRM", QByteArray("other\0\0\x03", 8))
        + frameV22("LNK", QByteArray("XYZhttp://l/\0", 13)) + frameV22("TP1", latin1Text("Artist"));
    const QString path = writeFile("leftout.mp3", tag(2, body) + mpegFrames(3));
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    EXPECT_EQ(tag.FramesLeftOut(), QStringList({"CRM", "XYZ", "LNK"}));
    EXPECT_EQ(tag.FrameCount(), 2);

    static QStringList logged;
    logged.clear();
    const QtMessageHandler before = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context,
                                                              const QString &text) {
        if (type == QtWarningMsg && context.category && QByteArray(context.category).startsWith("sonvale.tags"))
            logged << text;
    });
    tag.setTitle("New");
    tag.Update();
    tag.Update();
    qInstallMessageHandler(before);

    ASSERT_EQ(logged.size(), 1) << "said once, when the frames leave the file";
    for (const char *part : {"CRM, XYZ, LNK", "leftout.mp3"})
        EXPECT_TRUE(logged.first().contains(part)) << logged.first().toStdString();
    EXPECT_TRUE(tag.FramesLeftOut().isEmpty());
    const QJsonObject seen = Mutagen::frames(path, false).toObject();
    EXPECT_EQ(seen.keys(), QStringList({"TIT2", "TPE1"}));
}

TEST(cMP3ID3v2Write, LinkReplacesOnlyTheUrlWithoutADescription)
{
    const struct {
        const char *what;
        const char *frames;  // mutagen's WXXX frames of the fixture
        const char *shown;   // LinkTo as read
    } cases[] = {
        {"described and plain", R"([WXXX(encoding=0, desc="userUrl", url="http://user/"),
                                   WXXX(encoding=0, desc="", url="http://old/")])", "http://old/"},
        {"plain and described", R"([WXXX(encoding=1, desc="", url="http://old/"),
                                   WXXX(encoding=1, desc="userUrl", url="http://user/")])", "http://old/"},
        {"described only", R"([WXXX(encoding=0, desc="userUrl", url="http://user/")])", "http://user/"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeFile("links.mp3", mpegFrames(3));
        Mutagen::run(QStringLiteral(R"(
import sys
from mutagen.id3 import ID3, TIT2, WXXX
tags = ID3()
tags.add(TIT2(encoding=0, text=["T"]))
for frame in %1:
    tags.add(frame)
tags.save(sys.argv[1], v2_version=3)
print("null")
)").arg(QString::fromLatin1(c.frames)),
                     {path});
        const QJsonObject before = Mutagen::frames(path, false).toObject();
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        EXPECT_EQ(tag.LinkTo(), c.shown);
        tag.setLinkTo("http://new/");
        tag.Update();

        QJsonObject expected = before;
        expected["WXXX:"] = QJsonObject{{"desc", ""}, {"url", "http://new/"}};
        EXPECT_EQ(Mutagen::frames(path, false).toObject(), expected);
        cMP3ID3v2 again;
        again.setMP3File(path);
        EXPECT_EQ(again.LinkTo(), "http://new/");
    }
}

TEST(cMP3ID3v2Write, BareGenreNumberOfVersionFourIsWrittenAsAReference)
{
    const struct {
        QStringList stored;  // TCON's values as version 4 holds them
        int genre;
        QString name;
        QString written;     // TCON's text in the version 3 tag
        QStringList genres;  // mutagen's reading
    } cases[] = {
        {{"13"}, 13, "Pop", "(13)", {"Pop"}},
        {{"17", "My mix"}, 17, "My mix", "(17)My mix", {"Rock", "My mix"}},
        {{"Jazz"}, 255, "Jazz", "Jazz", {"Jazz"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        const QByteArray audio = mpegFrames(4);
        const QString path = writeFile("genre.mp3", audio);
        Mutagen::run(QStringLiteral(R"(
import json, sys
from mutagen.id3 import ID3, TCON, TIT2
tags = ID3()
tags.add(TIT2(encoding=3, text=["Old"]))
tags.add(TCON(encoding=3, text=json.loads(sys.argv[2])))
tags.save(sys.argv[1], v2_version=4)
print("null")
)"),
                     {path, QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(c.stored)).toJson())});
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        EXPECT_EQ(tag.Genre(), c.genre);
        EXPECT_EQ(tag.OtherGenreName(), c.name);
        tag.setTitle("New");
        tag.Update();

        const QJsonValue seen = Mutagen::run(QStringLiteral(R"(
import json, sys
from mutagen.id3 import ID3
tags = ID3(sys.argv[1], translate=False)
print(json.dumps({"version": tags.version[1], "text": tags["TCON"].text, "genres": tags["TCON"].genres}))
)"),
                                             {path});
        EXPECT_EQ(seen["version"].toInt(), 3);
        EXPECT_EQ(seen["text"].toArray(), QJsonArray{c.written});
        EXPECT_EQ(seen["genres"].toArray(), QJsonArray::fromStringList(c.genres));
        EXPECT_TRUE(readFile(path).endsWith(audio));
    }
}
