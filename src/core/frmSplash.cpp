#include "core/frmSplash.h"

#include "core/WindowPlace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
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
    Q_EMIT StatusShown(text);
}

void frmSplash::FadeIn()
{
    QPointer<frmSplash> self(this);
    for (int alpha = 0; alpha <= 255; alpha += 10) {
        setOpacity(alpha);
        QElapsedTimer waited;
        waited.start();
        // Hold each step until more than 5 ms have passed, handling paint and
        // input meanwhile; a double click may close the splash here. The wait
        // sleeps in an event loop: polling processEvents would spin a core.
        while (waited.elapsed() <= 5) {
            QEventLoop wait;
            // The time left is read again here and may have run out since
            // the check above; a negative interval would start no timer and
            // leave this loop waiting for ever.
            const qint64 left = qMax<qint64>(0, 6 - waited.elapsed());
            QTimer::singleShot(int(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
            wait.exec();
            if (!self)
                return;
        }
    }
    setOpacity(255);
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
}
