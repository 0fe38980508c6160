#include "settings/frmOptions.h"

#include "controls/ui/cImageList.h"
#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"
#include "core/TextRoom.h"
#include "core/WindowPlace.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedDestination.h"
#include "platform/AppPaths.h"
#include "platform/Services.h"
#include "settings/ColorBox.h"
#include "core/LinkLabel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

void paintBack(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    widget->setPalette(pal);
}

void paintPicture(QWidget *widget, const QPixmap &picture)
{
    if (!widget || picture.isNull())
        return;
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(pal);
}

QPixmap skinPicture(const QString &name)
{
    if (name.isEmpty())
        return QPixmap();
    return QPixmap(AppPaths::resourceFolder() + QStringLiteral("/View/") + name);
}

} // namespace

frmOptions::frmOptions(QWidget *parent)
    : QDialog(parent)
{
    buildWindow();
}

frmOptions::~frmOptions() = default;

RegistryRoutines &frmOptions::settingsKey()
{
    if (!m_settingsKey)
        m_settingsKey = std::make_unique<RegistryRoutines>();
    return *m_settingsKey;
}

void frmOptions::applySkin()
{
    bool ok = false;
    const qint32 number = g_sViewBackColor.toInt(&ok);
    if (ok) {
        const QColor back = ColorBox::toColor(number);
        paintBack(this, back);
        for (QWidget *page : {froGeneral, froEvents, froView, froTags, froAdvanced})
            paintBack(page, back);
        for (QCheckBox *box : {chkGoToNextItem, chkDisplayMSGWhenErase, chkDisplayMSGWhenExit, chkSaveLogWhenExit,
                               chkRunWhenWinStarts, chkAutoUpdate, chkDisplayLiveUpdateWindow, chkPlaySound, chkNoticeApp,
                               chkOpenDestFolder, chkTurnOffComputer, chkDisplayTitle, chkDisplayPlayer,
                               chkDisplayGridHotTrack, chkDisplayGridLine, chkCopyID3FromSource, chkDisplayAudioGraph,
                               chkClearOnExit})
            paintBack(box, back);
        if (g_lAppIncCDRipper == 1) {
            chkAutoFreeDB->setVisible(true);
            paintBack(chkAutoFreeDB, back);
        }
        paintBack(chkMenuXPStyle, back);
        paintBack(chkSelectTheLastItem, back);
    } else if (g_lAppIncCDRipper == 1) {
        chkAutoFreeDB->setVisible(true);
    }

    const QPixmap backPicture = skinPicture(g_sViewBackPicture);
    for (QWidget *widget : {static_cast<QWidget *>(this), froGeneral, froAdvanced, froTags, froEvents, froView})
        paintPicture(widget, backPicture);
    paintPicture(picTitle, skinPicture(g_sViewTitlePicture));
}

void frmOptions::Form_Load()
{
    // The window lives for the whole run: a modal showing (QDialog::exec)
    // must not destroy it on return, so it deletes itself only when it really
    // unloads (closeEvent).
    setAttribute(Qt::WA_DeleteOnClose, false);
    applySkin();
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("gears"), true);

    settingsKey().setHkey(HKEY_LOCAL_MACHINE);
    settingsKey().setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);

    // Every page stands beside the tree, as high as the tree.
    const QRect tree = cTreeView1->geometry();
    for (QWidget *page : {froGeneral, froEvents, froView, froTags, froAdvanced})
        page->setGeometry(tree.x() + tree.width() + Twips::toPixels(200), froGeneral->y(), froGeneral->width(),
                          tree.height());

    LoadFileNameFormats();
    mdlFunctions::LoadPathHistory(txtToPath);
    if (txtToPath->currentText().isEmpty())
        txtToPath->setEditText(AppPaths::programFolder() + QStringLiteral("/Main/"));
    BuildPageTree();
    mdlSupportedDestination::FillDestinationFormats(cboTargetFormat);
    GetOptions();
    cTreeView1_NodeClick(cTreeView1->Nodes().Item(1));
    UpdatePlaySoundEnabled();
    UpdateNoticeAppEnabled();
    UpdateTagFieldsEnabled();
    TextRoom::fitAll(this);
}

