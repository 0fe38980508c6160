#include "lists/frmItem.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "core/LinkLabel.h"
#include "core/TextRoom.h"
#include "core/TitleStrip.h"
#include "core/ViewSkin.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlFunctions.h"
#include "core/mdlSetFormIcon32.h"
#include "lists/ListTitleStrip.h"
#include "lists/NameKeyFilter.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

frmItem *g_frmItem = nullptr;

namespace {

const QString timeFormat = QStringLiteral("HH:mm:ss");

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

// A time text of the grid ("00:03:25", also "0:03:25") as a time of day.
QTime timeFromText(const QString &text)
{
    QTime time = QTime::fromString(text.trimmed(), timeFormat);
    if (!time.isValid())
        time = QTime::fromString(text.trimmed(), QStringLiteral("H:mm:ss"));
    return time;
}

// A number of seconds as a time of day; the pickers stop at the day's end.
QTime timeFromSeconds(qint64 seconds)
{
    return QTime(0, 0).addSecs(static_cast<int>(std::clamp<qint64>(seconds, 0, 86399)));
}

QLabel *valueLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmItem::frmItem(cGrid *grid, std::function<void()> saveList, QWidget *parent, const cImageList *tabImages)
    : QDialog(parent)
    , m_grid(grid)
    , m_saveList(std::move(saveList))
    , m_tabImages(tabImages)
{
    setWindowTitle(QStringLiteral("Item Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    g_frmItem = this;
    Form_Load();
}

frmItem::~frmItem()
{
    if (g_frmItem == this)
        g_frmItem = nullptr;
}

void frmItem::buildControls()
{
    lblTitle = buildListTitleStrip(picTitle, QString(), this);

    cTabControl1 = new QTabWidget(this);
    // All three tabs stay in sight, whole: the window is at least as wide as
    // the tab row with its pictures, instead of scrolling the row.
    cTabControl1->setUsesScrollButtons(false);
    cTabControl1->setElideMode(Qt::ElideNone);

    // Item information.
    TabInfo = new QWidget;
    txtItemName = new QLineEdit(TabInfo);
    txtItemName->installEventFilter(this);
    lblFileName = new LinkLabel(QString(), TabInfo);
    lblFileName->setToolTip(QStringLiteral("Open file with external player"));
    lblPath = new LinkLabel(QString(), TabInfo);
    lblPath->setToolTip(QStringLiteral("Open directory"));
    lblTotalTime = valueLabel(TabInfo);
    lblTotalSize = valueLabel(TabInfo);
    lblCreated = valueLabel(TabInfo);
    lblFormat = valueLabel(TabInfo);
    lblSamples = valueLabel(TabInfo);
    lblBitrate = valueLabel(TabInfo);
    lblChannels = valueLabel(TabInfo);
    auto *info = new QFormLayout(TabInfo);
    info->addRow(QStringLiteral("Item Name"), txtItemName);
    info->addRow(QStringLiteral("File Name"), lblFileName);
    info->addRow(QStringLiteral("Location"), lblPath);
    info->addRow(QStringLiteral("Total Time"), lblTotalTime);
    info->addRow(QStringLiteral("Total Size"), lblTotalSize);
    info->addRow(QStringLiteral("Created"), lblCreated);
    info->addRow(QStringLiteral("Format"), lblFormat);
    info->addRow(QStringLiteral("Samples"), lblSamples);
    info->addRow(QStringLiteral("Bitrate"), lblBitrate);
    info->addRow(QStringLiteral("Channels"), lblChannels);

    // Range to process.
    TabRange = new QWidget;
    ptnAllFile = new QRadioButton(QStringLiteral("Process all the file range"), TabRange);
    ptnConvertByTime = new QRadioButton(QStringLiteral("Process range by time"), TabRange);
    ptnAllFile->setChecked(true);
    Label20 = new QLabel(QStringLiteral("Start after:"), TabRange);
    Label21 = new QLabel(QStringLiteral("Until:"), TabRange);
    dtStartAfter = new QTimeEdit(TabRange);
    dtUntil = new QTimeEdit(TabRange);
    for (QTimeEdit *picker : {dtStartAfter, dtUntil}) {
        picker->setDisplayFormat(timeFormat);
        picker->setTime(QTime(0, 0));
        // A typed time takes its value when the edit is done (Return, leaving
        // the picker, Apply), so its change is held to the item's length once,
        // on the whole time: held on every keystroke, the first digits typed
        // would be cut before the rest arrive. Arrow steps still change the
        // value at once.
        picker->setKeyboardTracking(false);
        picker->installEventFilter(this);
    }
    cmdGoTSoStart = new QPushButton(QStringLiteral("<<"), TabRange);
    cmdGoTSoStart->setToolTip(QStringLiteral("Go to start"));
    cmdGoToEnd = new QPushButton(QStringLiteral(">>"), TabRange);
    cmdGoToEnd->setToolTip(QStringLiteral("Go to end"));
    auto *range = new QGridLayout(TabRange);
    range->addWidget(ptnAllFile, 0, 0, 1, 3);
    range->addWidget(ptnConvertByTime, 1, 0, 1, 3);
    range->addWidget(Label20, 2, 0);
    range->addWidget(dtStartAfter, 2, 1);
    range->addWidget(cmdGoTSoStart, 2, 2);
    range->addWidget(Label21, 3, 0);
    range->addWidget(dtUntil, 3, 1);
    range->addWidget(cmdGoToEnd, 3, 2);
    range->setRowStretch(4, 1);

    // Destination tags.
    TabTags = new QWidget;
    txtTagArtist = new QLineEdit(TabTags);
    txtTagSong = new QLineEdit(TabTags);
    txtTagAlbum = new QLineEdit(TabTags);
    txtTagYear = new QLineEdit(TabTags);
    txtTagTrack = new QLineEdit(TabTags);
    txtTagGenre = new QLineEdit(TabTags);
    txtTagComment = new QLineEdit(TabTags);
    lblDefaultID3Tags = new LinkLabel(QStringLiteral("Default ID3 Tags Options..."), TabTags);
    lblID3TagParameters = new LinkLabel(QStringLiteral("Parameters"), TabTags);
    auto *tags = new QFormLayout(TabTags);
    tags->addRow(QStringLiteral("Artist:"), txtTagArtist);
    tags->addRow(QStringLiteral("Song:"), txtTagSong);
    tags->addRow(QStringLiteral("Album:"), txtTagAlbum);
    tags->addRow(QStringLiteral("Year:"), txtTagYear);
    tags->addRow(QStringLiteral("Track:"), txtTagTrack);
    tags->addRow(QStringLiteral("Genre:"), txtTagGenre);
    tags->addRow(QStringLiteral("Comment:"), txtTagComment);
    auto *tagLinks = new QHBoxLayout;
    tagLinks->addWidget(lblDefaultID3Tags);
    tagLinks->addStretch();
    tagLinks->addWidget(lblID3TagParameters);
    tags->addRow(tagLinks);

    cmdBack = new QPushButton(QStringLiteral("<<"), this);
    cmdBack->setToolTip(QStringLiteral("Previous item"));
    cmdNext = new QPushButton(QStringLiteral(">>"), this);
    cmdNext->setToolTip(QStringLiteral("Next item"));
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setDefault(true);
    cmdApply = new QPushButton(QStringLiteral("Apply"), this);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdExit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picTitle);
    layout->addWidget(cTabControl1, 1);
    layout->addLayout(buttons);

    cAudioConverter1 = new cAudioConverter(this);

    connect(cmdNext, &QPushButton::clicked, this, &frmItem::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmItem::cmdBack_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmItem::cmdOk_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmItem::cmdApply_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmItem::cmdExit_Click);
    connect(ptnAllFile, &QRadioButton::clicked, this, &frmItem::ptnAllFile_Click);
    connect(ptnConvertByTime, &QRadioButton::clicked, this, &frmItem::ptnConvertByTime_Click);
    connect(dtStartAfter, &QTimeEdit::timeChanged, this, &frmItem::dtStartAfter_Change);
    connect(dtUntil, &QTimeEdit::timeChanged, this, &frmItem::dtUntil_Change);
    connect(cmdGoTSoStart, &QPushButton::clicked, this, &frmItem::cmdGoTSoStart_Click);
    connect(cmdGoToEnd, &QPushButton::clicked, this, &frmItem::cmdGoToEnd_Click);
    connect(lblFileName, &LinkLabel::clicked, this, &frmItem::lblFileName_Click);
    connect(lblPath, &LinkLabel::clicked, this, &frmItem::lblPath_Click);
    connect(lblDefaultID3Tags, &LinkLabel::clicked, this, &frmItem::lblDefaultID3Tags_Click);
    connect(lblID3TagParameters, &LinkLabel::clicked, this, &frmItem::lblID3TagParameters_Click);
}

void frmItem::Form_Load()
{
    // The window's own icon only: the main window it is opened over keeps its own.
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("document_music"), false);
    TitleStrip::applyColors(picTitle, lblTitle);
    for (QWidget *w : std::initializer_list<QWidget *>{this, TabInfo, TabRange, TabTags, ptnAllFile, ptnConvertByTime})
        ViewSkin::paintViewBack(w);
    for (QWidget *w : std::initializer_list<QWidget *>{this, TabInfo, TabRange, TabTags})
        ViewSkin::paintViewPicture(w, g_sViewBackPicture);
    ViewSkin::paintViewPicture(picTitle, g_sViewTitlePicture);

    const auto tabIcon = [this](int index) { return m_tabImages ? m_tabImages->icon(index) : QIcon(); };
    cTabControl1->addTab(TabInfo, tabIcon(39), QStringLiteral("Item Information"));
    cTabControl1->addTab(TabRange, tabIcon(23), QStringLiteral("Range To Process"));
    cTabControl1->addTab(TabTags, tabIcon(18), QStringLiteral("Destination ID3 Tags  "));
    const QStringList keys{QStringLiteral("Item Information"), QStringLiteral("Range"), QStringLiteral("ID3 Tags")};
    for (int i = 0; i < keys.size(); ++i)
        cTabControl1->tabBar()->setTabData(i, keys.at(i));
    cTabControl1->setCurrentWidget(TabInfo);
    connect(cTabControl1, &QTabWidget::currentChanged, this, &frmItem::cTabControl1_TabClick);

    lItem = m_grid ? m_grid->SelectedRow() : 0;
    l_lGridRowNum = lItem;

    GetFileInfo();
    EnableRangeControls();
    GetRangeOptions();
    SetIDvTags();
    setStepButtons();
    TextRoom::fitAll(this);
}

QString frmItem::cell(ItemsListRow::Column column) const
{
    if (!m_grid)
        return QString();
    return m_grid->CellText(l_lGridRowNum, column);
}

void frmItem::setCell(ItemsListRow::Column column, const QString &text)
{
    if (m_grid)
        m_grid->SetCell(l_lGridRowNum, column, text);
}

void frmItem::setPickerTime(QTimeEdit *picker, const QTime &time)
{
    m_settingPicker = true;
    picker->setTime(time);
    m_settingPicker = false;
}

QTime frmItem::totalTime() const
{
    return timeFromText(lblTotalTime->text());
}

void frmItem::setStepButtons()
{
    const int rows = m_grid ? m_grid->Rows() : 0;
    cmdNext->setEnabled(l_lGridRowNum < rows);
    cmdBack->setEnabled(l_lGridRowNum > 1);
}

QVariant frmItem::GetFileInfo()
{
    const QString file = cell(ItemsListRow::File);
    lblTitle->setText(cell(ItemsListRow::ItemName));
    cAudioConverter1->OpenSource(file);
    txtItemName->setText(cell(ItemsListRow::ItemName));
    lblFileName->setCaption(mdlFunctions::GetFileName(file));
    lblFileName->setToolTip(QStringLiteral("Open file with external player"));
    lblTotalSize->setText(cell(ItemsListRow::Size));
    lblTotalTime->setText(cell(ItemsListRow::Time));
    lblCreated->setText(cell(ItemsListRow::Created));
    lblFormat->setText(mdlFunctions::GetExtension(file).toUpper());
    lblSamples->setText(QString::number(cAudioConverter1->SampleRate()));
    // The line captioned "Bitrate" has always shown the bits per sample.
    lblBitrate->setText(QString::number(cAudioConverter1->BitsPerSample()));
    lblChannels->setText(cAudioConverter1->Channels() == 1 ? QStringLiteral("MONO") : QStringLiteral("STEREO"));
    lblPath->setCaption(mdlFunctions::GetFileFolder(file));
    lblPath->setToolTip(QStringLiteral("Open directory"));
    cAudioConverter1->CloseSource();
    cAudioConverter1->Terminate();

    setPickerTime(dtStartAfter, QTime(0, 0));
    if (m_grid) {
        const QTime until = timeFromText(
            m_grid->CellText(m_grid->SelectedRow(), ItemsListRow::Time));
        if (until.isValid())
            setPickerTime(dtUntil, until);
    }
    return QVariant();
}

void frmItem::SetIDvTags()
{
    txtTagArtist->setText(cell(ItemsListRow::TagArtist));
    txtTagSong->setText(cell(ItemsListRow::TagTitle));
    txtTagAlbum->setText(cell(ItemsListRow::TagAlbum));
    txtTagYear->setText(cell(ItemsListRow::TagYear));
    txtTagTrack->setText(cell(ItemsListRow::TagTrack));
    txtTagGenre->setText(cell(ItemsListRow::TagGenre));
    txtTagComment->setText(cell(ItemsListRow::TagComment));
}

void frmItem::selectRangeOption(QRadioButton *option)
{
    option->setChecked(true);
    // Selecting in code runs the option's click handler, as a user's click does.
    if (option == ptnAllFile)
        ptnAllFile_Click();
    else
        ptnConvertByTime_Click();
}

QVariant frmItem::GetRangeOptions()
{
    if (cell(ItemsListRow::RangeAll) == QLatin1String("1"))
        selectRangeOption(ptnAllFile);
    const QString start = cell(ItemsListRow::RangeStart);
    if (start.isEmpty())
        return QVariant();
    selectRangeOption(ptnConvertByTime);
    // Read by the rule the jobs convert the range by; a range that cannot be
    // read shows from 0 to 0.
    const auto range = ItemsListRow::rangeOf(QStringLiteral("0"), start, cell(ItemsListRow::RangeLength));
    const qint64 startSeconds = range ? range->first : 0;
    const qint64 lengthSeconds = range ? range->second : 0;
    setPickerTime(dtStartAfter, timeFromSeconds(startSeconds));
    setPickerTime(dtUntil, timeFromSeconds(startSeconds + lengthSeconds));
    return QVariant();
}

void frmItem::EnableRangeControls()
{
    const bool byTime = ptnConvertByTime->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{dtStartAfter, dtUntil, cmdGoTSoStart, cmdGoToEnd, Label20, Label21})
        w->setEnabled(byTime);
}

