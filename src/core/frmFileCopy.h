#pragma once

#include "controls/Worker.h"

#include <QDialog>

#include <memory>

class FileCopyClass;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// Copies one file with a progress bar and closes itself when done. The caller
// starts the copy and shows it modal. The copy runs on a worker; the window
// reads its percentage on a timer and takes its result as a queued ending.
class frmFileCopy : public QDialog {
    Q_OBJECT
public:
    explicit frmFileCopy(QWidget *parent = nullptr);
    ~frmFileCopy() override;

    // Starts the copy and returns; the window shows how it ends.
    void FileCopyEx(const QString &sSource, const QString &sDest);
    // Names the two files; the copy begins a moment later, from the event
    // loop of the modal window.
    void startCopy(const QString &source, const QString &destination);

    void tmrStart_Timer();
    void Timer1_Timer();
    void tmrEnd_Timer();
    void cmdOk_Click();
    void cmdExit_Click();

    QString g_sSourceFile;
    QString g_sDestFile;

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblFrom = nullptr;
    QLabel *lblTo = nullptr;
    QLabel *lblState = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdExit = nullptr;
    QTimer *tmrStart = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *tmrEnd = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void copyEnded(const FileCopyClass &copy);

    std::shared_ptr<FileCopyClass> m_copy; // only while a copy runs
    Worker m_worker;
};

// The file copy window while it is loaded, else null.
extern frmFileCopy *g_frmFileCopy;
