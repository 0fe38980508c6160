#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedUser.h"

#include "core/mdlFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolTip>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct PathCase {
    const char *path;
    const char *fileName;
    const char *folderPath;
    const char *fileFolder;
};

} // namespace

TEST(mdlFunctions, TakesPathsApart)
{
    const PathCase cases[] = {
        {"/home/u/a.flst", "a.flst", "/home/u/", "/home/u/"},
        {"/home/u/Music/", "", "/home/u/Music/", "/home/u/Music/"},
        {"a.mp3", "a.mp3", "", ""},
        {"", "", "", ""},
        {"/a.mp3", "a.mp3", "/", "/"},
        // A name that also stands earlier in the path does not shorten the folder.
        {"/abc/abc", "abc", "/abc/", "/abc/"},
        // Doubled separators add nothing and never turn the path relative.
        {"//server/share/a.wav", "a.wav", "/server/share/", "//server/share/"},
        {"/a//b/c.wav", "c.wav", "/a/b/", "/a//b/"},
        {"Music/Live/x.ogg", "x.ogg", "Music/Live/", "Music/Live/"},
    };
    for (const PathCase &c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(mdlFunctions::GetFileName(path), QString::fromUtf8(c.fileName)) << c.path;
        EXPECT_EQ(mdlFunctions::GetFolderPath(path), QString::fromUtf8(c.folderPath)) << c.path;
        EXPECT_EQ(mdlFunctions::GetFileFolder(path), QString::fromUtf8(c.fileFolder)) << c.path;
    }
}

TEST(mdlFunctions, TakesExtensionsApart)
{
    struct Case {
        const char *name;
        const char *extension;
        const char *extensionPart;
        const char *withoutExtension;
    };
    const Case cases[] = {
        {"My.Song.mp3", "mp3", "mp3", "My.Song"},
        {"New Items List 3.flst", "flst", "flst", "New Items List 3"},
        {"a.b.MP3", "MP3", "MP3", "a.b"},
        {"Track01.cda", "cda", "cda", "Track01"},
        {"no extension", "", "", ""},
        {"", "", "", ""},
        {"trailing.", "", "", "trailing"},
        // The extension is looked for in the whole text, folders included.
        {"/x.dir/file", "dir/file", "dir/file", "/x"},
        {"a.abcdefghijklmnop", "abcdefghijkl", "abcdefghijklmnop", "a"},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(mdlFunctions::GetExtension(name), QString::fromUtf8(c.extension)) << c.name;
        EXPECT_EQ(mdlFunctions::GetExtensionPart(name), QString::fromUtf8(c.extensionPart)) << c.name;
        EXPECT_EQ(mdlFunctions::RemoveExtension(name), QString::fromUtf8(c.withoutExtension)) << c.name;
    }
}

TEST(mdlFunctions, MakeSafeFileNameReplacesEveryUnsafeCharacter)
{
    const struct {
        QString name;
        QString safe;
    } cases[] = {
        {QStringLiteral("Rock & Roll (Live).mp3"), QStringLiteral("Rock---Roll--Live-.mp3")},
        {QStringLiteral("10:15:32 3/14/2007"), QStringLiteral("10-15-32-3-14-2007")},
        {QStringLiteral("!/\\;:, $+&[](){}?*|<>@~`=%#'\""), QString(29, QLatin1Char('-'))},
        {QString::fromUtf8("\u05D6\uF893\u20AC\u00A8\u00B4\u00BD\u00A3\u05D9"), QString(8, QLatin1Char('-'))},
        // Letters outside ASCII, digits, "_", "-" and "." stay.
        {QString::fromUtf8("Caf\u00E9_01-b.\u00FCber"), QString::fromUtf8("Caf\u00E9_01-b.\u00FCber")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlFunctions::MakeSafeFileName(c.name), c.safe) << qPrintable(c.name);
}

TEST(mdlFunctions, IsValidNameRefusesTheNineCharacters)
{
    EXPECT_TRUE(mdlFunctions::IsValidName(QString()));
    EXPECT_TRUE(mdlFunctions::IsValidName(QStringLiteral("a.b")));
    EXPECT_TRUE(mdlFunctions::IsValidName(QStringLiteral("Rock & Roll (Live)!")));
    for (const QChar c : QStringLiteral("/\\:?*<>\"|"))
        EXPECT_FALSE(mdlFunctions::IsValidName(QStringLiteral("a") + c + QStringLiteral("b"))) << c.toLatin1();
}

TEST(mdlFunctions, CheckNameKeyPressSwallowsOnlyIllegalCharacters)
{
    QLineEdit box;
    for (const QChar c : QStringLiteral("/\\:?*<>\"|")) {
        qint16 key = qint16(c.unicode());
        mdlFunctions::CheckNameKeyPress(&box, key);
        EXPECT_EQ(key, 0) << c.toLatin1();
    }
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Illegal name.\r\n\r\nThe chars:   /\\:?*<>\"|   are not legal."));
    for (const QChar c : QStringLiteral("aZ9 .-_&")) {
        qint16 key = qint16(c.unicode());
        mdlFunctions::CheckNameKeyPress(&box, key);
        EXPECT_EQ(key, qint16(c.unicode())) << c.toLatin1();
    }
    qint16 backspace = 8;
    mdlFunctions::CheckNameKeyPress(&box, backspace);
    EXPECT_EQ(backspace, 8);
}

TEST(mdlFunctions, MakeFolderPathCreatesEveryMissingLevel)
{
    const QString out = TestEnv::workFolder() + QStringLiteral("/Out");
    EXPECT_EQ(mdlFunctions::MakeFolderPath(out + QStringLiteral("/A/B/")), 0);
    EXPECT_TRUE(QFileInfo(out + QStringLiteral("/A/B")).isDir());
    // Existing levels and doubled separators are no failure.
    EXPECT_EQ(mdlFunctions::MakeFolderPath(out + QStringLiteral("//A/B/C")), 0);
    EXPECT_TRUE(QFileInfo(out + QStringLiteral("/A/B/C")).isDir());
    EXPECT_EQ(mdlFunctions::MakeFolderPath(QString()), 0);
    EXPECT_TRUE(mdlFunctions::IsFolder(out));
}

TEST(mdlFunctions, MakeFolderPathStopsAtTheFirstFailure)
{
    const QString out = TestEnv::workFolder() + QStringLiteral("/Out");
    ASSERT_TRUE(QDir().mkpath(out));
    QFile blocker(out + QStringLiteral("/A"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_NE(mdlFunctions::MakeFolderPath(out + QStringLiteral("/A/B/C")), 0);
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/A/B")));
    EXPECT_FALSE(mdlFunctions::IsFolder(out + QStringLiteral("/A")));

    // Levels made before a failure stay.
    const QString locked = TestEnv::workFolder() + QStringLiteral("/New/Locked");
    ASSERT_EQ(mdlFunctions::MakeFolderPath(locked), 0);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    {
        const UnprivilegedUser user;
        EXPECT_EQ(mdlFunctions::MakeFolderPath(locked + QStringLiteral("/X/Y")), EACCES);
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(QFileInfo::exists(locked + QStringLiteral("/X")));
    EXPECT_TRUE(mdlFunctions::IsFolder(TestEnv::workFolder() + QStringLiteral("/New")));
}

TEST(mdlFunctions, ShellOpenGoesThroughTheShell)
{
    testServices().shell->result = false; // a failed open is not reported
    mdlFunctions::ShellOpen(nullptr, QStringLiteral("/home/u/Music"));
    EXPECT_EQ(testServices().shell->opened, QStringList{QStringLiteral("/home/u/Music")});
}
