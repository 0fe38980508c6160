#pragma once

#include "tools/frame/RowJobWindow.h"

#include <QList>
#include <QVector>
#include <QString>

class cAudioConverter;

// The two converter windows: a row job on the audio converter control, one
// file per handed-over row, whole or by its range.
class AudioConverterWindow : public RowJobWindow {
    Q_OBJECT
public:
    explicit AudioConverterWindow(const ToolWindowLook &look, QWidget *parent = nullptr);
    ~AudioConverterWindow() override;

    // What the main window hands over before it shows the window: the
    // records of the marked items in list order and the name of the
    // selected list.
    void HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName);

    void cAudioConverter1_Progress(qint32 percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 code, const QString &text);

    cAudioConverter *cAudioConverter1 = nullptr;

protected:
    AudioDestination &jobDestination() override;
    void releaseJobControl() override;
    void abortJobControl() override;
    void setRowSource(qint32 row, const QString &path) override;
    AudioRange &rowRangeControl() override;
    void startRow(const QString &destination) override;
    qint32 rowsAtOnce() const override;
    void expectRows(const QVector<ConversionAhead> &rows) override;
};
