#include "support/CdFixtures.h"
#include "support/LoopbackCddbServer.h"
#include "controls/cd/CdToc.h"
#include "controls/cd/cFreeDB.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

using CdFixture::Track;

const QVector<Track> &kDisc = CdFixture::kCddbDisc;
constexpr quint32 kDiscId = CdFixture::kCddbDiscId;
const QStringList kEntry = CdFixture::cddbEntry("First Song", "Guest Singer / Second Song");

// Every event of the control as a line of text, in arrival order.
struct EventLog {
    explicit EventLog(cFreeDB &db)
    {
        QObject::connect(&db, &cFreeDB::Notify, [this] { add("Notify"); });
        QObject::connect(&db, &cFreeDB::State, [this](const QString &t) {
            ++states;
            lastState = t;
        });
        QObject::connect(&db, &cFreeDB::Message, [this](const QString &) { ++messages; });
        QObject::connect(&db, &cFreeDB::Error, [this](qint32 code, const QString &text) {
            add(QStringLiteral("Error %1").arg(code));
            errorText = text;
        });
        QObject::connect(&db, &cFreeDB::DiscArtist, [this](const QString &t) { add("DiscArtist " + t); });
        QObject::connect(&db, &cFreeDB::DiscTitle, [this](const QString &t) { add("DiscTitle " + t); });
        QObject::connect(&db, &cFreeDB::TrackInfo, [this](const QString &artist, qint16 track, const QString &title) {
            add(QStringLiteral("TrackInfo %1|%2|%3").arg(artist).arg(track).arg(title));
            lastTrack = track;
        });
    }
    void add(const QString &line)
    {
        lines << line;
        offThread = offThread || QThread::currentThread() != qApp->thread();
        if (insideQuery)
            early = true;
    }
    bool ended() const
    {
        return lastTrack == 3 || std::any_of(lines.begin(), lines.end(), [](const QString &l) {
            return l.startsWith("Error");
        });
    }
    // Runs the query marked as inside the call, then waits for its end and
    // delivers what was queued behind it, so anything that should not come shows.
    bool run(cFreeDB &db, int timeoutMs = 30000)
    {
        insideQuery = true;
        db.Query();
        insideQuery = false;
        const bool done = waitUntil([this] { return ended(); }, timeoutMs);
        flushEvents();
        return done;
    }

    QStringList lines;
    QString errorText;
    QString lastState;
    int states = 0;
    int messages = 0;
    int lastTrack = 0;
    bool insideQuery = false;
    bool early = false;
    bool offThread = false;
};

class FreeDBTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = CdFixture::writeImage(TestEnv::workFolder(), "disc", kDisc);
        ASSERT_FALSE(image.isEmpty());
        qputenv("SONVALE_CD_DEVICES", QFile::encodeName(image));
    }

    // The connection fields as the look-up window sets them.
    void setUp(cFreeDB &db, int port, int timeout = 5)
    {
        db.SelectDrive("D:");
        db.QuerySetting(timeout);
        db.Server("127.0.0.1");
        db.Port(port);
        db.HelloUser("clsCDDB");
        db.HelloHost("client.example");
        db.HelloClient("clsCDDB");
        db.HelloVersion("v0.5");
    }

    QString image;
};

TEST(CddbDiscId, FollowsTheProtocolFormula)
{
    struct Case {
        QVector<qint32> starts;
        qint32 leadout;
        quint32 id;
    };
    const Case cases[] = {
        // The test disc: see kDiscId.
        {{0, 300, 488}, 548, kDiscId},
        // Starts at 2 s, 202 s and 450 s: digit sums 2 + 4 + 9 = 15 (0x0f);
        // lead-out at 802 s, so 800 s (0x320) of playing time.
        {{0, 15000, 33600}, 60000, 0x0f032003},
    };
    for (const Case &c : cases) {
        CdToc toc;
        for (qint32 s : c.starts)
            toc.tracks << CdToc::Track{s, 0, true};
        toc.leadout = c.leadout;
        EXPECT_EQ(cddbDiscId(toc), c.id) << std::hex << c.id;
    }
    EXPECT_EQ(cddbDiscId(CdToc{}), 0u);
}

