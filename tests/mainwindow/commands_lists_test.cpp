#include "support/MainWindowFixture.h"

#include "core/frmFileCopy.h"
#include "lists/frmDirProperties.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using ListCommands = MainWindowTest;

TEST_F(ListCommands, NewItemsListTakesTheFirstFreeNumberAndOpensItsName)
{
    writeList(QStringLiteral("New Items List 1.flst"), QString());
    writeList(QStringLiteral("New Items List 3.flst"), QString());
    frmMain &main = loadMain();

    // From a list node and from the lists root alike.
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("New Items List 1"))));
    run(main, QStringLiteral("New Items List"));
    g_oItemsListsRoot->setSelected(true);
    run(main, QStringLiteral("New Items List"));

    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("New Items List 2.flst")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("New Items List 4.flst")));
    cTreeNode *selected = main.cTreeView1->SelectedItem();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->Text(), QStringLiteral("New Items List 4"));
    EXPECT_EQ(selected->Key(), folder + QStringLiteral("New Items List 4.flst"));
    EXPECT_NE(listNode(QStringLiteral("New Items List 2")), nullptr);
    EXPECT_TRUE(main.cTreeView1->LabelEdit());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}

TEST_F(ListCommands, ListCommandsDoNothingOnTheRoot)
{
    frmMain &main = loadSongs();
    const QStringList before = QDir(folder).entryList(QDir::Files);
    g_oItemsListsRoot->setSelected(true);
    for (const char *key : {"Remove Items List", "Items List Properties", "Rename Items List", "Add Files"}) {
        SCOPED_TRACE(key);
        clearInfo(main);
        run(main, QString::fromLatin1(key));
        EXPECT_FALSE(infoRefreshed(main));
    }
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(testServices().prompter->openRequests.isEmpty());
    EXPECT_TRUE(g_frmDirProperties == nullptr || !g_frmDirProperties->isVisible());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), before);
}

TEST_F(ListCommands, RemoveItemsListAsksAndKeepsTheAudioFiles)
{
    frmMain &main = loadSongs();
    testServices().prompter->answers << Msg::No;
    run(main, QStringLiteral("Remove Items List"));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("Songs.flst")));

    testServices().prompter->answers << Msg::Yes;
    run(main, QStringLiteral("Remove Items List"));
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(messages().value(1),
              QStringLiteral("This operation will erase all the items under the 'Songs.flst', are you sure?"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("Songs.flst")));
    EXPECT_EQ(listNode(QStringLiteral("Songs")), nullptr);
    for (const QString &file : {a, b, c})
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    EXPECT_EQ(main.cTreeView1->SelectedItem()->Text(), QStringLiteral("Other"));
}

TEST_F(ListCommands, RenameAndPropertiesOpenTheListPropertiesWindow)
{
    for (const char *key : {"Rename Items List", "Items List Properties"}) {
        SCOPED_TRACE(key);
        frmMain &main = loadSongs();
        run(main, QString::fromLatin1(key));
        ASSERT_NE(g_frmDirProperties, nullptr);
        EXPECT_TRUE(g_frmDirProperties->isVisible());
        EXPECT_EQ(g_frmDirProperties->txtFolderName->text(), QStringLiteral("Songs"));
        g_frmDirProperties->close();
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ListCommands, AddFilesAddsTheChosenFilesToTheSelectedList)
{
    frmMain &main = loadSongs();
    const QString extra = wav(QStringLiteral("extra.wav"));
    testServices().prompter->openAnswers << QStringList{extra};
    run(main, QStringLiteral("Add Files"));
    ASSERT_TRUE(addEnded());
    ASSERT_EQ(main.cGrid1->Rows(), 4);
    EXPECT_EQ(cell(main, 4, ItemsListRow::File), extra);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));

    // Cancelling the dialog changes nothing.
    run(main, QStringLiteral("Add Files"));
    EXPECT_EQ(main.cGrid1->Rows(), 4);
}

TEST_F(ListCommands, SaveAsCopiesTheItemsFileThroughTheCopyWindow)
{
    frmMain &main = loadSongs();
    // The item's name gives the filter and the proposed name.
    main.cGrid1->SetCell(2, main.cGrid1->ColumnIndex(ItemsListRow::key(ItemsListRow::ItemName)),
                         QStringLiteral("two.wav"));
    main.cGrid1->setSelectedRow(2);
    const QString target = TestEnv::workFolder() + QStringLiteral("/copy of two.wav");
    testServices().prompter->saveAnswers << target;
    QString from, to;
    onNextModal([&](QWidget *w) {
        auto *copy = qobject_cast<frmFileCopy *>(w);
        ASSERT_NE(copy, nullptr);
        from = copy->lblFrom->text();
        to = copy->lblTo->text();
        waitUntil([copy] { return !copy->isVisible(); }, 10000);
    });
    run(main, QStringLiteral("Save As"));

    ASSERT_EQ(testServices().prompter->saveRequests.size(), 1);
    const FileDialogRequest &request = testServices().prompter->saveRequests.first();
    EXPECT_EQ(request.title, QStringLiteral("Save As"));
    EXPECT_EQ(request.fileName, QStringLiteral("two.wav"));
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral("Audio Files (*.wav)|*.wav"))) << request.filter.toStdString();
    EXPECT_EQ(from, b);
    EXPECT_EQ(to, target);
    QFile source(b), copy(target);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), source.readAll());
}

