#pragma once

#include <QMainWindow>

#include <memory>

class cContextMenu;
class cGrid;
class cTreeNode;
class cTreeView;
class QLabel;

// Set while the main window closes; the long-lived windows unload for real only then.
extern bool g_bAppClosing;

// The main window: owns the items lists for the whole run.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    void Form_Load();
    void Form_Unload(int &Cancel);
    void Form_Terminate();

    // The tray menu and the other popup menus; every command is one of its keys.
    cContextMenu &menu() const { return *m_cMenu; }
    void m_cMenu_Click(qint32 ItemNumber);
    void cSysTray1_MouseClick(qint32 Button);
    void GoSysTray();

    // True while the window is hidden in the tray.
    bool m_bInSysTray = false;

    // What the options window's OK and colour pickers reach; the items-list
    // and layout code fills these in.
    void setTree();
    void cTreeView1_NodeClick(cTreeNode *Node);
    void Form_Resize();
    cGrid *cGrid1 = nullptr;
    cTreeView *cTreeView1 = nullptr;
    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QWidget *cAudioGraphAmp = nullptr;
    QWidget *cAudioGraphFreq = nullptr;

    // The status panels by key ("Main", "Items List Properties", "Notes", "Master Volume").
    QString PanelText(const QString &key) const;
    void setPanelText(const QString &key, const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildMenus();
    void setOpenCaption(const QString &caption);
    void hideToTray();

    std::unique_ptr<cContextMenu> m_cMenu;
    QList<QPair<QString, QLabel *>> m_panels;
};
