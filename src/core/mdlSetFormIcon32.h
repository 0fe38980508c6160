#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace mdlSetFormIcon32 {
// Gives the window (and, when asked, its top owner) the named icon of the
// program's resources; a name without a resource leaves them without one.
void SetFormIcon(QWidget *window, const QString &iconName, bool setTopOwner);
// The icon of that name (letter case ignored), or a null icon.
QIcon ResourceIcon(const QString &iconName);
}
