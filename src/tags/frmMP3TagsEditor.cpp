#include "tags/frmMP3TagsEditor.h"

#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"
#include "controls/audio/GenreTable.h"
#include "tags/TagError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>
#include <type_traits>
#include <utility>

namespace {

QPointer<frmMP3TagsEditor> g_editor;

constexpr int kWidth = 6840;
constexpr int kPageTop = 2250;
constexpr int kPageWidth = 6600;
constexpr int kPageHeight = 4260;
constexpr quint8 kNoGenre = 255;

// Places in twips: left, top, width, height.
template <typename Widget>
Widget *place(Widget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
    return widget;
}

QLineEdit *labelledLine(QWidget *page, const QString &caption, int left, int top, int width)
{
    place(new QLabel(caption, page), left, top, width, 240);
    return place(new QLineEdit(page), left, top + 240, width, 315);
}

QPlainTextEdit *labelledText(QWidget *page, const QString &caption, int top, int height)
{
    place(new QLabel(caption, page), 120, top, 3000, 240);
    auto *text = place(new QPlainTextEdit(page), 120, top + 240, kPageWidth - 240, height);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return text;
}

void paintBack(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

void paintPicture(QWidget *widget, const QString &name)
{
    const QPixmap picture(AppPaths::resourceFolder() + QStringLiteral("/View/") + name);
    if (picture.isNull())
        return;
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(pal);
}

} // namespace

frmMP3TagsEditor::frmMP3TagsEditor(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("MP3 Tags Editor"));
    setModal(false);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    setFont(tahoma);
    setFixedSize(Twips::toPixels(kWidth), Twips::toPixels(7260));

    picTitle = place(new ColorBox(this), 0, 0, kWidth, 495);
    lblTitleMain = place(new QLabel(QStringLiteral("MP3 Tags Editor"), picTitle), 120, 75, 4845, 300);
    QFont titleFont = lblTitleMain->font();
    titleFont.setPointSizeF(11.25);
    titleFont.setItalic(true);
    lblTitleMain->setFont(titleFont);

    lblSourceFIle = place(new QLabel(QStringLiteral("Source File:"), this), 120, 600, 1500, 240);
    sSourceFile = place(new QPlainTextEdit(this), 120, 840, 6060, 540);
    sSourceFile->setReadOnly(true);
    cmdSelectFile = place(new QPushButton(QStringLiteral("..."), this), 6240, 840, 480, 375);

    Label1 = place(new QLabel(QStringLiteral("Version:"), this), 120, 1530, 900, 240);
    cboID3 = place(new QComboBox(this), 1080, 1470, 2000, 315);

    cTabControl1 = place(new QTabBar(this), 120, 1920, kPageWidth, 330);
    cTabControl1->setExpanding(false);

    froGeneral = place(new QWidget(this), 120, kPageTop, kPageWidth, kPageHeight);
    txtArtist = labelledLine(froGeneral, QStringLiteral("Artist"), 120, 60, kPageWidth - 240);
    txtTitle = labelledLine(froGeneral, QStringLiteral("Title"), 120, 660, kPageWidth - 240);
    txtAlbum = labelledLine(froGeneral, QStringLiteral("Album"), 120, 1260, kPageWidth - 240);
    txtYear = labelledLine(froGeneral, QStringLiteral("Year"), 120, 1860, 1200);
    txtTrackNum = labelledLine(froGeneral, QStringLiteral("Track Number"), 1440, 1860, 1200);
    place(new QLabel(QStringLiteral("Genre"), froGeneral), 2760, 1860, 2000, 240);
    cboGenre = place(new QComboBox(froGeneral), 2760, 2100, kPageWidth - 2880, 315);
    cboGenre->setEditable(true);
    cboGenre->setInsertPolicy(QComboBox::NoInsert);
    txtDescription = labelledText(froGeneral, QStringLiteral("Comment"), 2460, 1680);

    froAdvanced = place(new QWidget(this), 120, kPageTop, kPageWidth, kPageHeight);
    txtOriginalArtist = labelledLine(froAdvanced, QStringLiteral("Original Artist"), 120, 60, kPageWidth - 240);
    txtURL = labelledLine(froAdvanced, QStringLiteral("URL"), 120, 660, kPageWidth - 240);
    txtEncodedBy = labelledLine(froAdvanced, QStringLiteral("Encoded By"), 120, 1260, kPageWidth - 240);
    txtCopyright = labelledLine(froAdvanced, QStringLiteral("Copyright"), 120, 1860, kPageWidth - 240);

    froLyric = place(new QWidget(this), 120, kPageTop, kPageWidth, kPageHeight);
    txtLyric = labelledText(froLyric, QStringLiteral("Lyrics"), 60, kPageHeight - 420);

