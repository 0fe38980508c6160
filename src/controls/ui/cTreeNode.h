#pragma once

#include "controls/ui/cTreeNodes.h"

#include <QObject>
#include <QString>

class QTreeWidgetItem;
class cTreeView;

// One node of a cTreeView. The tree owns its nodes; hold a QPointer to keep
// a node across changes that may remove it.
class cTreeNode : public QObject {
    Q_OBJECT
public:
    QString Key() const { return m_key; }
    // Keys are unique within the tree: a key that another node has is
    // refused (false) and the node keeps its own.
    bool setKey(const QString &key);
    QString Text() const;
    void setText(const QString &text);
    int Image() const { return m_image; }
    void setImage(int image);
    int SelectedImage() const { return m_selectedImage; }
    void setSelectedImage(int image);

    // The node's children; item 1 is the first.
    cTreeNodes Child();
    cTreeNode *Parent() const;
    cTreeNode *Next() const;
    cTreeNode *Previous() const;

    bool Selected() const;
    // True makes the node the tree's selected node. False takes the
    // highlight off the node but leaves it the node the tree works on, so
    // SelectedItem still names it until another node is selected.
    void setSelected(bool selected);
    bool Expanded() const;
    void setExpanded(bool expanded);
    bool Bold() const;
    void setBold(bool bold);
    // Marks a node as holding the tree's content (the lists root that has
    // lists); it is drawn with its children shown.
    bool SetupFlag() const { return m_setupFlag; }
    void setSetupFlag(bool on);

    // Opens the node's label for editing; the edit ends in the tree's
    // AfterLabelEdit event.
    void StartLabelEdit();
    // Removes the node with all its children. The node object is destroyed.
    void Delete();

    QTreeWidgetItem *item() const { return m_item; }
    cTreeView *treeView() const { return m_view; }

private:
    friend class cTreeView;
    cTreeNode(cTreeView *view, QTreeWidgetItem *item, const QString &key, int image, int selectedImage);
    ~cTreeNode() override;

    cTreeView *m_view;
    QTreeWidgetItem *m_item;
    QString m_key;
    int m_image;
    int m_selectedImage;
    bool m_setupFlag = false;
};
