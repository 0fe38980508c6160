#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ending, a service manager, Ctrl+C)
// reach the event loop as requested(), so the program can close its windows
// as the user would and keep what closing saves. While one of these lives,
// the signals no longer end the process by themselves; a signal the process
// was started with ignored stays ignored, and each signal gets back what it
// did before once the watcher goes.
class TerminationRequest : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequest(QObject *parent = nullptr);
    ~TerminationRequest() override;

signals:
    void requested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
