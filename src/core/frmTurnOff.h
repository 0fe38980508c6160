#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The countdown before the computer is turned off at the end of a job.
class frmTurnOff : public QDialog {
    Q_OBJECT
public:
    explicit frmTurnOff(QWidget *parent = nullptr);
    ~frmTurnOff() override;

    void StartShutDown(qint32 lNumOfSec);
    void ShutDown();

    void Timer1_Timer();
    void cmdCancel_Click();
    void cmdTurnOffNow_Click();

    qint32 lNumOfSecToShutDown = 0;

    QLabel *lblStatus = nullptr;
    QLabel *lblSecToShutDown = nullptr;
    QLabel *lblSeconds = nullptr;
    QLabel *lblApplInfo = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdTurnOffNow = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
};

// The countdown window while it is loaded, else null.
extern frmTurnOff *g_frmTurnOff;
