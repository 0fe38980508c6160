#include "app/HandOvers.h"

#include "core/forms.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

bool HandOvers::take(const QString &commandLine)
{
    if (m_open && !Forms::main())
        return false;
    m_waiting << commandLine;
    if (m_open)
        runLater();
    return true;
}

void HandOvers::open()
{
    m_open = true;
    if (!m_waiting.isEmpty())
        runLater();
}

void HandOvers::runLater()
{
    QMetaObject::invokeMethod(this, &HandOvers::run, Qt::QueuedConnection);
}

void HandOvers::run()
{
    // A line that opens a dialog runs its event loop inside this one; lines
    // arriving meanwhile wait for it to return.
    if (m_running)
        return;
    m_running = true;
    while (!m_waiting.isEmpty()) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            if (m_modal != modal) {
                if (m_modal)
                    m_modal->removeEventFilter(this);
                m_modal = modal;
                modal->installEventFilter(this);
            }
            break;
        }
        frmMain *main = Forms::main();
        if (!main) {
            m_waiting.clear();
            break;
        }
        main->TakeCommandLine(m_waiting.takeFirst());
    }
    m_running = false;
}

bool HandOvers::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_modal && event->type() == QEvent::Hide) {
        m_modal->removeEventFilter(this);
        m_modal = nullptr;
        // After the window's own loop has returned; another modal window
        // still up is waited for in turn.
        runLater();
    }
    return QObject::eventFilter(watched, event);
}
