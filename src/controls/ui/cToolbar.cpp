#include "controls/ui/cToolbar.h"

#include "controls/ui/cImageList.h"

#include <QHBoxLayout>
#include <QToolButton>

cToolbar::cToolbar(QWidget *parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void cToolbar::setSetupFlag05(int index, bool on)
{
    Q_UNUSED(index);
    Q_UNUSED(on);
}

void cToolbar::SetImageList(cImageList *images)
{
    m_images = images;
    showImages();
}

void cToolbar::CreateToolbar(int size, bool, bool, bool)
{
    setIconSize(QSize(size, size));
    m_created = true;
}

int cToolbar::AddButton(const QString &toolTip, int image, const QVariant &reserved, int number,
                        const QString &caption, int style, const QString &key)
{
    Q_UNUSED(reserved);
    Q_UNUSED(number);
    Button b;
    b.style = style;
    const int index = ButtonCount() + 1;
    if (style == Separator) {
        addSeparator();
        m_buttons.push_back(b);
        return index;
    }
    b.key = key;
    b.toolTip = toolTip;
    b.caption = caption;
    b.image = image;
    b.body = new QToolButton;
    b.body->setAutoRaise(true);
    b.body->setFocusPolicy(Qt::NoFocus);
    b.body->setToolTip(toolTip);
    b.body->setText(caption);
    b.body->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    b.body->setIconSize(iconSize());
    b.body->setCheckable(style == Check);
    connect(b.body, &QToolButton::clicked, this, [this, index] { emit ButtonClick(index); });
    if (style == DropDown) {
        auto *holder = new QWidget;
        auto *row = new QHBoxLayout(holder);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        b.arrow = new QToolButton(holder);
        b.arrow->setAutoRaise(true);
        b.arrow->setFocusPolicy(Qt::NoFocus);
        b.arrow->setArrowType(Qt::DownArrow);
        b.arrow->setToolTip(toolTip);
        b.arrow->setFixedWidth(14);
        row->addWidget(b.body);
        row->addWidget(b.arrow);
        connect(b.arrow, &QToolButton::clicked, this, [this, index] { emit ButtonDropDown(index); });
        addWidget(holder);
    } else {
        addWidget(b.body);
    }
    m_buttons.push_back(b);
    showImages();
    return index;
}

void cToolbar::showImages()
{
    for (const Button &b : m_buttons) {
        if (!b.body)
            continue;
        b.body->setIconSize(iconSize());
        if (m_images && b.image >= 0)
            b.body->setIcon(m_images->icon(b.image));
    }
}

const cToolbar::Button *cToolbar::button(int index) const
{
    return index >= 1 && index <= ButtonCount() ? &m_buttons[static_cast<size_t>(index - 1)] : nullptr;
}

int cToolbar::ButtonIndex(const QString &key) const
{
    if (key.isEmpty())
        return 0;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].key == key)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString cToolbar::ButtonKey(int index) const
{
    const Button *b = button(index);
    return b ? b->key : QString();
}

QString cToolbar::ButtonCaption(int index) const
{
    const Button *b = button(index);
    return b ? b->caption : QString();
}

QString cToolbar::ButtonToolTip(int index) const
{
    const Button *b = button(index);
    return b ? b->toolTip : QString();
}

int cToolbar::ButtonImage(int index) const
{
    const Button *b = button(index);
    return b ? b->image : -1;
}

int cToolbar::ButtonStyle(int index) const
{
    const Button *b = button(index);
    return b ? b->style : -1;
}

bool cToolbar::ButtonChecked(const QString &key) const
{
    const Button *b = button(ButtonIndex(key));
    return b && b->body && b->body->isChecked();
}

void cToolbar::setButtonChecked(const QString &key, bool checked)
{
    const Button *b = button(ButtonIndex(key));
    if (!b || !b->body)
        return;
    // A plain button shows the state too, as a pressed look.
    b->body->setCheckable(true);
    b->body->setChecked(checked);
    if (b->style != Check && !checked)
        b->body->setCheckable(false);
}

void cToolbar::GetButtonPosition(int index, int &left, int &top) const
{
    const Button *b = button(index);
    if (!b || !b->body) {
        const QPoint p = mapToGlobal(QPoint(0, height()));
        left = p.x();
        top = p.y();
        return;
    }
    const QPoint p = b->body->mapToGlobal(QPoint(0, b->body->height()));
    left = p.x();
    top = p.y();
}

QAbstractButton *cToolbar::buttonWidget(int index) const
{
    const Button *b = button(index);
    return b ? b->body : nullptr;
}

QAbstractButton *cToolbar::dropDownArrow(int index) const
{
    const Button *b = button(index);
    return b ? b->arrow : nullptr;
}
