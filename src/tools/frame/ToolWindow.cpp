#include "tools/frame/ToolWindow.h"

#include "controls/ui/OleColor.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/cStatusBar.h"
#include "core/LinkLabel.h"
#include "core/TextRoom.h"
#include "core/TitleStrip.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedDestination.h"
#include "lists/ItemsGrid.h"
#include "lists/ListImages.h"
#include "platform/AppPaths.h"
#include "settings/FormatTabStrip.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <optional>

namespace {

// Window geometry in pixels; the window has a fixed size.
constexpr int kWidth = 600;
constexpr int kHeight = 500;
constexpr int kTitleHeight = 40;
constexpr int kMargin = 10;

std::optional<QColor> viewBackColour()
{
    bool ok = false;
    const qint32 number = g_sViewBackColor.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return OleColor::toQColor(quint32(number));
}

void paintBackground(QWidget *widget, const QColor &colour)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPixmap viewPicture(const QString &name)
{
    return QPixmap(AppPaths::programFolder() + QStringLiteral("/View/") + name);
}

void paintPicture(QWidget *widget, const QPixmap &picture)
{
    if (!widget || picture.isNull())
        return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

ToolWindow::ToolWindow(const ToolWindowLook &look, QWidget *parent)
    : QDialog(parent)
    , m_look(look)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(look.caption);
    setFixedSize(kWidth, kHeight);
    buildFrame();
}

ToolWindow::~ToolWindow() = default;

void ToolWindow::buildFrame()
{
    picTitle = new QWidget(this);
    picTitle->setGeometry(0, 0, kWidth, kTitleHeight);
    picTitle->setAutoFillBackground(true);
    lblTitle = new QLabel(m_look.caption, picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 3);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(kMargin * 2, 8, kWidth - 4 * kMargin, 24);

    // The window's own copy of the items grid is never shown.
    cGrid1 = new cGrid(this);
    cGrid1->setVisible(false);

    lblFilesToConvert = new QLabel(QStringLiteral("Files: 0/15"), this);
    lblFilesToConvert->setGeometry(kMargin, kTitleHeight + 6, kWidth - 2 * kMargin, 18);

    cTabControl1 = new FormatTabStrip(this);
    cTabControl1->setGeometry(kMargin - 2, kTitleHeight + 28, kWidth - 2 * kMargin + 4, 310);
    connect(cTabControl1, &FormatTabStrip::TabClick, this, &ToolWindow::cTabControl1_TabClick);

    TabSettings = new QWidget(this);
    TabEvents = new QWidget(this);
    TabLog = new QWidget(this);
    buildSettingsPage();
    buildEventsPage();
    txtLog = new QPlainTextEdit(TabLog);
    txtLog->setReadOnly(true);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    const int statusTop = kTitleHeight + 28 + 316;
    lblCurrentTrack = new QLabel(QStringLiteral("Ready."), this);
    lblCurrentTrack->setGeometry(kMargin, statusTop, kWidth - 2 * kMargin, 18);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(kMargin, statusTop + 20, kWidth - 2 * kMargin, 12);
    prgTotal = new XP_ProgressBar(this);
    prgTotal->setGeometry(kMargin, statusTop + 36, kWidth - 2 * kMargin, 12);

    const int buttonTop = statusTop + 56;
    cmdConvert = new QPushButton(m_look.convertCaption, this);
    cmdConvert->setGeometry(kMargin, buttonTop, 90, 26);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setGeometry(kMargin + 96, buttonTop, 90, 26);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setGeometry(kMargin + 192, buttonTop, 90, 26);
    connect(cmdAbort, &QPushButton::clicked, this, &ToolWindow::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &ToolWindow::cmdExit_Click);

    cStatusBar1 = new cStatusBar(this);
    cStatusBar1->setSizeGripEnabled(false);
    cStatusBar1->setGeometry(0, kHeight - 24, kWidth, 24);
}

void ToolWindow::buildSettingsPage()
{
    auto *folderLabel = new QLabel(QStringLiteral("Destination folder:"), TabSettings);
    folderLabel->setGeometry(8, 8, 300, 18);
    txtToPath = new QComboBox(TabSettings);
    txtToPath->setEditable(true);
    txtToPath->setInsertPolicy(QComboBox::NoInsert);
    txtToPath->setGeometry(8, 28, 420, 24);
    cmdSelectPath = new QPushButton(QStringLiteral("..."), TabSettings);
    cmdSelectPath->setToolTip(QStringLiteral("Select a new directory"));
    cmdSelectPath->setGeometry(434, 28, 30, 24);
    lblSetAsDefaultDestination = new LinkLabel(QStringLiteral("Set as default"), TabSettings);
    lblSetAsDefaultDestination->setToolTip(QStringLiteral("Set as default destination"));
    lblSetAsDefaultDestination->setGeometry(472, 32, 100, 18);

    chkCreateSubFolder = new QCheckBox(QStringLiteral("Under a new directory name:"), TabSettings);
    chkCreateSubFolder->setGeometry(8, 60, 200, 22);
    txtUndeForlder = new QLineEdit(TabSettings);
    txtUndeForlder->setGeometry(210, 60, 200, 22);
    lblOpenDestinationDestinationFolder = new LinkLabel(QStringLiteral("Open destination folder"), TabSettings);
    lblOpenDestinationDestinationFolder->setGeometry(420, 62, 160, 18);

    if (m_look.hasTargetFormat) {
        auto *formatLabel = new QLabel(QStringLiteral("Target format:"), TabSettings);
        formatLabel->setGeometry(8, 92, 300, 18);
        cboTargetFormat = new QComboBox(TabSettings);
        cboTargetFormat->setGeometry(8, 110, 330, 24);
        lblSetAsDefaultFormat = new LinkLabel(QStringLiteral("Set as default"), TabSettings);
        lblSetAsDefaultFormat->setToolTip(QStringLiteral("Set as default format"));
        lblSetAsDefaultFormat->setGeometry(346, 114, 100, 18);
        cmdEditTargetFormat = new QPushButton(QStringLiteral("Edit"), TabSettings);
        cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));
        cmdEditTargetFormat->setGeometry(450, 110, 60, 24);
    }

    if (m_look.hasOverWrite) {
        chkOverWrite = new QCheckBox(QStringLiteral("Overwrite existing files"), TabSettings);
        chkOverWrite->setGeometry(8, 142, 300, 22);
    }

    connect(chkCreateSubFolder, &QCheckBox::clicked, this, &ToolWindow::chkCreateSubFolder_Click);
    connect(cmdSelectPath, &QPushButton::clicked, this, &ToolWindow::cmdSelectPath_Click);
    // A choice from the list, by the user or by code, is the box's click;
    // typing is not.
    connect(txtToPath, &QComboBox::currentIndexChanged, this, [this] { txtToPath_Click(); });
    connect(txtToPath, &QComboBox::activated, this, [this] { txtToPath_Click(); });
    connect(lblSetAsDefaultDestination, &LinkLabel::clicked, this, &ToolWindow::lblSetAsDefaultDestination_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::clicked, this,
            &ToolWindow::lblOpenDestinationDestinationFolder_Click);
    if (!m_look.hasTargetFormat)
        return;
    connect(cboTargetFormat, &QComboBox::currentIndexChanged, this, [this] { cboTargetFormat_Click(); });
    connect(cboTargetFormat, &QComboBox::activated, this, [this] { cboTargetFormat_Click(); });
    connect(lblSetAsDefaultFormat, &LinkLabel::clicked, this, &ToolWindow::lblSetAsDefaultFormat_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &ToolWindow::cmdEditTargetFormat_Click);
}