void frmItem::HideTabPages()
{
    // The tab control shows one page at a time by itself.
}

void frmItem::MoveToRow(qint32 &row)
{
    if (!m_grid || row > m_grid->Rows() || row <= 0)
        return;
    m_grid->setSelectedRow(row);
    lItem = row;
    GetFileInfo();
    SetIDvTags();
    EnableRangeControls();
    GetRangeOptions();
    setStepButtons();
}

qint32 frmItem::ApplyItemChanges()
{
    const QString name = txtItemName->text().trimmed();
    txtItemName->setText(name);
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("Empty Item Name.") + blanks(42), Msg::Information);
        txtItemName->setFocus();
        return -1;
    }
    if (!mdlFunctions::IsValidName(name)) {
        MsgBox(QStringLiteral("Illegal Item Name.") + blanks(42), Msg::Information);
        txtItemName->setFocus();
        qint16 key = '?';
        mdlFunctions::CheckNameKeyPress(txtItemName, key);
        return -1;
    }
    const bool byTime = ptnConvertByTime->isChecked();
    qint32 start = 0;
    qint32 end = 0;
    if (byTime) {
        // A time still being typed ends its edit here, held to the length as
        // any finished edit is.
        dtStartAfter->interpretText();
        dtUntil->interpretText();
        start = mdlFunctions::TimeToSeconds(dtStartAfter->time().toString(timeFormat));
        end = mdlFunctions::TimeToSeconds(dtUntil->time().toString(timeFormat));
        if (start >= end) {
            MsgBox(QStringLiteral("'Start after' field is more or an equel to the 'Until' field.") + blanks(9),
                   Msg::Information);
            return 1;
        }
    }

    setCell(ItemsListRow::ItemName, name);
    if (byTime) {
        setCell(ItemsListRow::RangeAll, QStringLiteral("0"));
        setCell(ItemsListRow::RangeStart, QString::number(start));
        setCell(ItemsListRow::RangeLength, QString::number(end - start));
        setCell(ItemsListRow::Range, dtStartAfter->time().toString(timeFormat) + QStringLiteral(" - ")
                             + dtUntil->time().toString(timeFormat));
    } else {
        setCell(ItemsListRow::RangeAll, QStringLiteral("1"));
        setCell(ItemsListRow::RangeStart, QString());
        setCell(ItemsListRow::RangeLength, QString());
        setCell(ItemsListRow::Range, QStringLiteral("All"));
    }
    setCell(ItemsListRow::TagAlbum, txtTagAlbum->text());
    setCell(ItemsListRow::TagArtist, txtTagArtist->text());
    setCell(ItemsListRow::TagComment, txtTagComment->text());
    setCell(ItemsListRow::TagGenre, txtTagGenre->text());
    setCell(ItemsListRow::TagTitle, txtTagSong->text());
    setCell(ItemsListRow::TagTrack, txtTagTrack->text());
    setCell(ItemsListRow::TagYear, txtTagYear->text());
    if (m_saveList)
        m_saveList();
    return 0;
}

