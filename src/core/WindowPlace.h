#pragma once

class QWidget;

// Where a window opens: centred on the window that opens it, or on the
// screen, and whole on the screen (a window taller than its owner never
// starts above the screen's top). Called before the window shows; a window
// placed this way keeps the place instead of the one the toolkit or the
// desktop would pick.
namespace WindowPlace {
// On the owner's frame; on the screen when there is no visible owner.
void centreOnOwner(QWidget *window, const QWidget *owner);
// On the available area of the screen the window is on (else the primary one).
void centreOnScreen(QWidget *window);
}
