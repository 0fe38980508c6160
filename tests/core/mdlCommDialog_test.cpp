#include "core/UserSettingsStore.h"
#include "core/mdlCommDialog.h"
#include "platform/DesktopPrompter.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

ScriptedPrompter &prompter()
{
    return *testServices().prompter;
}

// Sets the record as an open caller does and runs the dialog.
FileDialogResult open(const QStringList &answer)
{
    g_FileDialog.lpstrFilter = QStringLiteral("MP3 Audio Files (*.mp3)") + QChar(u'\0') + QStringLiteral("*.mp3");
    g_FileDialog.lpstrTitle = QStringLiteral("Open MP3 audio file");
    prompter().openAnswers << answer;
    return mdlCommDialog::ShowOpen(nullptr, true);
}

TEST(ShowOpen, OneFileFillsEntryZeroAndRemembersItsFolder)
{
    const QString music = TestEnv::workFolder() + "/Music";
    const FileDialogResult r = open({music + "/a.mp3"});
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.FileCount, 1);
    EXPECT_EQ(r.Folder, music);
    ASSERT_EQ(r.FileNames.size(), 2);
    EXPECT_EQ(r.FileNames[0], music + "/a.mp3");
    EXPECT_EQ(r.FileNames[1], "a.mp3");

    const FileDialogRequest &asked = prompter().openRequests.first();
    EXPECT_EQ(asked.title, "Open MP3 audio file");
    EXPECT_EQ(asked.filter, "MP3 Audio Files (*.mp3)|*.mp3");
    EXPECT_TRUE(asked.multiSelect);
    EXPECT_EQ(asked.initialFolder, QDir::homePath()) << "the first dialog of a fresh user starts at home";

    EXPECT_EQ(UserSettingsStore::Get("Quorvel", "path", "last_path"), music);
    open({});
    EXPECT_EQ(prompter().openRequests.last().initialFolder, music) << "the next dialog starts where the file was";
}

TEST(ShowOpen, SeveralFilesKeepTheirOrderAndLeaveTheRememberedFolder)
{
    const QString music = TestEnv::workFolder() + "/Music";
    const FileDialogResult r = open({music + "/b.mp3", music + "/a.mp3"});
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.FileCount, 2);
    EXPECT_EQ(r.Folder, music);
    EXPECT_EQ(r.FileNames, (QStringList{QString(), "b.mp3", "a.mp3"}));

    open({});
    EXPECT_EQ(prompter().openRequests.last().initialFolder, QDir::homePath());
}

TEST(ShowOpen, FilesInTheRootFolderJoinBackToTheirPaths)
{
    const struct {
        QStringList chosen;
        QString folder;
    } cases[] = {
        {{"/a.mp3"}, ""},
        {{"/a.mp3", "/b.mp3"}, "/"},
    };
    for (const auto &c : cases) {
        const FileDialogResult r = open(c.chosen);
        EXPECT_EQ(r.Folder, c.folder);
        for (int i = 1; i <= r.FileCount; ++i) {
            const QString joined = r.Folder.endsWith('/') ? r.Folder + r.FileNames[i] : r.Folder + "/" + r.FileNames[i];
            EXPECT_EQ(joined, c.chosen[i - 1]);
        }
    }
    open({});
    EXPECT_EQ(prompter().openRequests.last().initialFolder, "/");
}

