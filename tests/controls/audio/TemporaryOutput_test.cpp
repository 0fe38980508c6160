#include "controls/audio/TemporaryOutput.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
}

QByteArray readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TemporaryOutput, CommitReplacesTheDestinationAndOtherwiseNothingStays)
{
    // Names up to the 255 bytes most Linux file systems allow: the temporary
    // beside them must be creatable too.
    for (const QString &name : {QStringLiteral("out.wav"), QString(251, QLatin1Char('n')) + ".wav"}) {
        SCOPED_TRACE(name.size());
        const QString destination = TestEnv::workFolder() + "/" + name;
        writeText(destination, "old");
        {
            TemporaryOutput dropped(destination);
            EXPECT_EQ(QFileInfo(dropped.path()).absolutePath(), TestEnv::workFolder());
            writeText(dropped.path(), "unfinished");
        }
        EXPECT_EQ(readText(destination), "old") << "an output never committed replaced the destination";
        {
            TemporaryOutput kept(destination);
            EXPECT_EQ(kept.destination(), destination);
            writeText(kept.path(), "new");
            EXPECT_TRUE(kept.commit());
        }
        EXPECT_EQ(readText(destination), "new");
        EXPECT_EQ(QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QFile::remove(destination);
    }
}
