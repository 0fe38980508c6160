#include "settings/ColorBox.h"

#include <QMouseEvent>

ColorBox::ColorBox(QWidget *parent)
    : QFrame(parent)
{
    setAutoFillBackground(true);
    setBackColor(0);
}

void ColorBox::setBackColor(qint32 color)
{
    m_backColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toColor(color));
    setPalette(pal);
}

QColor ColorBox::toColor(qint32 color)
{
    const auto value = static_cast<quint32>(color);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void ColorBox::paintBack(QWidget *widget, qint32 color)
{
    if (!widget)
        return;
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, toColor(color));
    widget->setPalette(pal);
}

void ColorBox::paintText(QWidget *widget, qint32 color)
{
    if (!widget)
        return;
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, toColor(color));
    widget->setPalette(pal);
}

void ColorBox::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}