TEST_F(FreeDBTest, ReportsArtistAlbumAndTrackTitles)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album", kEntry);
    cFreeDB db;
    setUp(db, server.port());
    EventLog log(db);
    ASSERT_TRUE(log.run(db));

    EXPECT_FALSE(log.early) << "an event arrived inside Query";
    EXPECT_FALSE(log.offThread) << "an event arrived on the worker thread";
    EXPECT_EQ(log.lines,
        QStringList({
            "Notify",
            "DiscArtist The Artist",
            "DiscTitle The Album \u03a9",
            "TrackInfo The Artist|1|First Song",
            "TrackInfo Guest Singer|2|Second Song",
            "TrackInfo The Artist|3|Track03",
        }));
    EXPECT_GT(log.states, 0);
    EXPECT_FALSE(db.IsQuerying());

    const QStringList commands = server.commands();
    EXPECT_TRUE(commands.contains("cddb hello clsCDDB client.example clsCDDB v0.5")) << commands.join('\n').toStdString();
    EXPECT_TRUE(commands.contains("cddb query 10000703 3 150 450 638 9")) << commands.join('\n').toStdString();
    EXPECT_TRUE(commands.contains("cddb read misc 10000703")) << commands.join('\n').toStdString();
}

TEST_F(FreeDBTest, FailedLookupsEndInOneError)
{
    const QString dataOnly = CdFixture::writeImage(TestEnv::workFolder(), "data", {{false, 80}});
    struct Case {
        const char *what;
        LoopbackCddbServer::Mode mode;
        bool knowsDisc;
        bool refuse;
        QString drive;
        qint32 code;
    };
    const Case cases[] = {
        {"unknown disc", LoopbackCddbServer::Mode::Answer, false, false, "D:", 2},
        {"server that never answers", LoopbackCddbServer::Mode::Silent, true, false, "D:", 5},
        {"server that answers too slowly", LoopbackCddbServer::Mode::Trickle, true, false, "D:", 5},
        {"refused connection", LoopbackCddbServer::Mode::Answer, true, true, "D:", 3},
        {"drive that does not exist", LoopbackCddbServer::Mode::Answer, true, false, "Q:", 1},
        {"data CD", LoopbackCddbServer::Mode::Answer, true, false, "E:", 1},
    };
    qputenv("SONVALE_CD_DEVICES", QFile::encodeName(image + ":" + dataOnly));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackCddbServer server(c.mode);
        if (c.knowsDisc)
            server.addEntry("misc", kDiscId, "The Artist / The Album", kEntry);
        cFreeDB db;
        // Only the time-out cases wait out the short time-out; the others
        // get room for a loaded machine.
        setUp(db, c.refuse ? LoopbackCddbServer::closedPort() : server.port(), c.code == 5 ? 1 : 10);
        db.SelectDrive(c.drive);
        EventLog log(db);
        ASSERT_TRUE(log.run(db));
        EXPECT_FALSE(log.early);
        EXPECT_EQ(log.lines, QStringList({QStringLiteral("Error %1").arg(c.code)}));
        EXPECT_FALSE(log.errorText.isEmpty());
        EXPECT_FALSE(db.IsQuerying());
    }
}

