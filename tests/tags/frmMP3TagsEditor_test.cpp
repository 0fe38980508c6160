#include "TagFixtures.h"

#include "core/mdlModes.h"
#include "support/Mutagen.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/frmMP3TagsEditor.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

using namespace TagFixture;

namespace {

QByteArray v1Trailer(const QByteArray &title, quint8 track, quint8 genre)
{
    QByteArray bytes = "TAG" + title.leftJustified(30, '\0') + QByteArray(30 + 30 + 4 + 28, '\0');
    return bytes + '\0' + char(track) + char(genre);
}

// The bytes between the ID3v2 tag that starts the file and the ID3v1 trailer that may end it.
QByteArray audioOf(const QByteArray &bytes)
{
    qint64 from = 0;
    if (bytes.startsWith("ID3")) {
        for (int i = 6; i < 10; ++i)
            from = (from << 7) | (quint8(bytes.at(i)) & 0x7F);
        from += 10 + (bytes.at(3) == 4 && (bytes.at(5) & 0x10) ? 10 : 0);
    }
    const qint64 to = bytes.size() >= 128 && bytes.mid(bytes.size() - 128, 3) == "TAG" ? bytes.size() - 128 : bytes.size();
    return bytes.mid(from, to - from);
}

QStringList tabCaptions(const frmMP3TagsEditor &editor)
{
    QStringList captions;
    for (int i = 0; i < editor.cTabControl1->count(); ++i)
        captions << editor.cTabControl1->tabText(i);
    return captions;
}

struct frmMP3TagsEditorTest : ::testing::Test {
    void TearDown() override
    {
        if (g_frmMP3TagsEditor())
            delete g_frmMP3TagsEditor();
    }
    frmMP3TagsEditor &openWith(const QString &path)
    {
        frmMP3TagsEditor &editor = showMP3TagsEditor();
        testServices().prompter->openAnswers << QStringList{path};
        editor.cmdSelectFile_Click();
        return editor;
    }
    QString lastMessage() const { return testServices().prompter->messages.value(testServices().prompter->messages.size() - 1).text; }
};

} // namespace

TEST_F(frmMP3TagsEditorTest, OpensEmptyOnTheGeneralPageForBothVersions)
{
    frmMP3TagsEditor &editor = showMP3TagsEditor();
    EXPECT_EQ(&showMP3TagsEditor(), &editor) << "the command shows the same window again";
    EXPECT_FALSE(editor.isModal());
    EXPECT_EQ(editor.cboID3->currentText(), "ID3 v1+v2");
    EXPECT_EQ(tabCaptions(editor), QStringList({"General", "Advanced", "Lyrics"}));
    EXPECT_TRUE(editor.froGeneral->isVisible());
    EXPECT_FALSE(editor.froAdvanced->isVisible());
    EXPECT_FALSE(editor.cmdApply->isEnabled());
    EXPECT_TRUE(editor.txtTitle->text().isEmpty());
    ASSERT_EQ(editor.cboGenre->count(), 148);
    EXPECT_EQ(editor.cboGenre->itemData(0).toInt(), 255);
    EXPECT_EQ(editor.cboGenre->itemText(147), "Synth Pop");
    EXPECT_EQ(editor.cboGenre->itemData(123).toInt(), 122);
    EXPECT_EQ(editor.cboGenre->itemData(124).toInt(), 124) << "code 123 has no entry";

    editor.cboID3->setCurrentIndex(0);
    EXPECT_EQ(tabCaptions(editor), QStringList({"General"}));
    editor.cboID3->setCurrentIndex(1);
    EXPECT_EQ(tabCaptions(editor), QStringList({"General", "Advanced", "Lyrics"}));

    editor.cmdClose_Click();
    EXPECT_EQ(g_frmMP3TagsEditor(), nullptr) << "closing unloads the window";
}

