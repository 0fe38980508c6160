#include "controls/ui/cTreeView.h"

#include "controls/ui/cImageList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

class TreeWidget : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    using QTreeWidget::itemFromIndex;
    bool editing() const { return state() == EditingState; }
};

// Hands a finished label edit to the tree's AfterLabelEdit event, which
// decides whether the new text becomes the label.
class LabelDelegate : public QStyledItemDelegate {
public:
    LabelDelegate(cTreeView *view, TreeWidget *tree)
        : QStyledItemDelegate(tree)
        , m_view(view)
        , m_tree(tree)
    {
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        auto *line = qobject_cast<QLineEdit *>(editor);
        cTreeNode *node = m_view->nodeFor(m_tree->itemFromIndex(index));
        if (line && node)
            m_view->commitLabel(node, line->text());
    }

private:
    cTreeView *m_view;
    TreeWidget *m_tree;
};

cTreeView::cTreeView(QWidget *parent)
    : QWidget(parent)
    , m_tree(new TreeWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_tree->setColumnCount(1);
    m_tree->header()->hide();
    // A name longer than the pane is wide scrolls instead of being cut short.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setItemDelegate(new LabelDelegate(this, m_tree));
    m_tree->setIconSize(QSize(16, 16));
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (cTreeNode *node = nodeFor(item))
            emit NodeClick(node);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &cTreeView::currentChanged);
}

cTreeView::~cTreeView()
{
    // An open label editor may still commit while the tree goes; with no
    // nodes left to name it has nothing to report.
    ++m_removing;
    disconnect(m_tree, nullptr, this, nullptr);
    m_items.clear();
    m_keys.clear();
    for (cTreeNode *node : m_order)
        delete node;
    m_order.clear();
    delete m_tree;
}

cTreeNode *cTreeView::SelectedItem() const
{
    return nodeFor(m_tree->currentItem());
}

void cTreeView::setImageList(cImageList *list)
{
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = list;
    if (list) {
        m_tree->setIconSize(list->iconSize());
        connect(list, &cImageList::changed, this, [this] {
            for (cTreeNode *node : m_order)
                applyIcon(node, node == SelectedItem());
        });
    }
    for (cTreeNode *node : m_order)
        applyIcon(node, node == SelectedItem());
}

void cTreeView::setLabelEdit(bool on)
{
    m_labelEdit = on;
    m_tree->setEditTriggers(on ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                               : QAbstractItemView::NoEditTriggers);
}

cTreeNode *cTreeView::nodeAt(const QPoint &viewportPos) const
{
    return nodeFor(m_tree->itemAt(viewportPos));
}

QRect cTreeView::nodeRect(cTreeNode *node) const
{
    return node ? m_tree->visualItemRect(node->item()) : QRect();
}

QWidget *cTreeView::viewport() const
{
    return m_tree->viewport();
}

QWidget *cTreeView::labelEditor() const
{
    if (!m_tree->editing())
        return nullptr;
    for (QLineEdit *line : m_tree->viewport()->findChildren<QLineEdit *>()) {
        if (line->isVisible())
            return line;
    }
    return nullptr;
}

cTreeNode *cTreeView::add(cTreeNode *collectionParent, cTreeNode *relative, int relation, const QString &key,
                          const QString &text, int image, int selectedImage)
{
    if (!key.isEmpty() && m_keys.contains(key))
        return nullptr;
    if (relative && relative->m_view != this)
        return nullptr;

    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setFlags(item->flags() | Qt::ItemIsEditable);

    if (!relative) {
        if (collectionParent)
            collectionParent->item()->addChild(item);
        else
            m_tree->addTopLevelItem(item);
    } else if (relation == cTreeNodes::Child) {
        relative->item()->addChild(item);
    } else {
        QTreeWidgetItem *parent = relative->item()->parent();
        const int at = parent ? parent->indexOfChild(relative->item()) : m_tree->indexOfTopLevelItem(relative->item());
        const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
        int index = count;
        switch (relation) {
        case cTreeNodes::First:
            index = 0;
            break;
        case cTreeNodes::Next:
            index = at + 1;
            break;
        case cTreeNodes::Previous:
            index = at;
            break;
        default:
            break;
        }
        if (parent)
            parent->insertChild(index, item);
        else
            m_tree->insertTopLevelItem(index, item);
    }

    auto *node = new cTreeNode(this, item, key, image, selectedImage);
    m_order.push_back(node);
    if (!key.isEmpty())
        m_keys.insert(key, node);
    m_items.insert(item, node);
    applyIcon(node, false);
    return node;
}

void cTreeView::remove(cTreeNode *node)
{
    if (!node || node->m_view != this)
        return;
    std::vector<cTreeNode *> doomed;
    std::vector<QTreeWidgetItem *> pending{node->item()};
    while (!pending.empty()) {
        QTreeWidgetItem *item = pending.back();
        pending.pop_back();
        if (cTreeNode *n = nodeFor(item))
            doomed.push_back(n);
        for (int i = 0; i < item->childCount(); ++i)
            pending.push_back(item->child(i));
    }
    ++m_removing;
    for (cTreeNode *n : doomed) {
        m_items.remove(n->item());
        if (!n->m_key.isEmpty())
            m_keys.remove(n->m_key);
        m_order.erase(std::find(m_order.begin(), m_order.end(), n));
    }
    delete node->item(); // takes the child items with it
    for (cTreeNode *n : doomed)
        delete n;
    --m_removing;
    if (cTreeNode *current = SelectedItem())
        applyIcon(current, true);
}

void cTreeView::removeAll(cTreeNode *collectionParent)
{
    if (collectionParent) {
        while (collectionParent->item()->childCount() > 0)
            remove(nodeFor(collectionParent->item()->child(0)));
        return;
    }
    ++m_removing;
    std::vector<cTreeNode *> doomed;
    doomed.swap(m_order);
    m_keys.clear();
    m_items.clear();
    m_tree->clear();
    for (cTreeNode *n : doomed)
        delete n;
    --m_removing;
}

cTreeNode *cTreeView::nodeFor(const QTreeWidgetItem *item) const
{
    return item ? m_items.value(item) : nullptr;
}

void cTreeView::applyIcon(cTreeNode *node, bool selected)
{
    const int index = selected && node->m_selectedImage >= 0 ? node->m_selectedImage : node->m_image;
    node->item()->setIcon(0, m_images ? m_images->icon(index) : QIcon());
}

void cTreeView::currentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    cTreeNode *now = nodeFor(current);
    cTreeNode *before = nodeFor(previous);
    if (before)
        applyIcon(before, false);
    if (now)
        applyIcon(now, true);
    if (m_removing == 0 && now)
        emit SelectedNodeChange(now, before);
}

void cTreeView::startLabelEdit(cTreeNode *node)
{
    if (m_committing > 0) {
        // The editor that is closing would close a new one opened now;
        // open it once the current edit has ended.
        QTimer::singleShot(0, this, [this, guard = QPointer<cTreeNode>(node)] {
            if (guard)
                startLabelEdit(guard);
        });
        return;
    }
    m_tree->scrollToItem(node->item());
    m_tree->editItem(node->item(), 0);
}

void cTreeView::commitLabel(cTreeNode *node, const QString &text)
{
    QPointer<cTreeNode> guard(node);
    bool cancel = false;
    ++m_committing;
    emit AfterLabelEdit(node, text, cancel);
    --m_committing;
    if (guard && !cancel)
        guard->item()->setText(0, text);
}
