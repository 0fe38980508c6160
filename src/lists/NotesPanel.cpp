#include "lists/NotesPanel.h"

#include "core/forms.h"
#include "mainwindow/frmMain.h"

namespace NotesPanel {

void refresh()
{
    if (frmMain *main = Forms::main())
        main->setPanelText(QStringLiteral("Notes"), main->GetNotesToStatus());
}

} // namespace NotesPanel
