#include "support/FreshState.h"
#include "support/ModalWatchdog.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedUser.h"

#include "core/mdlModes.h"
#include "platform/ProcessEnd.h"
#include "platform/Registry.h"
#include "platform/SettingsInstaller.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_testDir;
// The machine's own temporary folder, unless the tests that run as an
// ordinary user could not reach their files there; each test gets a private
// folder inside.
QString g_systemTemp;

void setEnv(const char *name, const QString &value)
{
    qputenv(name, QFile::encodeName(value));
}

// Gives every test the process-wide state of a fresh start, its own folders
// and seams before it starts, and a watch on the modal windows it opens.
class FreshFolders : public ::testing::EmptyTestEventListener {
public:
    explicit FreshFolders(ModalWatchdog *watchdog)
        : m_watchdog(watchdog)
    {
    }

private:
    void OnTestStart(const ::testing::TestInfo &) override
    {
        FreshState::restore();
        m_watchdog->reset();
        g_testDir = std::make_unique<QTemporaryDir>(g_systemTemp + QStringLiteral("/sonvale-test-XXXXXX"));
        const QString root = g_testDir->path();
        for (const char *sub : {"home", "config", "data", "cache", "program", "registry", "work", "tmp"})
            QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
        setEnv("HOME", root + QStringLiteral("/home"));
        setEnv("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
        setEnv("XDG_DATA_HOME", root + QStringLiteral("/data"));
        setEnv("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
        setEnv("SONVALE_HOME", root + QStringLiteral("/program"));
        setEnv("SONVALE_REGISTRY_DIR", root + QStringLiteral("/registry"));
        // Test programs run side by side: what one leaves in the temporary
        // folder must not be seen by another.
        setEnv("TMPDIR", root + QStringLiteral("/tmp"));
        installTestServices();
        TestEnv::installSettingsRoot();
    }

    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_testDir.reset();
    }

    ModalWatchdog *m_watchdog;
};

void emptySubkeys(qint32 root, const QString &path)
{
    for (const Registry::Value &value : Registry::values(root, path))
        Registry::deleteValue(root, path, value.name);
    for (const QString &sub : Registry::subkeys(root, path))
        emptySubkeys(root, path + QLatin1Char('\\') + sub);
}

} // namespace

namespace TestEnv {

QString root()
{
    return g_testDir ? g_testDir->path() : QString();
}

QString workFolder()
{
    const QString folder = root() + QStringLiteral("/work");
    QDir().mkpath(folder);
    return folder;
}

void installSettingsRoot()
{
    QString error;
    if (!SettingsInstaller::install(&error))
        ADD_FAILURE() << "installing the settings root failed: " << error.toStdString();
    // Tests start from empty subkeys; the shipped starting values are the
    // installer's own test.
    emptySubkeys(static_cast<qint32>(0x80000002u), QStringLiteral("SOFTWARE\\Tarvena\\Sonvale"));
}

void installShippedSettings()
{
    removeSettingsRoot();
    QString error;
    if (!SettingsInstaller::install(&error))
        ADD_FAILURE() << "installing the settings root failed: " << error.toStdString();
}

void removeSettingsRoot()
{
    QDir(root() + QStringLiteral("/registry")).removeRecursively();
    QDir().mkpath(root() + QStringLiteral("/registry"));
}

} // namespace TestEnv

bool waitForSignal(QSignalSpy &spy, int count, int timeoutMs)
{
    return waitUntil([&] { return spy.count() >= count; }, timeoutMs);
}

void flushEvents(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        const auto reached = std::make_shared<bool>(false);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [reached] { *reached = true; }, Qt::QueuedConnection);
        if (!waitUntil([reached] { return *reached; }))
            ADD_FAILURE() << "the event queue was not worked through";
    }
}

// A grid asked for a column it does not have fails the test that asked: the
// program only logs it.
QtMessageHandler g_defaultMessages = nullptr;
void failOnUnknownColumns(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtCriticalMsg && context.category && qstrcmp(context.category, "sonvale.grid.columns") == 0)
        ADD_FAILURE() << text.toStdString();
    g_defaultMessages(type, context, text);
}

int runTests(int &argc, char **argv)
{
    g_defaultMessages = qInstallMessageHandler(failOnUnknownColumns);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Run straight from the build tree as well as under ctest.
    if (qEnvironmentVariableIsEmpty("SONVALE_RESOURCES"))
        qputenv("SONVALE_RESOURCES", SONVALE_SOURCE_RESOURCES);
    g_systemTemp = UnprivilegedUser::foldersBase(QDir::tempPath());
    QApplication app(argc, argv);
    // The edition table is constant for a run, as in the program.
    mdlModes::InitEdition();
    FreshState::remember();
    ModalWatchdog watchdog;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFolders(&watchdog));
    return RUN_ALL_TESTS();
}

int main(int argc, char **argv)
{
    endProcess(runTests(argc, argv));
}