void ToolWindow::buildEventsPage()
{
    Label20 = new QLabel(QStringLiteral("Events When Done:"), TabEvents);
    Label20->setGeometry(8, 8, 300, 18);
    chkPlaySound = new QCheckBox(m_look.playSoundCaption, TabEvents);
    chkPlaySound->setGeometry(16, 32, 300, 22);
    chkOpenDestFolder = new QCheckBox(QStringLiteral("Open the destination folder"), TabEvents);
    chkOpenDestFolder->setGeometry(16, 56, 300, 22);
    chkNoticeApp = new QCheckBox(m_look.noticeAppCaption, TabEvents);
    chkNoticeApp->setGeometry(16, 80, 300, 22);
    chkTurnOffComputer = new QCheckBox(QStringLiteral("Turn off computer"), TabEvents);
    chkTurnOffComputer->setGeometry(16, 104, 300, 22);
    lblEventsSettings = new LinkLabel(QStringLiteral("Events Options..."), TabEvents);
    lblEventsSettings->setToolTip(QStringLiteral("Parameters"));
    lblEventsSettings->setGeometry(16, 136, 200, 18);
    connect(lblEventsSettings, &LinkLabel::clicked, this, &ToolWindow::lblEventsSettings_Click);
}

void ToolWindow::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, m_look.iconName, true);
    applySkin();

    cTabControl1->AddTab(m_look.firstTabCaption, m_look.firstTabIcon, -1, QStringLiteral("Settings"));
    cTabControl1->AddTab(QStringLiteral("Events        "), 10, -1, QStringLiteral("Events"));
    cTabControl1->AddTab(QStringLiteral("Log             "), 36, -1, QStringLiteral("Log"));
    layoutPages();
    HideTabPages();
    TabSettings->setVisible(true);
    txtLog->setGeometry(Twips::toPixels(100), Twips::toPixels(100), TabLog->width() - Twips::toPixels(200),
                        TabLog->height() - Twips::toPixels(200));

    InitItemsGrid(cGrid1);

    mdlFunctions::LoadPathHistory(txtToPath);
    if (txtToPath->currentText().isEmpty())
        txtToPath->setEditText(AppPaths::defaultDestinationFolder());

    if (cboTargetFormat) {
        mdlSupportedDestination::FillDestinationFormats(cboTargetFormat);
        const QString defaultFormat
            = Forms::options() ? Forms::options()->targetFormat() : g_sDefaultTargetFormat;
        cboTargetFormat->setCurrentIndex(cboTargetFormat->findText(defaultFormat, Qt::MatchExactly));
    }

    setEventBoxesFromOptions();

    cStatusBar1->AddPanel(0, QString(), QString(), -1, 200, false, false, 0, QStringLiteral("Total Size"));
    cStatusBar1->AddPanel(0, QString(), QString(), -1, 64, false, false, 0, QStringLiteral("Total Time"));

    loadOwnControls();
    CheckUnderFolderEna();
    m_bLoaded = true;
    TextRoom::fitAll(this);
}

