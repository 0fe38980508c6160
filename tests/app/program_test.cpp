#include "support/AudioFixtures.h"
#include "support/ProcessSignals.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "app/StartUp.h"
#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/frmSplash.h"
#include "lists/ItemsListRow.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "platform/SingleInstance.h"
#include "settings/OptionSettings.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kEndMs = 30000;

std::unique_ptr<QProcess> startProgram(const QStringList &arguments = {},
                                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    auto program = std::make_unique<QProcess>();
    program->setProcessEnvironment(environment);
    program->setProgram(QStringLiteral(SONVALE_PROGRAM));
    program->setArguments(arguments);
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start();
    return program;
}

// True once a running program takes command lines.
bool serving()
{
    QLocalSocket probe;
    SingleInstance::connectToProgram(probe);
    return probe.waitForConnected(1000);
}

// True once the program has ended (by now, or within the time given).
bool ended(QProcess &program)
{
    return program.state() == QProcess::NotRunning || program.waitForFinished(kEndMs);
}

// Ends the program the test left running.
void end(QProcess &program)
{
    program.terminate();
    if (!program.waitForFinished(kEndMs))
        program.kill();
    program.waitForFinished(kEndMs);
}

// The text of every list file, one after the other.
QString savedLists()
{
    const QString folder = AppPaths::programFolder() + QStringLiteral("/Main/");
    QString text;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.flst")}, QDir::Files)) {
        QFile file(folder + name);
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

} // namespace