TEST_F(frmMP3TagsEditorTest, VersionTwoValuesWinWhereTheyAreNotEmpty)
{
    const QByteArray v2 = tag(3, frame("TIT2", latin1Text("New")) + frame("TRCK", latin1Text("4")));
    const QString both = writeFile("both.mp3", v2 + mpegFrames(2) + v1Trailer("Old", 1, 17));
    frmMP3TagsEditor &editor = openWith(both);
    EXPECT_TRUE(editor.cmdApply->isEnabled());
    EXPECT_EQ(editor.sSourceFile->toPlainText(), both);
    EXPECT_EQ(editor.txtTitle->text(), "New");
    EXPECT_EQ(editor.txtTrackNum->text(), "4");
    EXPECT_EQ(editor.cboGenre->currentText(), "Rock");

    const struct {
        int version;
        const char *title;
        const char *track;
    } cases[] = {{0, "Old", ""}, {1, "New", "4"}, {2, "New", "4"}};
    for (const auto &c : cases) {
        editor.cboID3->setCurrentIndex(c.version);
        EXPECT_EQ(editor.txtTitle->text(), c.title) << c.version;
        EXPECT_EQ(editor.txtTrackNum->text(), c.track) << c.version;
    }

    const QString onlyV1Title = writeFile("v1title.mp3", tag(3, frame("TPE1", latin1Text("A"))) + mpegFrames(2)
        + v1Trailer("Old", 1, 255));
    testServices().prompter->openAnswers << QStringList{onlyV1Title};
    editor.cmdSelectFile_Click();
    EXPECT_EQ(editor.txtTitle->text(), "Old");
    EXPECT_EQ(editor.cboGenre->currentIndex(), 0);
    EXPECT_EQ(editor.cboGenre->currentText(), "");
}

TEST_F(frmMP3TagsEditorTest, CancelledChoiceChangesNothing)
{
    frmMP3TagsEditor &editor = showMP3TagsEditor();
    editor.cmdSelectFile_Click();
    EXPECT_TRUE(editor.sSourceFile->toPlainText().isEmpty());
    EXPECT_FALSE(editor.cmdApply->isEnabled());
    ASSERT_EQ(testServices().prompter->openRequests.size(), 1);
    EXPECT_EQ(testServices().prompter->openRequests.first().title, "Open MP3 audio file");
}

TEST_F(frmMP3TagsEditorTest, ApplyWritesBothTagsAndSaysDone)
{
    const QByteArray audio = mpegFrames(6);
    const QString path = writeFile("apply.mp3", audio);
    frmMP3TagsEditor &editor = openWith(path);
    editor.txtTitle->setText("Title");
    editor.txtArtist->setText("Artist");
    editor.txtTrackNum->setText("9");
    editor.txtLyric->setPlainText("Words");
    editor.txtURL->setText("http://x/");
    editor.cboGenre->setCurrentText("Rock");
    editor.cmdApply_Click();
    EXPECT_EQ(lastMessage(), "Done.");
    EXPECT_EQ(testServices().prompter->messages.last().title, g_sAppName + " " + g_sAppVersion);

    cMP3ID3v1 v1;
    v1.setMP3File(path);
    EXPECT_EQ(v1.Title(), "Title");
    EXPECT_EQ(v1.Genre(), 17) << "the named entry, not the first one containing the text";
    cMP3ID3v2 v2;
    v2.setMP3File(path);
    EXPECT_EQ(v2.Title(), "Title");
    EXPECT_EQ(v2.Artist(), "Artist");
    EXPECT_EQ(v2.Track(), "9");
    EXPECT_EQ(v2.Lyrics(), "Words");
    EXPECT_EQ(v2.LinkTo(), "http://x/");
    EXPECT_EQ(v2.Genre(), 17);
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.mid(bytes.size() - 128 - audio.size(), audio.size()), audio);
}

TEST_F(frmMP3TagsEditorTest, GenreOfTheUsersOwnIsKeptInVersionTwo)
{
    const QString path = writeFile("own.mp3", mpegFrames(3));
    frmMP3TagsEditor &editor = openWith(path);
    editor.cboGenre->setCurrentText("My mix");
    editor.cmdApply_Click();
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    EXPECT_EQ(v1.Genre(), 255);
    cMP3ID3v2 v2;
    v2.setMP3File(path);
    EXPECT_EQ(v2.Genre(), 255);
    EXPECT_EQ(v2.OtherGenreName(), "My mix");

    testServices().prompter->openAnswers << QStringList{path};
    editor.cmdSelectFile_Click();
    EXPECT_EQ(editor.cboGenre->currentText(), "My mix");
}

TEST_F(frmMP3TagsEditorTest, VersionOneApplyKeepsTheTrackByte)
{
    const QString path = writeFile("track.mp3", mpegFrames(2) + v1Trailer("T", 7, 3));
    frmMP3TagsEditor &editor = openWith(path);
    editor.cboID3->setCurrentIndex(0);
    editor.txtTrackNum->setText("12");
    editor.txtTitle->setText("Changed");
    editor.cmdApply_Click();
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    EXPECT_EQ(v1.Title(), "Changed");
    EXPECT_EQ(v1.Track(), 7);
    EXPECT_FALSE(readFile(path).startsWith("ID3")) << "no version 2 tag is written";
}

