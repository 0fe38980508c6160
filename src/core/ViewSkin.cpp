#include "core/ViewSkin.h"

#include "controls/ui/OleColor.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"

#include <QPixmap>
#include <QWidget>

namespace ViewSkin {

QColor colourOf(quint32 colour)
{
    return OleColor::toQColor(colour);
}

void paintColour(QWidget *widget, quint32 colour)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, OleColor::toQColor(colour, palette));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void paintViewBack(QWidget *widget)
{
    bool ok = false;
    const qint32 number = g_sViewBackColor.toInt(&ok);
    if (ok)
        paintColour(widget, quint32(number));
}

void paintViewPicture(QWidget *widget, const QString &name)
{
    if (!widget || name.isEmpty())
        return;
    const QPixmap picture(AppPaths::programFolder() + QStringLiteral("/View/") + name);
    if (picture.isNull())
        return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace ViewSkin