    cmdApply = place(new QPushButton(QStringLiteral("Apply"), this), 3960, 6690, 1335, 375);
    cmdApply->setEnabled(false);
    cmdClose = place(new QPushButton(QStringLiteral("Close"), this), 5385, 6690, 1335, 375);

    connect(cboID3, &QComboBox::currentIndexChanged, this, &frmMP3TagsEditor::cboID3_Click);
    connect(cTabControl1, &QTabBar::tabBarClicked, this, [this](int index) {
        cTabControl1->setCurrentIndex(index);
        cTabControl1_TabClick(index + 1);
    });
    connect(cmdSelectFile, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdSelectFile_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdApply_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdClose_Click);
}

frmMP3TagsEditor::~frmMP3TagsEditor() = default;

void frmMP3TagsEditor::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("text_align_left"), true);

    picTitle->setBackColor(g_lTitleBackColor);
    QPalette titlePalette = lblTitleMain->palette();
    titlePalette.setColor(QPalette::WindowText, ColorBox::toColor(g_lTitleTextColor));
    lblTitleMain->setPalette(titlePalette);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    for (QWidget *widget : {static_cast<QWidget *>(this), froGeneral, froAdvanced, froLyric}) {
        if (ok)
            paintBack(widget, ColorBox::toColor(back));
        if (!g_sViewBackPicture.isEmpty())
            paintPicture(widget, g_sViewBackPicture);
    }
    if (!g_sViewTitlePicture.isEmpty())
        paintPicture(picTitle, g_sViewTitlePicture);

    cboID3->addItems({QStringLiteral("ID3 v1"), QStringLiteral("ID3 v2"), QStringLiteral("ID3 v1+v2")});
    cboID3->setCurrentIndex(2);

    m_oID3v1 = std::make_unique<cMP3ID3v1>();
    m_oID3v2 = std::make_unique<cMP3ID3v2>();

    cboGenre->addItem(QString(), kNoGenre);
    for (int code = 0; code <= 255; ++code) {
        const QString name = m_oID3v2->GenreName(quint8(code));
        if (!name.isEmpty())
            cboGenre->addItem(name, code);
    }
    cboGenre->setCurrentIndex(0);

    froAdvanced->setVisible(false);
    froLyric->setVisible(false);
    froGeneral->setVisible(true);
}

void frmMP3TagsEditor::Form_Unload(int &cancel)
{
    cancel = 0;
    if (g_editor == this)
        g_editor = nullptr;
}

void frmMP3TagsEditor::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmMP3TagsEditor::cboID3_Click()
{
    m_bWriteV1 = m_bReadV1 = m_bWriteV2 = m_bReadV2 = false;
    const QSignalBlocker quiet(cTabControl1);
    while (cTabControl1->count() > 0)
        cTabControl1->removeTab(0);

    QStringList tabs;
    const QString version = cboID3->currentText();
    if (version == QLatin1String("ID3 v1")) {
        m_bWriteV1 = m_bReadV1 = true;
        tabs = {QStringLiteral("General")};
    } else if (version == QLatin1String("ID3 v2")) {
        m_bWriteV2 = m_bReadV2 = true;
        tabs = {QStringLiteral("General"), QStringLiteral("Advanced"), QStringLiteral("Lyrics")};
    } else if (version == QLatin1String("ID3 v1+v2")) {
        m_bWriteV1 = m_bReadV1 = m_bWriteV2 = m_bReadV2 = true;
        tabs = {QStringLiteral("General"), QStringLiteral("Advanced"), QStringLiteral("Lyrics")};
    }
    for (const QString &caption : tabs) {
        const int index = cTabControl1->addTab(caption);
        cTabControl1->setTabData(index, caption);
    }
    cTabControl1->setCurrentIndex(tabs.isEmpty() ? -1 : 0);
    // The tabs are as high as the desktop's font makes them, at least as
    // designed; they grow upwards, standing on their pages.
    if (!tabs.isEmpty()) {
        const int bottom = cTabControl1->y() + cTabControl1->height();
        const int height = std::max(Twips::toPixels(330), cTabControl1->sizeHint().height());
        cTabControl1->setGeometry(cTabControl1->x(), bottom - height, cTabControl1->width(), height);
    }
    cTabControl1_TabClick(1);

    const QString path = sSourceFile->toPlainText();
    if (!path.isEmpty())
        LoadTags(path);
}

