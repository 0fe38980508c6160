#include "controls/ui/cImageList.h"
#include "controls/ui/cTreeView.h"

#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItem>
#include <gtest/gtest.h>

namespace {

QStringList texts(cTreeNodes nodes)
{
    QStringList out;
    for (int i = 1; i <= nodes.Count(); ++i)
        out << nodes.Item(i)->Text();
    return out;
}

// A tree shaped like the tree of lists: two roots, lists under the first.
class TreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lists = tree.Nodes().Add(nullptr, 0, QStringLiteral("##MAINITEMS/lists/"), QStringLiteral("Items Lists"), 17, 17);
        for (const char *name : {"a", "b", "c"}) {
            lists->Child().Add(lists, cTreeNodes::Child, QStringLiteral("/lists/%1.flst").arg(QLatin1String(name)),
                               QLatin1String(name), 42, 43);
        }
        cds = tree.Nodes().Add(nullptr, 2, QStringLiteral("##MAINCDSAudio CDs"), QStringLiteral("Audio CDs"), 71, 71);
        cds->Child().Add(cds, cTreeNodes::Child, QStringLiteral("##CDD: /dev/sr0"), QStringLiteral("D:"), 25, 25);
    }

    void show()
    {
        tree.resize(300, 400);
        tree.show();
        lists->setExpanded(true);
        cds->setExpanded(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    QPoint centre(cTreeNode *node) { return tree.nodeRect(node).center(); }

    cTreeView tree;
    cTreeNode *lists = nullptr;
    cTreeNode *cds = nullptr;
};

TEST_F(TreeTest, NodesAreCountedFromOneInTheOrderAddedAndByKey)
{
    ASSERT_NE(lists, nullptr);
    ASSERT_NE(cds, nullptr);
    EXPECT_EQ(texts(tree.Nodes()), (QStringList{"Items Lists", "a", "b", "c", "Audio CDs", "D:"}));
    EXPECT_EQ(texts(lists->Child()), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(tree.Nodes().Item(0), nullptr);
    EXPECT_EQ(tree.Nodes().Item(7), nullptr);

    cTreeNode *b = tree.Nodes().Item(QStringLiteral("/lists/b.flst"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Text(), QStringLiteral("b"));
    EXPECT_EQ(b->Parent(), lists);
    EXPECT_EQ(lists->Parent(), nullptr);
    EXPECT_EQ(b->Next()->Text(), QStringLiteral("c"));
    EXPECT_EQ(b->Previous()->Text(), QStringLiteral("a"));
    EXPECT_EQ(lists->Child().Item(lists->Child().Count())->Text(), QStringLiteral("c"));
    EXPECT_EQ(lists->Child().Item(3)->Next(), nullptr);
    EXPECT_EQ(lists->Next(), cds);
    EXPECT_EQ(tree.Nodes().Item(QStringLiteral("/LISTS/B.FLST")), nullptr) << "keys are file paths; case counts";
    EXPECT_EQ(lists->Child().Item(QStringLiteral("##CDD: /dev/sr0")), nullptr) << "a child collection holds its own";
    EXPECT_EQ(cds->Child().Item(QStringLiteral("##CDD: /dev/sr0"))->Text(), QStringLiteral("D:"));
}

TEST_F(TreeTest, RelationsPlaceANodeBesideItsRelative)
{
    struct Case {
        int relation;
        QStringList order;
    };
    const Case cases[] = {
        {cTreeNodes::First, {"new", "a", "b", "c"}},
        {cTreeNodes::Last, {"a", "b", "c", "new"}},
        {cTreeNodes::Next, {"a", "b", "new", "c"}},
        {cTreeNodes::Previous, {"a", "new", "b", "c"}},
    };
    for (const Case &c : cases) {
        cTreeNode *b = tree.Nodes().Item(QStringLiteral("/lists/b.flst"));
        cTreeNode *added = tree.Nodes().Add(b, c.relation, QStringLiteral("new"), QStringLiteral("new"));
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(texts(lists->Child()), c.order) << c.relation;
        EXPECT_EQ(added->Parent(), lists);
        EXPECT_EQ(tree.Nodes().Item(tree.Nodes().Count()), added) << "the whole tree counts in the order added";
        added->Delete();
    }
    cTreeNode *child = tree.Nodes().Add(tree.Nodes().Item(QStringLiteral("/lists/a.flst")), cTreeNodes::Child,
                                        QStringLiteral("grandchild"), QStringLiteral("g"));
    EXPECT_EQ(child->Parent()->Text(), QStringLiteral("a"));
    cTreeNode *top = tree.Nodes().Add(nullptr, 2, QStringLiteral("third root"), QStringLiteral("third"));
    EXPECT_EQ(top->Previous(), cds);
}

TEST_F(TreeTest, KeysStayUnique)
{
    const int before = tree.Nodes().Count();
    EXPECT_EQ(lists->Child().Add(lists, 4, QStringLiteral("/lists/a.flst"), QStringLiteral("again")), nullptr);
    EXPECT_EQ(tree.Nodes().Count(), before);
    EXPECT_NE(lists->Child().Add(lists, 4, QString(), QStringLiteral("no key 1")), nullptr);
    EXPECT_NE(lists->Child().Add(lists, 4, QString(), QStringLiteral("no key 2")), nullptr) << "many nodes may have none";

    cTreeNode *a = tree.Nodes().Item(QStringLiteral("/lists/a.flst"));
    EXPECT_FALSE(a->setKey(QStringLiteral("/lists/b.flst")));
    EXPECT_EQ(a->Key(), QStringLiteral("/lists/a.flst"));
    EXPECT_TRUE(a->setKey(QStringLiteral("/lists/renamed.flst")));
    EXPECT_EQ(tree.Nodes().Item(QStringLiteral("/lists/renamed.flst")), a);
    EXPECT_EQ(tree.Nodes().Item(QStringLiteral("/lists/a.flst")), nullptr);
    EXPECT_NE(lists->Child().Add(lists, 4, QStringLiteral("/lists/a.flst"), QStringLiteral("a")), nullptr)
        << "the old key is free again";
}

TEST_F(TreeTest, DeletingANodeTakesItsChildrenAndFreesTheirKeys)
{
    QPointer<cTreeNode> cd = cds->Child().Item(1);
    cds->Delete();
    EXPECT_TRUE(cd.isNull());
    EXPECT_EQ(texts(tree.Nodes()), (QStringList{"Items Lists", "a", "b", "c"}));
    EXPECT_EQ(tree.Nodes().Item(QStringLiteral("##CDD: /dev/sr0")), nullptr);
    EXPECT_NE(tree.Nodes().Add(nullptr, 2, QStringLiteral("##CDD: /dev/sr0"), QStringLiteral("D:")), nullptr);

    lists->Child().Item(2)->Delete();
    EXPECT_EQ(texts(lists->Child()), (QStringList{"a", "c"}));
    lists->Child().Clear();
    EXPECT_EQ(lists->Child().Count(), 0);
    EXPECT_EQ(tree.Nodes().Count(), 2);
    tree.Nodes().Clear();
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_EQ(tree.SelectedItem(), nullptr);
}

TEST_F(TreeTest, SelectingInCodeMovesTheSelectionButIsNoClick)
{
    QSignalSpy click(&tree, &cTreeView::NodeClick);
    QSignalSpy change(&tree, &cTreeView::SelectedNodeChange);
    cTreeNode *b = lists->Child().Item(2);

    b->setSelected(true);
    EXPECT_EQ(tree.SelectedItem(), b);
    EXPECT_TRUE(b->Selected());
    EXPECT_EQ(change.count(), 1);
    b->setSelected(true);
    EXPECT_EQ(change.count(), 1) << "no move, no event";

    b->setSelected(false);
    EXPECT_FALSE(b->Selected());
    EXPECT_EQ(tree.SelectedItem(), b) << "the tree still works on the node";
    EXPECT_EQ(change.count(), 1);

    lists->Child().Item(3)->setSelected(true);
    EXPECT_EQ(change.count(), 2);
    tree.SelectedItem()->Delete();
    EXPECT_EQ(change.count(), 2) << "removing nodes raises no selection event";
    EXPECT_NE(tree.SelectedItem(), nullptr);
    EXPECT_EQ(click.count(), 0);
}

TEST_F(TreeTest, UserClickRaisesNodeClickWithTheNode)
{
    show();
    QSignalSpy click(&tree, &cTreeView::NodeClick);
    QSignalSpy change(&tree, &cTreeView::SelectedNodeChange);
    cTreeNode *c = lists->Child().Item(3);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, centre(c));
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click.at(0).at(0).value<cTreeNode *>(), c);
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(tree.SelectedItem(), c);

    // A second click on the selected node is a click again, not a move.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, centre(c));
    EXPECT_EQ(click.count(), 2);
    EXPECT_EQ(change.count(), 1);
}

TEST_F(TreeTest, SelectedNodeShowsItsSelectedImage)
{
    cImageList images;
    for (int i = 0; i < 80; ++i) {
        QPixmap p(16, 16);
        p.fill(QColor::fromHsv(i * 4, 200, 200));
        images.AddIcon(QIcon(p));
    }
    tree.setImageList(&images);
    cTreeNode *a = lists->Child().Item(1);
    const auto shown = [&](cTreeNode *n) { return n->item()->icon(0).pixmap(16, 16).toImage(); };
    EXPECT_EQ(shown(a), images.icon(42).pixmap(16, 16).toImage());
    a->setSelected(true);
    EXPECT_EQ(shown(a), images.icon(43).pixmap(16, 16).toImage());
    lists->Child().Item(2)->setSelected(true);
    EXPECT_EQ(shown(a), images.icon(42).pixmap(16, 16).toImage());
}

TEST_F(TreeTest, BoldExpandedAndSetupFlag)
{
    cTreeNode *a = lists->Child().Item(1);
    a->setBold(true);
    EXPECT_TRUE(a->Bold());
    a->setBold(false);
    EXPECT_FALSE(a->Bold());
    lists->setExpanded(false);
    lists->setSetupFlag(true);
    EXPECT_TRUE(lists->SetupFlag());
    EXPECT_TRUE(lists->Expanded()) << "a root with lists shows them";
    a->setText(QStringLiteral("relabelled"));
    EXPECT_EQ(tree.Nodes().Item(QStringLiteral("/lists/a.flst"))->Text(), QStringLiteral("relabelled"));
}

// Label editing: the handler decides; cancel keeps the old label.
class LabelEditTest : public TreeTest {
protected:
    void edit(cTreeNode *node, const QString &text)
    {
        node->StartLabelEdit();
        QWidget *editor = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (editor = tree.labelEditor()) != nullptr; }, 5000));
        auto *line = qobject_cast<QLineEdit *>(editor);
        ASSERT_NE(line, nullptr);
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
        // Enter ends the edit once the event loop runs, as for the user.
        ASSERT_TRUE(waitUntil([&] { return tree.labelEditor() != line; }, 5000));
    }
};

