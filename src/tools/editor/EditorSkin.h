#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

#include <optional>

class QWidget;

// The look the recorder, speech and conversion windows take from the
// options: the view's back colour and pictures from the program folder's
// "View" folder.
namespace EditorSkin {

// g_sViewBackColor as a colour; nothing when it holds no number.
std::optional<QColor> viewBackColour();
// The picture of that name in the "View" folder; null when there is none.
QPixmap viewPicture(const QString &name);
void paintBackground(QWidget *widget, const QColor &colour);
void paintPicture(QWidget *widget, const QPixmap &picture);

} // namespace EditorSkin
