#pragma once

#include <QString>

class cTreeNode;
class cTreeView;

// A collection of tree nodes: either every node of a tree, in the order
// they were added, or the children of one node, in their order under it.
// Indexes count from 1. It is a handle: it reads the tree afresh at every
// call, so it stays right while nodes come and go.
class cTreeNodes {
public:
    // Relations of Add to its relative.
    enum Relation { First = 0, Last = 1, Next = 2, Previous = 3, Child = 4 };

    cTreeNodes(cTreeView *view, cTreeNode *parent)
        : m_view(view)
        , m_parent(parent)
    {
    }

    // Without a relative the node goes after the last node of this
    // collection: a top-level node for the whole tree, a last child for a
    // node's children. With one: First/Last/Next/Previous place it among
    // the relative's siblings, Child makes it the relative's last child.
    // Answers nullptr, adding nothing, when the key is taken or the
    // relative belongs to another tree.
    cTreeNode *Add(cTreeNode *relative = nullptr, int relation = Last, const QString &key = QString(),
                   const QString &text = QString(), int image = -1, int selectedImage = -1);
    int Count() const;
    // nullptr outside 1 .. Count, or when no node of the collection has the key.
    cTreeNode *Item(int index) const;
    cTreeNode *Item(const QString &key) const;
    // Removes every node of the collection with its children.
    void Clear();

private:
    cTreeView *m_view;
    cTreeNode *m_parent;
};
