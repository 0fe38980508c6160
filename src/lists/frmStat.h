#pragma once

#include <QDialog>
#include <QStringList>
#include <QVariant>

class cAudioConverter;
class cGrid;
class MainWindowFace;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The cancel request of the add-files window; set by Cancel and by closing
// the window, cleared when the window loads.
extern bool g_bCancelAddFiles;
// What the status label shows at each refresh.
extern QString g_sStatText;

// The add-files window: the one writer of new rows into an items grid. It
// opens the accepted files on a few worker threads at once, off the UI
// thread, and appends one marked row per file that holds audio, in the order
// the files were given, with a progress bar. The window and its rows live on
// the UI thread; the probe queue hands each result over by position and
// wakes the window through a queued event. When the list is changed or
// cleared meanwhile (the grid's rows generation moves on), the results still
// to come are dropped with the queue.
class frmStat : public QDialog {
    Q_OBJECT
public:
    explicit frmStat(QWidget *parent = nullptr);
    ~frmStat() override;

    void Form_Load();
    void Form_Unload(int &Cancel);
    void cmdCancel_Click();
    void tmrUpdate_Timer();

    // Appends a row per accepted path of Data to cGrid1, showing this window
    // modal to frm (the main window) meanwhile, so no other list can be
    // selected while the rows go in. Should the grid's rows be cleared,
    // removed or reordered all the same, the files still to come are dropped.
    // Closes the window at its end.
    QVariant AddFilesToList(const QStringList &Data, cGrid *cGrid1, QWidget *frm);

    // Whether the name's extension is one that the open dialog offers.
    static bool SupportAudioFile(const QString &sFileName);
    // The first of each of : ? < > \ / * | taken out.
    static QString getLegaName(const QString &sPath);

    QLabel *lblStat = nullptr;
    QProgressBar *cProgressBar1 = nullptr;
    QPushButton *cmdCancel = nullptr;
    cAudioConverter *cAudioConverter1 = nullptr;
    QTimer *tmrUpdate = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

public Q_SLOTS:
    // Escape asks for a Cancel, like the button.
    void reject() override;

private:
    bool m_adding = false;
};

// The add-files window while it is loaded, else null.
extern frmStat *g_frmStat;

namespace AddFiles {

// Loads the add-files window, unless one is loaded already (then null).
frmStat *loadStat(QWidget *owner);
void unloadStat();

// The calling protocol of every caller: load the window, add, unload it, save
// the list and refresh its status panel. The rows and the save go to the list
// that was selected when the add started; answers the number of rows added.
int addToSelectedList(MainWindowFace &main, const QStringList &paths);

} // namespace AddFiles
