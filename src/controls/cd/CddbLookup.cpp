#include "controls/cd/CddbLookup.h"

#include "controls/cd/CdDevices.h"
#include "controls/cd/CdHandles.h"
#include "controls/cd/CdToc.h"
#include "controls/cd/CddbConnection.h"
#include "controls/cd/CddbEntry.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

constexpr int kLeadInSectors = 150;
constexpr int kSectorsPerSecond = 75;
// The protocol level whose entries are UTF-8 (older servers refuse it and
// still answer).
constexpr const char *kProtocolLevel = "proto 6";

CddbLookupResult failure(qint32 code, const QString &text)
{
    CddbLookupResult r;
    r.code = code;
    r.text = text;
    return r;
}

// One reply: its code and the text after it, and the lines of a reply that
// has them, up to the terminating ".".
struct Reply {
    int code = 0;
    QByteArray text;
    QList<QByteArray> lines;
};

// The dialogue with one server; any step that goes wrong leaves the reason
// in error() and every later step undone.
class Dialogue {
public:
    Dialogue(const CddbLookupRequest &request, const std::atomic<bool> &stop)
        : m_request(request)
        , m_server(QStringLiteral("%1:%2").arg(request.server).arg(request.port))
        , m_connection(CddbConnection::Clock::now() + std::chrono::seconds(qMax(1, request.timeoutSeconds)), stop)
    {
    }
    ~Dialogue()
    {
        if (!m_error)
            m_connection.send("quit");
    }

    bool open()
    {
        const CddbConnection::Status s = m_connection.open(m_request.server, m_request.port);
        if (s == CddbConnection::Status::Unknown)
            return fail(CddbLookupResult::ConnectFailed,
                QStringLiteral("Cannot find the CD database server %1.").arg(m_request.server));
        if (s != CddbConnection::Status::Ok)
            return failed(s);
        const std::optional<Reply> banner = reply();
        if (!banner)
            return false;
        if (banner->code != 200 && banner->code != 201)
            return refused(*banner);
        return true;
    }

    // Sends the command; a reply with one of the codes in withLines goes on
    // with lines up to the terminating ".".
    std::optional<Reply> ask(const QByteArray &command, std::initializer_list<int> withLines = {})
    {
        const CddbConnection::Status s = m_connection.send(command);
        if (s != CddbConnection::Status::Ok) {
            failed(s);
            return std::nullopt;
        }
        std::optional<Reply> r = reply();
        if (!r || std::find(withLines.begin(), withLines.end(), r->code) == withLines.end())
            return r;
        for (;;) {
            QByteArray line;
            const CddbConnection::Status l = m_connection.readLine(&line);
            if (l == CddbConnection::Status::Closed) {
                fail(CddbLookupResult::ServerError,
                    QStringLiteral("The CD database server %1 closed the connection before the end of its answer.")
                        .arg(m_server));
                return std::nullopt;
            }
            if (l != CddbConnection::Status::Ok) {
                failed(l);
                return std::nullopt;
            }
            if (line == ".")
                return r;
            // A line of the text that starts with "." comes with a second one.
            if (line.startsWith(".."))
                line.remove(0, 1);
            r->lines << line;
        }
    }

    bool refused(const Reply &r)
    {
        QByteArray line = QByteArray::number(r.code) + ' ' + r.text;
        while (line.endsWith('.'))
            line.chop(1);
        return fail(CddbLookupResult::ServerError,
            QStringLiteral("The CD database server %1 answered with an error: %2.").arg(m_server, Cddb::decode(line)));
    }

    bool fail(qint32 code, const QString &text)
    {
        m_error = failure(code, text);
        return false;
    }

    const CddbLookupResult &error() const { return *m_error; }
    const QString &server() const { return m_server; }

private:
    std::optional<Reply> reply()
    {
        QByteArray line;
        const CddbConnection::Status s = m_connection.readLine(&line);
        if (s != CddbConnection::Status::Ok) {
            failed(s);
            return std::nullopt;
        }
        Reply r;
        bool ok = false;
        r.code = line.left(3).toInt(&ok);
        if (!ok || r.code < 100 || r.code > 599 || (line.size() > 3 && line[3] != ' ')) {
            fail(CddbLookupResult::ServerError,
                QStringLiteral("The CD database server %1 gave an answer that is not CDDB: %2")
                    .arg(m_server, Cddb::decode(line.left(80)).simplified()));
            return std::nullopt;
        }
        r.text = line.mid(4).trimmed();
        return r;
    }

    bool failed(CddbConnection::Status s)
    {
        switch (s) {
        case CddbConnection::Status::Ok: return true;
        case CddbConnection::Status::Stopped: return fail(CddbLookupResult::Stopped, {});
        case CddbConnection::Status::TimedOut:
            return fail(CddbLookupResult::TimedOut,
                QStringLiteral("The CD database server %1 did not answer within %2 seconds.")
                    .arg(m_server)
                    .arg(m_request.timeoutSeconds));
        case CddbConnection::Status::Closed:
            return fail(CddbLookupResult::ServerError,
                QStringLiteral("Cannot look the CD up at %1: the server closed the connection.")
                    .arg(m_server));
        case CddbConnection::Status::Unknown:
        case CddbConnection::Status::Refused:
            return fail(CddbLookupResult::ConnectFailed,
                QStringLiteral("Cannot connect to the CD database server %1.").arg(m_server));
        case CddbConnection::Status::TooLong:
            return fail(CddbLookupResult::ServerError,
                QStringLiteral("The CD database server %1 sent far more than a CD entry.").arg(m_server));
        }
        return false;
    }