TEST_F(frmMP3TagsEditorTest, ApplyFailureShowsDescriptionAndNumber)
{
    const QString path = writeFile("empty.mp3", {});
    frmMP3TagsEditor &editor = openWith(path);
    editor.cboID3->setCurrentIndex(0);
    editor.cmdApply_Click();
    EXPECT_EQ(lastMessage(), path + " is not a valid MP3 file.(-2147217407)");
    EXPECT_EQ(testServices().prompter->messages.last().icon(), Msg::Information);
    EXPECT_TRUE(g_frmMP3TagsEditor()) << "the window stays open";
}

TEST_F(frmMP3TagsEditorTest, ApplyWritesOnlyWhatChangedAndKeepsEveryOtherFrame)
{
    for (const char *version : {"3", "4"}) {
        SCOPED_TRACE(std::string("mutagen's version ") + version);
        const QByteArray audio = mpegFrames(8);
        const QString path = writeFile("others.mp3", audio);
        // Frames no field shows: player data in a second comment, a picture,
        // private data, a user text; lyrics with a language of their own.
        Mutagen::run(QStringLiteral(R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, COMM, APIC, PRIV, TXXX, USLT
tags = ID3()
tags.add(TIT2(encoding=3, text=["Old title"]))
tags.add(TPE1(encoding=1, text=["Artist"]))
tags.add(COMM(encoding=3, lang="eng", desc="", text=["A comment"]))
tags.add(COMM(encoding=0, lang="eng", desc="iTunNORM", text=[" 0000031C 00000311 00001F9E"]))
tags.add(APIC(encoding=0, mime="image/png", type=3, desc="Cover", data=bytes(range(256)) * 4))
tags.add(PRIV(owner="WM/MediaClassPrimaryID", data=b"\x00\xff\x10\x20"))
tags.add(TXXX(encoding=3, desc="Key", text=["Value"]))
tags.add(USLT(encoding=3, lang="deu", desc="", text="Worte"))
tags.save(sys.argv[1], v2_version=int(sys.argv[2]))
print("null")
)"),
                     {path, version});
        const QJsonObject before = Mutagen::frames(path).toObject();
        ASSERT_EQ(before.size(), 8);

        frmMP3TagsEditor &editor = openWith(path);
        EXPECT_EQ(editor.txtDescription->toPlainText(), "A comment") << "player data is no comment";
        EXPECT_EQ(editor.txtLyric->toPlainText(), "Worte");
        editor.cmdApply_Click();
        EXPECT_EQ(lastMessage(), "Done.");
        EXPECT_EQ(Mutagen::frames(path).toObject(), before) << "an apply without an edit changes no frame";
        EXPECT_EQ(audioOf(readFile(path)), audio);

        editor.txtTitle->setText("New title");
        editor.cmdApply_Click();
        QJsonObject expected = before;
        expected["TIT2"] = QJsonObject{{"text", QJsonArray{"New title"}}};
        EXPECT_EQ(Mutagen::frames(path).toObject(), expected);
        EXPECT_EQ(audioOf(readFile(path)), audio);

        editor.txtDescription->setPlainText("Another comment");
        editor.cmdApply_Click();
        expected["COMM::eng"] = QJsonObject{{"desc", ""}, {"lang", "eng"}, {"text", QJsonArray{"Another comment"}}};
        EXPECT_EQ(Mutagen::frames(path).toObject(), expected);
        delete g_frmMP3TagsEditor();
    }
}

namespace {

QByteArray trailer(const QByteArray &title, const QByteArray &artist, quint8 genre)
{
    return "TAG" + title.leftJustified(30, '\0') + artist.leftJustified(30, '\0') + QByteArray("Album").leftJustified(30, '\0')
        + "1999" + QByteArray("Note").leftJustified(28, '\0') + '\0' + char(4) + char(genre);
}

// What the ID3v1 trailer that ends the file holds; empty when there is none.
QStringList trailerFields(const QString &path)
{
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    if (!v1.HasID3v1Tag())
        return {};
    return {v1.Title(), v1.Artist(), v1.Album(), v1.Year(), v1.Comment(), QString::number(v1.Track()),
            QString::number(v1.Genre())};
}

QStringList fields(const char *title, const char *artist, int genre)
{
    return {title, artist, "Album", "1999", "Note", "4", QString::number(genre)};
}

} // namespace

