#include "controls/ui/cContextMenu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWidget>

struct cContextMenu::Item {
    QString caption;
    QString helpText;
    QVariant data;
    qint32 parent = 0;
    qint32 icon = -1;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    QString key;
    QAction *action = nullptr;             // owned by the parent's menu
    std::unique_ptr<QMenu> submenu;        // for holders
};

cContextMenu::cContextMenu(QObject *parent)
    : QObject(parent)
{
}

cContextMenu::~cContextMenu() = default;

void cContextMenu::setFont(const QFont &font)
{
    m_font = font;
    m_hasFont = true;
}

cContextMenu::Item *cContextMenu::item(qint32 index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_items[static_cast<size_t>(index - 1)].get();
}

qint32 cContextMenu::AddItem(const QString &caption, const QString &helpText, const QVariant &itemData,
                             qint32 parentIndex, qint32 iconIndex, bool checked, bool enabled, const QString &key)
{
    auto entry = std::make_unique<Item>();
    entry->caption = caption;
    entry->helpText = helpText;
    entry->data = itemData;
    entry->parent = item(parentIndex) ? parentIndex : 0;
    entry->icon = iconIndex;
    entry->checked = checked;
    entry->enabled = enabled;
    entry->key = key;
    m_items.push_back(std::move(entry));
    m_built = false;
    return Count();
}

qint32 cContextMenu::IndexForKey(const QString &key) const
{
    for (qint32 i = 1; i <= Count(); ++i) {
        if (item(i)->key == key)
            return i;
    }
    return 0;
}

QString cContextMenu::ItemKey(qint32 index) const
{
    const Item *it = item(index);
    return it ? it->key : QString();
}

bool cContextMenu::ItemChecked(qint32 index) const
{
    const Item *it = item(index);
    return it && it->checked;
}

void cContextMenu::setItemChecked(qint32 index, bool checked)
{
    if (Item *it = item(index)) {
        it->checked = checked;
        applyTo(*it);
    }
}

QString cContextMenu::ItemCaption(qint32 index) const
{
    const Item *it = item(index);
    return it ? it->caption : QString();
}

void cContextMenu::setItemCaption(qint32 index, const QString &caption)
{
    if (Item *it = item(index)) {
        it->caption = caption;
        applyTo(*it);
    }
}

bool cContextMenu::ItemVisible(qint32 index) const
{
    const Item *it = item(index);
    return it && it->visible;
}

void cContextMenu::setItemVisible(qint32 index, bool visible)
{
    if (Item *it = item(index)) {
        it->visible = visible;
        applyTo(*it);
    }
}

bool cContextMenu::ItemEnabled(qint32 index) const
{
    const Item *it = item(index);
    return it && it->enabled;
}

void cContextMenu::setItemEnabled(qint32 index, bool enabled)
{
    if (Item *it = item(index)) {
        it->enabled = enabled;
        applyTo(*it);
    }
}

qint32 cContextMenu::ItemParent(qint32 index) const
{
    const Item *it = item(index);
    return it ? it->parent : 0;
}

void cContextMenu::Refresh(bool)
{
    build();
}

void cContextMenu::applyTo(const Item &it)
{
    if (!it.action)
        return;
    // A separator is a line only; the "-" that marks it is not a caption.
    if (!it.action->isSeparator())
        it.action->setText(it.caption);
    it.action->setStatusTip(it.helpText);
    it.action->setCheckable(it.checked || it.action->isCheckable());
    it.action->setChecked(it.checked);
    it.action->setEnabled(it.enabled);
    it.action->setVisible(it.visible);
    if (it.icon >= 0 && it.icon < m_images.size())
        it.action->setIcon(m_images.at(it.icon));
}

QMenu *cContextMenu::menuFor(qint32 holder)
{
    Item *it = item(holder);
    if (!it)
        return nullptr;
    if (!it->submenu) {
        it->submenu = std::make_unique<QMenu>(it->caption);
        if (m_hasFont)
            it->submenu->setFont(m_font);
    }
    return it->submenu.get();
}

void cContextMenu::build()
{
    if (m_built)
        return;
    for (auto &entry : m_items) {
        if (entry->submenu)
            entry->submenu->clear();
        entry->action = nullptr;
    }
    for (qint32 i = 1; i <= Count(); ++i) {
        Item *it = item(i);
        if (it->parent == 0)
            continue;
        QMenu *menu = menuFor(it->parent);
        bool hasChildren = false;
        for (qint32 j = i + 1; j <= Count() && !hasChildren; ++j)
            hasChildren = item(j)->parent == i;
        if (it->caption == QLatin1String("-")) {
            it->action = menu->addSeparator();
        } else if (hasChildren) {
            it->action = menu->addMenu(menuFor(i));
        } else {
            it->action = menu->addAction(it->caption);
            connect(it->action, &QAction::triggered, this, [this, i] { Q_EMIT Click(i); });
        }
        applyTo(*it);
    }
    m_built = true;
}

QMenu *cContextMenu::MenuHolding(qint32 index)
{
    build();
    const Item *it = item(index);
    if (!it)
        return nullptr;
    return menuFor(it->parent == 0 ? index : it->parent);
}

QAction *cContextMenu::ItemAction(qint32 index)
{
    build();
    const Item *it = item(index);
    return it ? it->action : nullptr;
}

void cContextMenu::ShowPopupAt(int x, int y, int, int, int, int, bool, qint32 index)
{
    if (QMenu *menu = MenuHolding(index))
        menu->popup(QPoint(x, y));
}

void cContextMenu::ShowPopup(int, int, qint32 index, bool)
{
    if (QMenu *menu = MenuHolding(index))
        menu->popup(QCursor::pos());
}

void cContextMenu::setOwnerWindow(QWidget *owner)
{
    m_owner = owner;
}
