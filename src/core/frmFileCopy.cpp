#include "core/frmFileCopy.h"

#include "core/FileCopyClass.h"
#include "core/TitleStrip.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmFileCopy *g_frmFileCopy = nullptr;

namespace {

QTimer *makeTimer(QObject *parent, int interval)
{
    auto *timer = new QTimer(parent);
    timer->setInterval(interval);
    return timer;
}

} // namespace

frmFileCopy::frmFileCopy(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File Copy"));

    picTitle = new QWidget(this);
    lblTitle = new QLabel(QStringLiteral("File Copy"), picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto *titleLayout = new QHBoxLayout(picTitle);
    titleLayout->addWidget(lblTitle);

    lblFrom = new QLabel(this);
    lblTo = new QLabel(this);
    for (QLabel *path : {lblFrom, lblTo}) {
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
        path->setMinimumWidth(360);
    }
    lblState = new QLabel(QStringLiteral("State"), this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);

    tmrStart = makeTimer(this, 100);
    Timer1 = makeTimer(this, 1000);
    tmrEnd = makeTimer(this, 100);

    auto *paths = new QGridLayout;
    paths->addWidget(new QLabel(QStringLiteral("From:"), this), 0, 0);
    paths->addWidget(lblFrom, 0, 1);
    paths->addWidget(new QLabel(QStringLiteral("To:"), this), 1, 0);
    paths->addWidget(lblTo, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdExit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picTitle);
    layout->addLayout(paths);
    layout->addWidget(lblState);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);

    connect(tmrStart, &QTimer::timeout, this, &frmFileCopy::tmrStart_Timer);
    connect(Timer1, &QTimer::timeout, this, &frmFileCopy::Timer1_Timer);
    connect(tmrEnd, &QTimer::timeout, this, &frmFileCopy::tmrEnd_Timer);
    connect(cmdOk, &QPushButton::clicked, this, &frmFileCopy::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmFileCopy::cmdExit_Click);

    g_frmFileCopy = this;
    Form_Load();
}

frmFileCopy::~frmFileCopy()
{
    if (g_frmFileCopy == this)
        g_frmFileCopy = nullptr;
}

void frmFileCopy::Form_Load()
{
    TitleStrip::applyColors(picTitle, lblTitle);
    TitleStrip::applyBarColor(ProgressBar1);
}

void frmFileCopy::startCopy(const QString &source, const QString &destination)
{
    g_sSourceFile = source;
    g_sDestFile = destination;
    lblFrom->setText(source);
    lblTo->setText(destination);
    tmrStart->start();
}

void frmFileCopy::tmrStart_Timer()
{
    tmrStart->stop();
    FileCopyEx(g_sSourceFile, g_sDestFile);
}

void frmFileCopy::FileCopyEx(const QString &sSource, const QString &sDest)
{
    if (m_copy)
        return;
    cmdOk->setEnabled(false);
    cmdExit->setEnabled(false);
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(true);
    lblState->setText(QStringLiteral("Copying"));

    auto copy = std::make_shared<FileCopyClass>();
    copy->setCacheSize(8000);
    m_copy = copy;
    Timer1->start();
    // Only a window torn down mid-copy (the program ending) stops it; the
    // user cannot.
    m_worker.start(
        this,
        [copy, sSource, sDest](const std::atomic<bool> &abort) {
            copy->setAfterEachChunk([&abort] { return !abort; });
            copy->Copy(sSource, sDest);
        },
        [this, copy] { copyEnded(*copy); });
}

void frmFileCopy::copyEnded(const FileCopyClass &copy)
{
    Timer1->stop();
    m_copy.reset();
    cmdOk->setEnabled(true);
    cmdExit->setEnabled(true);
    if (copy.Sucessfull()) {
        ProgressBar1->setValue(100);
        lblState->setText(QStringLiteral("Ready"));
        tmrEnd->start();
        return;
    }
    // The window stays open on a failure: OK tries again, Exit closes it.
    lblState->setText(QStringLiteral("Failed"));
    MsgBox(copy.ErrorText(), Msg::Critical, QStringLiteral("File Copy"));
}

void frmFileCopy::Timer1_Timer()
{
    if (m_copy)
        ProgressBar1->setValue(m_copy->PercentREady());
}

void frmFileCopy::tmrEnd_Timer()
{
    tmrEnd->stop();
    close();
}

void frmFileCopy::cmdOk_Click()
{
    FileCopyEx(g_sSourceFile, g_sDestFile);
}

void frmFileCopy::cmdExit_Click()
{
    close();
}

void frmFileCopy::reject()
{
    // A running copy can be neither cancelled nor cut off by closing.
    if (cmdExit->isEnabled())
        QDialog::reject();
}

void frmFileCopy::closeEvent(QCloseEvent *event)
{
    if (!cmdExit->isEnabled()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
