#include "RipFixture.h"

#include "controls/cd/cFreeDB.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/forms.h"
#include "mainwindow/frmMain.h"
#include "support/LoopbackCddbServer.h"
#include "support/ScriptedServices.h"
#include "tools/rip/frmFreeDB.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace {

using CdFixture::Track;

const QVector<Track> &kDisc = CdFixture::kCddbDisc;
constexpr quint32 kDiscId = CdFixture::kCddbDiscId;
const QStringList kEntry = CdFixture::cddbEntry("Intro", "Guest Singer / AC/DC Cover");

// The main window with a CD drive node selected whose grid lists the disc's
// three tracks, the disc in drive D: and a database server on this computer.
class FreeDBWindow : public RipFixture {
protected:
    void SetUp() override
    {
        RipFixture::SetUp();
        useDrives({makeDisc("disc", kDisc)});
        main = &Forms::loadMain();
        node = main->cTreeView1->Nodes().Add(nullptr, cTreeNodes::Last, "##CDD:", "Audio CD (D:)");
        ASSERT_NE(node, nullptr);
        node->setSelected(true);
        cGrid &grid = *main->cGrid1;
        grid.Clear();
        for (int row = 1; row <= 3; ++row) {
            grid.SetCell(row, grid.ColumnIndex("Item Name"), QStringLiteral("Track0%1.cda").arg(row));
            grid.SetCell(row, grid.ColumnIndex("COL_TAG_ARTIST"), "default artist");
            grid.SetCell(row, grid.ColumnIndex("COL_TAG_COMMENT"), "kept");
        }
    }

    void useServer(const LoopbackCddbServer &server)
    {
        qputenv("SONVALE_CDDB_SERVER", QStringLiteral("127.0.0.1:%1").arg(server.port()).toUtf8());
    }

    // Starts the look-up and shows the window as the dispatcher does.
    frmFreeDB &start()
    {
        frmFreeDB &window = Forms::loadFreeDB();
        EXPECT_TRUE(window.GetFreeDB());
        window.show();
        return window;
    }

    QString cell(int row, const char *key) const
    {
        return main->cGrid1->CellText(row, main->cGrid1->ColumnIndex(key));
    }

    frmMain *main = nullptr;
    cTreeNode *node = nullptr;
};

} // namespace

TEST_F(FreeDBWindow, WritesTheDiscIntoTheGridAndNamesTheNode)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album \u03a9", kEntry);
    useServer(server);

    start();
    ASSERT_TRUE(waitUntil([] { return Forms::freeDB() == nullptr; }));

    EXPECT_EQ(cell(1, "Item Name"), "Intro.cda");
    EXPECT_EQ(cell(1, "COL_TAG_ARTIST"), "The Artist");
    EXPECT_EQ(cell(1, "COL_TAG_ALBUM"), "The Album \u03a9");
    EXPECT_EQ(cell(2, "Item Name"), "AC/DC Cover.cda");
    EXPECT_EQ(cell(2, "COL_TAG_ARTIST"), "Guest Singer");
    EXPECT_EQ(cell(3, "COL_TAG_ALBUM"), "The Album \u03a9");
    EXPECT_EQ(cell(3, "COL_TAG_COMMENT"), "kept");
    EXPECT_EQ(node->Text(), "The Artist - The Album \u03a9");
    EXPECT_EQ(main->lblListName->text(), "The Artist - The Album \u03a9");
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_TRUE(server.commands().filter("cddb hello").value(0).contains("clsCDDB localhost clsCDDB v0.5"))
        << server.commands().join('\n').toStdString();
}

TEST_F(FreeDBWindow, UnknownDiscIsReportedAndClosesTheWindow)
{
    LoopbackCddbServer server;
    useServer(server);

    frmFreeDB &window = start();
    QString status;
    QObject::connect(window.cFreeDB1, &cFreeDB::Error, [&] { status = window.lblCurrentTrack->text(); });
    ASSERT_TRUE(waitUntil([] { return Forms::freeDB() == nullptr; }));

    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    const MessageRequest &box = testServices().prompter->messages.first();
    EXPECT_TRUE(box.text.endsWith("(2)")) << box.text.toStdString();
    EXPECT_EQ(box.icon(), int(Msg::Exclamation));
    EXPECT_EQ(status, box.text);
    EXPECT_EQ(cell(1, "Item Name"), "Track01.cda");
    EXPECT_EQ(node->Text(), "Audio CD (D:)");
}

