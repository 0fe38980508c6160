#include "commands_fixture.h"

#include "support/FullDisk.h"

#include "core/UserSettingsStore.h"
#include "core/mdlRunOnStart.h"
#include "lists/frmNotes.h"
#include "platform/Registry.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v2.h"

#include <QPlainTextEdit>

#include <functional>

namespace {

// A 10 KB MP3 whose version 3 tag holds the title "Old": silent MPEG-1
// Layer III frames behind it.
QByteArray taggedMp3()
{
    const QByteArray title("\0Old", 4);
    QByteArray frame("TIT2\0\0\0\0\0\0", 10);
    frame[7] = char(title.size());
    QByteArray bytes("ID3\x03\0\0\0\0\0\0", 10);
    bytes[9] = char(frame.size() + title.size());
    bytes += frame + title;
    for (int n = 0; n < 24; ++n) {
        QByteArray audio(417, '\0');
        audio[0] = char(0xFF);
        audio[1] = char(0xFB);
        audio[2] = char(0x90);
        audio[3] = char(0x44);
        bytes += audio;
    }
    return bytes;
}

class FullDiskSaves : public MainWindowTest {};

// Each of the program's one-step saves, into a folder whose file system is
// full: the old file must come through byte for byte, and the save must say
// why it failed.
TEST_F(FullDiskSaves, KeepTheOldFileAndTellWhy)
{
    constexpr qint32 kCurrentUser = static_cast<qint32>(0x80000001u);
    const QString registryKey = QStringLiteral("Software\\Full");
    ASSERT_EQ(Registry::createKey(kCurrentUser, registryKey), Registry::Success);
    const QString iniFile = UserSettingsStore::storeFile(QStringLiteral("Sonvale"));

    struct Case {
        const char *name;
        QString folder;
        QString file;
        QByteArray old;
        // Makes the save and answers the error it reported.
        std::function<QString()> save;
    };
    const Case cases[] = {
        {"list file", TestEnv::workFolder() + QStringLiteral("/lists"),
         TestEnv::workFolder() + QStringLiteral("/lists/Alpha.flst"),
         rec(QStringLiteral("1"), QStringLiteral("old"), QStringLiteral("/old.wav")).toUtf8() + "\r\n",
         [] {
             QString error;
             ItemsListFile::Record record;
             record[ItemsListFile::FieldItemName] = QStringLiteral("new");
             EXPECT_FALSE(ItemsListFile::write(TestEnv::workFolder() + QStringLiteral("/lists/Alpha.flst"),
                                               {record, record}, &error));
             return error;
         }},
        {"registry value", AppPaths::registryFolder() + QStringLiteral("/HKEY_CURRENT_USER/Software/Full"),
         AppPaths::registryFolder() + QStringLiteral("/HKEY_CURRENT_USER/Software/Full/v.val"),
         "SONVALE-REGISTRY-VALUE 1\n1\nv\nold value",
         [&] {
             QString error;
             EXPECT_EQ(Registry::setValue(kCurrentUser, registryKey, QStringLiteral("v"), 1, "new value", &error),
                       Registry::AccessDenied);
             return error;
         }},
        {"notes", AppPaths::programFolder(), frmNotes::notesFilePath(), "old note\r\n",
         [] {
             showNotes().Text1->setPlainText(QStringLiteral("new note"));
             g_frmNotes->close();
             QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
             // The note is not lost with the window: it stays open and holds it.
             EXPECT_NE(g_frmNotes, nullptr);
             if (g_frmNotes) {
                 EXPECT_EQ(g_frmNotes->Text1->toPlainText(), QStringLiteral("new note"));
             }
             return messages().value(0);
         }},
        {"autostart entry", QFileInfo(mdlRunOnStart::autostartFile()).absolutePath(), mdlRunOnStart::autostartFile(),
         "[Desktop Entry]\nType=Application\nName=Sonvale\nExec=old -st\n",
         [] {
             QString error;
             EXPECT_EQ(mdlRunOnStart::SetRunOnStartup(true, &error), 0);
             return error;
         }},
        {"INI setting", QFileInfo(iniFile).absolutePath(), iniFile, "[TTS]\nVoice=old voice\n",
         [] {
             QString error;
             EXPECT_FALSE(UserSettingsStore::Save(UserSettingsStore::speechVoice(), QStringLiteral("new voice"), &error));
             return error;
         }},
        {"tag rewrite", TestEnv::workFolder() + QStringLiteral("/songs"),
         TestEnv::workFolder() + QStringLiteral("/songs/a.mp3"),
         taggedMp3(),
         [] {
             cMP3ID3v2 tag;
             tag.setMP3File(TestEnv::workFolder() + QStringLiteral("/songs/a.mp3"));
             tag.setTitle(QStringLiteral("New"));
             try {
                 tag.Update();
             } catch (const TagError &e) {
                 return e.Description();
             }
             ADD_FAILURE() << "the tag was reported written";
             return QString();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testServices().prompter->messages.clear();
        {
            FullDisk disk(c.folder);
            ASSERT_TRUE(disk.mounted());
            ListFixtures::writeBytes(c.file, c.old);
            disk.fill();
            const QString error = c.save();
            EXPECT_TRUE(error.contains(FullDisk::noSpace())) << error.toStdString();
            EXPECT_EQ(ListFixtures::readBytes(c.file), c.old);
            // Nothing of the failed save is left beside the file.
            EXPECT_EQ(QDir(c.folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                      (QStringList{QStringLiteral(".filler"), QFileInfo(c.file).fileName()}));
        }
        if (g_frmNotes) {
            g_frmNotes->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

TEST_F(FullDiskSaves, AnAddToAListOnAFullDiskIsReportedAndLeavesTheFile)
{
    FullDisk disk(folder);
    ASSERT_TRUE(disk.mounted());
    writeList(QStringLiteral("Alpha.flst"), rec(QStringLiteral("1"), QStringLiteral("kept"), wav(QStringLiteral("kept.wav"), 500)));
    const QByteArray old = ListFixtures::readBytes(folder + QStringLiteral("Alpha.flst"));
    frmMain &main = load();
    ASSERT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Alpha"))));
    disk.fill();

    EXPECT_EQ(addAndWait(main, {wav(QStringLiteral("new.wav"), 500)}), 1);
    EXPECT_EQ(listBytes(QStringLiteral("Alpha.flst")), old);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Cannot save ") + folder + QStringLiteral("Alpha.flst: ")
                                      + FullDisk::noSpace()});
    // The row is still there to be saved once there is room.
    EXPECT_EQ(main.cGrid1->Rows(), 2);
}

} // namespace