TEST_F(frmMP3TagsEditorTest, ApplyLeavesWhatNoFieldChangedInTheVersionOneTrailer)
{
    const struct {
        const char *what;
        QByteArray v2;       // the ID3v2 tag
        QByteArray trailer;  // the ID3v1 trailer
        bool retitle;        // an apply of a new title, else one without an edit
    } cases[] = {
        {"version 4 genre held bare", tag(4, frame("TIT2", latin1Text("Song"), 4) + frame("TCON", latin1Text("13"), 4)),
         trailer("Song", "Artist", 13), false},
        {"genre code without a name", {}, trailer("Song", "Artist", 160), false},
        {"two artist frames", tag(3, frame("TPE1", latin1Text("First")) + frame("TPE1", latin1Text("Second"))),
         trailer("Song", "First", 13), true},
        {"artist of the version 2 tag alone", tag(3, frame("TPE1", latin1Text("A longer artist name"))),
         trailer("Song", "Artist", 13), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray audio = mpegFrames(4);
        const QString path = writeFile("keep.mp3", c.v2 + audio + c.trailer);
        frmMP3TagsEditor &editor = openWith(path);
        if (c.retitle)
            editor.txtTitle->setText("New title");
        editor.cmdApply_Click();
        EXPECT_EQ(lastMessage(), "Done.");

        QStringList expected = trailerFields(writeFile("before.mp3", c.trailer + c.trailer));
        ASSERT_EQ(expected.size(), 7);
        if (c.retitle)
            expected[0] = "New title";
        EXPECT_EQ(trailerFields(path), expected);
        EXPECT_EQ(audioOf(readFile(path)), audio);
        delete g_frmMP3TagsEditor();
    }
}

TEST_F(frmMP3TagsEditorTest, ApplyOverATagThatClaimsTooMuchKeepsTheTrailerAndEverythingBeforeIt)
{
    // Tags whose header claims 64 KiB, or just the ID3v1 trailer's last
    // bytes, in files far shorter; what follows the frames is no audio, or
    // some.
    const QByteArray frames = frame("TIT2", latin1Text("Old")) + frame("TPE1", latin1Text("Artist"));
    const QByteArray rest[] = {QByteArray(300, '\0'), QByteArray(300, 'x'), QByteArray(), mpegFrames(3)};
    for (const QByteArray &between : rest) {
        const qint64 intoTrailer = frames.size() + between.size() + 100;
        for (const quint32 size : {quint32(0x10000), quint32(intoTrailer)}) {
            SCOPED_TRACE(testing::Message() << between.size() << " bytes after the frames, tag size " << size);
            QByteArray sizeField = header(3, 0).left(6);
            for (int shift = 21; shift >= 0; shift -= 7)
                sizeField.append(char((size >> shift) & 0x7F));
            const QString path = writeFile("claims.mp3", sizeField + frames + between + trailer("Song", "Artist", 13));
            frmMP3TagsEditor &editor = openWith(path);
            editor.txtTitle->setText("New");
            editor.cmdApply_Click();
            EXPECT_EQ(lastMessage(), "Done.");

            EXPECT_EQ(trailerFields(path), fields("New", "Artist", 13)) << "the trailer is still there";
            EXPECT_TRUE(readFile(path).chopped(128).endsWith(between)) << "so is everything between the frames and it";
            cMP3ID3v2 v2;
            v2.setMP3File(path);
            EXPECT_EQ(v2.Title(), "New");
            EXPECT_EQ(v2.Artist(), "Artist");
            delete g_frmMP3TagsEditor();
        }
    }
}

TEST_F(frmMP3TagsEditorTest, ApplyNamesTheVersionTwoTwoFramesItCouldNotCarryOver)
{
    const QByteArray v22 = tag(2, frameV22("TT2", latin1Text("Old")) + frameV22("CRM", QByteArray("owner\0why\0\x01", 11)));
    const QString path = writeFile("v22.mp3", v22 + mpegFrames(3));
    frmMP3TagsEditor &editor = openWith(path);
    editor.txtTitle->setText("New");
    editor.cmdApply_Click();
    EXPECT_EQ(lastMessage(), "Done.\n\nThe ID3 v2.2 frames CRM have no ID3 v2.3 form and were not written.");

    editor.txtTitle->setText("Newer");
    editor.cmdApply_Click();
    EXPECT_EQ(lastMessage(), "Done.") << "the frames were already gone";
    cMP3ID3v2 v2;
    v2.setMP3File(path);
    EXPECT_EQ(v2.Title(), "Newer");
}
