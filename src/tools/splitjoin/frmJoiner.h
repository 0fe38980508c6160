#pragma once

#include "tools/frame/ToolWindow.h"

#include <QList>
#include <QString>

class cAudioJoin;
class LinkLabel;
class QLineEdit;

// The joiner: writes the items it is handed, in grid order, each whole or by
// its range, into one file named by its own template.
class frmJoiner : public ToolWindow {
    Q_OBJECT
public:
    explicit frmJoiner(QWidget *parent = nullptr);
    ~frmJoiner() override;

    // What the main window hands over before it shows the window: the
    // records of the marked items in list order and the name of the
    // selected list.
    void HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName);

    void cmdConvert_Click();
    // Fills the control's list, asks before overwriting and starts the join.
    qint32 JoinFiles();
    QString MakeJoinedFileName(const QString &sTemplate) const;

    void cAudioJoin1_Progress(qint32 fileIndex, qint32 percent);
    void cAudioJoin1_Done();
    void cAudioJoin1_Aborted();
    void cAudioJoin1_Error(qint32 code, const QString &text);

    QLineEdit *txtJoinedFileName = nullptr;
    LinkLabel *lblParameters = nullptr;
    cAudioJoin *cAudioJoin1 = nullptr;

    // The last file whose "Add " line is in the log of the current job.
    qint32 m_lLastFileIndex = 0;

protected:
    AudioDestination &jobDestination() override;
    void releaseJobControl() override;
    void abortJobControl() override;
};

namespace Forms {
// The joiner while it is loaded; null otherwise.
frmJoiner *joiner();
// Creates the joiner (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmJoiner &loadJoiner(QWidget *owner = nullptr);
}
