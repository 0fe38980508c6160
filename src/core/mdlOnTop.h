#pragma once

class QWidget;

namespace mdlOnTop {
// Puts the window into or out of the band above all other windows, keeping
// its place and size, showing it without activating it.
void SetFormOnTop(QWidget *form, bool onTop);
// The last value set; nothing reads it but it is kept with the window state.
bool IsOnTop();
}
