#include "commands_fixture.h"

#include "lists/frmDirProperties.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

const QString blanks42(42, QLatin1Char(' '));

class ListProperties : public ListWindowTest {
protected:
    // Two lists, "Alpha" with one item and "Beta" empty; Alpha is shown.
    frmMain &loadTwoLists()
    {
        writeList(QStringLiteral("Alpha.flst"), rec("1", "one", wav(QStringLiteral("a.wav"), 1000)));
        writeList(QStringLiteral("Beta.flst"), QString());
        frmMain &main = load();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Alpha"))));
        alphaBytes = listBytes(QStringLiteral("Alpha.flst"));
        return main;
    }

    static frmDirProperties *openFor(frmMain &main, cTreeNode *node)
    {
        main.ShowItemsListProperties(node);
        return g_frmDirProperties;
    }

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QStringList listFiles() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

    QByteArray alphaBytes;
};

TEST_F(ListProperties, ShowsTheNodesNameKeyAndContents)
{
    frmMain &main = loadTwoLists();
    frmDirProperties *form = openFor(main, listNode(QStringLiteral("Alpha")));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Items List Properties"));
    EXPECT_FALSE(form->isModal());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->txtFolderName->text(), QStringLiteral("Alpha"));
    EXPECT_TRUE(form->txtFolderName->isEnabled());
    EXPECT_EQ(form->txtPath->text(), folder + QStringLiteral("Alpha.flst"));
    EXPECT_EQ(form->lblContain->text(), main.PanelText(QStringLiteral("Items List Properties")));
    EXPECT_TRUE(form->lblContain->text().startsWith(QStringLiteral("1 Items, ")));
    form->cmdCancel_Click();
    settle();
    EXPECT_EQ(g_frmDirProperties, nullptr);

    // The root never shows the window.
    openFor(main, g_oItemsListsRoot);
    settle();
    EXPECT_EQ(g_frmDirProperties, nullptr);
}

TEST_F(ListProperties, RenamingAListRenamesItsFileAndNode)
{
    frmMain &main = loadTwoLists();
    cTreeNode *alpha = listNode(QStringLiteral("Alpha"));
    frmDirProperties *form = openFor(main, alpha);
    form->txtFolderName->setText(QStringLiteral("  Gamma  "));
    form->cmdOk_Click();
    settle();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(g_frmDirProperties, nullptr);
    EXPECT_EQ(listFiles(), (QStringList{QStringLiteral("Beta.flst"), QStringLiteral("Gamma.flst")}));
    EXPECT_EQ(listBytes(QStringLiteral("Gamma.flst")), alphaBytes);
    EXPECT_EQ(alpha->Key(), folder + QStringLiteral("Gamma.flst"));
    EXPECT_EQ(alpha->Text(), QStringLiteral("Gamma"));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Gamma"));

    // The grid's next save goes to the renamed file.
    main.cGrid1->setCellIcon(1, 1, ItemsListRow::IconUnmarked);
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("Gamma.flst")), gridAsFile(main));
    EXPECT_EQ(listFiles().size(), 2);
}

TEST_F(ListProperties, RefusedNamesChangeNothing)
{
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {QString(), QStringLiteral("Empty Item Name.") + blanks42},
        {QStringLiteral("   "), QStringLiteral("Empty Item Name.") + blanks42},
        {QStringLiteral("a|b"), QStringLiteral("Illegal Item Name.") + blanks42},
        {QStringLiteral("Beta"), QStringLiteral("Folder name already exists, please select a different name.")},
        {QStringLiteral("BETA"), QStringLiteral("Folder name already exists, please select a different name.")},
    };
    frmMain &main = loadTwoLists();
    cTreeNode *alpha = listNode(QStringLiteral("Alpha"));
    const QByteArray beta = listBytes(QStringLiteral("Beta.flst"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        testServices().prompter->messages.clear();
        frmDirProperties *form = openFor(main, alpha);
        form->txtFolderName->setText(c.name);
        form->cmdOk_Click();
        settle();
        EXPECT_EQ(messages(), QStringList{c.message});
        // The window stays open for another try.
        ASSERT_EQ(g_frmDirProperties, form);
        EXPECT_EQ(alpha->Key(), folder + QStringLiteral("Alpha.flst"));
        EXPECT_EQ(alpha->Text(), QStringLiteral("Alpha"));
        EXPECT_EQ(main.lblListName->text(), QStringLiteral("Alpha"));
        EXPECT_EQ(listFiles(), (QStringList{QStringLiteral("Alpha.flst"), QStringLiteral("Beta.flst")}));
        EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), alphaBytes);
        EXPECT_EQ(listBytes(QStringLiteral("Beta.flst")), beta);
        form->cmdCancel_Click();
        settle();
    }
}