void frmItem::cmdNext_Click()
{
    l_lGridRowNum += 1;
    MoveToRow(l_lGridRowNum);
}

void frmItem::cmdBack_Click()
{
    l_lGridRowNum -= 1;
    MoveToRow(l_lGridRowNum);
}

void frmItem::cmdOk_Click()
{
    if (ApplyItemChanges() == 0)
        close();
}

void frmItem::cmdApply_Click()
{
    ApplyItemChanges();
}

void frmItem::cmdExit_Click()
{
    close();
}

void frmItem::cTabControl1_TabClick(int index)
{
    Q_UNUSED(index);
    HideTabPages();
}

void frmItem::ptnAllFile_Click()
{
    EnableRangeControls();
}

void frmItem::ptnConvertByTime_Click()
{
    EnableRangeControls();
}

void frmItem::dtStartAfter_Change(const QTime &value)
{
    if (m_settingPicker)
        return;
    const QTime total = totalTime();
    if (total.isValid() && value > total)
        dtStartAfter->setTime(total);
}

void frmItem::dtUntil_Change(const QTime &value)
{
    if (m_settingPicker)
        return;
    const QTime total = totalTime();
    if (total.isValid() && value > total)
        dtUntil->setTime(total);
}

void frmItem::cmdGoTSoStart_Click()
{
    dtStartAfter->setTime(QTime(0, 0));
}

