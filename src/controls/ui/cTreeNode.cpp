#include "controls/ui/cTreeNode.h"

#include "controls/ui/cTreeView.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

cTreeNode::cTreeNode(cTreeView *view, QTreeWidgetItem *item, const QString &key, int image, int selectedImage)
    : m_view(view)
    , m_item(item)
    , m_key(key)
    , m_image(image)
    , m_selectedImage(selectedImage)
{
}

cTreeNode::~cTreeNode() = default;

bool cTreeNode::setKey(const QString &key)
{
    if (key == m_key)
        return true;
    if (!key.isEmpty() && m_view->m_keys.contains(key))
        return false;
    if (!m_key.isEmpty())
        m_view->m_keys.remove(m_key);
    m_key = key;
    if (!m_key.isEmpty())
        m_view->m_keys.insert(m_key, this);
    return true;
}

QString cTreeNode::Text() const
{
    return m_item->text(0);
}

void cTreeNode::setText(const QString &text)
{
    m_item->setText(0, text);
}

void cTreeNode::setImage(int image)
{
    m_image = image;
    m_view->applyIcon(this, m_view->SelectedItem() == this);
}

void cTreeNode::setSelectedImage(int image)
{
    m_selectedImage = image;
    m_view->applyIcon(this, m_view->SelectedItem() == this);
}

cTreeNodes cTreeNode::Child()
{
    return cTreeNodes(m_view, this);
}

cTreeNode *cTreeNode::Parent() const
{
    return m_view->nodeFor(m_item->parent());
}

namespace {

QTreeWidgetItem *sibling(QTreeWidgetItem *item, int step)
{
    QTreeWidgetItem *parent = item->parent();
    QTreeWidget *tree = item->treeWidget();
    const int index = parent ? parent->indexOfChild(item) : tree->indexOfTopLevelItem(item);
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    const int target = index + step;
    if (target < 0 || target >= count)
        return nullptr;
    return parent ? parent->child(target) : tree->topLevelItem(target);
}

} // namespace

cTreeNode *cTreeNode::Next() const
{
    return m_view->nodeFor(sibling(m_item, 1));
}

cTreeNode *cTreeNode::Previous() const
{
    return m_view->nodeFor(sibling(m_item, -1));
}

bool cTreeNode::Selected() const
{
    return m_item->isSelected();
}

void cTreeNode::setSelected(bool selected)
{
    if (selected) {
        m_item->treeWidget()->setCurrentItem(m_item);
        m_item->setSelected(true);
        m_item->treeWidget()->scrollToItem(m_item);
    } else {
        m_item->setSelected(false);
    }
}

bool cTreeNode::Expanded() const
{
    return m_item->isExpanded();
}

void cTreeNode::setExpanded(bool expanded)
{
    m_item->setExpanded(expanded);
}

bool cTreeNode::Bold() const
{
    return m_item->font(0).bold();
}

void cTreeNode::setBold(bool bold)
{
    QFont font = m_item->font(0);
    font.setBold(bold);
    m_item->setFont(0, font);
}

void cTreeNode::setSetupFlag(bool on)
{
    m_setupFlag = on;
    if (on)
        m_item->setExpanded(true);
}

void cTreeNode::StartLabelEdit()
{
    m_view->startLabelEdit(this);
}

void cTreeNode::Delete()
{
    m_view->remove(this);
}
