#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QWidget;

// Command lines handed over by later starts, run one after the other by the
// main window. Until the window is up they wait, in the order they came.
// None runs while a modal window is up: a switch that opens the Add dialog
// would otherwise open a second one over the first; the lines wait for the
// modal window to close.
class HandOvers : public QObject {
public:
    // Queues the command line; false once the main window has closed, as the
    // program is ending and nothing it is given would run.
    bool take(const QString &commandLine);

    // The main window is up. The waiting lines go after what its own load
    // has already queued (its command line), in the order they came.
    void open();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runLater();
    void run();

    QStringList m_waiting;
    QPointer<QWidget> m_modal; // the window the lines wait for
    bool m_open = false;
    bool m_running = false;
};