void frmItem::cmdGoToEnd_Click()
{
    const QTime total = totalTime();
    if (total.isValid())
        dtUntil->setTime(total);
}

void frmItem::lblFileName_Click()
{
    if (!m_grid)
        return;
    const QString file = m_grid->CellText(m_grid->SelectedRow(), ItemsListRow::File);
    Services::instance().shell().open(file);
}

void frmItem::lblPath_Click()
{
    mdlFunctions::ShellOpen(this, lblPath->text());
}

void frmItem::lblDefaultID3Tags_Click()
{
    Forms::loadOptions().execOnPage(QStringLiteral("ID3 Tags"), this);
}

void frmItem::lblID3TagParameters_Click()
{
    Forms::loadProgParameters().execOnSection(frmProgParameters::TagsSection);
}

bool frmItem::separatorAlreadyPassed(QTimeEdit *picker, const QKeyEvent &key)
{
    const bool digit = key.text().size() == 1 && key.text().at(0).isDigit();
    const bool passed = key.text() == QLatin1String(":") && m_typedInto == picker
        && picker->currentSectionIndex() != m_sectionBeforeDigit;
    m_typedInto = digit ? picker : nullptr;
    m_sectionBeforeDigit = picker->currentSectionIndex();
    return passed;
}

bool frmItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtItemName && dropIllegalNameKey(txtItemName, event))
        return true;
    if ((watched == dtStartAfter || watched == dtUntil) && event->type() == QEvent::KeyPress
        && separatorAlreadyPassed(static_cast<QTimeEdit *>(watched), *static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
