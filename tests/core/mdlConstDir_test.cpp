#include "core/mdlConstDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(mdlConstDir, SystemFoldersExistWithoutATrailingSlash)
{
    for (const QString &folder : {mdlConstDir::GetWindowsDir(), mdlConstDir::GetSystemDir()}) {
        ASSERT_FALSE(folder.isEmpty());
        EXPECT_TRUE(QFileInfo(folder).isDir()) << qPrintable(folder);
        EXPECT_FALSE(folder.endsWith(QLatin1Char('/'))) << qPrintable(folder);
    }
    // The system folder is where the C library lives.
    const QStringList libc = QDir(mdlConstDir::GetSystemDir()).entryList({QStringLiteral("libc.so*")});
    EXPECT_FALSE(libc.isEmpty()) << qPrintable(mdlConstDir::GetSystemDir());
}
