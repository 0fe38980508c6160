#include "controls/cd/CddbLookup.h"

#include "controls/cd/CdDevices.h"
#include "controls/cd/CdHandles.h"
#include "controls/cd/CdToc.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <memory>
#include <mutex>

namespace {

constexpr int kLeadInSectors = 150;
constexpr int kSectorsPerSecond = 75;

// libcddb prints to the console by default; our callers report failures.
void logCddb(cddb_log_level_t, const char *) {}

void initCddb()
{
    static std::once_flag once;
    std::call_once(once, [] { cddb_log_set_handler(logCddb); });
}

struct AddrinfoDeleter {
    void operator()(addrinfo *a) const { freeaddrinfo(a); }
};

// libcddb resolves names with an alarm() that would fire in whatever thread
// the signal lands on; handing it a dotted address keeps that path out of use.
QString resolveIpv4(const QString &host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *raw = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &raw) != 0 || !raw)
        return {};
    std::unique_ptr<addrinfo, AddrinfoDeleter> list(raw);
    char text[INET_ADDRSTRLEN] = {};
    const auto *address = reinterpret_cast<const sockaddr_in *>(list->ai_addr);
    if (!inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
        return {};
    return QString::fromLatin1(text);
}

QString fromCddb(const char *text)
{
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

CddbLookupResult failure(qint32 code, const QString &text)
{
    CddbLookupResult r;
    r.code = code;
    r.text = text;
    return r;
}

CddbLookupResult networkFailure(cddb_conn_t *conn, int savedErrno, const CddbLookupRequest &request)
{
    const QString server = QStringLiteral("%1:%2").arg(request.server).arg(request.port);
    const cddb_error_t error = cddb_errno(conn);
    if (savedErrno == ETIMEDOUT || savedErrno == EAGAIN || savedErrno == EWOULDBLOCK)
        return failure(CddbLookupResult::TimedOut,
            QStringLiteral("The CD database server %1 did not answer within %2 seconds.")
                .arg(server)
                .arg(request.timeoutSeconds));
    if (error == CDDB_ERR_CONNECT || error == CDDB_ERR_UNKNOWN_HOST_NAME || error == CDDB_ERR_NOT_CONNECTED)
        return failure(CddbLookupResult::ConnectFailed,
            QStringLiteral("Cannot connect to the CD database server %1.").arg(server));
    return failure(CddbLookupResult::ServerError,
        QStringLiteral("The CD database server %1 answered with an error: %2.")
            .arg(server, QString::fromUtf8(cddb_error_str(error))));
}

} // namespace

namespace CddbLookup {

CddbLookupResult run(const CddbLookupRequest &request, const std::atomic<bool> &stop,
    const std::function<void(const QString &)> &state)
{
    initCddb();
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
    const QString address = resolveIpv4(request.server);
    if (address.isEmpty())
        return failure(CddbLookupResult::ConnectFailed,
            QStringLiteral("Cannot find the CD database server %1.").arg(request.server));
    if (stop)
        return failure(CddbLookupResult::Stopped, {});

    cd::CddbConn conn(cddb_new());
    cd::CddbDisc disc(cddb_disc_new());
    if (!conn || !disc)
        return failure(CddbLookupResult::ServerError, QStringLiteral("Out of memory."));
    cddb_cache_disable(conn.get());
    cddb_http_disable(conn.get());
    cddb_set_charset(conn.get(), "UTF-8");
    cddb_set_server_name(conn.get(), address.toLatin1().constData());
    cddb_set_server_port(conn.get(), request.port);
    cddb_set_timeout(conn.get(), unsigned(qMax(1, request.timeoutSeconds)));
    cddb_set_client(conn.get(), request.client.toUtf8().constData(), request.version.toUtf8().constData());
    // The hello's user and host travel as an e-mail address.
    cddb_set_email_address(conn.get(), (request.user + '@' + request.host).toUtf8().constData());

    for (const CdToc::Track &t : toc.tracks) {
        cddb_track_t *track = cddb_track_new();
        cddb_track_set_frame_offset(track, t.start + kLeadInSectors);
        cddb_disc_add_track(disc.get(), track);
    }
    cddb_disc_set_length(disc.get(), unsigned((toc.leadout + kLeadInSectors) / kSectorsPerSecond));
    const quint32 id = cddbDiscId(toc);
    cddb_disc_set_discid(disc.get(), id);
    const QString idText = QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));

    state(QStringLiteral("Looking up disc %1").arg(idText));
    errno = 0;
    const int matches = cddb_query(conn.get(), disc.get());
    if (matches < 0 || errno == ETIMEDOUT)
        return networkFailure(conn.get(), errno, request);
    if (matches == 0)
        return failure(CddbLookupResult::NotFound,
            QStringLiteral("The CD database does not know the CD in the drive %1 (disc id %2).")
                .arg(request.drive, idText));
    if (stop)
        return failure(CddbLookupResult::Stopped, {});

    state(QStringLiteral("Reading disc %1").arg(idText));
    errno = 0;
    // libcddb takes a read that timed out half-way for the end of the entry
    // and answers success; only errno tells, and half an entry is no answer.
    if (cddb_read(conn.get(), disc.get()) != 1 || errno == ETIMEDOUT)
        return networkFailure(conn.get(), errno, request);

    CddbLookupResult r;
    r.discId = id;
    r.category = fromCddb(cddb_disc_get_category_str(disc.get()));
    r.artist = fromCddb(cddb_disc_get_artist(disc.get()));
    r.title = fromCddb(cddb_disc_get_title(disc.get()));
    for (int i = 0; i < toc.tracks.size(); ++i) {
        CddbLookupResult::Track t;
        if (cddb_track_t *track = cddb_disc_get_track(disc.get(), i)) {
            t.artist = fromCddb(cddb_track_get_artist(track));
            t.title = fromCddb(cddb_track_get_title(track));
        }
        if (t.artist.isEmpty())
            t.artist = r.artist;
        if (t.title.isEmpty())
            t.title = QStringLiteral("Track%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        r.tracks << t;
    }
    return r;
}

} // namespace CddbLookup
