#pragma once

#include "lists/ItemsListRow.h"

#include <QDialog>
#include <QTime>

#include <functional>

class cAudioConverter;
class cGrid;
class cImageList;
class LinkLabel;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;

// Edits one row of the items grid: its name, the range of its file that the
// tools process and the tags they write. Steps through the rows with << and
// >>; every accepted change goes straight into the grid and the list is
// saved at once through saveList.
class frmItem : public QDialog {
    Q_OBJECT
public:
    // The row edited first is the grid's selected row; the tabs take their
    // pictures from tabImages, the main window's menu pictures.
    frmItem(cGrid *grid, std::function<void()> saveList, QWidget *parent = nullptr,
            const cImageList *tabImages = nullptr);
    ~frmItem() override;

    void Form_Load();

    QVariant GetFileInfo();
    void SetIDvTags();
    QVariant GetRangeOptions();
    void EnableRangeControls();
    void HideTabPages();
    void MoveToRow(qint32 &row);
    // 0 written and saved; -1 the name was refused; 1 the range was refused.
    qint32 ApplyItemChanges();

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdOk_Click();
    void cmdApply_Click();
    void cmdExit_Click();
    void cTabControl1_TabClick(int index);
    void ptnAllFile_Click();
    void ptnConvertByTime_Click();
    void dtStartAfter_Change(const QTime &value);
    void dtUntil_Change(const QTime &value);
    void cmdGoTSoStart_Click();
    void cmdGoToEnd_Click();
    void lblFileName_Click();
    void lblPath_Click();
    void lblDefaultID3Tags_Click();
    void lblID3TagParameters_Click();

    qint32 lItem = 0;
    qint32 l_lGridRowNum = 0;

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QTabWidget *cTabControl1 = nullptr;
    QWidget *TabInfo = nullptr;
    QWidget *TabRange = nullptr;
    QWidget *TabTags = nullptr;

    QLineEdit *txtItemName = nullptr;
    LinkLabel *lblFileName = nullptr;
    LinkLabel *lblPath = nullptr;
    QLabel *lblTotalTime = nullptr;
    QLabel *lblTotalSize = nullptr;
    QLabel *lblCreated = nullptr;
    QLabel *lblFormat = nullptr;
    QLabel *lblSamples = nullptr;
    QLabel *lblBitrate = nullptr;
    QLabel *lblChannels = nullptr;

    QRadioButton *ptnAllFile = nullptr;
    QRadioButton *ptnConvertByTime = nullptr;
    QTimeEdit *dtStartAfter = nullptr;
    QTimeEdit *dtUntil = nullptr;
    QLabel *Label20 = nullptr;
    QLabel *Label21 = nullptr;
    QPushButton *cmdGoTSoStart = nullptr;
    QPushButton *cmdGoToEnd = nullptr;

    QLineEdit *txtTagArtist = nullptr;
    QLineEdit *txtTagSong = nullptr;
    QLineEdit *txtTagAlbum = nullptr;
    QLineEdit *txtTagYear = nullptr;
    QLineEdit *txtTagTrack = nullptr;
    QLineEdit *txtTagGenre = nullptr;
    QLineEdit *txtTagComment = nullptr;
    LinkLabel *lblDefaultID3Tags = nullptr;
    LinkLabel *lblID3TagParameters = nullptr;

    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdExit = nullptr;

    cAudioConverter *cAudioConverter1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void setStepButtons();
    void selectRangeOption(QRadioButton *option);
    // The item's whole length, from the "Total Time" caption; null when it is
    // no time.
    QTime totalTime() const;
    QString cell(ItemsListRow::Column column) const;
    // Values the window sets itself are shown as they are; only the user's
    // changes are held to the item's length.
    void setPickerTime(QTimeEdit *picker, const QTime &time);
    bool m_settingPicker = false;
    // Two digits fill a field of a picker, which then moves on to the next
    // by itself; the separator typed after them ("00:05:00") has been passed
    // already and would move it on once more, putting the rest into the
    // wrong field. True for such a separator.
    bool separatorAlreadyPassed(QTimeEdit *picker, const QKeyEvent &key);
    QTimeEdit *m_typedInto = nullptr; // the picker the last key typed a digit into
    int m_sectionBeforeDigit = -1;
    void setCell(ItemsListRow::Column column, const QString &text);

    cGrid *m_grid;
    std::function<void()> m_saveList;
    const cImageList *m_tabImages = nullptr;
};

// The item properties window while it is loaded, else null.
extern frmItem *g_frmItem;
