#include "support/TestEnvironment.h"

#include "platform/FolderBrowser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

QString folder(const QString &relative)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + relative;
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
}

// Moves the tree's selection as a click or an arrow key does.
void pick(FolderBrowser &browser, const QString &path)
{
    auto *model = qobject_cast<QFileSystemModel *>(browser.treeFolders->model());
    ASSERT_NE(model, nullptr);
    const QModelIndex index = model->index(path);
    ASSERT_TRUE(index.isValid()) << path.toStdString();
    browser.treeFolders->setCurrentIndex(index);
}

} // namespace

TEST(FolderBrowser, TheStatusLineNamesTheSelectedFolder)
{
    const QString start = folder(QStringLiteral("music/old"));
    const QString other = folder(QStringLiteral("a folder with a long name/and another one below it"));
    FolderBrowser browser(QStringLiteral("Select a new directory"), start + QLatin1Char('/'), true);
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Select a new directory"));
    EXPECT_FALSE(browser.lblStatus->isHidden());
    EXPECT_EQ(browser.selectedFolder(), start);
    EXPECT_EQ(browser.lblStatus->text(), QStringLiteral("Auswahl: ") + start);

    pick(browser, other);
    EXPECT_EQ(browser.selectedFolder(), other);
    EXPECT_EQ(browser.lblStatus->text(), QStringLiteral("Auswahl: ") + other);
    pick(browser, QStringLiteral("/"));
    EXPECT_EQ(browser.lblStatus->text(), QStringLiteral("Auswahl: /"));
}

TEST(FolderBrowser, WithoutAStatusLineOrAStartFolderNothingIsNamed)
{
    FolderBrowser plain(QStringLiteral("Select a new directory"), folder(QStringLiteral("music")), false);
    EXPECT_TRUE(plain.lblStatus->isHidden());

    // A start folder that is gone selects nothing, and OK waits for a choice.
    FolderBrowser gone(QStringLiteral("Select a new directory"), TestEnv::workFolder() + QStringLiteral("/gone"), true);
    EXPECT_TRUE(gone.selectedFolder().isEmpty());
    EXPECT_TRUE(gone.lblStatus->text().isEmpty());
    EXPECT_FALSE(gone.buttons->button(QDialogButtonBox::Ok)->isEnabled());
    pick(gone, TestEnv::workFolder());
    EXPECT_TRUE(gone.buttons->button(QDialogButtonBox::Ok)->isEnabled());
}
