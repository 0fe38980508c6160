#include "controls/cd/cFreeDB.h"

#include "controls/cd/CdDevices.h"
#include "controls/cd/CddbLookup.h"

#include <QPointer>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <memory>

namespace {

struct IfaddrsDeleter {
    void operator()(ifaddrs *a) const { freeifaddrs(a); }
};

bool isLoopbackName(const QString &host)
{
    const QString h = host.trimmed().toLower();
    return h == QLatin1String("localhost") || h.startsWith(QLatin1String("127.")) || h == QLatin1String("::1");
}

bool hasNetworkInterface()
{
    ifaddrs *raw = nullptr;
    if (getifaddrs(&raw) != 0)
        return false;
    std::unique_ptr<ifaddrs, IfaddrsDeleter> list(raw);
    for (const ifaddrs *a = list.get(); a; a = a->ifa_next) {
        if (!a->ifa_addr || (a->ifa_flags & IFF_LOOPBACK) || !(a->ifa_flags & IFF_UP)
            || !(a->ifa_flags & IFF_RUNNING))
            continue;
        if (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6)
            return true;
    }
    return false;
}

} // namespace

cFreeDB::cFreeDB(QObject *parent)
    : QObject(parent)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &cFreeDB::timedOut);
}

cFreeDB::~cFreeDB()
{
    Disconnect();
}

cFreeDB::Target cFreeDB::target() const
{
    Target t{m_server, m_port};
    const QString given = QString::fromLocal8Bit(qgetenv("SONVALE_CDDB_SERVER")).trimmed();
    if (!given.isEmpty()) {
        const int colon = given.lastIndexOf(':');
        bool ok = false;
        const int port = colon > 0 ? given.mid(colon + 1).toInt(&ok) : 0;
        t.host = ok ? given.left(colon) : given;
        if (ok)
            t.port = port;
    }
    return t;
}

qint32 cFreeDB::timeoutSeconds() const
{
    return m_timeout > 0 ? m_timeout : 20;
}

bool cFreeDB::IsConnected() const
{
    // A server on this computer needs no network.
    return isLoopbackName(target().host) || hasNetworkInterface();
}

void cFreeDB::Query()
{
    StopQuery();
    const unsigned query = ++m_query;
    m_querying = true;

    const QVector<CdDevice> devices = CdDevices::list();
    const CdDevice *device = nullptr;
    for (const CdDevice &d : devices)
        if (d.drive.compare(m_drive.left(2), Qt::CaseInsensitive) == 0)
            device = &d;
    if (!device) {
        const QString text = QStringLiteral("There is no CD drive %1.").arg(m_drive);
        QMetaObject::invokeMethod(
            this,
            [this, query, text] {
                if (query == m_query && m_querying)
                    fail(CddbLookupResult::NoDisc, text);
            },
            Qt::QueuedConnection);
        return;
    }

    const Target t = target();
    CddbLookupRequest request;
    request.device = device->path;
    request.drive = device->drive;
    request.server = t.host;
    request.port = t.port;
    request.timeoutSeconds = timeoutSeconds();
    request.user = m_user;
    request.host = m_host;
    request.client = m_client;
    request.version = m_version;

    // The look-up polls the abort flag while it waits on the network, so a
    // dropped query ends soon and a new one queues behind it. Its reports
    // carry the query's number, and those of a dropped query go nowhere.
    auto result = std::make_shared<CddbLookupResult>();
    m_lookup.start(
        this,
        [this, query, request, result](const std::atomic<bool> &abort) {
            *result = CddbLookup::run(request, abort, [&](const QString &text) {
                QMetaObject::invokeMethod(
                    this, [this, query, text] { stepReported(query, text); }, Qt::QueuedConnection);
            });
        },
        [this, query, result] { finished(query, *result); });
    m_watchdog.start(request.timeoutSeconds * 2000);
}

void cFreeDB::stepReported(unsigned query, const QString &text)
{
    if (query != m_query || !m_querying)
        return;
    m_watchdog.start(timeoutSeconds() * 2000);
    emit State(text);
}

void cFreeDB::finished(unsigned query, const CddbLookupResult &result)
{
    if (query != m_query || !m_querying || result.code == CddbLookupResult::Stopped)
        return;
    if (!result.found()) {
        fail(result.code, result.text);
        return;
    }
    m_watchdog.stop();
    // A handler may stop the query or delete the control; nothing more is
    // raised after that.
    QPointer<cFreeDB> self(this);
    auto current = [&] { return self && query == m_query && m_querying; };
    emit State(QStringLiteral("Found"));
    if (current())
        emit Message(QStringLiteral("Found the disc %1 in the category %2.")
                         .arg(result.discId, 8, 16, QLatin1Char('0'))
                         .arg(result.category));
    if (current())
        emit Notify();
    if (current())
        emit DiscArtist(result.artist);
    if (current())
        emit DiscTitle(result.title);
    for (int i = 0; i < result.tracks.size(); ++i) {
        if (!current())
            return;
        if (i + 1 == result.tracks.size())
            m_querying = false;
        emit TrackInfo(result.tracks[i].artist, qint16(i + 1), result.tracks[i].title);
    }
    if (self && query == m_query)
        m_querying = false;
}

void cFreeDB::fail(qint32 code, const QString &text)
{
    m_querying = false;
    m_watchdog.stop();
    m_lookup.abort();
    emit Error(code, text);
}

void cFreeDB::timedOut()
{
    if (!m_querying)
        return;
    const Target t = target();
    fail(CddbLookupResult::TimedOut,
        QStringLiteral("The CD database server %1:%2 did not answer within %3 seconds.")
            .arg(t.host)
            .arg(t.port)
            .arg(timeoutSeconds()));
}

void cFreeDB::StopQuery()
{
    ++m_query;
    m_querying = false;
    m_watchdog.stop();
    m_lookup.abort();
}

void cFreeDB::Disconnect()
{
    // Each look-up has its own connection, which the look-up closes when done.
    StopQuery();
}
