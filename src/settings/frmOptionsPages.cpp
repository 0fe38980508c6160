// The options window's controls: where each one stands and what it says.
#include "settings/frmOptions.h"

#include "controls/ui/cImageList.h"
#include "controls/ui/cTreeView.h"
#include "platform/AppPaths.h"
#include "settings/ColorBox.h"
#include "core/LinkLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace {

// Places are given in twips: left, top, width, height.
template <typename Widget>
Widget *place(Widget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
    return widget;
}

// The places were measured for one particular narrow font; a caption in a
// wider one grows to the right rather than lose its end.
template <typename Widget>
Widget *fitCaption(Widget *widget)
{
    const QSize wanted = widget->sizeHint();
    widget->resize(qMax(widget->width(), wanted.width()), qMax(widget->height(), wanted.height()));
    return widget;
}

// A caption that grew taller for the desktop's font rises into the gap above
// it rather than cover the box it heads.
void keepAbove(QWidget *caption, const QWidget *below)
{
    const int overlap = caption->geometry().bottom() + 1 - below->y();
    if (overlap > 0)
        caption->move(caption->x(), caption->y() - overlap);
}

QLabel *label(QWidget *page, const QString &caption, int left, int top, int width, int height)
{
    return fitCaption(place(new QLabel(caption, page), left, top, width, height));
}

QLabel *heading(QWidget *page, const QString &caption, int left, int top, int width, int height)
{
    QLabel *title = label(page, caption, left, top, width, height);
    QFont f = title->font();
    f.setBold(true);
    f.setUnderline(true);
    title->setFont(f);
    return fitCaption(title);
}

QCheckBox *checkBox(QWidget *page, const QString &caption, int left, int top, int width, int height)
{
    return fitCaption(place(new QCheckBox(caption, page), left, top, width, height));
}

QPushButton *button(QWidget *page, const QString &caption, int left, int top, int width, int height)
{
    return place(new QPushButton(caption, page), left, top, width, height);
}

QLineEdit *textBox(QWidget *page, int left, int top, int width, int height)
{
    return place(new QLineEdit(page), left, top, width, height);
}

QPlainTextEdit *multiLineBox(QWidget *page, int left, int top, int width, int height)
{
    auto *box = place(new QPlainTextEdit(page), left, top, width, height);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return box;
}

QComboBox *dropDownList(QWidget *page, int left, int top, int width, int height)
{
    return place(new QComboBox(page), left, top, width, height);
}

// A 16 x 16 picture just left of a link, telling what the link opens.
void linkIcon(QWidget *page, QStyle::StandardPixmap kind, const LinkLabel *link)
{
    auto *picture = new QLabel(page);
    picture->setPixmap(QApplication::style()->standardIcon(kind).pixmap(16, 16));
    picture->setGeometry(link->x() - Twips::toPixels(240) - 4, link->y() - 1, Twips::toPixels(240), Twips::toPixels(240));
}

LinkLabel *link(QWidget *page, const QString &caption, int left, int top, int width, int height)
{
    auto *link = place(new LinkLabel(caption, page), left, top, width, height);
    // The link takes the window's font, underlined.
    QFont f = page->font();
    f.setUnderline(true);
    link->setFont(f);
    return fitCaption(link);
}

void whiteBackground(QWidget *box)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, Qt::white);
    box->setPalette(pal);
}

