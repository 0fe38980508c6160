#include "controls/ui/cSlider.h"

#include "controls/ui/OleColor.h"

cSlider::cSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 1);
    connect(this, &QSlider::sliderPressed, this, &cSlider::DragStart);
    connect(this, &QSlider::sliderReleased, this, &cSlider::DragEnd);
}

void cSlider::setBackColor(quint32 colour)
{
    m_backColor = colour;
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, OleColor::toQColor(colour, pal));
    setPalette(pal);
}
