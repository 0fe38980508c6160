#include "TagFixtures.h"

#include "tags/TagError.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace TagFixture;

namespace {

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

// A tag object on an untagged file: an empty store.
struct cMP3ID3v2StoreTest : ::testing::Test {
    void SetUp() override { tag.setMP3File(writeFile("store.mp3", mpegFrames(1))); }
    QStringList ids() const
    {
        QStringList list;
        for (qint32 i = 1; i <= tag.FrameCount(); ++i)
            list << tag.Frame(i);
        return list;
    }
    cMP3ID3v2 tag;
};

} // namespace

TEST(cMP3ID3v2Store, BeforeTheFirstFileTheStoreIsMissing)
{
    cMP3ID3v2 tag;
    EXPECT_EQ(errorNumberOf([&] { tag.FrameCount(); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.Frame(1); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.AddTag("TIT2", "x"); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.RemoveFrame("TIT2"); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.RemoveTag("TIT2", 1); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.Update(); }), TagError::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tag.setTitle("Kept"); }), TagError::ObjectNotSet);
    EXPECT_EQ(tag.Title(), "Kept") << "the value is stored before the frame fails";
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 0);
    EXPECT_EQ(tag.Artist(), "");
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_FALSE(tag.HasID3v2Tag());
}

TEST_F(cMP3ID3v2StoreTest, NamedSetsLeaveOneTagAtTheEnd)
{
    tag.setTitle("");
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 1);
    tag.setArtist("A");
    tag.setTitle("Again");
    EXPECT_EQ(ids(), QStringList({"TPE1", "TIT2"}));
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 1);
    EXPECT_EQ(tag.Title(), "Again");
}

TEST_F(cMP3ID3v2StoreTest, AddAndRemoveTagsKeepTheNumbering)
{
    tag.setComment("one");
    tag.AddTag("COMM", "x");
    tag.AddTag("tit2", "t");
    tag.AddTag("TIT2", "u");
    EXPECT_EQ(tag.TagsInFrame("COMM"), 2);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 2) << "ids differing only in case are one id";
    EXPECT_EQ(ids(), QStringList({"COMM", "tit2"}));

    tag.RemoveTag("COMM", 1);
    EXPECT_EQ(tag.TagsInFrame("COMM"), 1);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 2);
    tag.RemoveTag("COMM", 1);
    EXPECT_EQ(ids(), QStringList({"tit2"}));

    tag.RemoveFrame("TIT2");
    EXPECT_EQ(tag.FrameCount(), 0);
}

TEST_F(cMP3ID3v2StoreTest, MissingFramesAndTagsRaiseErrors)
{
    tag.setTitle("T");
    const struct {
        const char *what;
        std::function<void()> call;
        qint32 number;
    } cases[] = {
        {"remove a missing frame", [&] { tag.RemoveFrame("TPE1"); }, TagError::InvalidCall},
        {"remove tag 0", [&] { tag.RemoveTag("TIT2", 0); }, TagError::InvalidCall},
        {"remove tag 2 of 1", [&] { tag.RemoveTag("TIT2", 2); }, TagError::InvalidCall},
        {"remove a tag of a missing frame", [&] { tag.RemoveTag("TPE1", 1); }, TagError::InvalidCall},
        {"frame 0", [&] { tag.Frame(0); }, TagError::SubscriptOutOfRange},
        {"frame after the last", [&] { tag.Frame(2); }, TagError::SubscriptOutOfRange},
    };
    for (const auto &c : cases)
        EXPECT_EQ(errorNumberOf(c.call), c.number) << c.what;
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 1);
}

TEST_F(cMP3ID3v2StoreTest, EveryNamedPropertyRoundTripsThroughTheFile)
{
    const QString unicode = QString::fromUtf8("Ünïcode Жук €");
    tag.setArtistURL("http://artist.example/");
    tag.setBuyURL("http://buy.example/");
    tag.setAudioURL("http://audio.example/");
    tag.setCopyright("(c) 2026");
    tag.setComposer(unicode);
    tag.setOriginalArtist("Original");
    tag.setLinkTo("http://link.example/");
    tag.setPlayCounter("4242");
    tag.setEncodedBy("Encoder");
    tag.setTitle(unicode);
    tag.setArtist("Artist");
    tag.setAlbum(QString::fromUtf8("Albüm"));
    tag.setYear("2026");
    tag.setComment(QString::fromUtf8("nt is kept, Жук too"));
    tag.setLyrics("Line one\r\nLine two");
    tag.setGenre(17);
    tag.setOtherGenreName("My mix");
    tag.setTrack("7/10");
    tag.Update();

    cMP3ID3v2 again;
    again.setMP3File(tag.MP3File());
    EXPECT_EQ(again.ArtistURL(), "http://artist.example/");
    EXPECT_EQ(again.BuyURL(), "http://buy.example/");
    EXPECT_EQ(again.AudioURL(), "http://audio.example/");
    EXPECT_EQ(again.Copyright(), "(c) 2026");
    EXPECT_EQ(again.Composer(), unicode);
    EXPECT_EQ(again.OriginalArtist(), "Original");
    EXPECT_EQ(again.LinkTo(), "http://link.example/");
    EXPECT_EQ(again.PlayCounter(), "4242");
    EXPECT_EQ(again.EncodedBy(), "Encoder");
    EXPECT_EQ(again.Title(), unicode);
    EXPECT_EQ(again.Artist(), "Artist");
    EXPECT_EQ(again.Album(), QString::fromUtf8("Albüm"));
    EXPECT_EQ(again.Year(), "2026");
    EXPECT_EQ(again.Comment(), QString::fromUtf8("nt is kept, Жук too"));
    EXPECT_EQ(again.Lyrics(), "Line one\r\nLine two");
    EXPECT_EQ(again.Genre(), 17);
    EXPECT_EQ(again.OtherGenreName(), "My mix");
    EXPECT_EQ(again.Track(), "7/10");
    EXPECT_EQ(again.ID3v2TagVersion(), 3);
}

TEST_F(cMP3ID3v2StoreTest, GenreAndItsNameShareOneFrame)
{
    const struct {
        int genre;          // -1: not set
        const char *name;   // nullptr: not set
        int readGenre;
        const char *readName;
    } cases[] = {
        {17, nullptr, 17, "Rock"},        // "(17)": the table's name
        {17, "My mix", 17, "My mix"},     // "(17)My mix"
        {-1, "Just a name", 255, "Just a name"},
        {255, "Other", 255, "Other"},     // no code: the name alone
        {0, "", 0, "Blues"},
    };
    for (const auto &c : cases) {
        cMP3ID3v2 t;
        t.setMP3File(writeFile("genre.mp3", mpegFrames(1)));
        if (c.genre >= 0)
            t.setGenre(quint8(c.genre));
        if (c.name)
            t.setOtherGenreName(c.name);
        EXPECT_EQ(t.TagsInFrame("TCON"), 1);
        t.Update();
        cMP3ID3v2 again;
        again.setMP3File(t.MP3File());
        EXPECT_EQ(again.Genre(), c.readGenre) << c.genre;
        EXPECT_EQ(again.OtherGenreName(), c.readName) << c.genre;
    }
}

TEST_F(cMP3ID3v2StoreTest, GenreNamesComeFromTheSharedTable)
{
    EXPECT_EQ(tag.GenreName(0), "Blues");
    EXPECT_EQ(tag.GenreName(147), "Synth Pop");
    EXPECT_EQ(tag.GenreName(123), "");
    EXPECT_EQ(tag.GenreName(200), "");
}