QIcon blankIcon()
{
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace

void frmOptions::buildWindow()
{
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips::toPixels(8760), Twips::toPixels(5850));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    setFont(tahoma);

    picTitle = place(new ColorBox(this), 0, 0, 8775, 495);
    lblTitle = place(new QLabel(QStringLiteral("General"), picTitle), 120, 75, 4845, 270);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(11.25);
    titleFont.setItalic(true);
    lblTitle->setFont(titleFont);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    lblTitle->setPalette(titlePalette);

    cTreeView1 = place(new cTreeView(this), 120, 600, 2175, 4455);

    // Only the page icons are drawn from this list; the rest of its places
    // are kept so the page table's icon numbers stay valid.
    imgMenu = new cImageList(this);
    imgMenu->setIconSize(16, 16);
    QStyle *style = QApplication::style();
    const QList<QPair<int, QIcon>> pageIcons = {
        {6, style->standardIcon(QStyle::SP_FileDialogContentsView)},
        {9, style->standardIcon(QStyle::SP_ComputerIcon)},
        {10, style->standardIcon(QStyle::SP_MessageBoxInformation)},
        {11, style->standardIcon(QStyle::SP_DesktopIcon)},
        {59, style->standardIcon(QStyle::SP_FileDialogDetailedView)},
    };
    for (int i = 0; i < 60; ++i) {
        QIcon icon = blankIcon();
        for (const auto &pageIcon : pageIcons) {
            if (pageIcon.first == i && !pageIcon.second.isNull())
                icon = pageIcon.second;
        }
        imgMenu->AddIcon(icon);
    }

    cmdCancel = button(this, QStringLiteral("Cancel"), 5400, 5280, 1455, 375);
    cmdOk = button(this, QStringLiteral("OK"), 7080, 5280, 1455, 375);
    QFont bold = cmdOk->font();
    bold.setBold(true);
    cmdOk->setFont(bold);
    cmdOk->setDefault(true);
    cmdCancel->setAutoDefault(false);
    cboDevices = dropDownList(this, 120, 5400, 5295, 315);
    cboDevices->setVisible(false);

    // Form_Load moves every page into the same place beside the tree.
    const auto page = [this] {
        auto *frame = place(new QWidget(this), 2520, 600, 5895, 4455);
        frame->setAutoFillBackground(true);
        frame->setVisible(false);
        return frame;
    };
    froGeneral = page();
    froEvents = page();
    froView = page();
    froTags = page();
    froAdvanced = page();

    buildGeneralPage();
    buildEventsPage();
    buildViewPage();
    buildTagsPage();
    buildAdvancedPage();
    connectHandlers();
}

void frmOptions::buildGeneralPage()
{
    QWidget *page = froGeneral;
    Label12 = heading(page, QStringLiteral("General Properties:"), 240, 120, 1635, 195);
    Label21 = label(page, QStringLiteral("Default File Name Format:"), 240, 600, 1875, 195);
    lblParameters = link(page, QStringLiteral("Parameters"), 4680, 600, 825, 195);
    linkIcon(page, QStyle::SP_TitleBarNormalButton, lblParameters);
    cboFileName = dropDownList(page, 240, 840, 5295, 315);
    cboFileName->addItems({
        QStringLiteral("[file_name].[dest_extension]"),
        QStringLiteral("[file_name].[source_extension].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[source_extension].[dest_extension]"),
        QStringLiteral("[123].[dest_extension]"),
        QStringLiteral("[123].[source_extension].[dest_extension]"),
    });
    cboFileName->setCurrentIndex(-1);
    Label5 = label(page, QStringLiteral("Default Audio Format:"), 240, 1440, 1590, 195);
    cboTargetFormat = dropDownList(page, 240, 1680, 4305, 315);
    cmdEditTargetFormat = button(page, QStringLiteral("Edit"), 4560, 1680, 975, 320);
    QFont bold = cmdEditTargetFormat->font();
    bold.setBold(true);
    cmdEditTargetFormat->setFont(bold);
    cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));
    cmdEditTargetFormat->setAutoDefault(false);
    chkGoToNextItem = checkBox(page, QStringLiteral("Go to next item when done playing an item"), 240, 2400, 3615, 255);
    chkClearOnExit = checkBox(page, QStringLiteral("Clear the 'Items List' on exit"), 240, 2760, 3615, 255);
    chkSelectTheLastItem = checkBox(page, QStringLiteral("Auto select the last Item"), 240, 3120, 3615, 255);
    chkAutoFreeDB = checkBox(page, QStringLiteral("Open the FreeDB service automatically"), 240, 3480, 3615, 255);
    chkAutoFreeDB->setVisible(false);
    lblMoreAdvancedOptions = link(page, QStringLiteral("More advanced options..."), 240, 3960, 1860, 195);
    lblMoreAdvancedOptions->setToolTip(QStringLiteral("More advanced options"));
}