void frmMP3TagsEditor::cTabControl1_TabClick(int /*index*/)
{
    froGeneral->setVisible(false);
    froAdvanced->setVisible(false);
    froLyric->setVisible(false);
    const QString key = cTabControl1->tabData(cTabControl1->currentIndex()).toString();
    if (key == QLatin1String("General"))
        froGeneral->setVisible(true);
    else if (key == QLatin1String("Advanced"))
        froAdvanced->setVisible(true);
    else if (key == QLatin1String("Lyrics"))
        froLyric->setVisible(true);
}

void frmMP3TagsEditor::cmdSelectFile_Click()
{
    g_FileDialog.lpstrFilter = QStringLiteral("MP3 Audio Files (*.mp3)") + QChar(0) + QStringLiteral("*.mp3");
    g_FileDialog.lpstrTitle = QStringLiteral("Open MP3 audio file");
    const FileDialogResult result = mdlCommDialog::ShowOpen(this, true);
    if (result.Cancelled || result.FileCount < 1)
        return;
    // Of several chosen files the first is taken, as with one.
    QString path = result.FileNames.value(0);
    if (path.isEmpty())
        path = result.Folder + QLatin1Char('/') + result.FileNames.value(1);
    sSourceFile->setPlainText(path);
    cmdApply->setEnabled(true);
    LoadTags(path);
}

void frmMP3TagsEditor::LoadTags(const QString &path)
{
    for (QLineEdit *field : {txtArtist, txtTitle, txtAlbum, txtYear, txtTrackNum, txtOriginalArtist, txtCopyright,
                             txtEncodedBy, txtURL})
        field->clear();
    for (QPlainTextEdit *field : {txtDescription, txtLyric})
        field->clear();
    cboGenre->setCurrentIndex(0);
    if (!m_oID3v1)
        m_oID3v1 = std::make_unique<cMP3ID3v1>();
    if (!m_oID3v2)
        m_oID3v2 = std::make_unique<cMP3ID3v2>();

    // A file that cannot be read fills nothing; its cleared values are shown.
    if (m_bReadV1) {
        try {
            m_oID3v1->setMP3File(path);
        } catch (const TagError &) {
        }
        txtArtist->setText(m_oID3v1->Artist());
        txtTitle->setText(m_oID3v1->Title());
        txtAlbum->setText(m_oID3v1->Album());
        const QString genre = m_oID3v1->GenreName(m_oID3v1->Genre());
        if (genre.isEmpty())
            cboGenre->setCurrentIndex(0);
        else
            cboGenre->setCurrentText(genre);
        txtYear->setText(m_oID3v1->Year());
        txtDescription->setPlainText(m_oID3v1->Comment());
    }
    if (m_bReadV2) {
        try {
            m_oID3v2->setMP3File(path);
        } catch (const TagError &) {
        }
        const auto fill = [](auto *field, const QString &value) {
            if (!value.isEmpty()) {
                if constexpr (std::is_same_v<std::remove_pointer_t<decltype(field)>, QPlainTextEdit>)
                    field->setPlainText(value);
                else
                    field->setText(value);
            }
        };
        fill(txtArtist, m_oID3v2->Artist());
        fill(txtTitle, m_oID3v2->Title());
        fill(txtAlbum, m_oID3v2->Album());
        // A genre of the table shows its name; a genre of the user's own, its text.
        QString genre = m_oID3v2->GenreName(m_oID3v2->Genre());
        if (genre.isEmpty())
            genre = m_oID3v2->OtherGenreName();
        if (!genre.isEmpty())
            cboGenre->setCurrentText(genre);
        fill(txtYear, m_oID3v2->Year());
        fill(txtDescription, m_oID3v2->Comment());
        fill(txtTrackNum, m_oID3v2->Track());
        fill(txtOriginalArtist, m_oID3v2->OriginalArtist());
        fill(txtLyric, m_oID3v2->Lyrics());
        fill(txtCopyright, m_oID3v2->Copyright());
        fill(txtEncodedBy, m_oID3v2->EncodedBy());
        fill(txtURL, m_oID3v2->LinkTo());
    }
    m_loadedTexts = fieldTexts();
}

QHash<const QWidget *, QString> frmMP3TagsEditor::fieldTexts() const
{
    QHash<const QWidget *, QString> texts;
    for (const QLineEdit *field : {txtArtist, txtTitle, txtAlbum, txtYear, txtTrackNum, txtOriginalArtist,
                                   txtCopyright, txtEncodedBy, txtURL})
        texts.insert(field, field->text());
    for (const QPlainTextEdit *field : {txtDescription, txtLyric})
        texts.insert(field, field->toPlainText());
    texts.insert(cboGenre, cboGenre->currentText());
    return texts;
}

