#include "lists/NotesPanel.h"

#include "core/MainWindowFace.h"
#include "core/forms.h"

namespace NotesPanel {

void refresh()
{
    if (MainWindowFace *main = Forms::mainFace())
        main->refreshNotesPanel();
}

} // namespace NotesPanel