TEST_F(ListCommands, SaveAsOntoTheSourceKeepsTheSource)
{
    frmMain &main = loadSongs();
    QFile original(a);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    testServices().prompter->saveAnswers << a;
    onNextModal([](QWidget *w) {
        auto *copy = qobject_cast<frmFileCopy *>(w);
        ASSERT_NE(copy, nullptr);
        waitUntil([copy] { return copy->lblState->text() == QLatin1String("Failed"); }, 10000);
        copy->cmdExit->click();
    });
    run(main, QStringLiteral("Save As"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), bytes);
    EXPECT_FALSE(messages().isEmpty()); // the failed copy is reported
}

TEST_F(ListCommands, SaveAsOnAnEmptyListOrCancelledCopiesNothing)
{
    writeList(QStringLiteral("Empty.flst"), QString());
    frmMain &main = loadSongs();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    clearInfo(main);
    run(main, QStringLiteral("Save As"));
    EXPECT_TRUE(testServices().prompter->saveRequests.isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(infoRefreshed(main));

    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
    run(main, QStringLiteral("Save As")); // no answer queued: cancelled
    EXPECT_EQ(testServices().prompter->saveRequests.size(), 1);
    EXPECT_EQ(g_frmFileCopy, nullptr);
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files).size(), 3);
}

TEST_F(ListCommands, OpenDestinationFolderOpensTheDefaultDestination)
{
    frmMain &main = loadSongs();
    run(main, QStringLiteral("Open Destination Folder"));
    // The user's music folder, made without a question: it is the program's own default.
    const QString music = QDir::homePath() + QStringLiteral("/Music/Sonvale/");
    EXPECT_EQ(testServices().shell->opened, QStringList{music});
    EXPECT_TRUE(QFileInfo(music).isDir());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ListCommands, OpenDestFolderOffersToCreateAMissingFolder)
{
    frmMain &main = loadSongs();
    const QString missing = TestEnv::workFolder() + QStringLiteral("/out/deeper");

    testServices().prompter->answers << Msg::No;
    main.OpenDestFolder(missing);
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());

    testServices().prompter->answers << Msg::Yes;
    main.OpenDestFolder(missing);
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(testServices().shell->opened, QStringList{missing + QLatin1Char('/')});
    EXPECT_EQ(messages().value(1), QStringLiteral("The folder ") + missing + QStringLiteral("/ does not exist.")
                                       + QString(44, QLatin1Char(' '))
                                       + QStringLiteral("\r\n\r\nWould you like to create it?"));

    // A folder that cannot be made (under a plain file) is reported, not opened.
    const QString underFile = a + QStringLiteral("/sub");
    testServices().prompter->answers << Msg::Yes;
    main.OpenDestFolder(underFile);
    EXPECT_EQ(messages().last(), QStringLiteral("The path: ") + underFile + QStringLiteral("/ cannot be created."));
    EXPECT_EQ(testServices().shell->opened.size(), 1);
}

} // namespace

namespace {

// An edition with the CD ripper, with one drive under "Audio CDs".
class DriveNodes : public MainWindowTest {
protected:
    frmMain &loadWithDrive()
    {
        g_lAppIncCDRipper = 1;
        frmMain &main = loadSongs();
        drive = g_oAudioCDsRoot->Child().Add(g_oAudioCDsRoot, cTreeNodes::Child, QStringLiteral("##CD/dev/sr0"),
                                             QStringLiteral("/d"), 25, 25);
        return main;
    }

    cTreeNode *drive = nullptr;
};

TEST_F(DriveNodes, ListAndItemCommandsRefuseADrive)
{
    frmMain &main = loadWithDrive();
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files);
    EXPECT_TRUE(ListLoads::show(main, drive));
    ASSERT_EQ(main.cTreeView1->SelectedItem(), drive);

    const QString addRefused = QStringLiteral("Adding new items to the Audio CD List is not possible.") + QString(20, ' ');
    const struct {
        const char *key;
        QString message; // empty: silent
    } cases[] = {
        {"Add Files", addRefused},
        {"Save As", QStringLiteral("Nothing to save.") + QString(20, ' ')},
        {"Remove Item", QStringLiteral("Cannot remove items from Audio CD.") + QString(20, ' ')},
        {"New Items List", QString()},
        {"Remove Items List", QString()},
        // An empty drive: the tool runs "Add Files", which refuses the drive.
        {"Audio Splitter", addRefused},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.key);
        testServices().prompter->messages.clear();
        clearInfo(main);
        run(main, QString::fromLatin1(test.key));
        EXPECT_EQ(messages(), test.message.isEmpty() ? QStringList() : QStringList{test.message});
        EXPECT_FALSE(infoRefreshed(main));
    }
    EXPECT_TRUE(testServices().prompter->openRequests.isEmpty());
    EXPECT_TRUE(testServices().prompter->saveRequests.isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), filesBefore);

    // Nor does the "Audio CDs" root make a list.
    g_oAudioCDsRoot->setSelected(true);
    run(main, QStringLiteral("New Items List"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), filesBefore);
}

} // namespace

namespace {

using NewListFailure = MainWindowTest;

TEST_F(NewListFailure, AListThatCannotBeCreatedIsReportedAndNotShown)
{
    frmMain &main = loadSongs();
    const int lists = g_oItemsListsRoot->Child().Count();
    // The lists folder has become a plain file.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(AppPaths::programFolder() + QStringLiteral("/Main"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    run(main, QStringLiteral("New Items List"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("The Items List '") + folder
                                              + QStringLiteral("New Items List 1.flst' cannot be created")))
        << messages().first().toStdString();
    EXPECT_EQ(g_oItemsListsRoot->Child().Count(), lists);
}

} // namespace