void frmOptions::buildEventsPage()
{
    QWidget *page = froEvents;
    Label8 = heading(page, QStringLiteral("Default Events When Done:"), 240, 120, 2280, 195);
    chkPlaySound = checkBox(page, QStringLiteral("Play sound"), 240, 600, 5295, 255);
    txtPlayAtEnd = textBox(page, 240, 840, 5295, 375);
    // The box names the file; the path it stands for changes only through "Add".
    txtPlayAtEnd->setReadOnly(true);
    cmdAddSound = button(page, QStringLiteral("Add"), 3720, 1320, 855, 255);
    cmdTestSound = button(page, QStringLiteral("Test"), 4680, 1320, 855, 255);
    chkNoticeApp = checkBox(page, QStringLiteral("Execute external application"), 240, 1920, 5295, 255);
    txtAppNotice = multiLineBox(page, 240, 2160, 5295, 615);
    lblNoticParameters = link(page, QStringLiteral("Parameters"), 555, 2880, 825, 195);
    linkIcon(page, QStyle::SP_TitleBarNormalButton, lblNoticParameters);
    cmdTestApp = button(page, QStringLiteral("Test"), 4680, 2880, 855, 255);
    keepAbove(chkPlaySound, txtPlayAtEnd);
    keepAbove(chkNoticeApp, txtAppNotice);
    chkOpenDestFolder = checkBox(page, QStringLiteral("Open the destination folder"), 240, 3480, 3495, 255);
    chkTurnOffComputer = checkBox(page, QStringLiteral("Turn off computer"), 240, 3840, 3495, 255);
    for (QPushButton *b : {cmdAddSound, cmdTestSound, cmdTestApp})
        b->setAutoDefault(false);
}

void frmOptions::buildViewPage()
{
    QWidget *page = froView;
    Label10 = heading(page, QStringLiteral("Program View:"), 240, 120, 1215, 195);
    chkDisplayTitle = checkBox(page, QStringLiteral("Display Title"), 240, 600, 2415, 255);
    chkDisplayGridHotTrack = checkBox(page, QStringLiteral("Display grid hot track"), 3120, 600, 2415, 255);
    chkDisplayPlayer = checkBox(page, QStringLiteral("Display player"), 240, 960, 2415, 255);
    chkDisplayGridLine = checkBox(page, QStringLiteral("Display grid lines"), 3120, 960, 2415, 255);
    chkDisplayAudioGraph = checkBox(page, QStringLiteral("Display the 'Audio Graph'"), 240, 1320, 2415, 255);
    chkMenuXPStyle = checkBox(page, QStringLiteral("Advanced menus style"), 3120, 1320, 2415, 255);
    lblAppColor = label(page, QStringLiteral("Application Color"), 240, 2760, 1200, 195);
    picColor = place(new ColorBox(page), 240, 3000, 5295, 255);
    lblFontColor = label(page, QStringLiteral("Text Color"), 240, 3360, 750, 195);
    picTextColor = place(new ColorBox(page), 240, 3600, 5295, 255);
    for (ColorBox *strip : {picColor, picTextColor}) {
        strip->setFrameShape(QFrame::Box);
        strip->setCursor(Qt::PointingHandCursor);
    }
}

void frmOptions::buildTagsPage()
{
    QWidget *page = froTags;
    Label7 = heading(page, QStringLiteral("Default ID3 Tags:"), 240, 120, 1455, 195);
    chkCopyID3FromSource = checkBox(page, QStringLiteral("Copy the ID3 tags from source file"), 240, 600, 5055, 255);
    lblTagArtist = label(page, QStringLiteral("Artist:"), 240, 960, 390, 195);
    lblID3TagParameters = link(page, QStringLiteral("Parameters"), 4680, 960, 825, 195);
    linkIcon(page, QStyle::SP_TitleBarNormalButton, lblID3TagParameters);
    txtTagArtist = textBox(page, 240, 1200, 5295, 285);
    lblTagSong = label(page, QStringLiteral("Song:"), 240, 1560, 2355, 195);
    txtTagSong = textBox(page, 240, 1800, 2355, 285);
    lblTagAlbum = label(page, QStringLiteral("Album:"), 3000, 1560, 2535, 195);
    txtTagAlbum = textBox(page, 3000, 1800, 2535, 285);
    lblTagGenre = label(page, QStringLiteral("Genre:"), 240, 2160, 2355, 195);
    txtTagGenre = textBox(page, 240, 2400, 2355, 285);
    lblTagTrack = label(page, QStringLiteral("Track:"), 3000, 2160, 2535, 195);
    txtTagTrack = textBox(page, 3000, 2400, 2535, 285);
    lblTagYear = label(page, QStringLiteral("Year:"), 240, 2760, 5295, 195);
    txtTagYear = textBox(page, 240, 3000, 5295, 285);
    lblTagComment = label(page, QStringLiteral("Comment:"), 240, 3480, 5295, 195);
    txtTagComment = multiLineBox(page, 240, 3720, 5295, 435);
    for (QWidget *box : std::initializer_list<QWidget *>{txtTagArtist, txtTagSong, txtTagAlbum, txtTagGenre, txtTagTrack,
                                                          txtTagYear, txtTagComment})
        whiteBackground(box);
}

