#include "support/TestEnvironment.h"

#include "core/mdlRunOnStart.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QString entryText()
{
    QFile file(mdlRunOnStart::autostartFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeEntry(const QString &exec, const QString &extra = QString())
{
    QDir().mkpath(QFileInfo(mdlRunOnStart::autostartFile()).absolutePath());
    QFile file(mdlRunOnStart::autostartFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(("[Desktop Entry]\nType=Application\nName=Sonvale\nExec=" + exec + "\n" + extra).toUtf8());
}

QString programPath()
{
    return QCoreApplication::applicationFilePath();
}

} // namespace

TEST(RunOnStartup, EnablingWritesAnAutostartEntryThatStartsThisProgramInTheTray)
{
    EXPECT_EQ(mdlRunOnStart::autostartFile(), AppPaths::configFolder() + QStringLiteral("/autostart/Sonvale.desktop"));
    EXPECT_EQ(mdlRunOnStart::startCommand(), QLatin1Char('"') + programPath() + QStringLiteral("\" -st"));
    EXPECT_FALSE(mdlRunOnStart::IsRunOnStartup());

    EXPECT_EQ(mdlRunOnStart::SetRunOnStartup(true), -1);
    const QStringList lines = entryText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), QStringLiteral("[Desktop Entry]"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Type=Application")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Name=Sonvale")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=") + mdlRunOnStart::startCommand())) << entryText().toStdString();
    EXPECT_TRUE(mdlRunOnStart::IsRunOnStartup());

    // Enabling again rewrites the same entry.
    EXPECT_EQ(mdlRunOnStart::SetRunOnStartup(true), -1);
    EXPECT_TRUE(mdlRunOnStart::IsRunOnStartup());
    EXPECT_EQ(QDir(QFileInfo(mdlRunOnStart::autostartFile()).absolutePath()).entryList(QDir::Files),
              QStringList{QStringLiteral("Sonvale.desktop")});
}

TEST(RunOnStartup, DisablingRemovesTheEntryAndReportsWhenThereWasNone)
{
    ASSERT_EQ(mdlRunOnStart::SetRunOnStartup(true), -1);
    EXPECT_EQ(mdlRunOnStart::SetRunOnStartup(false), 0);
    EXPECT_FALSE(QFileInfo::exists(mdlRunOnStart::autostartFile()));
    EXPECT_FALSE(mdlRunOnStart::IsRunOnStartup());

    // Another program's entry beside ours is left alone.
    const QString other = QFileInfo(mdlRunOnStart::autostartFile()).absolutePath() + QStringLiteral("/other.desktop");
    QFile otherFile(other);
    ASSERT_TRUE(otherFile.open(QIODevice::WriteOnly));
    otherFile.close();
    EXPECT_EQ(mdlRunOnStart::SetRunOnStartup(false), 2);
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_FALSE(QFileInfo::exists(mdlRunOnStart::autostartFile()));
}

TEST(RunOnStartup, OnlyTheExactStartCommandCounts)
{
    const QString path = programPath();
    const QString folder = QFileInfo(path).absolutePath();
    struct Case {
        const char *what;
        QString exec;
        QString extra;
        bool set;
    };
    const Case cases[] = {
        {"the exact command", QLatin1Char('"') + path + QStringLiteral("\" -st"), QString(), true},
        {"blanks around the equals sign", QStringLiteral(" \"") + path + QStringLiteral("\" -st"), QString(), true},
        {"another letter case", QLatin1Char('"') + path.toUpper() + QStringLiteral("\" -st"), QString(), false},
        {"the switch in capitals", QLatin1Char('"') + path + QStringLiteral("\" -ST"), QString(), false},
        {"another folder", QLatin1Char('"') + folder + QStringLiteral("/elsewhere/") + QFileInfo(path).fileName()
                               + QStringLiteral("\" -st"),
         QString(), false},
        {"no quotes", path + QStringLiteral(" -st"), QString(), false},
        {"without the tray switch", QLatin1Char('"') + path + QLatin1Char('"'), QString(), false},
        {"a blank after the switch", QLatin1Char('"') + path + QStringLiteral("\" -st "), QString(), false},
        {"hidden by the desktop", QLatin1Char('"') + path + QStringLiteral("\" -st"), QStringLiteral("Hidden=true\n"), false},
    };
    for (const Case &c : cases) {
        writeEntry(c.exec, c.extra);
        EXPECT_EQ(mdlRunOnStart::IsRunOnStartup(), c.set) << c.what;
    }

    // An Exec line of another group is not the entry's command.
    QFile file(mdlRunOnStart::autostartFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(("[Desktop Entry]\nType=Application\nName=Sonvale\n[Desktop Action Tray]\nExec=\"" + path + "\" -st\n")
                   .toUtf8());
    file.close();
    EXPECT_FALSE(mdlRunOnStart::IsRunOnStartup());
}

TEST(RunOnStartup, ReservedCharactersOfTheProgramPathAreEscapedInTheEntry)
{
    struct Case {
        QString program;
        QString exec;
    };
    const Case cases[] = {
        {QStringLiteral("/opt/sonvale/sonvale"), QStringLiteral("\"/opt/sonvale/sonvale\" -st")},
        {QStringLiteral("/home/me/My Apps/sonvale"), QStringLiteral("\"/home/me/My Apps/sonvale\" -st")},
        {QStringLiteral("/opt/$HOME/`x`/sonvale"), QStringLiteral("\"/opt/\\\\$HOME/\\\\`x\\\\`/sonvale\" -st")},
        {QStringLiteral("/opt/say \"hi\"/sonvale"), QStringLiteral("\"/opt/say \\\\\"hi\\\\\"/sonvale\" -st")},
        {QStringLiteral("/opt/back\\slash/sonvale"), QStringLiteral("\"/opt/back\\\\\\\\slash/sonvale\" -st")},
        {QStringLiteral("/opt/100%/sonvale"), QStringLiteral("\"/opt/100%%/sonvale\" -st")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mdlRunOnStart::execValue(c.program), c.exec) << c.program.toStdString();
    EXPECT_EQ(mdlRunOnStart::execValue(programPath()), mdlRunOnStart::startCommand()) << "the test program's path is plain";
}