TEST_F(FreeDBTest, EntriesInAnyCharacterSetAreDecoded)
{
    // "\xc3" "\xb6" is the UTF-8 of "ö", split over two lines of one title.
    const QByteArray longTitle(10 * 1024, 'x');
    struct Case {
        const char *what;
        QByteArray entry;
        QStringList tracks;
    };
    const Case cases[] = {
        {"Latin-1 entry",
            "DISCID=10000703\r\nDTITLE=Bj\xf6rk / Homogen\xef" "c\r\nTTITLE0=J\xf3ga\r\nTTITLE1=Guest / Bachelorette\r\n.\r\n",
            {"Bj\u00f6rk|1|J\u00f3ga", "Guest|2|Bachelorette", "Bj\u00f6rk|3|Track03"}},
        {"UTF-8 title split inside a character",
            "DTITLE=Bj\xc3\xb6rk / Homogen\xc3\xaf" "c\r\nTTITLE0=J\xc3\r\nTTITLE0=\xb3ga\r\n.\r\n",
            {"Bj\u00f6rk|1|J\u00f3ga", "Bj\u00f6rk|2|Track02", "Bj\u00f6rk|3|Track03"}},
        {"10 KB line", "DTITLE=Bj\xc3\xb6rk / Homogen\xc3\xaf" "c\r\nTTITLE0=" + longTitle + "\r\n.\r\n",
            {"Bj\u00f6rk|1|" + QString::fromLatin1(longTitle), "Bj\u00f6rk|2|Track02", "Bj\u00f6rk|3|Track03"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackCddbServer server;
        server.addRawEntry("misc", kDiscId, "Bjork / Homogenic", c.entry);
        cFreeDB db;
        setUp(db, server.port(), 30);
        EventLog log(db);
        ASSERT_TRUE(log.run(db));
        QStringList expected = {"Notify", "DiscArtist Bj\u00f6rk", "DiscTitle Homogen\u00efc"};
        for (const QString &t : c.tracks)
            expected << "TrackInfo " + t;
        EXPECT_EQ(log.lines, expected) << log.errorText.toStdString();
    }
}

TEST_F(FreeDBTest, BrokenAnswersAreErrorsAtOnce)
{
    // The time-out is far beyond the wait: an answer that ran into it would
    // show as a time-out (5), not as the server's fault (4).
    struct Case {
        const char *what;
        LoopbackCddbServer::Mode mode;
        QByteArray entry;
        const char *text;
    };
    const Case cases[] = {
        {"entry cut off", LoopbackCddbServer::Mode::Answer, "DTITLE=The Artist / The Album\r\nTTITLE0=Fir",
            "closed the connection before the end of its answer"},
        {"bare 210 line", LoopbackCddbServer::Mode::Answer, {}, "closed the connection before the end of its answer"},
        {"empty entry", LoopbackCddbServer::Mode::Answer, ".\r\n", "without a disc title"},
        {"connection closed at once", LoopbackCddbServer::Mode::HangUp, {},
            ": the server closed the connection."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackCddbServer server(c.mode);
        server.addRawEntry("misc", kDiscId, "The Artist / The Album", c.entry, true);
        cFreeDB db;
        setUp(db, server.port(), 600);
        EventLog log(db);
        ASSERT_TRUE(log.run(db, 20000));
        EXPECT_EQ(log.lines, QStringList({"Error 4"}));
        EXPECT_TRUE(log.errorText.contains(c.text)) << log.errorText.toStdString();
        EXPECT_TRUE(log.errorText.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())))
            << log.errorText.toStdString();
        EXPECT_FALSE(log.errorText.contains("error: ok")) << log.errorText.toStdString();
        EXPECT_FALSE(db.IsQuerying());
    }
}

TEST_F(FreeDBTest, StoppedLookupRaisesNothingMore)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album", kEntry);
    {
        cFreeDB db;
        setUp(db, server.port());
        EventLog log(db);
        db.Query();
        db.StopQuery();
        ASSERT_TRUE(lookUpOnceMore(server));
        EXPECT_EQ(log.lines, QStringList());
        EXPECT_FALSE(db.IsQuerying());
    }
    {
        // A handler that stops the look-up cuts the reports short.
        cFreeDB db;
        setUp(db, server.port());
        EventLog log(db);
        QObject::connect(&db, &cFreeDB::DiscTitle, &db, [&db] { db.Disconnect(); });
        db.Query();
        ASSERT_TRUE(waitUntil([&] { return log.lines.size() >= 3; }));
        // The whole answer came in one report; what it held back stays back.
        flushEvents();
        EXPECT_EQ(log.lines, QStringList({"Notify", "DiscArtist The Artist", "DiscTitle The Album \u03a9"}));
    }
    {
        // The control may go away while its worker still talks to the server.
        LoopbackCddbServer silent(LoopbackCddbServer::Mode::Silent);
        auto db = std::make_unique<cFreeDB>();
        setUp(*db, silent.port(), 1);
        db->Query();
        db.reset();
        // Its worker gives up after the time-out and reports to nobody.
        ASSERT_TRUE(lookUpOnceMore(silent, 1));
    }
}

TEST_F(FreeDBTest, EnvironmentPointsTheControlAtAnotherServer)
{
    LoopbackCddbServer server;
    server.addEntry("misc", kDiscId, "The Artist / The Album", kEntry);
    qputenv("SONVALE_CDDB_SERVER", QStringLiteral("127.0.0.1:%1").arg(server.port()).toUtf8());
    cFreeDB db;
    setUp(db, 8880);
    db.Server("cddb.invalid");
    EXPECT_TRUE(db.IsConnected());
    EventLog log(db);
    ASSERT_TRUE(log.run(db));
    EXPECT_EQ(log.lastTrack, 3) << log.lines.join("\n").toStdString() << log.errorText.toStdString();
}

} // namespace
