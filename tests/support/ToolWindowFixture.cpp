#include "support/ToolWindowFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/frmTurnOff.h"
#include "lists/ItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/AudioFormatSettings.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "controls/ui/XP_ProgressBar.h"
#include "tools/frame/RowJobWindow.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QFileInfo>
#include <QDir>
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

QVector<ItemsListRow::Data> ToolWindowFixture::mainRows(const QList<int> &rows) const
{
    QVector<ItemsListRow::Data> records;
    for (int row : rows)
        records << mainRow(row);
    return records;
}

QVector<ItemsListRow::Data> ToolWindowFixture::mainRows() const
{
    QList<int> rows;
    for (int row = 1; row <= mainGrid->Rows(); ++row)
        rows << row;
    return mainRows(rows);
}

ItemsListRow::Data ToolWindowFixture::mainRow(int row) const
{
    return ItemsGrid::readRow(*mainGrid, row);
}

void ToolFixture::SetUp()
{
    ToolWindowFixture::SetUp();
    g_lWavSampleRate = kRate;
    g_lWavChannelsIndex = 0;
    g_lWavBitsPerSample = 16;
    g_sDefaultTargetFormat = kWavFormat;
    g_sEndSoundFile = QStringLiteral("/opt/sounds/notify.wav");
    g_sNoticeCommandLine.clear();
    QDir().mkpath(destination());
}

QString ToolFixture::makeTone(const QString &name, qint64 frames)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    Fixture::writeWav(path, Fixture::WavSpec{kRate, 1, 16}, frames);
    return path;
}

int ToolFixture::addRow(const QString &path, const RowTags &tags, int rangeStart, int rangeLength)
{
    const int row = mainGrid->Rows() + 1;
    const auto set = [&](const char *key, const QString &text) {
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(key)), text);
    };
    const QFileInfo info(path);
    set("Inc", QStringLiteral("1"));
    set("Item Name", info.fileName());
    set("Time", QStringLiteral("0:00:10"));
    set("Size", QStringLiteral("160 KB"));
    set("Range", rangeStart < 0 ? QStringLiteral("All") : QStringLiteral("range"));
    set("COL_FILE", path);
    set("COL_RANGE_ALL", rangeStart < 0 ? QStringLiteral("1") : QStringLiteral("0"));
    set("COL_RANGE_START_TIME", rangeStart < 0 ? QString() : QString::number(rangeStart));
    set("COL_RANGE_LENGTH_TIME", rangeStart < 0 ? QString() : QString::number(rangeLength));
    set("COL_BYTES_SIZE", QString::number(info.size()));
    set("COL_TAG_ALBUM", tags.album);
    set("COL_TAG_ARTIST", tags.artist);
    set("COL_TAG_COMMENT", tags.comment);
    set("COL_TAG_GEN", tags.genre);
    set("COL_TAG_YEAR", tags.year);
    set("COL_TAG_TITLE", tags.title);
    set("COL_TAG_TRACK", tags.track);
    return row;
}

QString ToolFixture::destination() const
{
    return TestEnv::workFolder() + QStringLiteral("/out/");
}

qint64 ToolFixture::wavFrames(const QString &path)
{
    Fixture::WavSpec spec;
    const QVector<qint16> samples = Fixture::readWav16(path, &spec);
    return spec.channels > 0 ? samples.size() / spec.channels : 0;
}
