#include "controls/ui/XP_ProgressBar.h"

#include "controls/ui/OleColor.h"

#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

XP_ProgressBar::XP_ProgressBar(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QProgressBar(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    m_bar->setTextVisible(false);
    refresh();
}

void XP_ProgressBar::setMin(int min)
{
    m_min = min;
    refresh();
}

void XP_ProgressBar::setMax(int max)
{
    m_max = max;
    refresh();
}

void XP_ProgressBar::setValue(int value)
{
    m_value = value;
    refresh();
}

void XP_ProgressBar::setColor(quint32 colour)
{
    m_color = colour;
    QPalette p = m_bar->palette();
    p.setColor(QPalette::Highlight, OleColor::toQColor(colour, palette()));
    m_bar->setPalette(p);
}

double XP_ProgressBar::shownFraction() const
{
    if (m_max <= m_min)
        return 0.0;
    return double(std::clamp(m_value, m_min, m_max) - m_min) / double(m_max - m_min);
}

void XP_ProgressBar::refresh()
{
    if (m_max <= m_min) {
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
        return;
    }
    m_bar->setRange(m_min, m_max);
    m_bar->setValue(std::clamp(m_value, m_min, m_max));
}