void frmOptions::buildAdvancedPage()
{
    QWidget *page = froAdvanced;
    Label3 = heading(page, QStringLiteral("Advanced Properties:"), 240, 120, 1815, 195);
    Label4 = label(page, QStringLiteral("Items List Main Directory:"), 240, 600, 1830, 195);
    lblOpenDestinationDestinationFolder = link(page, QStringLiteral("Open destination folder"), 3000, 600, 1695, 195);
    linkIcon(page, QStyle::SP_DirIcon, lblOpenDestinationDestinationFolder);
    txtToPath = dropDownList(page, 240, 840, 4545, 315);
    txtToPath->setEditable(true);
    txtToPath->setInsertPolicy(QComboBox::NoInsert);
    cmdSelectPath = button(page, QStringLiteral("..."), 4800, 840, 735, 320);
    cmdSelectPath->setToolTip(QStringLiteral("Select a new directory"));
    cmdSelectPath->setAutoDefault(false);
    chkDisplayMSGWhenErase =
        checkBox(page, QStringLiteral("Display a confirmation message when erasing an item"), 240, 1680, 4545, 255);
    chkDisplayMSGWhenExit =
        checkBox(page, QStringLiteral("Display a confirmation message when exiting the program"), 240, 2040, 4545, 255);
    chkSaveLogWhenExit =
        checkBox(page, QStringLiteral("Save the 'Log' to a text file when exiting the program"), 240, 2400, 4545, 255);
    chkRunWhenWinStarts = checkBox(page, QStringLiteral("Run this program when windows is started"), 240, 2760, 4545, 255);
    chkAutoUpdate = checkBox(page, QStringLiteral("Auto check for new updates"), 240, 3120, 4545, 255);
    chkDisplayLiveUpdateWindow = checkBox(page, QStringLiteral("Display the Live Update window"), 240, 3480, 4545, 255);
    chkAutoUpdate->setVisible(false);
    chkDisplayLiveUpdateWindow->setVisible(false);
}

void frmOptions::connectHandlers()
{
    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cTreeView1, &cTreeView::NodeClick, this, &frmOptions::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::SelectedNodeChange, this,
            [this](cTreeNode *, cTreeNode *) { cTreeView1_NodeClick(cTreeView1->SelectedItem()); });

    // stateChanged comes only when the value really changes, whether the user
    // or the code changed it, which is when the enable rules must follow.
    connect(chkCopyID3FromSource, &QCheckBox::stateChanged, this, &frmOptions::chkCopyID3FromSource_Click);
    connect(chkNoticeApp, &QCheckBox::stateChanged, this, &frmOptions::chkNoticeApp_Click);
    connect(chkPlaySound, &QCheckBox::stateChanged, this, &frmOptions::chkPlaySound_Click);

    connect(cmdAddSound, &QPushButton::clicked, this, &frmOptions::cmdAddSound_Click);
    connect(cmdTestSound, &QPushButton::clicked, this, &frmOptions::cmdTestSound_Click);
    connect(cmdTestApp, &QPushButton::clicked, this, &frmOptions::cmdTestApp_Click);
    connect(cmdSelectPath, &QPushButton::clicked, this, &frmOptions::cmdSelectPath_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &frmOptions::cmdEditTargetFormat_Click);
    connect(picColor, &ColorBox::Click, this, &frmOptions::picColor_Click);
    connect(picTextColor, &ColorBox::Click, this, &frmOptions::picTextColor_Click);
    connect(lblParameters, &LinkLabel::clicked, this, &frmOptions::lblParameters_Click);
    connect(lblNoticParameters, &LinkLabel::clicked, this, &frmOptions::lblNoticParameters_Click);
    connect(lblID3TagParameters, &LinkLabel::clicked, this, &frmOptions::lblID3TagParameters_Click);
    connect(lblMoreAdvancedOptions, &LinkLabel::clicked, this, &frmOptions::lblMoreAdvancedOptions_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::clicked, this,
            &frmOptions::lblOpenDestinationDestinationFolder_Click);
}
