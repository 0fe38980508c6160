#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A CDDBP server on 127.0.0.1 that speaks just enough of the protocol
// (banner, cddb hello, proto, cddb query, cddb read, quit) to answer for the
// entries it is given, keyed by disc id. Silent mode accepts connections and
// never says a word until the client hangs up; Trickle mode sends an entry one
// line every 300 ms, each line well inside a read time-out, the whole far
// beyond it; HangUp mode closes every connection as soon as it is made. It
// serves one connection at a time.
class LoopbackCddbServer {
public:
    enum class Mode { Answer, Silent, Trickle, HangUp };
    explicit LoopbackCddbServer(Mode mode = Mode::Answer);
    ~LoopbackCddbServer();

    // The xmcd lines of an entry (without the terminating ".").
    void addEntry(const QString &category, quint32 discId, const QString &dtitle, const QStringList &lines);
    // An entry whose bytes follow the "210" line exactly as given (any
    // character set, a terminating "." or none); with hangUp the server
    // closes the connection right after them.
    void addRawEntry(
        const QString &category, quint32 discId, const QString &dtitle, const QByteArray &bytes, bool hangUp = false);
    int port() const { return m_port; }
    // Every command line received, in order.
    QStringList commands() const;

    // A port on 127.0.0.1 where nothing listens.
    static int closedPort();

private:
    void serve();
    void talk(int socket);
    void keepSilent(int socket);
    // Waits ms unless the server stops first; answers whether it stops.
    bool stopsWithin(int ms);

    struct Entry {
        QString category;
        QString dtitle;
        QStringList lines;
        QByteArray raw; // sent instead of the lines when not empty
        bool hangUp = false;
    };
    Mode m_mode;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_stopMutex;
    std::condition_variable m_stopped;
    mutable std::mutex m_mutex;
    QMap<quint32, Entry> m_entries;
    QStringList m_commands;
    std::thread m_thread;
};

// Runs one whole look-up of the disc in drive "D:" against server, on a
// control of its own with that time-out, and answers whether it ended. A
// dropped look-up runs detached and cannot be waited for; one started before
// this one with no longer a time-out has left the server by the time this one
// ends, and its last reports are queued.
bool lookUpOnceMore(const LoopbackCddbServer &server, int timeoutSeconds = 5);
