#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a user would see wrong on a window as it is laid out now: a text
// that does not fit the room its control gives it (cut, elided or pushed
// into a toolbar's overflow) and two visible controls of one parent that
// partly cover each other. One line per fault, naming the window and the
// control by object name (or class and text where it has none).
namespace ScreenCheck {
QStringList faults(const QWidget *window, const QString &windowName);
}
