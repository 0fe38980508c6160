// The main window's four toolbars, built from the edition table, and the
// routing of their clicks and of the status panels' clicks: every button and
// panel runs its key as a menu command, except the player buttons and the
// buttons that open a submenu.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/cReBar.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbar.h"
#include "controls/ui/cToolbarHost.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QStyle>

#include <map>

namespace {

struct FeaturedTool {
    const char *mainTool;
    const char *key;
    const char *playerCaption;
    int playerImage;
    const char *topCaption;
    int topImage;
};

// The tool that the edition features with a button of its own on the player
// and the top toolbars.
constexpr FeaturedTool kFeatured[] = {
    {"lAppIncConverter", "Audio Converter", "Convert", 19, "Convert", 7},
    {"lAppIncJoin", "Audio Joiner", "Join", 23, "Join", 64},
    {"lAppIncSplit", "Audio Splitter", "Splitter", 22, "Splitter", 63},
    {"lAppIncEditor", "Audio Analyser", "Analyser", 20, "Analyser", 62},
    {"lAppIncMicRec", "Audio Recorder", "Recorder", 24, "Recorder", 70},
    {"lAppIncCDRipper", "Audio CD Ripper", "CD Ripper", 25, "CD Ripper", 25},
    {"lAppIncAudioBurner", "Audio CD Maker", "Burn", 27, "Burn", 73},
    {"lAppIncACMConverter", "ACM Converter", "Convert", 21, "Converter", 61},
    {"lAppIncMP3Burner", "MP3 CD Maker", "Burn MP3", 26, "Burn MP3", 72},
    {"lAppIncWMABurner", "WMA CD Maker", "Burn WMA", 26, "Burn WMA", 72},
    {"lAppIncTTS", "Text To Speech", "TTS", 28, "TTS", 82},
};

const FeaturedTool *featuredTool()
{
    for (const FeaturedTool &tool : kFeatured) {
        if (g_sAppMainTool == QLatin1String(tool.mainTool))
            return &tool;
    }
    return nullptr;
}

bool isFeaturedKey(const QString &key)
{
    for (const FeaturedTool &tool : kFeatured) {
        if (key == QLatin1String(tool.key))
            return true;
    }
    return false;
}

void separator(cToolbar *t)
{
    t->AddButton(QString(), -1, QVariant(), 0, QString(), cToolbar::Separator);
}

void button(cToolbar *t, const char *key, const char *toolTip, const char *caption, int image, int style = cToolbar::Plain)
{
    t->AddButton(QString::fromLatin1(toolTip), image, QVariant(), 0, QString::fromLatin1(caption), style,
                 QString::fromLatin1(key));
}

// Writes the toolbar picture, when the skin gave one, as the host's background.
void backgroundStep(const QLabel *holder, cToolbarHost *host)
{
    const QPixmap picture = holder ? holder->pixmap() : QPixmap();
    if (picture.height() <= 0)
        return;
    const QString path = AppPaths::programFolder() + QStringLiteral("/tbbg.bmp");
    picture.save(path, "BMP");
    host->setBackgroundPictureFile(path);
}

QIcon standard(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

QIcon resource(const char *name, QStyle::StandardPixmap fallback)
{
    const QIcon icon(AppPaths::resourceFolder() + QStringLiteral("/icons/") + QLatin1String(name));
    return icon.availableSizes().isEmpty() ? standard(fallback) : icon;
}

// Pictures of the menu and toolbar commands at the places the tables name;
// the places the lists already fill keep theirs.
std::map<int, QIcon> commandPictures()
{
    return {
        {2, standard(QStyle::SP_FileDialogNewFolder)},   {5, standard(QStyle::SP_DialogSaveButton)},
        {6, resource("DOCUMENT_MUSIC.png", QStyle::SP_FileIcon)},
        {7, resource("REPLACE2.png", QStyle::SP_BrowserReload)}, {9, resource("GEARS.png", QStyle::SP_ComputerIcon)},
        {10, standard(QStyle::SP_MessageBoxWarning)},     {11, resource("COLORS.png", QStyle::SP_DesktopIcon)},
        {12, standard(QStyle::SP_DialogHelpButton)},      {18, resource("DOCUMENT_MUSIC.png", QStyle::SP_FileIcon)},
        {19, resource("GEARS.png", QStyle::SP_ComputerIcon)}, {22, standard(QStyle::SP_MessageBoxInformation)},
        {27, standard(QStyle::SP_DialogCloseButton)},     {32, standard(QStyle::SP_FileDialogContentsView)},
        {38, standard(QStyle::SP_MediaPlay)},             {39, standard(QStyle::SP_FileDialogNewFolder)},
        {45, standard(QStyle::SP_TitleBarNormalButton)},  {48, standard(QStyle::SP_FileIcon)},
        {49, standard(QStyle::SP_FileDialogDetailedView)}, {50, standard(QStyle::SP_TrashIcon)},
        {51, standard(QStyle::SP_FileDialogInfoView)},    {53, standard(QStyle::SP_TitleBarShadeButton)},
        {59, resource("GEARS.png", QStyle::SP_ComputerIcon)}, {60, resource("REPLACE2.png", QStyle::SP_BrowserReload)},
        {61, resource("REPLACE2.png", QStyle::SP_BrowserReload)}, {62, resource("DOCUMENT_PULSE.png", QStyle::SP_FileIcon)},
        {63, resource("CUT.png", QStyle::SP_ArrowRight)}, {64, standard(QStyle::SP_ArrowLeft)},
        {70, resource("MICROPHONE2.png", QStyle::SP_MediaVolume)}, {72, standard(QStyle::SP_DriveCDIcon)},
        {73, resource("CD_MUSIC.png", QStyle::SP_DriveCDIcon)}, {74, standard(QStyle::SP_DialogApplyButton)},
        {76, standard(QStyle::SP_TitleBarMinButton)},     {77, standard(QStyle::SP_ArrowDown)},
        {78, standard(QStyle::SP_DialogCloseButton)},     {80, standard(QStyle::SP_ArrowUp)},
        {81, standard(QStyle::SP_ArrowDown)},             {82, standard(QStyle::SP_MediaVolume)},
    };
}

// The player toolbar's larger pictures.
std::map<int, QIcon> playerPictures()
{
    return {
        {10, resource("GEARS.png", QStyle::SP_ComputerIcon)}, {13, standard(QStyle::SP_MediaPlay)},
        {14, standard(QStyle::SP_MediaStop)},                {16, standard(QStyle::SP_MediaPause)},
        {19, resource("REPLACE2.png", QStyle::SP_BrowserReload)}, {20, resource("DOCUMENT_PULSE.png", QStyle::SP_FileIcon)},
        {21, resource("REPLACE2.png", QStyle::SP_BrowserReload)}, {22, resource("CUT.png", QStyle::SP_ArrowRight)},
        {23, standard(QStyle::SP_ArrowLeft)},                {24, resource("MICROPHONE2.png", QStyle::SP_MediaVolume)},
        {25, resource("CD_MUSIC.png", QStyle::SP_DriveCDIcon)}, {26, standard(QStyle::SP_DriveCDIcon)},
        {27, resource("CD_MUSIC.png", QStyle::SP_DriveCDIcon)}, {28, standard(QStyle::SP_MediaVolume)},
    };
}

void fillList(cImageList &list, int count, const std::map<int, QIcon> &pictures)
{
    QList<QIcon> kept;
    for (int i = 0; i < list.ImageCount(); ++i)
        kept << list.icon(i);
    QPixmap empty(list.iconSize());
    empty.fill(Qt::transparent);
    list.Clear();
    for (int i = 0; i < count; ++i) {
        const auto found = pictures.find(i);
        if (found != pictures.end() && list.AddIcon(found->second) >= 0)
            continue;
        if (i < kept.size() && list.AddIcon(kept.at(i)) >= 0)
            continue;
        list.AddIcon(QIcon(empty));
    }
}

} // namespace

void frmMain::fillCommandImages()
{
    fillList(*imgMenu, 83, commandPictures());
    imgGeneral->setIconSize(24, 24);
    fillList(*imgGeneral, 29, playerPictures());
}

void frmMain::BuildToolbars()
{
    const FeaturedTool *featured = featuredTool();

    // Player toolbar.
    tlbrRecorder->setSetupStyle(2);
    tlbrRecorder->SetImageList(imgGeneral);
    tlbrRecorder->CreateToolbar(26, false, true, true);
    button(tlbrRecorder, "Play", "Play", "   Play   ", 13, cToolbar::DropDown);
    separator(tlbrRecorder);
    button(tlbrRecorder, "Pause", "Pause", "Pause", 16, cToolbar::Check);
    separator(tlbrRecorder);
    button(tlbrRecorder, "Stop", "Stop", "Stop", 14);
    separator(tlbrRecorder);
    if (featured)
        button(tlbrRecorder, featured->key, featured->key, featured->playerCaption, featured->playerImage);
    if (g_lAppIncConverter == 1)
        separator(tlbrRecorder);
    button(tlbrRecorder, "Tools", "Tools", "Tools", 10, cToolbar::DropDown);
    separator(tlbrRecorder);
    cToolbarHostRecorder->AddToolbar(tlbrRecorder);
    cToolbarHostRecorder->setFixedHeight(Twips::toPixels(820));

    // Top toolbar.
    tlbrTop->setSetupStyle(2);
    tlbrTop->setSetupValue2F(0);
    tlbrTop->setSetupFlag0C(true);
    tlbrTop->SetImageList(imgMenu);
    tlbrTop->CreateToolbar(16, false, true, true);
    if (g_lAppIncItemsLists == 1) {
        button(tlbrTop, "Add", "Add Files(s) to The Items List", "  Add File(s)  ", 2);
        separator(tlbrTop);
    }
    button(tlbrTop, "Items List", "Items List", "Items List", 39, cToolbar::DropDown);
    separator(tlbrTop);
    if (featured)
        button(tlbrTop, featured->key, featured->key, featured->topCaption, featured->topImage);
    button(tlbrTop, "Tools", "Tools", "Tools", 19, cToolbar::DropDown);
    separator(tlbrTop);
    button(tlbrTop, "Options", "Options", "Options", 9, cToolbar::DropDown);
    separator(tlbrTop);
    button(tlbrTop, "Mode", "Modes", "Mode", 45, cToolbar::DropDown);
    button(tlbrTop, "Help", "Help", "Help", 12, cToolbar::DropDown);
    tlbrTop->setSetupFlag05(0, true);
    backgroundStep(picToolBarJPGPicHolder, cToolbarHost1);
    cToolbarHost1->AddToolbar(tlbrTop);
    cToolbarHost1->setFixedHeight(Twips::toPixels(740));

    // Lists-tree toolbar: pictures only, the key as tooltip.
    tlbrProjects->setSetupStyle(2);
    tlbrProjects->setSetupValue2F(0);
    tlbrProjects->setSetupFlag0C(true);
    tlbrProjects->SetImageList(imgMenu);
    tlbrProjects->CreateToolbar(16, false, true, true);
    button(tlbrProjects, "New Items List", "New Items List", "", 48);
    button(tlbrProjects, "Rename Items List", "Rename Items List", "", 49);
    button(tlbrProjects, "Remove Items List", "Remove Items List", "", 50);
    separator(tlbrProjects);
    button(tlbrProjects, "Items List Properties", "Items List Properties", "", 51);
    tlbrProjects->setSetupFlag05(0, true);
    backgroundStep(picToolBarJPGPicHolder, tlbrProjectsHost);
    tlbrProjectsHost->AddToolbar(tlbrProjects);

    // Items toolbar, in the rebar under the grid.
    tlbrList->setSetupStyle(2);
    tlbrList->setSetupValue2F(0);
    tlbrList->setSetupFlag0C(true);
    tlbrList->SetImageList(imgMenu);
    tlbrList->CreateToolbar(16, false, true, true);
    if (g_lAppIncItemsLists == 1) {
        button(tlbrList, "Add Files", "Add File(s)", "", 2);
        separator(tlbrList);
    }
    button(tlbrList, "MarkUnmark All", "Mark/Unmark All", "", 74);
    separator(tlbrList);
    button(tlbrList, "Move Up", "Move Item Up", "", 0);
    button(tlbrList, "Move Down", "Move Item Down", "", 1);
    separator(tlbrList);
    button(tlbrList, "Move To First", "Move Item To First", "", 80);
    button(tlbrList, "Move To Last", "Move Item To Last", "", 81);
    separator(tlbrList);
    button(tlbrList, "Rename Item", "Edit Item", "", 32);
    separator(tlbrList);
    button(tlbrList, "Save As", "Save Item As", "", 5);
    separator(tlbrList);
    button(tlbrList, "Remove Item", "Remove Item", "", 3);
    button(tlbrList, "Clear the List", "Remove All", "", 27);
    if (g_lAppIncCDRipper == 1) {
        separator(tlbrList);
        button(tlbrList, "FreeDB", "Get FreeDB Information About CD", "", 22);
    }
    tlbrList->setSetupFlag0D(true);
    tlbrList->setSetupFlag05(0, true);

    rbrList->setSetupStyle(1);
    rbrList->CreateRebar(picList);
    rbrList->AddBand(tlbrList->hWnd(), QString(), false, false, QStringLiteral("Toolbar1"));
    rbrList->UpdateBand(0);

    connect(tlbrTop, &cToolbar::ButtonClick, this, &frmMain::tlbrTop_ButtonClick);
    connect(tlbrTop, &cToolbar::ButtonDropDown, this, &frmMain::tlbrTop_ButtonDropDown);
    connect(tlbrRecorder, &cToolbar::ButtonClick, this, &frmMain::tlbrRecorder_ButtonClick);
    connect(tlbrRecorder, &cToolbar::ButtonDropDown, this, &frmMain::tlbrRecorder_ButtonDropDown);
    connect(tlbrProjects, &cToolbar::ButtonClick, this, &frmMain::tlbrProjects_ButtonClick);
    connect(tlbrList, &cToolbar::ButtonClick, this, &frmMain::tlbrList_ButtonClick);
    connect(tlbrList, &cToolbar::ButtonDropDown, this, &frmMain::tlbrList_ButtonDropDown);
}

void frmMain::buildStatusPanels()
{
    cStatusBar1->setImageList(imgMenu);
    cStatusBar1->AddPanel(0, QString(), QString(), 47, 120, false, false, 0, QStringLiteral("Main"));
    cStatusBar1->AddPanel(0, QString(), QString(), -1, 180, false, false, 0, QStringLiteral("Items List Properties"));
    cStatusBar1->AddPanel(0, GetNotesToStatus(), QStringLiteral("Notes"), 8, 250, false, false, 0,
                          QStringLiteral("Notes"));
    cStatusBar1->AddPanel(0, QStringLiteral("Master Volume"), QString(), 79, 64, false, false, 0,
                          QStringLiteral("Master Volume"));
    cStatusBar1->setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    connect(cStatusBar1, &cStatusBar::PanelClick, this, &frmMain::cStatusBar1_PanelClick);
}

// --- Routing -----------------------------------------------------------------

void frmMain::routeCommand(const QString &key)
{
    Q_EMIT CommandRequested(key);
}

void frmMain::popSubmenu(cToolbar *toolbar, int index, const QString &itemKey)
{
    int x = 0;
    int y = 0;
    toolbar->GetButtonPosition(index, x, y);
    m_cMenu->ShowPopupAt(x, y, 0, 0, 0, 0, true, m_cMenu->IndexForKey(itemKey));
}

namespace {

// The item whose submenu a menu button of the top toolbar opens.
QString submenuItemOf(const QString &key)
{
    if (key == QLatin1String("Items List"))
        return QStringLiteral("Save As");
    if (key == QLatin1String("Tools"))
        return QStringLiteral("Notes");
    if (key == QLatin1String("Options"))
        return QStringLiteral("ID3 Tags");
    if (key == QLatin1String("Mode"))
        return QStringLiteral("Transparent");
    if (key == QLatin1String("Help"))
        return QStringLiteral("About");
    return QString();
}

} // namespace

void frmMain::tlbrTop_ButtonClick(int index)
{
    const QString key = tlbrTop->ButtonKey(index);
    if (key != QLatin1String("On Top") && tlbrTop->ButtonChecked(QStringLiteral("On Top")))
        SetOnTop(false);
    if (key == QLatin1String("Add")) {
        routeCommand(QStringLiteral("Add Files"));
        return;
    }
    if (isFeaturedKey(key)) {
        routeCommand(key);
        return;
    }
    const QString item = submenuItemOf(key);
    if (!item.isEmpty())
        popSubmenu(tlbrTop, index, item);
}

void frmMain::tlbrTop_ButtonDropDown(int index)
{
    const QString item = submenuItemOf(tlbrTop->ButtonKey(index));
    if (!item.isEmpty())
        popSubmenu(tlbrTop, index, item);
}

void frmMain::tlbrRecorder_ButtonClick(int index)
{
    const QString key = tlbrRecorder->ButtonKey(index);
    if (key == QLatin1String("Play"))
        StartPlay();
    else if (key == QLatin1String("Pause"))
        pauseCommand();
    else if (key == QLatin1String("Stop"))
        stopCommand();
    else if (isFeaturedKey(key))
        routeCommand(key);
    else if (key == QLatin1String("Tools"))
        popSubmenu(tlbrRecorder, index, QStringLiteral("Notes"));
}

void frmMain::tlbrRecorder_ButtonDropDown(int index)
{
    const QString key = tlbrRecorder->ButtonKey(index);
    if (key == QLatin1String("Play"))
        popSubmenu(tlbrRecorder, index, QStringLiteral("Open Default Player"));
    else if (key == QLatin1String("Tools"))
        popSubmenu(tlbrRecorder, index, QStringLiteral("Notes"));
}

void frmMain::tlbrProjects_ButtonClick(int index)
{
    SetOnTop(false);
    routeCommand(tlbrProjects->ButtonKey(index));
}

void frmMain::tlbrList_ButtonClick(int index)
{
    SetOnTop(false);
    routeCommand(tlbrList->ButtonKey(index));
}

void frmMain::tlbrList_ButtonDropDown(int index)
{
    // No button of the items toolbar has an arrow.
    Q_UNUSED(index);
}

void frmMain::cStatusBar1_PanelClick(int index)
{
    // A click on any panel stops the item playing, as a command does; "Main"
    // shows the state and runs nothing more.
    const QString key = cStatusBar1->PanelKey(index);
    if (isCommand(key))
        routeCommand(key);
    else if (!key.isEmpty())
        Q_EMIT PlayerStopRequested();
}

void frmMain::pressPlayerButton(const QString &key)
{
    if (tlbrRecorder)
        tlbrRecorder_ButtonClick(tlbrRecorder->ButtonIndex(key));
}
