#pragma once

#include "settings/FormatTabStrip.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

class cAudioConverter;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class RegistryRoutines;

// The audio format window "Audio Format": one tab and one page of encoder
// settings per destination format. Its controls are the live store of those
// settings: GetOptions reads them from the registry and publishes
// AudioFormatSettings, OK stores them. It stays loaded, hidden, for the whole
// run; closing it only hides it until the program closes.
class frmAudioProp : public QDialog {
    Q_OBJECT
public:
    explicit frmAudioProp(QWidget *parent = nullptr);
    ~frmAudioProp() override;

    void Form_Load();
    void Form_Unload(int &Cancel);

    void GetOptions();
    void cmdOk_Click();
    void cmdExit_Click();
    // Shows the page of the selected tab, whatever position is passed.
    void cTabControl1_TabClick(qint32 tab);

    // What every opener does before showing the window: selects the tab keyed
    // by the first three letters of a target-format text and shows its page.
    void selectFormatTab(const QString &targetFormat);
    // Opens the window modally on that format's page.
    int openOnFormat(const QString &targetFormat);
    // Shows the window modally; it stays loaded afterwards.
    int exec() override;

    // Title strip
    QWidget *picTitle;
    QLabel *lblTitle;
    QLabel *lblFormatDesc;

    FormatTabStrip *cTabControl1;
    QFrame *froToWAV;
    QFrame *froToACM;
    QFrame *froToMP3;
    QFrame *froToWMA;
    QFrame *froToOGG;
    QFrame *froToAPE;
    QPushButton *cmdOk;
    QPushButton *cmdExit;

    // WAV
    QComboBox *cboSamplesWAV;
    QComboBox *cboBitrateWAV;
    QComboBox *cboChannelsWAV;
    // ACM
    QCheckBox *chkBestAccordToSource;
    QComboBox *cboTags;
    QComboBox *cboFormats;
    // MP3
    QComboBox *cboMP3Bitrate;
    QComboBox *cboMP3Samplerate;
    QComboBox *cboMP3Quality;
    QComboBox *cboMP3Mode;
    QLabel *lblMP3Advanced;
    QFrame *picMP3Advanced;
    QCheckBox *chkMP3Original;
    QCheckBox *chkMP3Copyright;
    QCheckBox *chkMP3ErrorProtect;
    QCheckBox *chkMP3VBR;
    QCheckBox *chkMP3StrictISO;
    QCheckBox *chkMP3VBRTag;
    QCheckBox *chkMP3VBRForceMinBitrate;
    QCheckBox *chkMP3ABR;
    QComboBox *cboMP3ABRBitrate;
    QComboBox *cboMP3MinBitrate;
    QComboBox *cboMP3MaxBitrate;
    QComboBox *cboMP3VBRQuality;
    // WMA
    QComboBox *cboWMACodecs;
    QComboBox *cboWMAFormat;
    // OGG
    QRadioButton *ptnQualityOGG;
    QSlider *sldOGG;
    QLabel *lblSensitivityVal;
    QRadioButton *optOggBit;
    QComboBox *cboOggBitNom;
    // APE
    QComboBox *cboAPELevel;

    cAudioConverter *cAudioConverter1;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct StoredValue;

    void buildTitle();
    void buildPages();
    void buildStoreTable();
    void applyColoursAndPictures();

    void HideAllFormatFrames();
    void cboTags_Click();
    void chkBestAccordToSource_Click();
    void cAudioConverter1_ACMTagFound(const QString &name);
    void cAudioConverter1_ACMFormatFound(const QString &name);
    void FillWmaCodecs();
    void cboWMACodecs_Click();
    void FillWmaFormats();
    void lblMP3Advanced_Click();
    void ToggleMp3Advanced();
    void sldOGG_Scroll();

    void readValue(const StoredValue &row);
    void publishValue(const StoredValue &row);
    QString storedForm(const StoredValue &row) const;
    void setOption(QRadioButton *option, bool on);
    RegistryRoutines &registry();

    std::unique_ptr<RegistryRoutines> m_registry;
    std::vector<StoredValue> m_store;
};