void frmOptions::BuildPageTree()
{
    struct PageNode {
        const char *key;
        const char *text;
        int icon;
    };
    static constexpr PageNode pages[] = {
        {"General", "General", 9}, {"Events", "Events", 10},   {"View", "View", 11},
        {"ID3 Tags", "Default ID3 Tags", 6}, {"Advanced", "Advanced", 59},
    };
    cTreeView1->setImageList(imgMenu);
    bool first = true;
    for (const PageNode &page : pages) {
        cTreeView1->Nodes().Add(nullptr, first ? cTreeNodes::First : cTreeNodes::Next, QString::fromLatin1(page.key),
                                QString::fromLatin1(page.text), page.icon, -1);
        first = false;
    }
}

void frmOptions::HideAllPages()
{
    for (QWidget *page : {froGeneral, froEvents, froView, froTags, froAdvanced})
        page->setVisible(false);
}

void frmOptions::cTreeView1_NodeClick(cTreeNode *Node)
{
    if (!Node || m_inNodeClick)
        return;
    // Selecting the node below tells the tree's selection watchers, which
    // come back here with the same node.
    m_inNodeClick = true;
    HideAllPages();
    const QString key = Node->Key();
    if (key == QLatin1String("General"))
        froGeneral->setVisible(true);
    else if (key == QLatin1String("Events"))
        froEvents->setVisible(true);
    else if (key == QLatin1String("View"))
        froView->setVisible(true);
    else if (key == QLatin1String("ID3 Tags"))
        froTags->setVisible(true);
    else if (key == QLatin1String("Advanced"))
        froAdvanced->setVisible(true);
    Node->setSelected(true);
    lblTitle->setText(Node->Text());
    m_inNodeClick = false;
}

void frmOptions::execOnPage(const QString &page, QWidget *owner)
{
    if (cTreeNode *node = cTreeView1->Nodes().Item(page)) {
        node->setSelected(true);
        cTreeView1_NodeClick(node);
    }
    WindowPlace::centreOnOwner(this, owner);
    exec();
}

QString frmOptions::targetFormat() const
{
    return cboTargetFormat->currentText();
}

int frmOptions::targetFormatIndex() const
{
    return cboTargetFormat->currentIndex();
}

void frmOptions::setTargetFormatIndex(int index)
{
    cboTargetFormat->setCurrentIndex(index);
}

void frmOptions::selectTargetFormat(const QString &format)
{
    cboTargetFormat->setCurrentIndex(cboTargetFormat->findText(format, Qt::MatchExactly));
}

void frmOptions::selectFileNameTemplate(const QString &name)
{
    cboFileName->setCurrentIndex(cboFileName->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void frmOptions::Form_Resize()
{
    cmdOk->setFocus();
}

void frmOptions::UpdatePlaySoundEnabled()
{
    const bool on = chkPlaySound->checkState() == Qt::Checked;
    for (QWidget *w : std::initializer_list<QWidget *>{txtPlayAtEnd, cmdAddSound, cmdTestSound})
        w->setEnabled(on);
}

void frmOptions::UpdateNoticeAppEnabled()
{
    const bool on = chkNoticeApp->checkState() == Qt::Checked;
    txtAppNotice->setEnabled(on);
    cmdTestApp->setEnabled(on);
}

void frmOptions::UpdateTagFieldsEnabled()
{
    // Tags copied from the source leave no use for the defaults.
    const bool defaults = chkCopyID3FromSource->checkState() != Qt::Checked;
    for (QWidget *w : std::initializer_list<QWidget *>{lblTagArtist, txtTagArtist, lblTagSong, txtTagSong, lblTagAlbum,
                                                        txtTagAlbum, lblTagGenre, txtTagGenre, lblTagTrack, txtTagTrack,
                                                        lblTagYear, txtTagYear, lblTagComment, txtTagComment})
        w->setEnabled(defaults);
}

void frmOptions::chkCopyID3FromSource_Click()
{
    UpdateTagFieldsEnabled();
}

void frmOptions::chkNoticeApp_Click()
{
    UpdateNoticeAppEnabled();
}

void frmOptions::chkPlaySound_Click()
{
    UpdatePlaySoundEnabled();
}

void frmOptions::Form_Unload(int &Cancel)
{
    if (!g_bAppClosing) {
        Cancel = 1;
        hide();
    }
    // A test sound still playing ends with the window.
    Services::instance().sound().play(QString());
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
    if (event->isAccepted())
        deleteLater();
}

void frmOptions::reject()
{
    // Escape closes the window like its close box.
    close();
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Resize();
}
