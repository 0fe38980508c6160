#include "support/TestEnvironment.h"

#include "platform/AppPaths.h"
#include "platform/Registry.h"
#include "platform/SettingsInstaller.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

constexpr qint32 kLocalMachine = static_cast<qint32>(0x80000002u);

QStringList registryTree()
{
    QStringList entries;
    QDirIterator it(AppPaths::registryFolder(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

} // namespace

TEST(SettingsInstaller, CreatesEveryKeyOfTheSettingsRoot)
{
    TestEnv::removeSettingsRoot();
    ASSERT_FALSE(Registry::keyExists(kLocalMachine, QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General")));
    ASSERT_TRUE(SettingsInstaller::install());
    for (const char *sub : {"General", "Events", "ID3 Tags", "Display", "Formats\\WAV", "Formats\\ACM", "Formats\\MP3",
                            "Formats\\WMA", "Formats\\OGG", "Formats\\APE"}) {
        EXPECT_TRUE(Registry::keyExists(kLocalMachine, QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\") + QLatin1String(sub)))
            << sub;
    }
}

TEST(SettingsInstaller, TitleColoursStartReadable)
{
    TestEnv::removeSettingsRoot();
    ASSERT_TRUE(SettingsInstaller::install());
    const QString general = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General");
    Registry::Value back, text;
    ASSERT_EQ(Registry::queryValue(kLocalMachine, general, QStringLiteral("picColor"), &back), Registry::Success);
    ASSERT_EQ(Registry::queryValue(kLocalMachine, general, QStringLiteral("picTextColor"), &text), Registry::Success);
    EXPECT_EQ(back.type, 1);
    EXPECT_NE(back.data, text.data);
}

TEST(SettingsInstaller, RunningTwiceChangesNothing)
{
    TestEnv::removeSettingsRoot();
    ASSERT_TRUE(SettingsInstaller::install());
    const QString general = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General");
    ASSERT_EQ(Registry::setValue(kLocalMachine, general, QStringLiteral("txtToPath"), 1, QByteArray("/x\0", 3)),
              Registry::Success);
    ASSERT_EQ(Registry::setValue(kLocalMachine, general, QStringLiteral("picColor"), 1, QByteArray("255\0", 4)),
              Registry::Success);
    const QStringList before = registryTree();
    ASSERT_TRUE(SettingsInstaller::install());
    EXPECT_EQ(registryTree(), before);
}

TEST(SettingsInstaller, OverAnExistingStoreAddsMissingValuesAndKeepsTheUsers)
{
    // A store from an earlier run: the user chose MP3 and mono, hid the
    // player, and never had a sample rate stored.
    TestEnv::removeSettingsRoot();
    ASSERT_TRUE(SettingsInstaller::install());
    const QString root = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\");
    const struct {
        const char *subkey;
        const char *name;
        QByteArray user; // empty: the value is absent before the second run
        QByteArray after;
    } cases[] = {
        {"General", "cboTargetFormat", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)"},
        {"General", "chkDisplayPlayer", "0", "0"},
        {"Formats\\WAV", "cboChannelsWAV", "0", "0"},
        {"Formats\\MP3", "chkMP3VBRTag", "", "1"},
        {"Formats\\WAV", "cboSamplesWAV", "", "44100"},
        {"Formats\\OGG", "ptnQualityOGG", "", "True"},
    };
    for (const auto &c : cases) {
        const QString key = root + QLatin1String(c.subkey);
        if (c.user.isEmpty())
            ASSERT_EQ(Registry::deleteValue(kLocalMachine, key, QLatin1String(c.name)), Registry::Success) << c.name;
        else
            ASSERT_EQ(Registry::setValue(kLocalMachine, key, QLatin1String(c.name), 1, c.user + '\0'), Registry::Success);
    }

    ASSERT_TRUE(SettingsInstaller::install());

    for (const auto &c : cases) {
        Registry::Value value;
        ASSERT_EQ(Registry::queryValue(kLocalMachine, root + QLatin1String(c.subkey), QLatin1String(c.name), &value),
                  Registry::Success)
            << c.name;
        EXPECT_EQ(value.data, c.after + '\0') << c.name;
    }
}

TEST(SettingsInstaller, ProgramReportsAnUnreadableFile)
{
    QString error;
    EXPECT_FALSE(SettingsInstaller::install(&error, TestEnv::workFolder() + QStringLiteral("/missing.reg")));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsInstaller, ADesktopStartInstallsOnlyWhatIsMissing)
{
    const QString general = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General");
    const QString ape = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\Formats\\APE");
    const auto hasPicColor = [&] {
        return Registry::queryValue(kLocalMachine, general, QStringLiteral("picColor"), nullptr) == Registry::Success;
    };

    // A new user: nothing yet.
    TestEnv::removeSettingsRoot();
    EXPECT_FALSE(SettingsInstaller::isInstalled());
    ASSERT_TRUE(SettingsInstaller::installIfMissing());
    EXPECT_TRUE(SettingsInstaller::isInstalled());
    EXPECT_TRUE(hasPicColor());

    // A complete root is left alone: a value the user's settings no longer
    // hold stays away.
    ASSERT_EQ(Registry::deleteValue(kLocalMachine, general, QStringLiteral("picColor")), Registry::Success);
    const QStringList before = registryTree();
    ASSERT_TRUE(SettingsInstaller::installIfMissing());
    EXPECT_EQ(registryTree(), before);

    // One missing key makes the step run; what the user has stays.
    ASSERT_EQ(Registry::deleteKey(kLocalMachine, ape), Registry::Success);
    EXPECT_FALSE(SettingsInstaller::isInstalled());
    ASSERT_TRUE(SettingsInstaller::installIfMissing());
    EXPECT_TRUE(Registry::keyExists(kLocalMachine, ape));
    EXPECT_TRUE(hasPicColor());

    // A definition file that cannot be read installs nothing and says why.
    const QString missing = TestEnv::workFolder() + QStringLiteral("/missing.reg");
    QString error;
    EXPECT_FALSE(SettingsInstaller::isInstalled(missing));
    EXPECT_FALSE(SettingsInstaller::installIfMissing(&error, missing));
    EXPECT_FALSE(error.isEmpty());
}