void ToolWindow::applySkin()
{
    TitleStrip::applyColors(picTitle, lblTitle);
    if (const auto back = viewBackColour()) {
        for (QWidget *w : {static_cast<QWidget *>(this), TabSettings, TabEvents, TabLog})
            paintBackground(w, *back);
    }
    prgCurrnet->setColor(quint32(g_lTitleBackColor));
    prgTotal->setColor(quint32(g_lTitleBackColor));
    if (!g_sViewBackPicture.isEmpty()) {
        const QPixmap picture = viewPicture(g_sViewBackPicture);
        for (QWidget *w : {static_cast<QWidget *>(this), TabSettings, TabEvents, TabLog})
            paintPicture(w, picture);
    }
    if (!g_sViewTitlePicture.isEmpty())
        paintPicture(picTitle, viewPicture(g_sViewTitlePicture));
}

void ToolWindow::layoutPages()
{
    // Each page reaches 50 twips left of the client area and keeps its right edge.
    const QRect client(Twips::toPixels(cTabControl1->ClientLeft() - 50), Twips::toPixels(cTabControl1->ClientTop()),
                       Twips::toPixels(cTabControl1->ClientWidth() + 50),
                       Twips::toPixels(cTabControl1->ClientHeight()));
    for (QWidget *page : {TabSettings, TabEvents, TabLog}) {
        page->setGeometry(client);
        page->raise();
    }
}

void ToolWindow::setEventBoxesFromOptions()
{
    chkNoticeApp->setChecked(BoolToCheckValue(g_bNoticeApp) == 1);
    chkOpenDestFolder->setChecked(BoolToCheckValue(g_bOpenDestFolder) == 1);
    chkPlaySound->setChecked(BoolToCheckValue(g_bPlaySound) == 1);
    chkTurnOffComputer->setChecked(BoolToCheckValue(g_bTurnOffComputer) == 1);
}

void ToolWindow::InitItemsGrid(cGrid *grid)
{
    // The grid shows the mark and type icons the main grid shows, from a list
    // of its own.
    if (!m_itemImages) {
        m_itemImages = new cImageList(this);
        ListImages::fillGridImages(*m_itemImages);
    }
    ItemsGrid::InitItemsGrid(*grid, m_itemImages, ItemsGrid::Variant::Tool);
}

void ToolWindow::HideTabPages()
{
    TabSettings->setVisible(false);
    TabEvents->setVisible(false);
    TabLog->setVisible(false);
}

void ToolWindow::cTabControl1_TabClick(qint32 /*lTab*/)
{
    HideTabPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == QLatin1String("Settings"))
        TabSettings->setVisible(true);
    else if (key == QLatin1String("Events"))
        TabEvents->setVisible(true);
    else if (key == QLatin1String("Log"))
        TabLog->setVisible(true);
}

void ToolWindow::setHandOverTexts(const QString &filesCaption, const QString &totalTimeText,
                                  const QString &totalSizeText, const QString &listName)
{
    // A long item name would run past the window: the line shows what fits,
    // its middle elided, and the tip the whole text.
    const QString shown = lblFilesToConvert->fontMetrics().elidedText(filesCaption, Qt::ElideMiddle,
                                                                      lblFilesToConvert->contentsRect().width());
    lblFilesToConvert->setText(shown);
    lblFilesToConvert->setToolTip(shown == filesCaption ? QString() : filesCaption);
    // The first panel carries the time and the second the size, whatever their keys say.
    cStatusBar1->setPanelText(QStringLiteral("Total Size"), totalTimeText);
    cStatusBar1->setPanelText(QStringLiteral("Total Time"), totalSizeText);
    txtUndeForlder->setText(mdlFunctions::MakeSafeFileName(listName));
}

bool ToolWindow::isRunning() const
{
    return !cmdConvert->isEnabled();
}

void ToolWindow::Form_Unload(int &cancel)
{
    if (isRunning()) {
        cancel = 1;
        return;
    }
    if (m_bLoaded)
        releaseJobControl();
    m_bLoaded = false;
}

void ToolWindow::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void ToolWindow::reject()
{
    close();
}

void ToolWindow::cmdExit_Click()
{
    close();
}

void ToolWindow::lblParameters_Click()
{
    Forms::loadProgParameters().execOnSection(frmProgParameters::FileNameSection);
}
