#include "core/FileCopyClass.h"
#include "core/frmFileCopy.h"
#include "support/FullDisk.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray pattern(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

QString writeFile(const QString &name, const QByteArray &data)
{
    const QString path = TestEnv::workFolder() + "/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The names in the work folder, to see that no temporary copy is left behind.
QStringList workFiles()
{
    return QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(FileCopyClass, LargeFileReportsProgressPerDoubleChunkAndCopiesExactly)
{
    const QByteArray data = pattern(100000);
    const QString source = writeFile("in.bin", data);
    const QString dest = TestEnv::workFolder() + "/out.bin";

    FileCopyClass copy;
    copy.setCacheSize(8000);
    QList<int> seen;
    copy.setAfterEachChunk([&] {
        if (seen.isEmpty() || seen.last() != copy.PercentREady())
            seen << copy.PercentREady();
        return true;
    });
    copy.Copy(source, dest);

    EXPECT_TRUE(copy.Sucessfull());
    EXPECT_TRUE(copy.ErrorText().isEmpty());
    EXPECT_EQ(seen, (QList<int>{0, 16, 32, 48, 64, 80, 96}));
    EXPECT_EQ(copy.PercentREady(), 96);
    EXPECT_EQ(copy.SecondsTaken(), 0);
    EXPECT_EQ(readFile(dest), data);
    EXPECT_EQ(workFiles(), (QStringList{"in.bin", "out.bin"}));
}

TEST(FileCopyClass, SmallFileIsOneReadAndReplacesTheOldDestination)
{
    const QByteArray data = pattern(7999);
    const QString source = writeFile("in.bin", data);
    const QString dest = writeFile("out.bin", "old contents that are longer than nothing");

    FileCopyClass copy;
    copy.setCacheSize(8000);
    int chunks = 0;
    copy.setAfterEachChunk([&] { return ++chunks > 0; });
    copy.Copy(source, dest);

    EXPECT_TRUE(copy.Sucessfull());
    EXPECT_EQ(chunks, 0);
    EXPECT_EQ(copy.PercentREady(), 0);
    EXPECT_EQ(readFile(dest), data);
}

TEST(FileCopyClass, RefusesToCopyAFileOntoItself)
{
    const QByteArray data = pattern(50000);
    const QString source = writeFile("in.bin", data);
    const QString link = TestEnv::workFolder() + "/link.bin";
    ASSERT_TRUE(QFile::link(source, link));
    const QString hardLink = TestEnv::workFolder() + "/hard.bin";
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(hardLink).constData()), 0);

    for (const QString &dest : {source, link, hardLink, TestEnv::workFolder() + "/./in.bin"}) {
        FileCopyClass copy;
        copy.Copy(source, dest);
        EXPECT_FALSE(copy.Sucessfull()) << qPrintable(dest);
        EXPECT_FALSE(copy.ErrorText().isEmpty());
        EXPECT_EQ(readFile(source), data) << qPrintable(dest);
    }
}

TEST(FileCopyClass, FailuresLeaveTheDestinationAsItWas)
{
    const QByteArray old = "the destination before the copy";
    const QString dest = writeFile("out.bin", old);

    FileCopyClass missing;
    missing.Copy(TestEnv::workFolder() + "/nothing.bin", dest);
    EXPECT_FALSE(missing.Sucessfull());
    EXPECT_TRUE(missing.ErrorText().contains("nothing.bin"));

    // The source shrinks while it is read: the copy must fail, not finish short.
    const QString source = writeFile("in.bin", pattern(100000));
    FileCopyClass cut;
    cut.setCacheSize(8000);
    cut.setAfterEachChunk([&] { return QFile::resize(source, 20000); });
    cut.Copy(source, dest);
    EXPECT_FALSE(cut.Sucessfull());
    EXPECT_TRUE(cut.ErrorText().contains("in.bin"));

    // Stopped half-way, as when its window goes away with the program.
    FileCopyClass stopped;
    stopped.setCacheSize(8000);
    int chunks = 0;
    stopped.setAfterEachChunk([&] { return ++chunks < 3; });
    stopped.Copy(writeFile("in.bin", pattern(100000)), dest);
    EXPECT_FALSE(stopped.Sucessfull());
    EXPECT_EQ(chunks, 3);

    EXPECT_EQ(readFile(dest), old);
    EXPECT_EQ(workFiles(), (QStringList{"in.bin", "out.bin"}));
}

