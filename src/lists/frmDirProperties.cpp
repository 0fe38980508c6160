#include "lists/frmDirProperties.h"

#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/LinkLabel.h"
#include "core/TextRoom.h"
#include "core/MainWindowFace.h"
#include "core/TitleStrip.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsListFolder.h"
#include "lists/ItemsTreeNodeKey.h"
#include "lists/ListOptions.h"
#include "lists/ListTitleStrip.h"
#include "lists/NameKeyFilter.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

frmDirProperties *g_frmDirProperties = nullptr;

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

const QString listsRootText = QStringLiteral("Items Lists");

} // namespace

frmDirProperties::frmDirProperties(MainWindowFace *main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
    , m_mainWidget(main ? main->mainWidget() : nullptr)
{
    setWindowTitle(QStringLiteral("Items List Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    lblTitle = buildListTitleStrip(picTitle, QStringLiteral("Properties"), this);

    cTabControl1 = new QTabWidget(this);
    TabGeneral = new QWidget;
    lblFolderName = new QLabel(QStringLiteral("Items List Name:"), TabGeneral);
    txtFolderName = new QLineEdit(TabGeneral);
    txtFolderName->setEnabled(false);
    txtFolderName->installEventFilter(this);
    lblPath = new QLabel(QStringLiteral("Path:"), TabGeneral);
    txtPath = new QLineEdit(TabGeneral);
    txtPath->setReadOnly(true);
    lblThisFolderContain = new QLabel(QStringLiteral("This items list contains:"), TabGeneral);
    lblContain = new QLabel(TabGeneral);
    lblOpenDestinationDestinationFolder = new LinkLabel(QStringLiteral("Open destination folder"), TabGeneral);
    auto *page = new QGridLayout(TabGeneral);
    page->addWidget(lblFolderName, 0, 0);
    page->addWidget(txtFolderName, 0, 1);
    page->addWidget(lblPath, 1, 0);
    page->addWidget(txtPath, 1, 1);
    page->addWidget(lblThisFolderContain, 2, 0, 1, 2);
    page->addWidget(lblContain, 3, 0, 1, 2);
    page->addWidget(lblOpenDestinationDestinationFolder, 4, 0, 1, 2);
    page->setRowStretch(5, 1);

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picTitle);
    layout->addWidget(cTabControl1, 1);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmDirProperties::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDirProperties::cmdCancel_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::clicked, this,
            &frmDirProperties::lblOpenDestinationDestinationFolder_Click);

    g_frmDirProperties = this;
    Form_Load();
}

frmDirProperties::~frmDirProperties()
{
    if (g_frmDirProperties == this)
        g_frmDirProperties = nullptr;
}

void frmDirProperties::setNode(cTreeNode *node)
{
    m_node = node;
}

cTreeNode *frmDirProperties::node() const
{
    return m_node;
}

void frmDirProperties::showNode(cTreeNode *node)
{
    setNode(node);
    txtFolderName->setText(node->Text());
    lblContain->setText(m_mainWidget ? m_main->panelText(QStringLiteral("Items List Properties")) : QString());
    txtPath->setText(node->Key());
    if (node->Text() == listsRootText) {
        close();
        return;
    }
    bEditFolderName = true;
    txtFolderName->setEnabled(true);
    show();
}

void frmDirProperties::Form_Load()
{
    TitleStrip::applyColors(picTitle, lblTitle);
    cTabControl1->addTab(TabGeneral, QStringLiteral("Information"));
    TextRoom::fitAll(this);
}

void frmDirProperties::cmdOk_Click()
{
    if (!bEditFolderName) {
        close();
        return;
    }
    // A name of blanks only is no name.
    if (txtFolderName->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Empty Item Name.") + blanks(42), Msg::Information);
        txtFolderName->setFocus();
        return;
    }
    const QString name = txtFolderName->text().trimmed();
    txtFolderName->setText(name);
    if (!mdlFunctions::IsValidName(name)) {
        MsgBox(QStringLiteral("Illegal Item Name.") + blanks(42), Msg::Information);
        txtFolderName->setFocus();
        qint16 key = '?';
        mdlFunctions::CheckNameKeyPress(txtFolderName, key);
        return;
    }

    cTreeNode *node = m_node;
    // The node went away while the window was open: nothing left to rename.
    if (!node || node->Text() == name) {
        close();
        return;
    }
    const QString key = node->Key();
    if (!ItemsTreeNodeKey::IsCDNode(key) && !ItemsTreeNodeKey::IsMainNode(key)) {
        if (!renameList(node, name)) {
            txtFolderName->setFocus();
            return;
        }
    }

    // The label names the list the grid shows; another node's new name does
    // not belong there.
    if (m_mainWidget && m_main->selectedListKey() == node->Key())
        m_main->setListNameText(name);
    node->setText(name);
    close();
}

bool frmDirProperties::renameList(cTreeNode *node, const QString &name)
{
    const QString oldKey = node->Key();
    const QString folder = mdlFunctions::GetFolderPath(oldKey);
    const QString fileName = name + QStringLiteral(".flst");
    if (ItemsListFolder::nameTaken(folder, fileName)) {
        MsgBox(QStringLiteral("Folder name already exists, please select a different name."), Msg::Information);
        return false;
    }
    const auto refuse = [](int error, const QString &description) {
        MsgBox(description + QStringLiteral(" (") + QString::number(error) + QStringLiteral(").") + blanks(28),
               Msg::Information);
        return false;
    };
    // Only list files of the lists folder are ever renamed.
    if (!ItemsTreeNodeKey::isListFileKey(oldKey, ListOptions::listsFolder()))
        return refuse(ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT)));

    const QString newKey = folder + fileName;
    const ItemsListFolder::RenameResult renamed = ItemsListFolder::renameListFile(oldKey, newKey);
    if (!renamed.ok)
        return refuse(renamed.error, renamed.description);
    if (!node->setKey(newKey)) {
        ItemsListFolder::renameListFile(newKey, oldKey);
        return refuse(EEXIST, QString::fromLocal8Bit(std::strerror(EEXIST)));
    }
    return true;
}

void frmDirProperties::cmdCancel_Click()
{
    close();
}

void frmDirProperties::lblOpenDestinationDestinationFolder_Click()
{
    QString p = txtPath->text();
    // A list's path names its file; the folder that holds it is what opens.
    const QFileInfo info(p);
    if (info.isFile())
        p = info.absolutePath();
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    txtPath->setText(p);

    // Keys of roots and drives are no paths; nothing is created for them.
    if (!QDir::isAbsolutePath(p))
        return;
    if (!QFileInfo(p).isDir()) {
        const int answer = MsgBox(QStringLiteral("The folder ") + p + QStringLiteral(" does not exist.") + blanks(44)
                                      + QStringLiteral("\r\n\r\nWould you like to create it?"),
                                  int(Msg::YesNo) + int(Msg::Information));
        if (answer != Msg::Yes)
            return;
        if (mdlFunctions::MakeFolderPath(p) != 0)
            MsgBox(QStringLiteral("The path: ") + p + QStringLiteral(" cannot be created."), Msg::OkOnly);
    }
    mdlFunctions::ShellOpen(this, p);
}

bool frmDirProperties::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFolderName && dropIllegalNameKey(txtFolderName, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void ShowItemsListProperties(MainWindowFace &main, cTreeNode *node)
{
    if (!node)
        return;
    // One window at a time: a second opening shows the new node.
    if (g_frmDirProperties)
        g_frmDirProperties->close();
    auto *form = new frmDirProperties(&main, main.mainWidget());
    form->setWindowFlag(Qt::Window);
    form->showNode(node);
}
