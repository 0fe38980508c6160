#pragma once

#include <QDialog>

class FileCopyClass;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// Copies one file with a progress bar and closes itself when done. The caller
// starts the copy and shows it modal.
class frmFileCopy : public QDialog {
    Q_OBJECT
public:
    explicit frmFileCopy(QWidget *parent = nullptr);
    ~frmFileCopy() override;

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

    FileCopyClass *m_copy = nullptr; // lives only while a copy runs
};

// The file copy window while it is loaded, else null.
extern frmFileCopy *g_frmFileCopy;