TEST(ShowOpen, TakesAtMostAThousandNamesAndSaysHowManyWereLeftOut)
{
    const struct {
        int chosen;
        QStringList told;
    } cases[] = {
        {1000, {}},
        {1001, {"Only the first 1000 of the 1001 chosen files are taken: 1 file was left out."}},
        {2500, {"Only the first 1000 of the 2500 chosen files are taken: 1500 files were left out."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        prompter().messages.clear();
        QStringList chosen;
        for (int i = 0; i < c.chosen; ++i)
            chosen << QStringLiteral("/music/%1.mp3").arg(i);
        const FileDialogResult r = open(chosen);
        EXPECT_EQ(r.FileCount, 1000);
        EXPECT_EQ(r.FileNames.size(), 1001);
        EXPECT_EQ(r.FileNames.last(), "999.mp3");
        EXPECT_EQ(prompter().messageTexts(), c.told);
        for (const MessageRequest &m : prompter().messages)
            EXPECT_EQ(m.style, int(Msg::OkOnly) + Msg::Information);
    }
}

// The real dialog, as a user meets it: it belongs to the window that asked
// for it and opens centred over that window, even when another window is the
// active one at that moment.
TEST(ShowOpen, TheDialogOpensOverItsOwner)
{
    Services::instance().setPrompter(std::make_unique<DesktopPrompter>());
    QWidget owner;
    owner.setGeometry(40, 60, 520, 420);
    owner.show();
    QWidget other;
    other.setGeometry(600, 400, 100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    const QWidget *parent = nullptr;
    QRect placed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        parent = dialog->parentWidget();
        placed = dialog->frameGeometry();
        dialog->reject();
    });
    g_FileDialog.lpstrFilter = QStringLiteral("Audio (*.wav)") + QChar(u'\0') + QStringLiteral("*.wav");
    g_FileDialog.lpstrTitle = QStringLiteral("Add audio files");
    EXPECT_TRUE(mdlCommDialog::ShowOpen(&owner, true).Cancelled);

    EXPECT_EQ(parent, &owner);
    // Centred on the owner, kept whole on the screen.
    const QRect screen = owner.screen()->availableGeometry();
    QRect expected(QPoint(0, 0), placed.size());
    expected.moveCenter(owner.frameGeometry().center());
    expected.moveLeft(qMax(screen.left(), qMin(expected.left(), screen.right() + 1 - expected.width())));
    expected.moveTop(qMax(screen.top(), qMin(expected.top(), screen.bottom() + 1 - expected.height())));
    EXPECT_LE((placed.topLeft() - expected.topLeft()).manhattanLength(), 1)
        << placed.x() << "," << placed.y() << " instead of " << expected.x() << "," << expected.y();
}

TEST(FileDialogs, CancelGivesAnEmptyCancelledResult)
{
    const FileDialogResult opened = open({});
    const FileDialogResult saved = mdlCommDialog::ShowSave(nullptr, QString(), true);
    for (const FileDialogResult &r : {opened, saved}) {
        EXPECT_TRUE(r.Cancelled);
        EXPECT_EQ(r.FileCount, 0);
        EXPECT_TRUE(r.Folder.isEmpty());
        EXPECT_TRUE(r.FileNames.isEmpty());
    }
    open({});
    EXPECT_EQ(prompter().openRequests.last().initialFolder, QDir::homePath()) << "a cancel stores nothing";
}

TEST(ShowSave, GivesTheFullPathAndAlwaysAsksBeforeReplacing)
{
    open({"/music/a.mp3", "/music/b.mp3"}); // leaves the open flags in the shared record
    g_FileDialog.lpstrFilter = QStringLiteral("Audio Wav File (*.wav)") + QChar(u'\0') + QStringLiteral("*.wav");
    g_FileDialog.lpstrTitle = QStringLiteral("Save as WAV file");
    g_FileDialog.lpstrDefExt = QStringLiteral("wav");
    prompter().saveAnswers << "/out/x.wav";
    const FileDialogResult r = mdlCommDialog::ShowSave(nullptr, "take1.wav", true);

    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.FileCount, 1);
    EXPECT_EQ(r.Folder, "/out/");
    ASSERT_EQ(r.FileNames.size(), 2);
    EXPECT_EQ(r.FileNames[1], "/out/x.wav");
    EXPECT_EQ(g_FileDialog.Flags, mdlCommDialog::SaveFlags);

    const FileDialogRequest &asked = prompter().saveRequests.last();
    EXPECT_EQ(asked.title, "Save as WAV file");
    EXPECT_EQ(asked.filter, "Audio Wav File (*.wav)|*.wav");
    EXPECT_EQ(asked.defaultExtension, "wav");
    EXPECT_EQ(asked.fileName, "take1.wav");
    EXPECT_FALSE(asked.multiSelect);
}

TEST(ShowColor, OffersWhiteAndThePresetsThenKeepsTheUsersCustomColours)
{
    prompter().colorAnswers << std::optional<ColorAnswer>(); // cancelled
    EXPECT_EQ(mdlCommDialog::ShowColor(nullptr, false), -1);
    const ColorRequest &first = prompter().colorRequests.first();
    EXPECT_EQ(first.initial, QColor(255, 255, 255));
    ASSERT_EQ(first.customColors.size(), 16);
    EXPECT_EQ(first.customColors[0], QColor(139, 155, 184));
    EXPECT_EQ(first.customColors[7], QColor(236, 164, 236));
    EXPECT_EQ(first.customColors[15], QColor(160, 160, 160));

    ColorAnswer chosen;
    chosen.color = QColor(1, 2, 3);
    chosen.customColors = first.customColors;
    chosen.customColors[15] = QColor(10, 20, 30);
    prompter().colorAnswers << chosen;
    EXPECT_EQ(mdlCommDialog::ShowColor(nullptr, false), 1 + 2 * 256 + 3 * 65536);

    mdlCommDialog::ShowColor(nullptr, false);
    EXPECT_EQ(prompter().colorRequests.last().customColors[15], QColor(10, 20, 30));
    EXPECT_EQ(prompter().colorRequests.last().initial, QColor(255, 255, 255));
}

TEST(BrowseForFolder, AnswersTheFolderWithoutItsClosingSlash)
{
    const struct {
        QString answer;
        QString expected;
    } cases[] = {{"/music/new/", "/music/new"}, {"/music", "/music"}, {"/", "/"}, {"", ""}};
    for (const auto &c : cases) {
        prompter().folderAnswers << c.answer;
        EXPECT_EQ(mdlCommDialog::BrowseForFolder("Select a new directory", "/music/old/", nullptr, true, true, true,
                                                 false),
                  c.expected);
    }
    EXPECT_EQ(prompter().folderRequests.first(), "Select a new directory");
    EXPECT_EQ(prompter().folderStatusTexts.first(), true);
    mdlCommDialog::BrowseForFolder("Select a new directory", "/music/old/", nullptr, false);
    EXPECT_EQ(prompter().folderStatusTexts.last(), false);
}

} // namespace
