#include "core/LinkLabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString &caption, QWidget *parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(blue);
    setCaption(caption);
}

void LinkLabel::setCaption(const QString &caption)
{
    setText(caption);
    setToolTip(caption);
}

void LinkLabel::useSystemColor()
{
    setPalette(QPalette());
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
