#include "support/ModalWatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

ModalWatchdog::ModalWatchdog(QObject *parent)
    : QObject(parent)
{
    m_tick.setInterval(250);
    connect(&m_tick, &QTimer::timeout, this, &ModalWatchdog::check);
    m_tick.start();
}

void ModalWatchdog::reset()
{
    m_watched.clear();
}

void ModalWatchdog::check()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        m_watched.clear();
        return;
    }
    if (modal != m_watched) {
        m_watched = modal;
        m_since.start();
        return;
    }
    if (m_since.elapsed() < kPatienceMs)
        return;
    m_watched.clear();
    ADD_FAILURE() << "the modal window \"" << modal->windowTitle().toStdString() << "\" ("
                  << modal->metaObject()->className() << ") was left open with nobody answering it";
    // done() ends the window's own event loop even when it refuses a close.
    const QPointer<QWidget> guard(modal);
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
    if (guard && guard->isVisible())
        guard->hide();
}
