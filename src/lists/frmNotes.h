#pragma once

#include <QDialog>

class QPlainTextEdit;

// A free-text notepad kept in the program folder's "Notes" file. Shown
// modeless; what the box holds is written back when the window unloads, and
// the main window's "Notes" panel is refreshed then.
class frmNotes : public QDialog {
    Q_OBJECT
public:
    explicit frmNotes(QWidget *parent = nullptr);
    ~frmNotes() override;

    // The notes file: the program folder's "Notes".
    static QString notesFilePath();

    void Form_Load();
    void Form_Unload(int &Cancel);

    QPlainTextEdit *Text1 = nullptr;

public Q_SLOTS:
    // Escape closes the window like its close box, so the note is kept.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Resize();

    // False while a notes file exists that could not be read: the empty box
    // then must not replace it.
    bool m_bNoteRead = true;
};

// The notes window while it is loaded, else null.
extern frmNotes *g_frmNotes;
// Loads the window when it is not loaded (running its Form_Load) and shows it
// modeless; answers the instance.
frmNotes &showNotes(QWidget *parent = nullptr);
