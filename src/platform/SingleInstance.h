#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One running program per user and program folder. A second start hands its
// command line to the one already running and ends, so two processes never
// keep their own copies of the same lists.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Either hands commandLine to the program already running for this
    // program folder and answers true (this process should then end), or
    // becomes that program itself, taking command lines from later starts,
    // and answers false. Checking and taking over happen under a lock file,
    // so of two starts at the same moment exactly one runs on. Without the
    // lock (held too long by another start, or not writable) a socket file
    // found is never removed: the start hands over if the name is taken,
    // else serves; it runs on unserved when neither works.
    bool handOverOrServe(const QString &commandLine);

    // The local socket of the program folder now in use (per user, in
    // $XDG_RUNTIME_DIR or the temporary folder).
    static QString serverName();

signals:
    // A later start's command line, already acknowledged.
    void commandLineReceived(const QString &commandLine);

private:
    bool handOver(const QString &commandLine);
    // Listens on the name; without the lock a socket file found there is
    // left alone.
    bool serve(bool locked);
    void takeConnection();

    std::unique_ptr<QLocalServer> m_server;
};
