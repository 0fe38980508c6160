// The audio analyser's selection: saved as a WAV file of its own, and added
// to the selected items list once that file is complete.
#include "tools/editor/frmAudioEditor.h"

#include "controls/audio/cAudioEditor.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "lists/frmStat.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <optional>

namespace {

// The millisecond count a time label starts with: its text up to the first
// blank, read as a whole number; nothing when it holds none.
std::optional<qint64> leadingNumber(const QString &caption)
{
    const int blank = caption.indexOf(QLatin1Char(' '));
    bool ok = false;
    const qint64 value = caption.left(blank < 0 ? caption.size() : blank).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// Sources of this size or less hold no sound: a WAV header alone is 44 bytes.
constexpr qint64 kEmptyFileBytes = 64;

} // namespace

QString frmAudioEditor::SaveSelectionAs()
{
    g_FileDialog.lpstrFilter = QStringLiteral("Wav Audio Files (*.wav)") + QChar(0) + QStringLiteral("*.wav") + QChar(0);
    g_FileDialog.lpstrTitle = QStringLiteral("Save Selection As");
    g_FileDialog.lpstrFile.clear();
    g_FileDialog.lpstrDefExt = QStringLiteral("wav");
    const FileDialogResult result = mdlCommDialog::ShowSave(this, QString(), true);
    if (result.Cancelled || result.FileNames.size() < 2)
        return QString();
    const QString path = result.FileNames.at(1);
    cAudioEditor1->SetSaveSource(txtWavFile->text());
    cAudioEditor1->SaveDestFile(path);
    const std::optional<qint64> start = leadingNumber(lblTimeStart->text());
    if (start)
        cAudioEditor1->SaveStart(*start);
    const std::optional<qint64> end = leadingNumber(lblTimeEnd->text());
    if (start && end)
        cAudioEditor1->SaveLength(*end - *start);
    cmdAddSelection->setEnabled(false);
    toolbarButton(QStringLiteral("Save Selection"))->setEnabled(false);
    cAudioEditor1->SaveSelection();
    return path;
}

void frmAudioEditor::cmdAddSelection_Click()
{
    const QString path = SaveSelectionAs();
    const QString source = txtWavFile->text();
    const QFileInfo info(source);
    if (source.isEmpty() || !info.isFile()) {
        MsgBox(QStringLiteral("The file:") + source + QStringLiteral(" was not found."), Msg::Information);
        return;
    }
    if (info.size() <= kEmptyFileBytes) {
        MsgBox(QStringLiteral("The file:") + source + QStringLiteral(" is empty."), Msg::Information);
        return;
    }
    if (path.isEmpty()) {
        // Nothing was saved, so nothing is added; the window closes all the same.
        close();
        return;
    }
    // The save runs on; the file goes to the list only once it is complete
    // (SaveDone), never half-written, and not at all when the save fails.
    m_sPendingAdd = path;
}

void frmAudioEditor::addSavedSelectionToList(const QString &path)
{
    MainWindowFace *main = Forms::mainFace();
    // The window closes once the add is over.
    const QPointer<frmAudioEditor> self = this;
    const bool adding = main && AddFiles::addToSelectedList(*main, QStringList{path}, [self](int) {
        if (self)
            self->close();
    });
    if (!adding)
        close();
}
