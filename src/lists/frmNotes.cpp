#include "lists/frmNotes.h"

#include "core/MainWindowFace.h"
#include "core/TextLines.h"
#include "core/forms.h"
#include "lists/NotesPanel.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/SafeWrite.h"

#include <QCloseEvent>
#include <QFile>
#include <QPlainTextEdit>

frmNotes *g_frmNotes = nullptr;

namespace {

const QString crlf = QStringLiteral("\r\n");

// The box holds "\n" line breaks; the file holds CR LF.
QString boxTextFromFile(QString text)
{
    text.replace(crlf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

frmNotes::frmNotes(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Notes"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    Text1 = new QPlainTextEdit(this);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    resize(Twips::toPixels(6000), Twips::toPixels(4500));
    g_frmNotes = this;
}

frmNotes::~frmNotes()
{
    if (g_frmNotes == this)
        g_frmNotes = nullptr;
}

QString frmNotes::notesFilePath()
{
    return AppPaths::programFolder() + QStringLiteral("/Notes");
}

void frmNotes::Form_Load()
{
    Text1->move(0, 0);
    Form_Resize();

    QFile file(notesFilePath());
    if (!file.exists()) {
        // A first opening starts an empty note, with its file.
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return;
    }
    m_bNoteRead = false;
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    m_bNoteRead = true;

    // A note written by another editor in a single-byte code page keeps its
    // letters rather than turning into replacement characters.
    const QString decoded = TextLines::decodeText(bytes);

    // Every line comes back followed by CR LF; the one CR LF that saving
    // added after the text is then taken off again.
    QString text = boxTextFromFile(decoded);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    if (text.size() > 1)
        Text1->setPlainText(text.left(text.size() - 1));
}

void frmNotes::Form_Unload(int &Cancel)
{
    if (!m_bNoteRead) {
        NotesPanel::refresh();
        return;
    }
    QString text = Text1->toPlainText();
    text.replace(QLatin1Char('\n'), crlf);
    // Replaced in one step, so a failed write never leaves half a note. The
    // window stays open with the note when it cannot be saved, unless the
    // program is ending.
    QString error;
    if (!TextLines::writeTextFileContent(notesFilePath(), text + crlf, &error)) {
        MsgBox(SafeWrite::cannotSave(notesFilePath(), error), int(Msg::OkOnly) + int(Msg::Critical));
        if (!g_bAppClosing) {
            Cancel = 1;
            return;
        }
    }
    NotesPanel::refresh();
}

void frmNotes::Form_Resize()
{
    const int w = Twips::fromPixels(width()) - 100;
    const int h = Twips::fromPixels(height()) - 500;
    Text1->resize(std::max(0, Twips::toPixels(w)), std::max(0, Twips::toPixels(h)));
}

void frmNotes::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmNotes::reject()
{
    close();
}

void frmNotes::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

frmNotes &showNotes(QWidget *parent)
{
    if (!g_frmNotes) {
        auto *form = new frmNotes(parent);
        form->Form_Load();
    }
    g_frmNotes->show();
    g_frmNotes->raise();
    return *g_frmNotes;
}
