#include "support/ScriptedServices.h"

#include "platform/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, PlaceholdersAreFilledInsideOneArgument)
{
    // A file name that looks like shell syntax stays one argument.
    const QString recorded = QStringLiteral("/music/a b\"; rm -rf ~; echo \".wav");
    const auto fill = [&](const QString &part) {
        QString filled = part;
        return filled.replace(QStringLiteral("[FILE_RECORDED]"), recorded);
    };
    ASSERT_TRUE(CommandLine::start(QStringLiteral("player --open=[FILE_RECORDED] [FILE_RECORDED]"), false, fill));
    ASSERT_EQ(testServices().launcher->starts.size(), 1);
    const RecordingLauncher::Start &start = testServices().launcher->starts.first();
    EXPECT_EQ(start.program, QStringLiteral("player"));
    EXPECT_EQ(start.arguments, (QStringList{QStringLiteral("--open=") + recorded, recorded}));
    EXPECT_FALSE(start.minimized);
}

TEST(CommandLine, NothingToStartStartsNothing)
{
    for (const QString &line : {QString(), QStringLiteral("  \n ")}) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_FALSE(CommandLine::start(line));
    }
    EXPECT_TRUE(testServices().launcher->starts.isEmpty());
}

TEST(CommandLine, AFailedStartIsReported)
{
    testServices().launcher->result = false;
    EXPECT_FALSE(CommandLine::start(QStringLiteral("missing-program")));
    EXPECT_EQ(testServices().launcher->starts.size(), 1);
}