TEST(FileCopyClass, AFullDiskFailsWithItsReasonAndKeepsTheOldDestination)
{
    const QString folder = TestEnv::workFolder() + "/full";
    // A copy bigger than the disk fills it half-way; a small one meets a disk
    // already full, where the write fails only when the copy is committed.
    const struct {
        const char *name;
        int size;
        bool fillFirst;
    } cases[] = {{"fills the disk", 1 << 20, false}, {"into a full disk", 300, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = writeFile("in.bin", pattern(c.size));
        FullDisk disk(folder);
        ASSERT_TRUE(disk.mounted());
        const QString dest = folder + "/out.bin";
        writeFile("full/out.bin", "old");
        if (c.fillFirst)
            disk.fill();
        FileCopyClass copy;
        copy.Copy(source, dest);
        EXPECT_FALSE(copy.Sucessfull());
        EXPECT_TRUE(copy.ErrorText().contains(FullDisk::noSpace())) << copy.ErrorText().toStdString();
        EXPECT_EQ(readFile(dest), QByteArray("old"));
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeOne(".filler");
        EXPECT_EQ(left, QStringList{"out.bin"});
    }
}

TEST(FileCopyClass, DestinationThatCannotBeWrittenFails)
{
    const QString source = writeFile("in.bin", pattern(100));
    for (const QString &dest : {TestEnv::workFolder() + "/no/such/folder/out.bin", TestEnv::workFolder()}) {
        FileCopyClass copy;
        copy.Copy(source, dest);
        EXPECT_FALSE(copy.Sucessfull()) << qPrintable(dest);
        EXPECT_FALSE(copy.ErrorText().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(TestEnv::workFolder() + "/no"));
}

// The window armed as the "Save As" command arms it.
class FileCopyWindowTest : public ::testing::Test {
protected:
    void arm(const QString &source, const QString &dest)
    {
        window.g_sSourceFile = source;
        window.g_sDestFile = dest;
        window.lblFrom->setText(source);
        window.lblTo->setText(dest);
        window.tmrStart->start();
    }
    frmFileCopy window;
};

TEST_F(FileCopyWindowTest, CopiesOnItsFirstTickAndClosesItself)
{
    EXPECT_EQ(g_frmFileCopy, &window);
    EXPECT_EQ(window.windowTitle(), "File Copy");
    EXPECT_EQ(window.lblState->text(), "State");
    const QByteArray data = pattern(100000);
    const QString source = writeFile("in.bin", data);
    const QString dest = TestEnv::workFolder() + "/out.bin";
    arm(source, dest);

    QTimer guard;
    guard.setSingleShot(true);
    guard.callOnTimeout([&] { ADD_FAILURE() << "the window did not close by itself"; window.done(0); });
    guard.start(20000);
    window.exec();

    EXPECT_FALSE(window.tmrStart->isActive());
    EXPECT_EQ(window.lblState->text(), "Ready");
    EXPECT_EQ(window.ProgressBar1->value(), 100);
    EXPECT_TRUE(window.cmdExit->isEnabled());
    EXPECT_EQ(readFile(dest), data);
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(FileCopyWindowTest, CopiesOffTheUiThreadAndRefusesToCloseMeanwhile)
{
    const QByteArray data = pattern(100000);
    const QString source = writeFile("in.bin", data);
    const QString dest = TestEnv::workFolder() + "/out.bin";
    window.show();
    // Nothing the window's queue holds may run inside the call that starts
    // the copy: the user's input waits for the window's own event loop.
    bool servedInside = false;
    QTimer::singleShot(0, &window, [&] { servedInside = true; });
    window.FileCopyEx(source, dest);
    EXPECT_FALSE(servedInside);
    EXPECT_EQ(window.lblState->text(), "Copying");
    window.close();
    window.reject();
    EXPECT_TRUE(window.isVisible());
    window.cmdOk->click(); // disabled: no second copy over the first

    ASSERT_TRUE(waitUntil([&] { return window.lblState->text() == "Ready"; }));
    EXPECT_EQ(readFile(dest), data);
    EXPECT_EQ(workFiles(), (QStringList{"in.bin", "out.bin"}));
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(FileCopyWindowTest, FailureIsShownAndTheWindowStaysForARetry)
{
    const QString source = writeFile("in.bin", pattern(1000));
    const QString dest = TestEnv::workFolder() + "/missing/out.bin";
    window.show();
    arm(source, dest);
    ASSERT_TRUE(waitUntil([&] { return window.lblState->text() == "Failed"; }));

    auto &messages = testServices().prompter->messages;
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].text.contains("out.bin"));
    EXPECT_EQ(messages[0].icon(), Msg::Critical);
    EXPECT_NE(window.ProgressBar1->value(), 100);
    EXPECT_TRUE(window.cmdOk->isEnabled());
    EXPECT_TRUE(window.cmdExit->isEnabled());
    // A copy that succeeded closes by its end timer; a failed one starts none.
    EXPECT_FALSE(window.tmrEnd->isActive());
    flushEvents();
    EXPECT_TRUE(window.isVisible()) << "a failed copy must not close as if it had succeeded";

    ASSERT_TRUE(QDir().mkpath(TestEnv::workFolder() + "/missing"));
    window.cmdOk->click();
    ASSERT_TRUE(waitUntil([&] { return window.lblState->text() == "Ready"; }));
    EXPECT_EQ(readFile(dest), readFile(source));
    ASSERT_TRUE(waitUntil([&] { return !window.isVisible(); }));
}

} // namespace
