#include "support/TestEnvironment.h"

#include "core/UserSettingsStore.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <csignal>

TEST(UserSettingsStore, EntriesNeverSavedAnswerTheirDefaults)
{
    struct Case {
        UserSettingsStore::Entry entry;
        QString appKey, section, key, expected;
    };
    const Case cases[] = {
        {UserSettingsStore::lastOpenFolder(), QStringLiteral("Quorvel"), QStringLiteral("path"), QStringLiteral("last_path"),
         QDir::homePath()},
        {UserSettingsStore::burnerEngine(), QStringLiteral("Sonvale"), QStringLiteral("BurnerEngine"),
         QStringLiteral("cmbEngine"), QStringLiteral("0")},
        {UserSettingsStore::openCdDrive(), QStringLiteral("Sonvale"), QStringLiteral("General"),
         QStringLiteral("chkOpenCDdrive"), QStringLiteral("0")},
        {UserSettingsStore::speechFormat(), QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("Format"),
         QStringLiteral("SAFT22kHz16BitMono")},
        {UserSettingsStore::speechVoice(), QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("Voice"),
         QString()},
    };
    EXPECT_EQ(QDir::homePath(), TestEnv::root() + QStringLiteral("/home"));
    for (const Case &c : cases) {
        const std::string key = c.key.toStdString();
        EXPECT_EQ(c.entry.appKey, c.appKey) << key;
        EXPECT_EQ(c.entry.section, c.section) << key;
        EXPECT_EQ(c.entry.key, c.key) << key;
        EXPECT_EQ(UserSettingsStore::Get(c.entry), c.expected) << key;
        EXPECT_EQ(UserSettingsStore::Get(c.appKey, c.section, c.key, QStringLiteral("dflt")), QStringLiteral("dflt")) << key;
    }
    EXPECT_EQ(UserSettingsStore::Get(QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("Voice")), QString());
    EXPECT_FALSE(QFileInfo::exists(UserSettingsStore::storeFile(QStringLiteral("Sonvale")))) << "reading creates nothing";
}

TEST(UserSettingsStore, SavedTextsReadBackExactly)
{
    const QStringList texts = {
        QStringLiteral("/home/user/Music"),
        QString(), // saved empty is not absent
        QStringLiteral("  blanks kept  "),
        QStringLiteral("a, b, c"),
        QStringLiteral("key=value; # not a comment"),
        QStringLiteral("\"quoted\" and \\back\\slashes\\"),
        QStringLiteral("@ByteArray(x)"),
        QStringLiteral("true"),
        QStringLiteral("Ünïcödé ♪ 日本"),
        QStringLiteral("two\nlines"),
    };
    for (const QString &text : texts) {
        ASSERT_TRUE(UserSettingsStore::Save(QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("Voice"), text));
        EXPECT_EQ(UserSettingsStore::Get(QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("Voice"),
                                         QStringLiteral("dflt")),
                  text)
            << text.toStdString();
    }
}

TEST(UserSettingsStore, EntriesAreKeptApartByApplicationKeyAndSection)
{
    // The same section and key under two application keys, and the same key in two sections.
    ASSERT_TRUE(UserSettingsStore::Save(UserSettingsStore::openCdDrive(), QStringLiteral("1")));
    ASSERT_TRUE(UserSettingsStore::Save(QStringLiteral("Quorvel"), QStringLiteral("General"), QStringLiteral("chkOpenCDdrive"),
                                        QStringLiteral("q")));
    ASSERT_TRUE(UserSettingsStore::Save(QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("chkOpenCDdrive"),
                                        QStringLiteral("t")));
    ASSERT_TRUE(UserSettingsStore::Save(UserSettingsStore::lastOpenFolder(), QStringLiteral("/media/cd")));

    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::openCdDrive()), QStringLiteral("1"));
    EXPECT_EQ(UserSettingsStore::Get(QStringLiteral("Quorvel"), QStringLiteral("General"), QStringLiteral("chkOpenCDdrive")),
              QStringLiteral("q"));
    EXPECT_EQ(UserSettingsStore::Get(QStringLiteral("Sonvale"), QStringLiteral("TTS"), QStringLiteral("chkOpenCDdrive")),
              QStringLiteral("t"));
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::lastOpenFolder()), QStringLiteral("/media/cd"));
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::speechFormat()), QStringLiteral("SAFT22kHz16BitMono"));

    const QString folder = AppPaths::configFolder() + QStringLiteral("/Sonvale");
    EXPECT_EQ(UserSettingsStore::storeFile(QStringLiteral("Quorvel")), folder + QStringLiteral("/Quorvel.ini"));
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files),
              (QStringList{QStringLiteral("Quorvel.ini"), QStringLiteral("Sonvale.ini")}));
}

TEST(UserSettingsStore, ApplicationKeysNeverLeaveTheStoreFolder)
{
    const QString folder = AppPaths::configFolder() + QStringLiteral("/Sonvale");
    for (const QString &appKey : {QStringLiteral("../escape"), QStringLiteral(".."), QStringLiteral("a/b"), QString()}) {
        ASSERT_TRUE(UserSettingsStore::Save(appKey, QStringLiteral("s"), QStringLiteral("k"), appKey + QStringLiteral("!")))
            << appKey.toStdString();
        EXPECT_EQ(QFileInfo(UserSettingsStore::storeFile(appKey)).absolutePath(), folder) << appKey.toStdString();
    }
    for (const QString &appKey : {QStringLiteral("../escape"), QStringLiteral(".."), QStringLiteral("a/b"), QString()})
        EXPECT_EQ(UserSettingsStore::Get(appKey, QStringLiteral("s"), QStringLiteral("k")), appKey + QStringLiteral("!"));
    EXPECT_FALSE(QFileInfo::exists(AppPaths::configFolder() + QStringLiteral("/escape.ini")));
}

// Saves killed at any point leave the settings writer's temporaries and its
// lock; the next save clears them, and nothing of another program's.
TEST(UserSettingsStore, SavesKilledAtAnyPointLeaveNothingOnceTheNextSaveRuns)
{
    const QString file = UserSettingsStore::storeFile(QStringLiteral("Sonvale"));
    const QString folder = QFileInfo(file).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList others = {QStringLiteral("Other.ini.AbC123"), QStringLiteral("Sonvale.ini.AbC1234"),
                                QStringLiteral("Sonvale.ini.bak"), QStringLiteral(".Sonvale.ini.1f.part")};
    for (const QString &name : others) {
        QFile other(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("another program's");
    }

    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE("seed " + std::to_string(seed));
    QRandomGenerator random(seed);
    constexpr int kRounds = 30;
    for (int i = 0; i < kRounds; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(SONVALE_TEST_JOB),
                    {QStringLiteral("--ini-saves"), QStringLiteral("Sonvale"), QStringLiteral("1000000")});
        ASSERT_TRUE(child.waitForStarted());
        // Killed at a point the test does not choose.
        ASSERT_FALSE(child.waitForFinished(int(random.bounded(5, 200))));
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(60000));
    }

    ASSERT_TRUE(UserSettingsStore::Save(QStringLiteral("Sonvale"), QStringLiteral("Saves"), QStringLiteral("Count"),
                                        QStringLiteral("last")));
    EXPECT_EQ(UserSettingsStore::Get(QStringLiteral("Sonvale"), QStringLiteral("Saves"), QStringLiteral("Count")),
              QStringLiteral("last"));
    QStringList expected = others + QStringList{QStringLiteral("Sonvale.ini")};
    expected.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), expected);
}
