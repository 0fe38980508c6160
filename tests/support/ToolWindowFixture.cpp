#include "support/ToolWindowFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/frmTurnOff.h"
#include "lists/ItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "controls/ui/XP_ProgressBar.h"
#include "tools/frame/RowJobWindow.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

void ToolWindowFixture::SetUp()
{
    mainGrid = std::make_unique<cGrid>();
    ItemsGrid::InitItemsGrid(*mainGrid, nullptr, ItemsGrid::Variant::Main);
}

void ToolWindowFixture::TearDown()
{
    mainGrid.reset();
    unloadSettingsWindows();
}

void ToolWindowFixture::unloadSettingsWindows()
{
    g_bAppClosing = true;
    Forms::unload(Forms::options());
    Forms::unload(Forms::audioProp());
    g_bAppClosing = false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList ToolWindowFixture::logMessages(const QPlainTextEdit *log)
{
    QStringList messages;
    static const QRegularExpression timeAndMessage(
        QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2}(?:\\s?[AaPp]\\.?[Mm]\\.?)?:(.*)$"));
    for (QString line : log->toPlainText().split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        const QRegularExpressionMatch m = timeAndMessage.match(line);
        messages << (m.hasMatch() ? m.captured(1) : line);
    }
    while (!messages.isEmpty() && messages.last().isEmpty())
        messages.removeLast();
    return messages;
}

QStringList ToolWindowFixture::logMessages(const ToolWindow &window)
{
    return logMessages(window.txtLog);
}

QString ToolWindowFixture::rowJobState(const RowJobWindow &w)
{
    return QStringList{w.lblCurrentTrack->text(), w.windowTitle(), w.lblFilesToConvert->text()}.join(u'|')
        + QStringLiteral(" | %1 %2 | %3 %4 %5 | row %6 | %7")
              .arg(w.prgCurrnet->Value())
              .arg(w.prgTotal->Value())
              .arg(w.g_ltmrItemSecs)
              .arg(w.g_ltmrCurItemSecs)
              .arg(w.g_ltmrUpToItemSecs)
              .arg(w.m_lCurrentRow)
              .arg(w.isRunning() ? "running" : "idle");
}

bool ToolWindowFixture::waitForJobEnd(const ToolWindow &window, int balloons)
{
    const bool ended = waitUntil(
        [&] { return testServices().tray->balloons.size() >= balloons && !window.isRunning(); }, 60000);
    flushEvents();
    return ended;
}

TurnOffWatcher::TurnOffWatcher()
    : m_timer(new QTimer)
{
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *turnOff = qobject_cast<frmTurnOff *>(w);
            if (turnOff && turnOff->isVisible()) {
                ++shown;
                seconds = turnOff->lblSecToShutDown->text().toInt();
                turnOff->cmdCancel->click();
            }
        }
    });
    m_timer->start(10);
}

TurnOffWatcher::~TurnOffWatcher()
{
    delete m_timer;
}

ConverterEvents::~ConverterEvents()
{
    for (const QMetaObject::Connection &c : m_connections)
        QObject::disconnect(c);
}