// Two programs on one lists folder would each save their own copy of a list
// over the other's changes; a second start hands over and ends instead.
TEST(Program, ASecondStartHandsOverAndEnds)
{
    auto first = startProgram();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(waitUntil(serving, kEndMs));

    auto second = startProgram({QStringLiteral("-addaudiocd")});
    ASSERT_TRUE(second->waitForFinished(kEndMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Killed outright, the first leaves its lock file behind, unlocked; the
    // next start takes over and serves in its place.
    ::kill(pid_t(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(kEndMs));
    auto third = startProgram();
    ASSERT_TRUE(third->waitForStarted());
    ASSERT_TRUE(waitUntil(serving, kEndMs));
    auto fourth = startProgram();
    ASSERT_TRUE(fourth->waitForFinished(kEndMs));
    EXPECT_EQ(fourth->exitCode(), 0);
    EXPECT_EQ(third->state(), QProcess::Running);
    end(*third);
}

TEST(Program, OfTwoStartsAtOnceExactlyOneRunsOn)
{
    auto a = startProgram();
    auto b = startProgram();
    ASSERT_TRUE(a->waitForStarted());
    ASSERT_TRUE(b->waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; },
                          kEndMs));
    QProcess &ended = a->state() == QProcess::NotRunning ? *a : *b;
    QProcess &running = a->state() == QProcess::NotRunning ? *b : *a;
    EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_TRUE(serving());
    EXPECT_EQ(running.state(), QProcess::Running);
    end(running);
}

// A later start's command line that comes while the first is still on its
// splash waits for the main window, and then acts as it would have.
TEST(Program, ACommandLineHandedOverDuringTheSplashRunsOnceTheMainWindowIsUp)
{
    const QString x = TestEnv::workFolder() + QStringLiteral("/x.wav");
    Fixture::writeWav(x, {8000, 1, 16}, 4000);
    // What the user picks in the Add Files dialog the switch opens.
    testServices().prompter->openAnswers << QStringList{x};

    // This process is the first program; the second start is the real one,
    // run to its end while the splash fades.
    QObject scope;
    std::unique_ptr<QProcess> second;
    QObject::connect(&Forms::events(), &FormEvents::Loaded, &scope, [&](QWidget *form) {
        auto *splash = qobject_cast<frmSplash *>(form);
        if (!splash)
            return;
        QObject::connect(splash, &frmSplash::OpacitySet, &scope, [&](int alpha) {
            if (alpha != 50 || second)
                return;
            EXPECT_EQ(Forms::main(), nullptr);
            // Not waited for here: the start ends once this program has
            // answered that it took the line.
            second = startProgram({QStringLiteral("-addfiles")});
        });
    });

    // The run ends once the add the switch started has saved its list.
    QStringList files;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &scope, [&files, &x] {
        frmMain *main = Forms::main();
        if (mdlMain::StartingUp() || !main || !savedLists().contains(x))
            return;
        const int column = main->cGrid1->ColumnIndex(ItemsListRow::key(ItemsListRow::File));
        for (int row = 1; row <= main->cGrid1->Rows(); ++row)
            files << main->cGrid1->CellText(row, column);
        g_bDisplayMSGWhenExit = false;
        Forms::unload(main);
    });
    watch.start(10);
    QTimer::singleShot(kEndMs, &scope, [] { QCoreApplication::exit(1); });

    const int exitCode = mdlMain::Main();
    watch.stop();
    if (frmMain *main = Forms::main()) {
        g_bDisplayMSGWhenExit = false;
        Forms::unload(main);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_TRUE(second);
    ASSERT_TRUE(ended(*second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(exitCode, 0) << "the handed-over command line never ran";
    EXPECT_EQ(testServices().prompter->openRequests.size(), 1);
    EXPECT_EQ(files, QStringList{x});
}

namespace {

// The files of the list shown, top to bottom.
QStringList listedFiles(frmMain &main)
{
    QStringList files;
    const int column = main.cGrid1->ColumnIndex(ItemsListRow::key(ItemsListRow::File));
    for (int row = 1; row <= main.cGrid1->Rows(); ++row)
        files << main.cGrid1->CellText(row, column);
    return files;
}

// Runs this process as the first program. whenUp runs once the main window
// is up; the run ends once done holds (or the time is out, exit code 1).
int runFirstProgram(const std::function<void(frmMain &)> &whenUp, const std::function<bool(frmMain &)> &done)
{
    QObject scope;
    bool up = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &scope, [&] {
        frmMain *main = Forms::main();
        if (mdlMain::StartingUp() || !main)
            return;
        if (!std::exchange(up, true)) {
            whenUp(*main);
            return;
        }
        if (!done(*main))
            return;
        g_bDisplayMSGWhenExit = false;
        Forms::unload(main);
    });
    watch.start(10);
    QTimer::singleShot(kEndMs, &scope, [] { QCoreApplication::exit(1); });
    const int exitCode = mdlMain::Main();
    watch.stop();
    if (frmMain *main = Forms::main()) {
        g_bDisplayMSGWhenExit = false;
        Forms::unload(main);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return exitCode;
}

} // namespace

// Starts from ssh, su or cron carry another runtime folder, or none: they
// still find the program running on the same program folder and hand over.
TEST(Program, StartsWithAnotherOrNoRuntimeFolderHandOverToTheOneProgram)
{
    const QString x = TestEnv::workFolder() + QStringLiteral("/x.wav");
    const QString y = TestEnv::workFolder() + QStringLiteral("/y.wav");
    Fixture::writeWav(x, {8000, 1, 16}, 4000);
    Fixture::writeWav(y, {8000, 1, 16}, 4000);
    testServices().prompter->openAnswers << QStringList{x} << QStringList{y};
    const QString runtime = TestEnv::root() + QStringLiteral("/runtime-first");
    QDir().mkpath(runtime);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    std::vector<std::unique_ptr<QProcess>> starts;
    // No start is made once the run is over.
    auto starting = std::make_unique<QObject>();
    const int exitCode = runFirstProgram(
        [&starts, &starting](frmMain &) {
            QProcessEnvironment other = QProcessEnvironment::systemEnvironment();
            const QString otherRuntime = TestEnv::root() + QStringLiteral("/runtime-other");
            QDir().mkpath(otherRuntime);
            other.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherRuntime);
            QProcessEnvironment none = QProcessEnvironment::systemEnvironment();
            none.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            // One after the other, so the lines come in a known order.
            starts.push_back(startProgram({QStringLiteral("-addfiles")}, other));
            EXPECT_TRUE(starts.back()->waitForStarted());
            QObject::connect(starts.back().get(), &QProcess::finished, starting.get(), [&starts, none] {
                starts.push_back(startProgram({QStringLiteral("-addfiles")}, none));
            });
        },
        [&](frmMain &main) { return listedFiles(main).size() == 2 && savedLists().contains(y); });
    starting.reset();
    qunsetenv("XDG_RUNTIME_DIR");

    ASSERT_EQ(starts.size(), 2u);
    for (const auto &start : starts) {
        ASSERT_TRUE(ended(*start));
        EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(start->exitCode(), 0);
    }
    EXPECT_EQ(exitCode, 0) << "a handed-over command line never ran";
    EXPECT_EQ(testServices().prompter->openRequests.size(), 2);
}

// The Add dialog is modal: lines handed over while it (or any modal window)
// is up wait for it to close and then open their dialogs one at a time,
// never one over the other.
TEST(Program, LinesHandedOverWhileAModalWindowIsUpRunAfterItCloses)
{
    const QString x = TestEnv::workFolder() + QStringLiteral("/x.wav");
    const QString y = TestEnv::workFolder() + QStringLiteral("/y.wav");
    Fixture::writeWav(x, {8000, 1, 16}, 4000);
    Fixture::writeWav(y, {8000, 1, 16}, 4000);
    testServices().prompter->openAnswers << QStringList{x} << QStringList{y};

    std::vector<std::unique_ptr<QProcess>> starts;
    qsizetype askedWhileUp = -1;
    const int exitCode = runFirstProgram(
        [&](frmMain &main) {
            QDialog modal(&main);
            modal.setModal(true);
            int ended = 0;
            for (int i = 0; i < 2; ++i) {
                starts.push_back(startProgram({QStringLiteral("-addfiles")}));
                QObject::connect(starts.back().get(), &QProcess::finished, &modal, [&] {
                    if (++ended < 2)
                        return;
                    // Both starts were told their lines were taken; none ran.
                    askedWhileUp = testServices().prompter->openRequests.size();
                    modal.reject();
                });
            }
            modal.exec();
        },
        [&](frmMain &main) { return listedFiles(main).size() == 2 && savedLists().contains(x) && savedLists().contains(y); });

    ASSERT_EQ(starts.size(), 2u);
    for (const auto &start : starts)
        EXPECT_EQ(start->exitCode(), 0);
    EXPECT_EQ(askedWhileUp, 0);
    EXPECT_EQ(exitCode, 0) << "the lines handed over never ran";
    EXPECT_EQ(testServices().prompter->openRequests.size(), 2);
}

// nohup and service managers start the program with SIGHUP ignored, so that
// it outlives the terminal it came from.
TEST(Program, StartedWithHangUpIgnoredItKeepsItIgnored)
{
    QProcess program;
    program.setProgram(QStringLiteral(SONVALE_PROGRAM));
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    const qint64 pid = program.processId();
    // Up once it takes over the signals it watches.
    ASSERT_TRUE(waitUntil([&] {
        return program.state() != QProcess::Running || ProcessSignals::caught(pid, SIGTERM);
    }, kEndMs));
    ASSERT_EQ(program.state(), QProcess::Running);
    EXPECT_TRUE(ProcessSignals::ignored(pid, SIGHUP));
    EXPECT_FALSE(ProcessSignals::caught(pid, SIGHUP));

    // Asked to end all the same, it closes as usual.
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(kEndMs));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

namespace {

// Every file and folder under the folder, hidden ones too, one a line.
std::string everythingUnder(const QString &folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next().mid(folder.size());
    paths.sort();
    return paths.join(QLatin1Char('\n')).toStdString();
}

} // namespace

// Without its settings root the program cannot run: it says so and leaves
// the machine as it found it (no program folder, no registry folders, no lock).
TEST(Program, WithoutASettingsRootItEndsHavingMadeNothing)
{
    const QString root = TestEnv::root();
    const QByteArray programFolder = QFile::encodeName(root + QStringLiteral("/program"));
    QDir(root + QStringLiteral("/registry")).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/runtime"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    // The program folder named outright, and the default one in the data folder.
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named ? "SONVALE_HOME" : "default program folder");
        QDir(QString::fromLocal8Bit(programFolder)).removeRecursively();
        if (named)
            qputenv("SONVALE_HOME", programFolder);
        else
            qunsetenv("SONVALE_HOME");
        testServices().prompter->messages.clear();
        const std::string before = everythingUnder(root);

        EXPECT_EQ(mdlMain::Main(), 0);

        ASSERT_EQ(testServices().prompter->messages.size(), 1);
        EXPECT_TRUE(testServices().prompter->messages.first().text.startsWith(
            QStringLiteral("This program cannot run")));
        EXPECT_EQ(everythingUnder(root), before);
        EXPECT_FALSE(Forms::splash());
        EXPECT_FALSE(Forms::main());
    }
    qputenv("SONVALE_HOME", programFolder);
}
