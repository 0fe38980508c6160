#pragma once

#include "controls/ui/cImageList.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TreeWidget;

// A tree of keyed nodes (lists of items, pages of the options).
//
// NodeClick comes only from the user's click on a node. SelectedNodeChange
// comes whenever another node becomes the selected one, by the user or by
// code (cTreeNode::setSelected), but not when removing nodes moves the
// selection: whoever removes nodes chooses what to show next.
class cTreeView : public QWidget {
    Q_OBJECT
public:
    explicit cTreeView(QWidget *parent = nullptr);
    ~cTreeView() override;

    cTreeNodes Nodes() { return cTreeNodes(this, nullptr); }
    // The node the tree works on; nullptr when the tree is empty or none
    // was selected yet.
    cTreeNode *SelectedItem() const;
    cImageList *ImageList() const { return m_images; }
    void setImageList(cImageList *list);
    // True lets the user edit labels (a second click on the selected node,
    // or F2).
    bool LabelEdit() const { return m_labelEdit; }
    void setLabelEdit(bool on);

    // The node behind a row of the tree widget, for tests and hit tests.
    cTreeNode *nodeAt(const QPoint &viewportPos) const;
    QRect nodeRect(cTreeNode *node) const;
    QWidget *viewport() const;
    // The open label editor, or nullptr.
    QWidget *labelEditor() const;

signals:
    void NodeClick(cTreeNode *Node);
    void SelectedNodeChange(cTreeNode *Node, cTreeNode *Previous);
    // Set Cancel true to keep the old label; otherwise NewString becomes it.
    void AfterLabelEdit(cTreeNode *Node, const QString &NewString, bool &Cancel);

private:
    friend class cTreeNode;
    friend class cTreeNodes;
    friend class LabelDelegate;

    cTreeNode *add(cTreeNode *collectionParent, cTreeNode *relative, int relation, const QString &key,
                   const QString &text, int image, int selectedImage);
    void remove(cTreeNode *node);
    void removeAll(cTreeNode *collectionParent);
    cTreeNode *nodeFor(const QTreeWidgetItem *item) const;
    void applyIcon(cTreeNode *node, bool selected);
    void currentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void startLabelEdit(cTreeNode *node);
    void commitLabel(cTreeNode *node, const QString &text);

    TreeWidget *m_tree;
    std::vector<cTreeNode *> m_order;
    QHash<QString, cTreeNode *> m_keys;
    QHash<const QTreeWidgetItem *, cTreeNode *> m_items;
    QPointer<cImageList> m_images;
    bool m_labelEdit = false;
    int m_removing = 0;
    int m_committing = 0;
};
