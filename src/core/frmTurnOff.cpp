#include "core/frmTurnOff.h"

#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlShutDown.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

frmTurnOff *g_frmTurnOff = nullptr;

frmTurnOff::frmTurnOff(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Turn Off Computer"));
    setFixedSize(Twips::toPixels(5235), Twips::toPixels(1560));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Image1 = new QLabel(this);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    lblStatus = new QLabel(QStringLiteral("Computer will shutdown in"), this);
    lblSecToShutDown = new QLabel(QStringLiteral("100"), this);
    QFont big = lblSecToShutDown->font();
    big.setBold(true);
    lblSecToShutDown->setFont(big);
    lblSeconds = new QLabel(QStringLiteral("Seconds"), this);
    lblApplInfo = new QLabel(this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdTurnOffNow = new QPushButton(QStringLiteral("Shutdown Now"), this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);

    auto *countdown = new QHBoxLayout;
    countdown->addWidget(lblStatus);
    countdown->addWidget(lblSecToShutDown);
    countdown->addWidget(lblSeconds);
    countdown->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblApplInfo);
    buttons->addStretch();
    buttons->addWidget(cmdTurnOffNow);
    buttons->addWidget(cmdCancel);
    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    layout->addLayout(countdown, 0, 1);
    layout->addLayout(buttons, 1, 1);

    connect(Timer1, &QTimer::timeout, this, &frmTurnOff::Timer1_Timer);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTurnOff::cmdCancel_Click);
    connect(cmdTurnOffNow, &QPushButton::clicked, this, &frmTurnOff::cmdTurnOffNow_Click);

    g_frmTurnOff = this;
    Form_Load();
}

frmTurnOff::~frmTurnOff()
{
    if (g_frmTurnOff == this)
        g_frmTurnOff = nullptr;
}

void frmTurnOff::Form_Load()
{
    lblApplInfo->setText(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
}

void frmTurnOff::StartShutDown(qint32 lNumOfSec)
{
    lNumOfSecToShutDown = lNumOfSec;
    lblSecToShutDown->setText(QString::number(lNumOfSecToShutDown));
    Timer1->start();
    Timer1_Timer();
}

void frmTurnOff::Timer1_Timer()
{
    lblSecToShutDown->setText(QString::number(lNumOfSecToShutDown));
    if (lNumOfSecToShutDown > 0) {
        --lNumOfSecToShutDown;
    } else {
        Timer1->stop();
        ShutDown();
    }
}

void frmTurnOff::cmdCancel_Click()
{
    Timer1->stop();
    reject();
}

void frmTurnOff::cmdTurnOffNow_Click()
{
    Timer1->stop();
    lNumOfSecToShutDown = 0;
    lblSecToShutDown->setText(QStringLiteral("0"));
    ShutDown();
}

void frmTurnOff::ShutDown()
{
    // The program closes either way. A refusal is told first, so that a user
    // coming back does not take a running computer for a finished one.
    const bool accepted = mdlShutDown::ShutdownSystem(mdlShutDown::EWX_SHUTDOWN);
    reject();
    if (!accepted)
        MsgBox(QStringLiteral("The computer could not be turned off.\r\n\r\n") + mdlShutDown::LastError().Description,
               Msg::Exclamation);
    MainWindowFace *main = Forms::mainFace();
    Forms::unload(main ? main->mainWidget() : nullptr);
}

void frmTurnOff::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Resize();
}

void frmTurnOff::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmTurnOff::Form_Resize()
{
    // The window must stay above the tool window that waits for it, whatever
    // its size; the hint is set at construction and restored should anything drop it.
    if (!(windowFlags() & Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
    }
}