    const CddbLookupRequest &m_request;
    const QString m_server;
    CddbConnection m_connection;
    std::optional<CddbLookupResult> m_error;
};

// Hello fields are single words on the wire.
QByteArray word(const QString &text)
{
    QByteArray w = text.simplified().toUtf8();
    w.replace(' ', '_');
    return w.isEmpty() ? QByteArray("unknown") : w;
}

} // namespace

namespace CddbLookup {

CddbLookupResult run(const CddbLookupRequest &request, const std::atomic<bool> &stop,
    const std::function<void(const QString &)> &state)
{
    state(QStringLiteral("Reading the CD in %1").arg(request.drive));
    CdToc toc;
    {
        cd::Cdio cdio = CdDevices::open(request.device);
        if (!cdio)
            return failure(
                CddbLookupResult::NoDisc, QStringLiteral("Cannot open the CD drive %1.").arg(request.drive));
        toc = CdTocReader::read(cdio.get());
    }
    if (toc.isEmpty())
        return failure(CddbLookupResult::NoDisc, QStringLiteral("There is no CD in the drive %1.").arg(request.drive));
    if (!toc.hasAudio())
        return failure(
            CddbLookupResult::NoDisc, QStringLiteral("The CD in the drive %1 is not an audio CD.").arg(request.drive));
    if (stop)
        return failure(CddbLookupResult::Stopped, {});

    state(QStringLiteral("Connecting to %1").arg(request.server));
    Dialogue dialogue(request, stop);
    if (!dialogue.open())
        return dialogue.error();
    const std::optional<Reply> hello = dialogue.ask("cddb hello " + word(request.user) + ' ' + word(request.host) + ' '
        + word(request.client) + ' ' + word(request.version));
    if (!hello)
        return dialogue.error();
    // 402: this connection has said hello already.
    if (hello->code != 200 && hello->code != 402) {
        dialogue.refused(*hello);
        return dialogue.error();
    }
    if (!dialogue.ask(kProtocolLevel))
        return dialogue.error();

    const quint32 id = cddbDiscId(toc);
    const QString idText = QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
    QByteArray query = "cddb query " + idText.toLatin1() + ' ' + QByteArray::number(toc.tracks.size());
    for (const CdToc::Track &t : toc.tracks)
        query += ' ' + QByteArray::number(t.start + kLeadInSectors);
    query += ' ' + QByteArray::number((toc.leadout + kLeadInSectors) / kSectorsPerSecond);

    state(QStringLiteral("Looking up disc %1").arg(idText));
    // 200: one exact match; 210 and 211: a list of matches, the first taken.
    const std::optional<Reply> matches = dialogue.ask(query, {210, 211});
    if (!matches)
        return dialogue.error();
    if (matches->code == 202)
        return failure(CddbLookupResult::NotFound,
            QStringLiteral("The CD database does not know the CD in the drive %1 (disc id %2).")
                .arg(request.drive, idText));
    if (matches->code != 200 && matches->code != 210 && matches->code != 211) {
        dialogue.refused(*matches);
        return dialogue.error();
    }
    const QList<QByteArray> match
        = (matches->code == 200 ? matches->text : matches->lines.value(0)).simplified().split(' ');
    if (match.size() < 2 || match[0].isEmpty())
        return failure(CddbLookupResult::NotFound,
            QStringLiteral("The CD database does not know the CD in the drive %1 (disc id %2).")
                .arg(request.drive, idText));
    if (stop)
        return failure(CddbLookupResult::Stopped, {});

    state(QStringLiteral("Reading disc %1").arg(idText));
    const std::optional<Reply> read = dialogue.ask("cddb read " + match[0] + ' ' + match[1], {210});
    if (!read)
        return dialogue.error();
    if (read->code != 210) {
        dialogue.refused(*read);
        return dialogue.error();
    }
    const CddbEntry entry = CddbEntry::parse(read->lines);
    // A "210" with no entry behind it names no disc.
    if (!entry.hasTitle)
        return failure(CddbLookupResult::ServerError,
            QStringLiteral("The CD database server %1 sent an entry without a disc title for disc %2.")
                .arg(dialogue.server(), idText));

    CddbLookupResult r;
    r.discId = id;
    r.category = QString::fromLatin1(match[0]);
    r.artist = entry.artist;
    r.title = entry.title;
    for (int i = 0; i < toc.tracks.size(); ++i) {
        const CddbEntry::Track given = entry.tracks.value(i);
        CddbLookupResult::Track t{given.artist, given.title};
        if (t.artist.isEmpty())
            t.artist = r.artist;
        if (t.title.isEmpty())
            t.title = QStringLiteral("Track%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        r.tracks << t;
    }
    return r;
}

} // namespace CddbLookup
