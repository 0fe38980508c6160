#pragma once

#include <QDialog>
#include <QPointer>

class LinkLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class cTreeNode;
class MainWindowFace;

// Shows one node of the tree of lists (name, key, what the list holds) and
// gives a list a new name, which renames its list file. Modeless: it keeps
// hold of the node it was opened for, whatever the tree selects meanwhile.
class frmDirProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmDirProperties(MainWindowFace *main, QWidget *parent = nullptr);
    ~frmDirProperties() override;

    void Form_Load();
    void cmdOk_Click();
    void cmdCancel_Click();
    void lblOpenDestinationDestinationFolder_Click();

    // The node whose properties are shown.
    void setNode(cTreeNode *node);
    cTreeNode *node() const;
    // Fills the window for node and shows it; for the root "Items Lists" (and
    // a list of that name) it closes instead.
    void showNode(cTreeNode *node);

    bool bEditFolderName = false;

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QTabWidget *cTabControl1 = nullptr;
    QWidget *TabGeneral = nullptr;
    QLabel *lblFolderName = nullptr;
    QLineEdit *txtFolderName = nullptr;
    QLabel *lblPath = nullptr;
    QLineEdit *txtPath = nullptr;
    QLabel *lblThisFolderContain = nullptr;
    QLabel *lblContain = nullptr;
    LinkLabel *lblOpenDestinationDestinationFolder = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Renames the node's list file to name; false (after telling the user)
    // when the name is taken or the file system refuses.
    bool renameList(cTreeNode *node, const QString &name);

    // The main window, while it is there.
    MainWindowFace *m_main = nullptr;
    QPointer<QWidget> m_mainWidget;
    QPointer<cTreeNode> m_node;
};

// The list properties window while it is loaded, else null.
extern frmDirProperties *g_frmDirProperties;

// Fills the window for node and shows it modeless; the root "Items Lists"
// (and a list of that name) shows nothing.
void ShowItemsListProperties(MainWindowFace &main, cTreeNode *node);
