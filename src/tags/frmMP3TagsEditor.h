#pragma once

#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QDialog>
#include <QHash>

#include <memory>

class ColorBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTextEdit;

// The MP3 tags editor: one file's ID3v1 and ID3v2 tags in one set of fields,
// written back to either tag or both. Shown modeless beside the main window.
class frmMP3TagsEditor : public QDialog {
    Q_OBJECT
public:
    explicit frmMP3TagsEditor(QWidget *parent = nullptr);
    ~frmMP3TagsEditor() override;

    void Form_Load();
    void Form_Unload(int &cancel);
    void cboID3_Click();
    void cTabControl1_TabClick(int index);
    void cmdSelectFile_Click();
    void cmdApply_Click();
    void cmdClose_Click();

    ColorBox *picTitle = nullptr;
    QLabel *lblTitleMain = nullptr;
    QLabel *lblSourceFIle = nullptr;
    QPlainTextEdit *sSourceFile = nullptr;
    QPushButton *cmdSelectFile = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboID3 = nullptr;
    // Each tab's data is its key, which is its caption.
    QTabBar *cTabControl1 = nullptr;
    QWidget *froGeneral = nullptr;
    QWidget *froAdvanced = nullptr;
    QWidget *froLyric = nullptr;
    QLineEdit *txtArtist = nullptr;
    QLineEdit *txtTitle = nullptr;
    QLineEdit *txtAlbum = nullptr;
    QLineEdit *txtYear = nullptr;
    QLineEdit *txtTrackNum = nullptr;
    // Editable; item data is the genre code, 255 for the empty first entry.
    QComboBox *cboGenre = nullptr;
    QPlainTextEdit *txtDescription = nullptr;
    QLineEdit *txtOriginalArtist = nullptr;
    QLineEdit *txtURL = nullptr;
    QLineEdit *txtEncodedBy = nullptr;
    QLineEdit *txtCopyright = nullptr;
    QPlainTextEdit *txtLyric = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdClose = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void LoadTags(const QString &path);
    // The genre entry that the combo's text names; the empty entry when none does.
    int genreEntryForText() const;
    // What each field shows, by field; the ID3v2 tag is written only where
    // this differs from what was loaded, so frames no field changed stay as
    // they were.
    QHash<const QWidget *, QString> fieldTexts() const;

    QHash<const QWidget *, QString> m_loadedTexts;
    std::unique_ptr<cMP3ID3v1> m_oID3v1;
    std::unique_ptr<cMP3ID3v2> m_oID3v2;
    bool m_bWriteV1 = false;
    bool m_bWriteV2 = false;
    bool m_bReadV1 = false;
    bool m_bReadV2 = false;
};

// The loaded editor window, or null when it is not loaded.
frmMP3TagsEditor *g_frmMP3TagsEditor();
// Loads the editor when it is not loaded (its Form_Load runs then), shows it
// modeless and brings it to the front; running it again shows the same window.
frmMP3TagsEditor &showMP3TagsEditor();
