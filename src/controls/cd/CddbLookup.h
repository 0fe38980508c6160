#pragma once

#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

// One CD database look-up as the worker thread runs it: read the disc's table
// of contents, ask the server for its disc id over CDDBP, read the first
// match. Blocking; every network step gives up after the time-out.
struct CddbLookupRequest {
    QString device; // device path or image file
    QString drive; // "D:", for messages
    QString server;
    int port = 8880;
    int timeoutSeconds = 20;
    QString user, host, client, version; // the hello fields
};

struct CddbLookupResult {
    // The codes of cFreeDB's Error event.
    enum ErrorCode : qint32 {
        Stopped = -1, // the caller stopped it; nothing to report
        NoDisc = 1, // no drive, no disc or no audio on it
        NotFound = 2, // the database does not know the disc
        ConnectFailed = 3, // server unknown or refusing
        ServerError = 4, // the server answered with an error or nonsense
        TimedOut = 5, // the server did not answer in time
    };
    qint32 code = 0; // 0 when found
    QString text;
    quint32 discId = 0;
    QString category;
    QString artist;
    QString title;
    struct Track {
        QString artist;
        QString title;
    };
    QVector<Track> tracks; // every track of the disc, in disc order

    bool found() const { return code == 0; }
};

namespace CddbLookup {
// state receives a short text before each step.
CddbLookupResult run(const CddbLookupRequest &request, const std::atomic<bool> &stop,
    const std::function<void(const QString &)> &state);
}
