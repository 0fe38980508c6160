#pragma once

#include <QDialog>

#include <memory>

class ColorBox;
class LinkLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RegistryRoutines;
namespace OptionsTable {
struct Option;
}
class cImageList;
class cTreeNode;
class cTreeView;

// The options window: its controls are the live store of the general
// options. It reads the registry into them and publishes the option variables
// (GetOptions), writes them back on OK and re-reads them on Cancel. It stays
// loaded, hidden, for the whole run; closing it only hides it until the
// program closes.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget *parent = nullptr);
    ~frmOptions() override;

    void Form_Load();
    void Form_Unload(int &Cancel);
    void Form_Resize();

    // Shows the page of the node's key and titles the window with its text.
    void cTreeView1_NodeClick(cTreeNode *Node);
    // Shows the window modally over owner on the page keyed page ("General",
    // "Events", "View", "ID3 Tags", "Advanced").
    void execOnPage(const QString &page, QWidget *owner);

    // The default target format on show, as the tool windows offer it.
    QString targetFormat() const;
    int targetFormatIndex() const;
    void setTargetFormatIndex(int index);
    // Shows format (exact name) as the default; no format for a name the box
    // does not hold.
    void selectTargetFormat(const QString &format);
    // Shows the output file name template name (exact, letter case counting);
    // none for a name the box does not hold.
    void selectFileNameTemplate(const QString &name);
    // Copies the registry into the controls and publishes the option variables.
    void GetOptions();
    // One option of the table: read into its control and published, or the
    // control's value as stored.
    void readOption(const OptionsTable::Option &option, const QString &text);
    QString optionText(const OptionsTable::Option &option) const;

    void cmdOk_Click();
    void cmdCancel_Click();

    // Enable rules of the check boxes; they run whenever the value changes.
    void chkCopyID3FromSource_Click();
    void chkNoticeApp_Click();
    void chkPlaySound_Click();

    // Pickers, tests and links of the pages.
    void cmdAddSound_Click();
    void cmdTestSound_Click();
    void cmdTestApp_Click();
    void cmdSelectPath_Click();
    void cmdEditTargetFormat_Click();
    void picColor_Click();
    void picTextColor_Click();
    void lblParameters_Click();
    void lblNoticParameters_Click();
    void lblID3TagParameters_Click();
    void lblMoreAdvancedOptions_Click();
    void lblOpenDestinationDestinationFolder_Click();

    // The full path of the end-of-job sound that txtPlayAtEnd names.
    QString txtPlayAtEndTag() const { return m_sPlayAtEndPath; }

    // Outside the pages.
    ColorBox *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    cTreeView *cTreeView1 = nullptr;
    cImageList *imgMenu = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdOk = nullptr;
    QComboBox *cboDevices = nullptr;

    // The pages.
    QWidget *froGeneral = nullptr;
    QWidget *froEvents = nullptr;
    QWidget *froView = nullptr;
    QWidget *froTags = nullptr;
    QWidget *froAdvanced = nullptr;

    // General
    QLabel *Label12 = nullptr;
    QLabel *Label21 = nullptr;
    LinkLabel *lblParameters = nullptr;
    QComboBox *cboFileName = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *cboTargetFormat = nullptr;
    QPushButton *cmdEditTargetFormat = nullptr;
    QCheckBox *chkGoToNextItem = nullptr;
    QCheckBox *chkClearOnExit = nullptr;
    QCheckBox *chkSelectTheLastItem = nullptr;
    QCheckBox *chkAutoFreeDB = nullptr;
    LinkLabel *lblMoreAdvancedOptions = nullptr;

    // Events
    QLabel *Label8 = nullptr;
    QCheckBox *chkPlaySound = nullptr;
    QLineEdit *txtPlayAtEnd = nullptr;
    QPushButton *cmdAddSound = nullptr;
    QPushButton *cmdTestSound = nullptr;
    QCheckBox *chkNoticeApp = nullptr;
    QPlainTextEdit *txtAppNotice = nullptr;
    LinkLabel *lblNoticParameters = nullptr;
    QPushButton *cmdTestApp = nullptr;
    QCheckBox *chkOpenDestFolder = nullptr;
    QCheckBox *chkTurnOffComputer = nullptr;

    // View
    QLabel *Label10 = nullptr;
    QCheckBox *chkDisplayTitle = nullptr;
    QCheckBox *chkDisplayGridHotTrack = nullptr;
    QCheckBox *chkDisplayPlayer = nullptr;
    QCheckBox *chkDisplayGridLine = nullptr;
    QCheckBox *chkDisplayAudioGraph = nullptr;
    QCheckBox *chkMenuXPStyle = nullptr;
    QLabel *lblAppColor = nullptr;
    ColorBox *picColor = nullptr;
    QLabel *lblFontColor = nullptr;
    ColorBox *picTextColor = nullptr;

    // Default ID3 Tags
    QLabel *Label7 = nullptr;
    QCheckBox *chkCopyID3FromSource = nullptr;
    QLabel *lblTagArtist = nullptr;
    LinkLabel *lblID3TagParameters = nullptr;
    QLineEdit *txtTagArtist = nullptr;
    QLabel *lblTagSong = nullptr;
    QLineEdit *txtTagSong = nullptr;
    QLabel *lblTagAlbum = nullptr;
    QLineEdit *txtTagAlbum = nullptr;
    QLabel *lblTagGenre = nullptr;
    QLineEdit *txtTagGenre = nullptr;
    QLabel *lblTagTrack = nullptr;
    QLineEdit *txtTagTrack = nullptr;
    QLabel *lblTagYear = nullptr;
    QLineEdit *txtTagYear = nullptr;
    QLabel *lblTagComment = nullptr;
    QPlainTextEdit *txtTagComment = nullptr;

    // Advanced
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    LinkLabel *lblOpenDestinationDestinationFolder = nullptr;
    QComboBox *txtToPath = nullptr;
    QPushButton *cmdSelectPath = nullptr;
    QCheckBox *chkDisplayMSGWhenErase = nullptr;
    QCheckBox *chkDisplayMSGWhenExit = nullptr;
    QCheckBox *chkSaveLogWhenExit = nullptr;
    QCheckBox *chkRunWhenWinStarts = nullptr;
    QCheckBox *chkAutoUpdate = nullptr;
    QCheckBox *chkDisplayLiveUpdateWindow = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    // Building the window (frmOptionsPages.cpp).
    void buildWindow();
    void buildGeneralPage();
    void buildEventsPage();
    void buildViewPage();
    void buildTagsPage();
    void buildAdvancedPage();
    void connectHandlers();

    void BuildPageTree();
    void HideAllPages();
    void UpdateTagFieldsEnabled();
    void UpdateNoticeAppEnabled();
    void UpdatePlaySoundEnabled();
    void LoadFileNameFormats();
    bool IsFormLoaded(const QString &name) const;

    void setPlayAtEnd(const QString &fullPath);
    void applySkin();
    RegistryRoutines &settingsKey();

    std::unique_ptr<RegistryRoutines> m_settingsKey;
    QString m_sPlayAtEndPath;
    bool m_inNodeClick = false;
};