TEST_F(ListProperties, TheSameNameClosesAndChangesNothing)
{
    frmMain &main = loadTwoLists();
    frmDirProperties *form = openFor(main, listNode(QStringLiteral("Alpha")));
    form->cmdOk_Click();
    settle();
    EXPECT_EQ(g_frmDirProperties, nullptr);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(listFiles(), (QStringList{QStringLiteral("Alpha.flst"), QStringLiteral("Beta.flst")}));
}

TEST_F(ListProperties, ARenameThatFailsIsReportedAndChangesNothing)
{
    frmMain &main = loadTwoLists();
    cTreeNode *alpha = listNode(QStringLiteral("Alpha"));
    frmDirProperties *form = openFor(main, alpha);
    // The file went away behind the program's back.
    QFile::remove(folder + QStringLiteral("Alpha.flst"));
    form->txtFolderName->setText(QStringLiteral("Gamma"));
    form->cmdOk_Click();
    settle();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().endsWith(QStringLiteral(").") + QString(28, QLatin1Char(' '))));
    EXPECT_EQ(alpha->Key(), folder + QStringLiteral("Alpha.flst"));
    EXPECT_EQ(alpha->Text(), QStringLiteral("Alpha"));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Alpha"));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("Gamma.flst")));
}

TEST_F(ListProperties, OKActsOnTheNodeTheWindowWasOpenedFor)
{
    frmMain &main = loadTwoLists();
    cTreeNode *alpha = listNode(QStringLiteral("Alpha"));
    cTreeNode *beta = listNode(QStringLiteral("Beta"));
    frmDirProperties *form = openFor(main, alpha);
    EXPECT_TRUE(ListLoads::show(main, beta));
    form->txtFolderName->setText(QStringLiteral("Gamma"));
    form->cmdOk_Click();
    settle();
    EXPECT_EQ(alpha->Text(), QStringLiteral("Gamma"));
    EXPECT_EQ(alpha->Key(), folder + QStringLiteral("Gamma.flst"));
    EXPECT_EQ(beta->Text(), QStringLiteral("Beta"));
    EXPECT_EQ(beta->Key(), folder + QStringLiteral("Beta.flst"));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Beta"));
    EXPECT_EQ(listFiles(), (QStringList{QStringLiteral("Beta.flst"), QStringLiteral("Gamma.flst")}));
    EXPECT_EQ(listBytes(QStringLiteral("Gamma.flst")), alphaBytes);
}

TEST_F(ListProperties, TheFolderLinkOpensTheListsFolder)
{
    frmMain &main = loadTwoLists();
    frmDirProperties *form = openFor(main, listNode(QStringLiteral("Alpha")));
    form->lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(messages().isEmpty());
    ASSERT_EQ(testServices().shell->opened.size(), 1);
    EXPECT_TRUE(testServices().shell->opened.first().contains(QDir(folder).absolutePath()));

    // A missing folder is created when the user agrees.
    const QString missing = TestEnv::workFolder() + QStringLiteral("/new/deeper/");
    form->txtPath->setText(missing);
    testServices().prompter->answers << Msg::Yes;
    form->lblOpenDestinationDestinationFolder_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("The folder ") + missing + QStringLiteral(" does not exist.")));
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(testServices().shell->opened.size(), 2);
}

} // namespace
