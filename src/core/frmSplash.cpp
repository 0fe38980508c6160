#include "core/frmSplash.h"

#include "core/WindowPlace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setFixedSize(Twips::toPixels(4020), Twips::toPixels(1245));
    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(rect());
    picTitle = new QFrame(this);
    picTitle->setAutoFillBackground(true);
    picTitle->setGeometry(1, 1, width() - 2, Twips::toPixels(495));
    lblAppTitle = new QLabel(picTitle);
    QFont titleFont = lblAppTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblAppTitle->setFont(titleFont);
    lblAppTitle->setGeometry(Twips::toPixels(120), 0, picTitle->width() - Twips::toPixels(240), picTitle->height());
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setGeometry(Twips::toPixels(120), Twips::toPixels(540), width() - Twips::toPixels(240), Twips::toPixels(255));
    lblStat = new QLabel(QStringLiteral("Loading..."), this);
    lblStat->setGeometry(Twips::toPixels(120), Twips::toPixels(870), width() - Twips::toPixels(240), Twips::toPixels(255));
    m_fade = new QTimer(this);
    m_fade->setTimerType(Qt::PreciseTimer);
    m_fade->setInterval(6);
    connect(m_fade, &QTimer::timeout, this, &frmSplash::fadeStep);
}

void frmSplash::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("AAA"), true);
    lblAppTitle->setText(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    lblVersion->setText(QStringLiteral("Version ") + g_sAppFullVersion);
    // Not drawn until the fade sets the first opacity.
    setWindowOpacity(0.0);
    if (!g_sViewBackColor.isEmpty()) {
        bool ok = false;
        const qint64 bgr = g_sViewBackColor.toLongLong(&ok);
        if (ok) {
            // The stored number is blue-green-red, lowest byte red.
            const QColor colour(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
            QPalette p = palette();
            p.setColor(QPalette::Window, colour);
            setPalette(p);
            setAutoFillBackground(true);
            QPalette t = picTitle->palette();
            t.setColor(QPalette::Window, colour);
            picTitle->setPalette(t);
        }
    }
    WindowPlace::centreOnScreen(this);
    mdlOnTop::SetFormOnTop(this, true);
    hide();
}

void frmSplash::Form_Unload(int &)
{
}

void frmSplash::setOpacity(int alpha)
{
    setWindowOpacity(alpha / 255.0);
    Q_EMIT OpacitySet(alpha);
}

void frmSplash::setStatus(const QString &text)
{
    lblStat->setText(text);
    // The windows that load next keep the event loop busy: drawn now or never.
    lblStat->repaint();
    Q_EMIT StatusShown(text);
}

void frmSplash::FadeIn()
{
    m_alpha = 0;
    setOpacity(m_alpha);
    // More than 5 ms a step; the timer's ticks leave the event loop free
    // between them.
    m_fade->start();
}

void frmSplash::fadeStep()
{
    m_alpha += 10;
    if (m_alpha <= 255) {
        setOpacity(m_alpha);
        return;
    }
    setOpacity(255);
    endFade();
}

void frmSplash::endFade()
{
    if (!m_fade->isActive())
        return;
    m_fade->stop();
    Q_EMIT FadeEnded();
}

void frmSplash::CloseSplash()
{
    Forms::unload(this);
}

void frmSplash::mouseDoubleClickEvent(QMouseEvent *)
{
    Forms::unload(this);
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
    if (event->isAccepted())
        endFade();
}
