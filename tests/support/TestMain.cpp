#include "support/FreshState.h"
#include "support/ModalWatchdog.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedUser.h"

#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "platform/ProcessEnd.h"
#include "platform/Registry.h"
#include "platform/SettingsInstaller.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_testDir;
// The settings roots the installer made, once per test program and
// definition file; each test gets a copy. The installer syncs every value it
// writes to the disc, which would cost each test a third of a second.
std::unique_ptr<QTemporaryDir> g_templates;
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

// The installer's settings root in the registry, with its starting values
// or with its keys only.
enum class Settings { Shipped, KeysOnly };

bool install(Settings settings)
{
    QString error;
    if (!SettingsInstaller::install(&error)) {
        ADD_FAILURE() << "installing the settings root failed: " << error.toStdString();
        return false;
    }
    // Tests start from empty subkeys; the shipped starting values are the
    // installer's own test.
    if (settings == Settings::KeysOnly)
        emptySubkeys(static_cast<qint32>(0x80000002u), QStringLiteral("SOFTWARE\\Tarvena\\Sonvale"));
    return true;
}

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QFileInfoList entries = QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            if (!copyTree(entry.filePath(), target))
                return false;
            continue;
        }
        QFile in(entry.filePath());
        QFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) != in.size())
            return false;
    }
    return true;
}

// Where the installer's root of this kind was made for the definition file
// in use; made on first asking.
QString templateOf(Settings settings)
{
    static std::map<std::pair<Settings, QString>, QString> made;
    const auto key = std::make_pair(settings, SettingsInstaller::definitionFile());
    if (const auto found = made.find(key); found != made.end())
        return found->second;
    if (!g_templates)
        g_templates = std::make_unique<QTemporaryDir>(g_systemTemp + QStringLiteral("/sonvale-settings-XXXXXX"));
    const QString folder = g_templates->path() + QStringLiteral("/%1").arg(made.size());
    const QByteArray registry = qgetenv("SONVALE_REGISTRY_DIR");
    setEnv("SONVALE_REGISTRY_DIR", folder);
    QDir().mkpath(folder);
    const bool installed = install(settings);
    qputenv("SONVALE_REGISTRY_DIR", registry);
    if (!installed)
        return {};
    made.emplace(key, folder);
    return folder;
}

// Puts the installer's root into the registry in use. Only an empty registry
// takes a copy; into one with values the installer writes itself, as it
// would keep what is there.
void installInto(Settings settings)
{
    const QString registry = AppPaths::registryFolder();
    if (QDir(registry).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString from = templateOf(settings);
        if (from.isEmpty())
            return;
        if (!copyTree(from, registry))
            ADD_FAILURE() << "copying the settings root into " << registry.toStdString() << " failed";
        return;
    }
    install(settings);
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
    installInto(Settings::KeysOnly);
}

void installShippedSettings()
{
    removeSettingsRoot();
    installInto(Settings::Shipped);
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
    const int result = RUN_ALL_TESTS();
    // The process ends without running the destructors of statics.
    g_templates.reset();
    return result;
}

int main(int argc, char **argv)
{
    endProcess(runTests(argc, argv));
}
