#include "commands_fixture.h"

#include "support/UnprivilegedUser.h"

#include "lists/frmNotes.h"

#include <QPlainTextEdit>

namespace {

class Notes : public ListWindowTest {
protected:
    // Opens the window as the "Notes" command does.
    static frmNotes &open() { return showNotes(); }

    static void closeNotes()
    {
        ASSERT_NE(g_frmNotes, nullptr);
        g_frmNotes->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(g_frmNotes, nullptr);
    }
};

TEST_F(Notes, FirstOpeningCreatesAnEmptyFile)
{
    ASSERT_FALSE(QFileInfo::exists(frmNotes::notesFilePath()));
    frmNotes &notes = open();
    EXPECT_TRUE(QFileInfo(frmNotes::notesFilePath()).isFile());
    EXPECT_EQ(QFileInfo(frmNotes::notesFilePath()).size(), 0);
    EXPECT_TRUE(notes.Text1->toPlainText().isEmpty());
    closeNotes();
    EXPECT_EQ(ListFixtures::readBytes(frmNotes::notesFilePath()), QByteArray("\r\n"));
}

TEST_F(Notes, ANoteComesBackExactlyAsWritten)
{
    const struct {
        QString box;
        QByteArray file;
    } cases[] = {
        {QString(), "\r\n"},
        {QStringLiteral("Buy strings"), "Buy strings\r\n"},
        {QStringLiteral("two\nlines"), "two\r\nlines\r\n"},
        {QStringLiteral("ends with a break\n"), "ends with a break\r\n\r\n"},
        {QStringLiteral("Ünïcode ♪"), QStringLiteral("Ünïcode ♪\r\n").toUtf8()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box.toStdString());
        open().Text1->setPlainText(c.box);
        closeNotes();
        EXPECT_EQ(ListFixtures::readBytes(frmNotes::notesFilePath()), c.file);
        // A new run of the window reads it back.
        EXPECT_EQ(open().Text1->toPlainText(), c.box);
        closeNotes();
    }
}

TEST_F(Notes, ANoteOfAnotherEditorIsNeverSpoiledByOpeningIt)
{
    // Written in the Windows code page: its letters survive opening and
    // closing the window, and come back in UTF-8.
    ListFixtures::writeBytes(frmNotes::notesFilePath(), "Caf\xe9 \x80 5, it\x92s cr\xe8me\r\n");
    const QString note = QStringLiteral("Caf\u00e9 \u20ac 5, it\u2019s cr\u00e8me");
    EXPECT_EQ(open().Text1->toPlainText(), note);
    closeNotes();
    EXPECT_EQ(ListFixtures::readBytes(frmNotes::notesFilePath()), (note + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(open().Text1->toPlainText(), note);
    closeNotes();
}

TEST_F(Notes, ANoteThatCannotBeReadIsLeftAsItIs)
{
    const QByteArray kept("kept note\r\n");
    ListFixtures::writeBytes(frmNotes::notesFilePath(), kept);
    QFile::setPermissions(frmNotes::notesFilePath(), QFileDevice::WriteOwner);
    {
        const UnprivilegedUser user;
        ASSERT_FALSE(QFile(frmNotes::notesFilePath()).open(QIODevice::ReadOnly));
        EXPECT_TRUE(open().Text1->toPlainText().isEmpty());
        closeNotes();
    }
    QFile::setPermissions(frmNotes::notesFilePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ListFixtures::readBytes(frmNotes::notesFilePath()), kept);
}

TEST_F(Notes, ClosingRefreshesTheStatusPanelDigest)
{
    frmMain &main = load();
    const QString thirtySix = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    ASSERT_EQ(thirtySix.size(), 36);
    const struct {
        QString note;
        QString panel;
    } cases[] = {
        {QString(), QStringLiteral("Notes [ Empty ]")},
        {QStringLiteral("short"), QStringLiteral("Notes [ short ]")},
        {QStringLiteral("one\ntwo"), QStringLiteral("Notes [ one two ]")},
        {thirtySix, QStringLiteral("Notes [ ") + thirtySix + QStringLiteral(" ]")},
        {thirtySix + QStringLiteral("!"), QStringLiteral("Notes [ ") + thirtySix.left(35) + QStringLiteral("... ]")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.note.toStdString());
        open().Text1->setPlainText(c.note);
        closeNotes();
        EXPECT_EQ(main.PanelText(QStringLiteral("Notes")), c.panel);
    }
}

TEST_F(Notes, TheWindowIsModelessAndOpensOnce)
{
    frmNotes &first = open();
    EXPECT_FALSE(first.isModal());
    EXPECT_TRUE(first.isVisible());
    EXPECT_EQ(&open(), &first);
    closeNotes();
}

} // namespace
