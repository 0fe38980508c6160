// The CD ripper's part in the row job: which rows it rips, how a track goes
// onto the ripper control, and the disc's ejection at the end.
#include "tools/rip/frmCDRipper.h"

#include "controls/cd/cAudioCDRipper.h"
#include "lists/ItemsListRow.h"

#include <QCheckBox>
#include <QComboBox>

bool frmCDRipper::rowInJob(qint32 row) const
{
    const ItemsListRow::Data *track = jobRow(row);
    return track && track->incIcon == ItemsListRow::IconMarked;
}

void frmCDRipper::startingJob()
{
    cAudioCDRipper1->DeviceIndex(cboDevices->currentIndex());
}

void frmCDRipper::setRowSource(qint32 row, const QString &path)
{
    Q_UNUSED(path)
    // Row n is track n of the disc.
    cAudioCDRipper1->Track(row);
}

AudioRange &frmCDRipper::rowRangeControl()
{
    return *cAudioCDRipper1;
}

void frmCDRipper::startRow(const QString &destination)
{
    Q_UNUSED(destination)
    cAudioCDRipper1->Rip();
}

qint32 frmCDRipper::rowsAtOnce() const
{
    return cAudioCDRipper1->ripsAtOnce();
}

void frmCDRipper::expectRows(const QVector<ConversionAhead> &rows)
{
    cAudioCDRipper1->RipAhead(rows);
}

void frmCDRipper::abortJobControl()
{
    cAudioCDRipper1->Abort();
}

void frmCDRipper::ownEndEvents()
{
    if (chkOpenCDdrive->isChecked())
        cAudioCDRipper1->Eject();
}

void frmCDRipper::cAudioCDRipper1_Progress(qint32 percent)
{
    onRowProgress(percent);
}

void frmCDRipper::cAudioCDRipper1_Done()
{
    onRowDone();
}

void frmCDRipper::cAudioCDRipper1_Aborted()
{
    onRowAborted();
}

void frmCDRipper::cAudioCDRipper1_Error(qint32 code, const QString &text)
{
    onRowError(code, text);
}
