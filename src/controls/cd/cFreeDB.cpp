#include "controls/cd/cFreeDB.h"

#include "controls/cd/CdDevices.h"
#include "controls/cd/CddbLookup.h"

#include <QPointer>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <thread>

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

    // A look-up blocked in the network cannot be interrupted, so nobody waits
    // for it: the worker runs detached, and reaches the control through a
    // relay that lives on this thread for as long as the worker holds it.
    // Once the control drops the query, or is gone, the reports go nowhere.
    std::shared_ptr<QObject> relay(new QObject, [](QObject *o) { o->deleteLater(); });
    QPointer<cFreeDB> self(this);
    m_stop = std::make_shared<std::atomic<bool>>(false);
    std::thread([relay, self, query, request, stop = m_stop] {
        const CddbLookupResult result = CddbLookup::run(request, *stop, [&](const QString &text) {
            QMetaObject::invokeMethod(
                relay.get(),
                [self, query, text] {
                    if (self)
                        self->stepReported(query, text);
                },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            relay.get(),
            [self, query, result] {
                if (self)
                    self->finished(query, result);
            },
            Qt::QueuedConnection);
    }).detach();
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
    if (m_stop)
        *m_stop = true;
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
    if (m_stop)
        *m_stop = true;
    m_stop.reset();
}

void cFreeDB::Disconnect()
{
    // Each look-up has its own connection, which its worker closes when done.
    StopQuery();
}
