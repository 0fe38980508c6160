#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The skin of the windows' views: the background colour and picture that
// the edition table and the options name.
namespace ViewSkin {

// Paints widget with the view's background colour (a colour number in text);
// a text that is no number leaves the widget as it is.
void paintViewBack(QWidget *widget);
// Lays the named picture of the program's "View" folder over widget; an empty
// name or a missing file leaves it as it is.
void paintViewPicture(QWidget *widget, const QString &name);
// Paints widget with a colour number (0x00BBGGRR or a system colour).
void paintColour(QWidget *widget, quint32 colour);
// The colour of a colour number.
QColor colourOf(quint32 colour);

} // namespace ViewSkin
