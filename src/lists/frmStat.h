#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class cAudioConverter;
class ItemProbeQueue;
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
// the files were given, with a progress bar. The window, its probe queue and
// the rows live on the UI thread; a worker that has put a result in its place
// wakes the window through one queued call, and each call writes at most one
// file's row before handing the event loop back, so Cancel, the label's timer
// and painting are served between files without a nested loop. When the list
// is changed or cleared meanwhile (the grid's rows generation moves on), the
// results still to come are dropped with the queue; destroying the window
// stops and joins the workers before anything else goes.
class frmStat : public QDialog {
    Q_OBJECT
public:
    explicit frmStat(QWidget *parent = nullptr);
    ~frmStat() override;

    void Form_Load();
    void Form_Unload(int &Cancel);
    void cmdCancel_Click();
    void tmrUpdate_Timer();

    // Starts appending a row per accepted path of Data to the main window's
    // items grid and returns; the window stays modal to the main window
    // meanwhile, so no other list can be selected while the rows go in.
    // Should the grid's rows be cleared, removed or reordered all the same,
    // the files still to come are dropped. Hides the window and emits
    // finished at its end.
    void AddFilesToList(const QStringList &Data, MainWindowFace &main);
    // The paths of the next add were dropped on the window: one that names
    // nothing is passed over without a word.
    void setDropped(bool dropped) { m_dropped = dropped; }

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

Q_SIGNALS:
    // The add is over: ended, cancelled, or dropped because the list changed
    // (then added is 0, as the rows written went with the old list).
    void finished(int added);

private:
    // Asks for one more step on the UI thread; safe from any thread, and at
    // most one request waits in the queue at a time.
    void wake();
    // Writes the next file's row once its result is in, or ends the add.
    void step();
    void finish(bool stale);

    // The time a step may take before the event loop is served again, and
    // the rows it may write at most.
    static constexpr int kSliceMs = 8;
    static constexpr int kStepRows = 1000;

    bool m_adding = false;
    bool m_stepping = false;
    std::atomic<bool> m_wakePending{false};
    // The add in hand.
    QStringList m_paths;
    // The main window, while its widget (m_owner) lives.
    MainWindowFace *m_main = nullptr;
    QPointer<QWidget> m_owner;
    quint64 m_generation = 0;
    int m_added = 0;
    int m_next = 1;
    bool m_copyTags = false;
    bool m_dropped = false;
    std::unique_ptr<ItemProbeQueue> m_probes;
};

// The add-files window while it is loaded, else null.
extern frmStat *g_frmStat;

namespace AddFiles {

// Loads the add-files window, unless one is loaded already (then null).
frmStat *loadStat(QWidget *owner);
void unloadStat();

// The calling protocol of every caller: load the window and start the add;
// once it is over, unload the window, save the list and refresh its status
// panel, then call done with the number of rows added. The rows and the save
// go to the list that was selected when the add started. Answers whether the
// add started: with no list selected, or while another add runs, nothing is
// added and done is never called. Nor is it should the main window go first.
// While the selected list is still loading the add waits for it and starts
// once it is in (true is answered then), unless another list is shown by then.
// Dropped paths that name nothing are passed over without a word.
enum class Origin { Chosen, Dropped };
bool addToSelectedList(MainWindowFace &main, const QStringList &paths, std::function<void(int added)> done = {},
                       Origin origin = Origin::Chosen);

} // namespace AddFiles
