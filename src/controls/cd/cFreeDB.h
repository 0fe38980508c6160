#pragma once

#include "controls/Worker.h"

#include <QObject>
#include <QString>
#include <QTimer>

struct CddbLookupResult;

// Looks up the audio CD of a drive in a CD database over CDDBP on a worker
// thread. The results arrive as queued events: Notify, DiscArtist,
// DiscTitle, then TrackInfo for every track, the last one last; a look-up
// that fails ends in one Error instead. A server that stops answering ends in
// Error after the time-out (QuerySetting, in seconds). The control lives on
// the UI thread, the look-up runs on its worker and polls its abort flag
// while it waits on the network. Every look-up is numbered: one that was
// stopped or replaced says nothing more.
//
// SONVALE_CDDB_SERVER ("host" or "host:port") replaces the server and port
// the caller gives, which is how tests point the control at a local server.
class cFreeDB : public QObject {
    Q_OBJECT
public:
    explicit cFreeDB(QObject *parent = nullptr);
    ~cFreeDB() override;

    // Whether the computer has a network connection that can reach the server.
    bool IsConnected() const;
    // The drive whose disc is looked up: "D:" (letter and colon).
    void SelectDrive(const QString &drive) { m_drive = drive; }
    QString SelectedDrive() const { return m_drive; }

    // The time-out of every network step, in seconds.
    void QuerySetting(qint32 seconds) { m_timeout = seconds; }
    qint32 QuerySetting() const { return m_timeout; }
    void Server(const QString &host) { m_server = host; }
    QString Server() const { return m_server; }
    // The host the look-up talks to: Server, or the one the environment sets.
    QString ServerInUse() const { return target().host; }
    void Port(qint32 port) { m_port = port; }
    qint32 Port() const { return m_port; }
    void HelloUser(const QString &v) { m_user = v; }
    QString HelloUser() const { return m_user; }
    void HelloHost(const QString &v) { m_host = v; }
    QString HelloHost() const { return m_host; }
    void HelloClient(const QString &v) { m_client = v; }
    QString HelloClient() const { return m_client; }
    void HelloVersion(const QString &v) { m_version = v; }
    QString HelloVersion() const { return m_version; }

    // Starts the look-up and returns at once; a running one is dropped.
    void Query();
    // Drops the running look-up: none of its events arrive any more.
    void StopQuery();
    // Ends every look-up and its connection.
    void Disconnect();
    bool IsQuerying() const { return m_querying; }

signals:
    void Notify();
    void Error(qint32 code, const QString &text);
    void State(const QString &text);
    void Message(const QString &text);
    void DiscArtist(const QString &text);
    void DiscTitle(const QString &text);
    void TrackInfo(const QString &artist, qint16 track, const QString &title);

private:
    struct Target {
        QString host;
        qint32 port = 0;
    };
    Target target() const;
    qint32 timeoutSeconds() const;
    void stepReported(unsigned query, const QString &text);
    void finished(unsigned query, const CddbLookupResult &result);
    void fail(qint32 code, const QString &text);
    void timedOut();

    QString m_drive;
    qint32 m_timeout = 20;
    QString m_server = QStringLiteral("gnudb.gnudb.org");
    qint32 m_port = 8880;
    QString m_user = QStringLiteral("user");
    QString m_host = QStringLiteral("localhost");
    QString m_client = QStringLiteral("Sonvale");
    QString m_version = QStringLiteral("1.0");

    unsigned m_query = 0;
    bool m_querying = false;
    QTimer m_watchdog;
    // Last, so the look-up ends before anything it reports to.
    Worker m_lookup;
};
