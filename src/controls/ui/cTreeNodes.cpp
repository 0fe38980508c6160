#include "controls/ui/cTreeNodes.h"

#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"

#include <QTreeWidgetItem>

cTreeNode *cTreeNodes::Add(cTreeNode *relative, int relation, const QString &key, const QString &text, int image,
                           int selectedImage)
{
    return m_view ? m_view->add(m_parent, relative, relation, key, text, image, selectedImage) : nullptr;
}

int cTreeNodes::Count() const
{
    if (!m_view)
        return 0;
    return m_parent ? m_parent->item()->childCount() : static_cast<int>(m_view->m_order.size());
}

cTreeNode *cTreeNodes::Item(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    if (m_parent)
        return m_view->nodeFor(m_parent->item()->child(index - 1));
    return m_view->m_order[static_cast<size_t>(index - 1)];
}

cTreeNode *cTreeNodes::Item(const QString &key) const
{
    if (!m_view || key.isEmpty())
        return nullptr;
    cTreeNode *node = m_view->m_keys.value(key);
    if (node && m_parent && node->Parent() != m_parent)
        return nullptr;
    return node;
}

void cTreeNodes::Clear()
{
    if (m_view)
        m_view->removeAll(m_parent);
}
