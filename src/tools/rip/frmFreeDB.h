#pragma once

#include <QDialog>
#include <QString>

class cFreeDB;
class QLabel;
class QPushButton;
class XP_ProgressBar;

// Looks up the audio CD of the selected CD drive node in the CD database
// and writes what it learns straight into the main window: each track's
// title as its item name with the artist and album as tags, and the disc's
// artist and album as the node's name. Closes itself with the last track.
class frmFreeDB : public QDialog {
    Q_OBJECT
public:
    explicit frmFreeDB(QWidget *parent = nullptr);
    ~frmFreeDB() override;

    void Form_Load();
    void Form_Unload(int &cancel);
    // Starts the look-up for the main window's selected CD node; false (the
    // window has unloaded itself) when there is no connection.
    bool GetFreeDB();
    void cmdAbort_Click();

    void cFreeDB1_Notify();
    void cFreeDB1_Error(qint32 code, const QString &text);
    void cFreeDB1_State(const QString &text);
    void cFreeDB1_DiscArtist(const QString &text);
    void cFreeDB1_DiscTitle(const QString &text);
    void cFreeDB1_TrackInfo(const QString &artist, qint16 track, const QString &title);

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblCurrentTrack = nullptr;
    QLabel *lblArtist = nullptr;
    QLabel *lblAlbumName = nullptr;
    XP_ProgressBar *prgCurrnet = nullptr;
    QPushButton *cmdAbort = nullptr;
    cFreeDB *cFreeDB1 = nullptr;

    // The CD database server and the client host name given in the hello.
    static const QString kServer;
    static const QString kHelloHost;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    // Whether the CD list the look-up was started for is still the one the
    // main window shows; false once the user has moved to another list.
    bool lookupListShown() const;
    void unloadSelf();

    QString m_nodeKey;
    // Notify has hidden the window: nobody can press "Abort" any more.
    bool m_bHidden = false;
};

namespace Forms {
// The CD database window while it is loaded; null otherwise.
frmFreeDB *freeDB();
// Creates the window (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmFreeDB &loadFreeDB(QWidget *owner = nullptr);
}
