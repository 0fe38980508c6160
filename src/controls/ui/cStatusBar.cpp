#include "controls/ui/cStatusBar.h"

#include "controls/ui/OleColor.h"

#include <QToolButton>

cStatusBar::cStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
}

int cStatusBar::AddPanel(int style, const QString &text, const QString &secondText, int icon, int width, bool spring,
                         bool fit, int reserved, const QString &key)
{
    Q_UNUSED(style);
    Q_UNUSED(reserved);
    if (!key.isEmpty() && PanelIndex(key) > 0)
        return 0;
    auto *button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setText(text);
    button->setToolTip(secondText);
    // The width is the least a panel takes: a text longer than the width
    // the caller thought of widens its panel instead of being cut.
    Q_UNUSED(fit);
    if (width > 0)
        button->setMinimumWidth(width);
    addPermanentWidget(button, spring ? 1 : 0);

    m_panels.push_back({key, icon, button});
    const int index = PanelCount();
    connect(button, &QToolButton::clicked, this, [this, index] { emit PanelClick(index); });
    showIcon(m_panels.back());
    return index;
}

int cStatusBar::PanelIndex(const QString &key) const
{
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i].key == key)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

const cStatusBar::Panel *cStatusBar::panel(int index) const
{
    return index >= 1 && index <= PanelCount() ? &m_panels[static_cast<size_t>(index - 1)] : nullptr;
}

QString cStatusBar::PanelKey(int index) const
{
    const Panel *p = panel(index);
    return p ? p->key : QString();
}

QString cStatusBar::PanelText(int index) const
{
    const Panel *p = panel(index);
    return p ? p->button->text() : QString();
}

QString cStatusBar::PanelText(const QString &key) const
{
    return PanelText(PanelIndex(key));
}

void cStatusBar::setPanelText(int index, const QString &text)
{
    if (const Panel *p = panel(index))
        p->button->setText(text);
}

void cStatusBar::setPanelText(const QString &key, const QString &text)
{
    setPanelText(PanelIndex(key), text);
}

int cStatusBar::PanelIcon(int index) const
{
    const Panel *p = panel(index);
    return p ? p->icon : -1;
}

int cStatusBar::PanelIcon(const QString &key) const
{
    return PanelIcon(PanelIndex(key));
}

void cStatusBar::setPanelIcon(int index, int icon)
{
    if (index < 1 || index > PanelCount())
        return;
    Panel &p = m_panels[static_cast<size_t>(index - 1)];
    p.icon = icon;
    showIcon(p);
}

void cStatusBar::setPanelIcon(const QString &key, int icon)
{
    setPanelIcon(PanelIndex(key), icon);
}

int cStatusBar::PanelWidth(int index) const
{
    const Panel *p = panel(index);
    return p ? p->button->width() : 0;
}

void cStatusBar::setImageList(cImageList *list)
{
    m_images = list;
    for (const Panel &p : m_panels)
        showIcon(p);
}

void cStatusBar::setBackColor(quint32 colour)
{
    m_backColor = colour;
    QPalette p = palette();
    p.setColor(QPalette::Window, OleColor::toQColor(colour, palette()));
    setPalette(p);
    setAutoFillBackground(true);
}

QWidget *cStatusBar::panelWidget(int index) const
{
    const Panel *p = panel(index);
    return p ? p->button : nullptr;
}

void cStatusBar::showIcon(const Panel &p)
{
    p.button->setIcon(m_images ? m_images->icon(p.icon) : QIcon());
    if (m_images)
        p.button->setIconSize(m_images->iconSize());
}
