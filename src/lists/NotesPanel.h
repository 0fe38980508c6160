#pragma once

// The main window's "Notes" status panel, rewritten from the notes file.
namespace NotesPanel {
// Does nothing while the main window is not loaded.
void refresh();
}
