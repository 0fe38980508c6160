#include "controls/ui/cContextMenu.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

TEST(ContextMenuTest, DashItemsBecomeSeparatorsWithoutCaption)
{
    cContextMenu menu;
    const qint32 holder = menu.AddItem(QStringLiteral("List"));
    const qint32 first = menu.AddItem(QStringLiteral("Move Up"), QString(), QVariant(), holder);
    const qint32 line = menu.AddItem(QStringLiteral("-"), QString(), QVariant(), holder);
    const qint32 last = menu.AddItem(QStringLiteral("Remove Item"), QString(), QVariant(), holder);

    QAction *separator = menu.ItemAction(line);
    ASSERT_NE(separator, nullptr);
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_TRUE(separator->text().isEmpty());

    // Changing other state later must not paint the mark back on.
    menu.setItemEnabled(line, false);
    menu.setItemVisible(line, true);
    EXPECT_TRUE(menu.ItemAction(line)->text().isEmpty());

    const QList<QAction *> actions = menu.MenuHolding(holder)->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions.at(0)->text(), QStringLiteral("Move Up"));
    EXPECT_TRUE(actions.at(1)->isSeparator());
    EXPECT_EQ(actions.at(2)->text(), QStringLiteral("Remove Item"));
    EXPECT_EQ(menu.ItemAction(first)->text(), QStringLiteral("Move Up"));
    EXPECT_EQ(menu.ItemAction(last)->text(), QStringLiteral("Remove Item"));
}

} // namespace
