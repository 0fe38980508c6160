#include "tools/convert/AudioConverterWindow.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/cGrid.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"

#include <QLabel>

#include <limits>

AudioConverterWindow::AudioConverterWindow(const ToolWindowLook &look, QWidget *parent)
    : RowJobWindow(look, parent)
    , cAudioConverter1(new cAudioConverter(this))
{
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &AudioConverterWindow::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &AudioConverterWindow::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &AudioConverterWindow::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &AudioConverterWindow::cAudioConverter1_Error);
    connect(cAudioConverter1, &cAudioConverter::Warning, this, [this](const QString &text) { log(text); });
}

AudioConverterWindow::~AudioConverterWindow() = default;

void AudioConverterWindow::HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName)
{
    qint64 seconds = 0;
    qint64 bytes = 0;
    for (const ItemsListRow::Data &data : rows) {
        seconds += data.seconds().value_or(0);
        bytes += data.bytes();
    }
    const qint32 total = qint32(qMin<qint64>(seconds, std::numeric_limits<qint32>::max()));
    lblFilesToConvert->setText(QString::number(rows.size()) + QStringLiteral(" items to convert."));
    g_ltmrItemSecsTotal = total;
    setHandOverTexts(lblFilesToConvert->text(), QStringLiteral("Total Time: ") + mdlFunctions::SecondsToHMS(total),
                     QStringLiteral("Total Size: ") + mdlFileSystem::FormatFileSize(double(bytes)), listName);
    for (const ItemsListRow::Data &data : rows)
        setJobRow(jobRowCount() + 1, data);
    if (cGrid1->Rows() > 0)
        cGrid1->setSelectedRow(1);
}

AudioDestination &AudioConverterWindow::jobDestination()
{
    return *cAudioConverter1;
}

void AudioConverterWindow::releaseJobControl()
{
    cAudioConverter1->Terminate();
}

void AudioConverterWindow::abortJobControl()
{
    cAudioConverter1->Abort();
}

void AudioConverterWindow::setRowSource(qint32 row, const QString &path)
{
    Q_UNUSED(row)
    cAudioConverter1->SourceFile(path);
}

AudioRange &AudioConverterWindow::rowRangeControl()
{
    return *cAudioConverter1;
}

void AudioConverterWindow::startRow(const QString &destination)
{
    Q_UNUSED(destination)
    cAudioConverter1->Convert();
}

qint32 AudioConverterWindow::rowsAtOnce() const
{
    return cAudioConverter1->conversionsAtOnce();
}

void AudioConverterWindow::expectRows(const QVector<ConversionAhead> &rows)
{
    cAudioConverter1->ConvertAhead(rows);
}

void AudioConverterWindow::cAudioConverter1_Progress(qint32 percent)
{
    onRowProgress(percent);
}

void AudioConverterWindow::cAudioConverter1_Done()
{
    onRowDone();
}

void AudioConverterWindow::cAudioConverter1_Aborted()
{
    onRowAborted();
}

void AudioConverterWindow::cAudioConverter1_Error(qint32 code, const QString &text)
{
    onRowError(code, text);
}
