#pragma once

#include <QFile>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

// One running program per user and program folder. A second start hands its
// command line to the one already running and ends, so two processes never
// keep their own copies of the same lists.
//
// The running program holds a lock on a file in the program folder for as
// long as it lives, so whatever the environment of a start (another or no
// runtime folder, another temporary folder) it finds the program that works
// on the same files. Command lines go through a local socket whose name is
// made from the program folder; the kernel frees both lock and name when the
// process ends, however it ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        HandedOver, // the program already running has the command line: end
        Serving,    // this process is the program and takes later command lines
        Unanswered, // the program running holds the folder but takes nothing
    };

    // Takes a later start's command line. True once it is queued to run: the
    // start is then told it was delivered. False when the program is ending
    // and can run no more; the start then waits for it to end and runs
    // itself.
    using Taker = std::function<bool(const QString &commandLine)>;

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Set before handOverOrServe.
    void setTaker(Taker taker);

    // Hands commandLine to the program running on this program folder, or
    // becomes that program. A command line counts as delivered only once the
    // program has answered that it took it; a program that is ending refuses,
    // and this start waits for it to end and then serves in its place.
    // Unanswered after waitMs of a program that neither ends nor answers.
    Outcome handOverOrServe(const QString &commandLine, int waitMs = 30000);

    // The local socket name (in the abstract namespace) of the program
    // folder now in use.
    static QString serverName();
    // The file whose lock marks the program running on the program folder.
    static QString lockPath();
    // Connects socket to the program running on the program folder.
    static void connectToProgram(QLocalSocket &socket);

private:
    enum class Delivery { Delivered, Refused, Unanswered };
    Delivery handOver(const QString &commandLine, int waitMs);
    bool serve();
    void takeConnection();
    void readCommandLine(QLocalSocket *socket);
    void stopServing();

    Taker m_taker;
    QFile m_lockFile;
    QLocalServer *m_server = nullptr;
};
