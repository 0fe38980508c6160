#include "tools/editor/EditorSkin.h"

#include "controls/ui/OleColor.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"

#include <QBrush>
#include <QPalette>
#include <QWidget>

namespace EditorSkin {

std::optional<QColor> viewBackColour()
{
    bool ok = false;
    const qint32 number = g_sViewBackColor.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return OleColor::toQColor(quint32(number));
}

QPixmap viewPicture(const QString &name)
{
    return QPixmap(AppPaths::programFolder() + QStringLiteral("/View/") + name);
}

void paintBackground(QWidget *widget, const QColor &colour)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void paintPicture(QWidget *widget, const QPixmap &picture)
{
    if (!widget || picture.isNull())
        return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace EditorSkin