int frmMP3TagsEditor::genreEntryForText() const
{
    // The entry the text names; a text naming no entry of the table is a
    // genre of the user's own.
    const QString text = cboGenre->currentText();
    if (text.isEmpty())
        return 0;
    for (int i = 1; i < cboGenre->count(); ++i) {
        if (cboGenre->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

void frmMP3TagsEditor::cmdApply_Click()
{
    const QHash<const QWidget *, QString> typedTexts = fieldTexts();
    const auto changed = [&](const QWidget *field) { return typedTexts.value(field) != m_loadedTexts.value(field); };
    const QString typed = cboGenre->currentText();
    const int entry = genreEntryForText();
    if (entry > 0)
        cboGenre->setCurrentIndex(entry);
    const auto genre = static_cast<quint8>(cboGenre->itemData(entry).toInt());
    const QString genreText = entry > 0 ? cboGenre->itemText(entry) : typed;

    try {
        if (m_bWriteV1) {
            // A trailer read from the file keeps what no field changed: the
            // fields may show the ID3v2 tag's values, and the trailer's own
            // (a genre code without a name among them) are not to be lost to
            // an apply that did not touch them. A new trailer takes every field.
            const bool keep = m_oID3v1->HasID3v1Tag();
            const std::pair<const QWidget *, void (cMP3ID3v1::*)(const QString &)> setters[] = {
                {txtArtist, &cMP3ID3v1::setArtist},
                {txtTitle, &cMP3ID3v1::setTitle},
                {txtAlbum, &cMP3ID3v1::setAlbum},
                {txtYear, &cMP3ID3v1::setYear},
                {txtDescription, &cMP3ID3v1::setComment},
            };
            for (const auto &[field, set] : setters) {
                if (!keep || changed(field))
                    (m_oID3v1.get()->*set)(typedTexts.value(field));
            }
            if (!keep || changed(cboGenre))
                m_oID3v1->setGenre(genre);
            m_oID3v1->Update();
        }
        QStringList leftOut;
        if (m_bWriteV2) {
            // Only the frames of changed fields are set: every other frame,
            // also those no field shows, is written back as it was read.
            const std::pair<const QWidget *, void (cMP3ID3v2::*)(const QString &)> setters[] = {
                {txtArtist, &cMP3ID3v2::setArtist},
                {txtTitle, &cMP3ID3v2::setTitle},
                {txtAlbum, &cMP3ID3v2::setAlbum},
                {txtYear, &cMP3ID3v2::setYear},
                {txtDescription, &cMP3ID3v2::setComment},
                {cboGenre, nullptr},
                {txtTrackNum, &cMP3ID3v2::setTrack},
                {txtOriginalArtist, &cMP3ID3v2::setOriginalArtist},
                {txtCopyright, &cMP3ID3v2::setCopyright},
                {txtEncodedBy, &cMP3ID3v2::setEncodedBy},
                {txtURL, &cMP3ID3v2::setLinkTo},
                {txtLyric, &cMP3ID3v2::setLyrics},
            };
            bool any = false;
            for (const auto &[field, set] : setters) {
                if (!changed(field))
                    continue;
                any = true;
                if (set) {
                    (m_oID3v2.get()->*set)(typedTexts.value(field));
                } else {
                    m_oID3v2->setGenre(genre);
                    m_oID3v2->setOtherGenreName(genreText);
                }
            }
            if (any) {
                leftOut = m_oID3v2->FramesLeftOut();
                m_oID3v2->Update();
            }
        }
        m_loadedTexts = fieldTexts();
        QString done = QStringLiteral("Done.");
        // Frames of a version 2.2 tag that version 2.3 cannot hold are gone
        // from the file now: the user hears which.
        if (!leftOut.isEmpty())
            done += QStringLiteral("\n\nThe ID3 v2.2 frames %1 have no ID3 v2.3 form and were not written.")
                        .arg(leftOut.join(QStringLiteral(", ")));
        MsgBox(done, Msg::Information, g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    } catch (const TagError &error) {
        MsgBox(error.Description() + QLatin1Char('(') + QString::number(error.Number()) + QLatin1Char(')'),
               Msg::Information);
    }
}

void frmMP3TagsEditor::cmdClose_Click()
{
    close();
}

frmMP3TagsEditor *g_frmMP3TagsEditor()
{
    return g_editor;
}

frmMP3TagsEditor &showMP3TagsEditor()
{
    if (!g_editor) {
        auto *form = new frmMP3TagsEditor;
        form->setAttribute(Qt::WA_DeleteOnClose);
        g_editor = form;
        form->Form_Load();
        form->show();
    } else {
        // Running the command again brings the open window to the front.
        g_editor->show();
        g_editor->raise();
        g_editor->activateWindow();
    }
    return *g_editor;
}
