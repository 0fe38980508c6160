#include "support/TestEnvironment.h"

#include "lists/ItemsListFolder.h"
#include "lists/ItemsTreeNodeKey.h"
#include "lists/ListOptions.h"
#include "platform/AppPaths.h"
#include "settings/OptionsFolders.h"

#include "ListFixtures.h"

#include <QDir>
#include <gtest/gtest.h>

namespace Key = ItemsTreeNodeKey;

TEST(ItemsTreeNodeKeys, TheThreeTests)
{
    struct Case {
        QString key;
        bool main;
        bool cd;
        QString drive;
    };
    const QList<Case> cases = {
        {Key::listsRootKey(QStringLiteral("/home/u/Main/")), true, false, QStringLiteral("IN")},
        {Key::cdRootKey(), true, false, QStringLiteral("IN")},
        {Key::driveKey(QStringLiteral("E: /dev/sr1 DVD-RW")), false, true, QStringLiteral("E:")},
        {QStringLiteral("##cdE: /dev/sr1"), false, false, QStringLiteral("E:")},
        {QStringLiteral("##mainITEMS"), false, false, QStringLiteral("in")},
        {QStringLiteral("/home/u/Main/New Items List 1.flst"), false, false, QStringLiteral("e/")},
        {QString(), false, false, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        EXPECT_EQ(Key::IsMainNode(c.key), c.main);
        EXPECT_EQ(Key::IsCDNode(c.key), c.cd);
        EXPECT_EQ(Key::GetCDNameNode(c.key), c.drive);
    }
    EXPECT_EQ(Key::listsRootKey(QStringLiteral("/m/")), QStringLiteral("##MAINITEMS/m/"));
    EXPECT_EQ(Key::cdRootKey(), QStringLiteral("##MAINCDSAudio CDs"));
}

TEST(ItemsTreeNodeKeys, OnlyFilesDirectlyInTheListsFolderAreListFiles)
{
    const QString folder = QStringLiteral("/home/u/Main/");
    struct Case {
        QString key;
        bool list;
    };
    const QList<Case> cases = {
        {folder + QStringLiteral("a.flst"), true},
        {folder + QStringLiteral("a.flst.bak"), true},
        {Key::listsRootKey(folder), false},
        {Key::cdRootKey(), false},
        {Key::driveKey(QStringLiteral("D: /dev/sr0")), false},
        {folder, false},
        {folder + QStringLiteral("sub/a.flst"), false},
        {folder + QStringLiteral(".."), false},
        {QStringLiteral("/home/u/Other/a.flst"), false},
        {QStringLiteral("/etc/passwd"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Key::isListFileKey(c.key, folder), c.list) << c.key.toStdString();
}

TEST(ItemsTreeNodeKeys, ListsFolderAlwaysEndsWithASlash)
{
    const QString main = AppPaths::programFolder() + QStringLiteral("/Main/");
    EXPECT_EQ(OptionsFolders::normalListsFolder(QString()), main);
    EXPECT_EQ(OptionsFolders::normalListsFolder(QStringLiteral("  ")), main);
    EXPECT_EQ(OptionsFolders::normalListsFolder(QStringLiteral("/data/lists")), QStringLiteral("/data/lists/"));
    EXPECT_EQ(OptionsFolders::normalListsFolder(QStringLiteral("/data/lists/")), QStringLiteral("/data/lists/"));
    EXPECT_EQ(ListOptions::listsFolder(), main);
}

TEST(ItemsListFolderNames, NewListTakesTheSmallestFreeNumberWhateverTheCase)
{
    struct Case {
        QStringList present;
        const char *next;
    };
    const QList<Case> cases = {
        {{}, "New Items List 1.flst"},
        {{"New Items List 1.flst", "New Items List 3.flst"}, "New Items List 2.flst"},
        {{"new items list 1.FLST", "NEW ITEMS LIST 2.flst"}, "New Items List 3.flst"},
        {{"New Items List 1.flst.bak"}, "New Items List 1.flst"},
    };
    int i = 0;
    for (const Case &c : cases) {
        const QString folder = TestEnv::workFolder() + QStringLiteral("/case%1/").arg(++i);
        QDir().mkpath(folder);
        for (const QString &name : c.present)
            ListFixtures::writeBytes(folder + name, QByteArray());
        EXPECT_EQ(ItemsListFolder::GetNewItemsListFileName(folder), QString::fromUtf8(c.next)) << i;
    }
    // A folder of that name takes the number too: no file could be made there.
    const QString folder = TestEnv::workFolder() + QStringLiteral("/withfolder/");
    QDir().mkpath(folder + QStringLiteral("New Items List 1.flst"));
    EXPECT_EQ(ItemsListFolder::GetNewItemsListFileName(folder), QStringLiteral("New Items List 2.flst"));
}

TEST(ItemsListFolderNames, ListedFilesEndInTheExtensionInSmallLetters)
{
    const QString folder = TestEnv::workFolder() + QStringLiteral("/lists/");
    QDir().mkpath(folder);
    for (const char *name : {"a.flst.bak", "b.flst", "C.FLST", "notes.txt", ".hidden.flst", "Main.flst.Ab12Cd"})
        ListFixtures::writeBytes(folder + QString::fromUtf8(name), QByteArray());
    QDir().mkpath(folder + QStringLiteral("dir.flst"));
    EXPECT_EQ(ItemsListFolder::listFileNames(folder), (QStringList{"b.flst"}));
    EXPECT_FALSE(ItemsListFolder::holdsNoFile(folder));
    EXPECT_TRUE(ItemsListFolder::holdsNoFile(folder + QStringLiteral("dir.flst")));
    EXPECT_TRUE(ItemsListFolder::holdsNoFile(folder + QStringLiteral("missing")));
    EXPECT_TRUE(ItemsListFolder::nameTaken(folder, QStringLiteral("B.Flst")));
    EXPECT_TRUE(ItemsListFolder::nameTaken(folder, QStringLiteral("DIR.flst")));
    EXPECT_FALSE(ItemsListFolder::nameTaken(folder, QStringLiteral("z.flst")));
}
