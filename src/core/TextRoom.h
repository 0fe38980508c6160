#pragma once

class QWidget;

// The windows keep the places their design gives their controls, drawn for
// a smaller font than the desktop's; where a control's text needs more room
// than its place, the control grows (away from the side its text is aligned
// to), so every text shows whole at any font.
namespace TextRoom {
// Grows one label, button, check box or option to its text; other controls
// and controls that show no text are left alone.
void fit(QWidget *control);
// Fits every such control of the window that no layout places.
void fitAll(QWidget *window);
}
