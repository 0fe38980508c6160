#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Closes a modal window that stays on screen with nobody answering it, and
// fails the running test with the window's title, so a test that leaves a
// dialog open ends red instead of hanging the run. Tests answer their modal
// windows within milliseconds; a window still up after kPatienceMs is taken
// as forgotten.
class ModalWatchdog : public QObject {
public:
    static constexpr int kPatienceMs = 8000;

    explicit ModalWatchdog(QObject *parent = nullptr);
    // Forgets the window being timed, so a new test starts its own clock.
    void reset();

private:
    void check();

    QTimer m_tick;
    QPointer<QWidget> m_watched;
    QElapsedTimer m_since;
};