TEST_F(LabelEditTest, TheHandlerAcceptsOrCancelsTheNewText)
{
    show();
    tree.setLabelEdit(true);
    cTreeNode *b = lists->Child().Item(2);
    b->setSelected(true);

    struct Case {
        const char *typed;
        bool cancel;
        const char *label;
    };
    const Case cases[] = {{"renamed", false, "renamed"}, {"bad|name", true, "renamed"}, {"", true, "renamed"}};
    for (const Case &c : cases) {
        QList<QPair<cTreeNode *, QString>> seen;
        const auto connection = QObject::connect(&tree, &cTreeView::AfterLabelEdit,
                                                 [&](cTreeNode *node, const QString &text, bool &cancel) {
                                                     seen.append({node, text});
                                                     cancel = c.cancel;
                                                 });
        edit(b, QLatin1String(c.typed));
        QObject::disconnect(connection);
        ASSERT_EQ(seen.size(), 1) << c.typed;
        EXPECT_EQ(seen.at(0).first, b);
        EXPECT_EQ(seen.at(0).second, QLatin1String(c.typed));
        EXPECT_EQ(b->Text(), QLatin1String(c.label)) << c.typed;
    }
}

TEST_F(LabelEditTest, AHandlerCanReopenTheLabelUntilTheTextIsGood)
{
    show();
    tree.setLabelEdit(true);
    cTreeNode *a = lists->Child().Item(1);
    int calls = 0;
    QObject::connect(&tree, &cTreeView::AfterLabelEdit, [&](cTreeNode *node, const QString &text, bool &cancel) {
        ++calls;
        if (text.isEmpty()) {
            node->StartLabelEdit();
            cancel = true;
        }
    });
    edit(a, QString());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(a->Text(), QStringLiteral("a"));
    // The label opens again by itself; the user types a good name there.
    QWidget *editor = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (editor = tree.labelEditor()) != nullptr; }, 5000));
    auto *line = qobject_cast<QLineEdit *>(editor);
    ASSERT_NE(line, nullptr);
    line->setText(QStringLiteral("good"));
    QTest::keyClick(line, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return calls == 2; }, 5000));
    EXPECT_EQ(a->Text(), QStringLiteral("good"));
}

TEST_F(LabelEditTest, UserCanEditOnlyWhileLabelEditIsOn)
{
    show();
    cTreeNode *a = lists->Child().Item(1);
    a->setSelected(true);
    tree.viewport()->parentWidget()->setFocus();
    QTest::keyClick(tree.viewport()->parentWidget(), Qt::Key_F2);
    EXPECT_EQ(tree.labelEditor(), nullptr);
    tree.setLabelEdit(true);
    QTest::keyClick(tree.viewport()->parentWidget(), Qt::Key_F2);
    EXPECT_NE(tree.labelEditor(), nullptr);
}

} // namespace