TEST_F(FreeDBWindow, TimeOutIsReportedAndTheWindowWaitsForAbort)
{
    LoopbackCddbServer server(LoopbackCddbServer::Mode::Silent);
    useServer(server);

    frmFreeDB &window = start();
    // A short time-out in place of the window's twenty seconds, once the
    // first look-up has read the disc and waits for the server (the disc
    // library must not be used by two threads at once).
    QStringList states;
    QObject::connect(window.cFreeDB1, &cFreeDB::State, [&](const QString &text) { states << text; });
    ASSERT_TRUE(waitUntil([&] { return !states.filter("Connecting").isEmpty(); }, 10000)) << states.join('|').toStdString();
    window.cFreeDB1->QuerySetting(1);
    window.cFreeDB1->Query();
    ASSERT_TRUE(waitUntil([] { return !testServices().prompter->messages.isEmpty(); }));

    const MessageRequest &box = testServices().prompter->messages.first();
    EXPECT_TRUE(box.text.endsWith("(5)")) << box.text.toStdString();
    EXPECT_EQ(window.lblCurrentTrack->text(), box.text);
    EXPECT_EQ(Forms::freeDB(), &window);
    EXPECT_TRUE(window.isVisible());

    window.cmdAbort->click();
    EXPECT_EQ(Forms::freeDB(), nullptr);
    EXPECT_EQ(node->Text(), "Audio CD (D:)");
}

TEST_F(FreeDBWindow, AbortStopsTheLookUp)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album \u03a9", kEntry);
    useServer(server);

    frmFreeDB &window = start();
    EXPECT_TRUE(window.cFreeDB1->IsQuerying());
    window.cmdAbort->click();
    EXPECT_EQ(Forms::freeDB(), nullptr);
    // Whatever the server still answers goes nowhere.
    ASSERT_TRUE(lookUpOnceMore(server));
    EXPECT_EQ(cell(1, "Item Name"), "Track01.cda");
    EXPECT_EQ(node->Text(), "Audio CD (D:)");
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(FreeDBWindow, AnotherListShownMeanwhileIsLeftAlone)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album \u03a9", kEntry);
    useServer(server);

    start();
    cTreeNode *other = main->cTreeView1->Nodes().Add(nullptr, cTreeNodes::Last, "/lists/other.flst", "other");
    other->setSelected(true);
    ASSERT_TRUE(waitUntil([] { return Forms::freeDB() == nullptr; }));

    EXPECT_EQ(cell(1, "Item Name"), "Track01.cda");
    EXPECT_EQ(node->Text(), "Audio CD (D:)");
}

TEST_F(FreeDBWindow, Latin1EntryNamesTheNodeWithItsLetters)
{
    LoopbackCddbServer server;
    server.addRawEntry("misc", kDiscId, "Bjork / Homogenic",
        "DTITLE=Bj\xf6rk / Homogenic\r\nTTITLE0=J\xf3ga\r\nTTITLE1=Unravel\r\nTTITLE2=Hunter\r\n.\r\n");
    useServer(server);

    start();
    ASSERT_TRUE(waitUntil([] { return Forms::freeDB() == nullptr; }));

    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_EQ(cell(1, "Item Name"), "J\u00f3ga.cda");
    EXPECT_EQ(cell(3, "COL_TAG_ARTIST"), "Bj\u00f6rk");
    EXPECT_EQ(node->Text(), "Bj\u00f6rk - Homogenic");
}

TEST_F(FreeDBWindow, BrokenAnswersSayWhatHappenedAndKeepTheNodeName)
{
    struct Case {
        const char *what;
        LoopbackCddbServer::Mode mode;
        const char *text;
    };
    const Case cases[] = {
        {"entry cut off", LoopbackCddbServer::Mode::Answer, "closed the connection before the end of its answer"},
        {"connection closed at once", LoopbackCddbServer::Mode::HangUp, "the server closed the connection"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        testServices().prompter->messages.clear();
        LoopbackCddbServer server(c.mode);
        server.addRawEntry("misc", kDiscId, "The Artist / The Album", "DTITLE=The Artist / The Album\r\nTTIT", true);
        useServer(server);

        frmFreeDB &window = start();
        // The status names the server the look-up talks to.
        EXPECT_EQ(window.lblCurrentTrack->text(), "Connecting to 127.0.0.1...");
        ASSERT_TRUE(waitUntil([] { return !testServices().prompter->messages.isEmpty(); }));

        const QString text = testServices().prompter->messages.first().text;
        EXPECT_TRUE(text.contains(c.text)) << text.toStdString();
        EXPECT_TRUE(text.endsWith("(4)")) << text.toStdString();
        EXPECT_EQ(window.lblCurrentTrack->text(), text);
        window.cmdAbort->click();
        EXPECT_EQ(cell(1, "Item Name"), "Track01.cda");
        EXPECT_EQ(node->Text(), "Audio CD (D:)");
    }
}
