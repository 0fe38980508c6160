#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a user would see wrong on a window as it is laid out now: a text
// that does not fit the room its control gives it (cut, elided or pushed
// into a toolbar's overflow), a tab bar that scrolls or a tab caption cut, a
// column header cut or out of view, a cell cut where its table has room to
// spare or outside its widest column, a window title longer than its title
// bar, and two visible controls of one parent that partly cover each other.
// One line per fault, naming the window and the control by object name (or
// class and text where it has none).
namespace ScreenCheck {
QStringList faults(const QWidget *window, const QString &windowName);
}
