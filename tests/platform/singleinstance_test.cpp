#include "support/TestEnvironment.h"

#include "platform/SingleInstance.h"

#include <QLocalSocket>
#include <QMutex>
#include <QThread>
#include <gtest/gtest.h>

#include <utility>

namespace {

// The program already running, served from a thread of its own: a later
// start in the test's thread waits for its answer, as a second process would.
class RunningProgram {
public:
    enum Answer { Takes, RefusesAndEnds };

    explicit RunningProgram(Answer answer = Takes)
        : m_instance(new SingleInstance)
    {
        m_instance->setTaker([this, answer](const QString &line) {
            const QMutexLocker locker(&m_mutex);
            m_offered << line;
            if (answer == Takes)
                return true;
            // The program goes on ending in its own time, after refusing.
            m_ended = true;
            m_instance->deleteLater();
            return false;
        });
        m_serving = m_instance->handOverOrServe(QString()) == SingleInstance::Outcome::Serving;
        m_instance->moveToThread(&m_thread);
        m_thread.start();
    }
    ~RunningProgram()
    {
        {
            const QMutexLocker locker(&m_mutex);
            if (!std::exchange(m_ended, true))
                m_instance->deleteLater();
        }
        m_thread.quit();
        m_thread.wait();
    }
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    bool serving() const { return m_serving; }
    QStringList offered() const
    {
        const QMutexLocker locker(&m_mutex);
        return m_offered;
    }

private:
    QThread m_thread;
    SingleInstance *m_instance;
    bool m_serving = false;
    mutable QMutex m_mutex;
    QStringList m_offered;
    bool m_ended = false;
};

// Sets an environment variable for the scope, or unsets it for a null value.
class EnvironmentValue {
public:
    EnvironmentValue(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentValue()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

// Later starts find the running program through the program folder whatever
// their runtime and temporary folders, and each line counts once taken.
TEST(SingleInstance, ALaterStartHandsItsCommandLineToTheFirstWhateverItsEnvironment)
{
    RunningProgram first;
    ASSERT_TRUE(first.serving());

    const QString other = TestEnv::workFolder();
    struct Case {
        QString line;
        QByteArray runtimeFolder;
        QByteArray temporaryFolder;
    };
    const QList<Case> cases = {
        {QStringLiteral("-addfiles"), QFile::encodeName(other), QByteArray()},
        {QString(), QByteArray(), QByteArray()},
        {QStringLiteral("-addfiles \"/música/a b.wav\""), QByteArray("/nonexistent"), QFile::encodeName(other)},
    };
    QStringList lines;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const EnvironmentValue runtime("XDG_RUNTIME_DIR", c.runtimeFolder);
        const EnvironmentValue temporary("TMPDIR", c.temporaryFolder);
        SingleInstance later;
        EXPECT_EQ(later.handOverOrServe(c.line), SingleInstance::Outcome::HandedOver);
        lines << c.line;
    }
    EXPECT_EQ(first.offered(), lines);
}

// A program that is ending refuses the line: the later start is not told it
// was delivered, waits for the program to end and runs itself.
TEST(SingleInstance, ALineTheRunningProgramRefusesIsNotDeliveredAndTheStartRunsOnceItEnds)
{
    RunningProgram first(RunningProgram::RefusesAndEnds);
    ASSERT_TRUE(first.serving());

    SingleInstance later;
    EXPECT_EQ(later.handOverOrServe(QStringLiteral("-addfiles"), 30000), SingleInstance::Outcome::Serving);
    EXPECT_EQ(first.offered(), QStringList{QStringLiteral("-addfiles")});
}

// A program that holds the folder but never answers is never taken as having
// the line, nor is a second program started beside it.
TEST(SingleInstance, AProgramThatNeverAnswersLeavesTheStartUnanswered)
{
    SingleInstance first; // serves from this thread, which stays busy
    ASSERT_EQ(first.handOverOrServe(QString()), SingleInstance::Outcome::Serving);
    SingleInstance later;
    EXPECT_EQ(later.handOverOrServe(QStringLiteral("-addfiles"), 500), SingleInstance::Outcome::Unanswered);
}

TEST(SingleInstance, EachProgramFolderHasItsOwnProgram)
{
    RunningProgram first;
    ASSERT_TRUE(first.serving());
    const QString firstName = SingleInstance::serverName();

    const EnvironmentValue home("SONVALE_HOME", QFile::encodeName(TestEnv::workFolder() + QStringLiteral("/other")));
    EXPECT_NE(SingleInstance::serverName(), firstName);
    SingleInstance other;
    EXPECT_EQ(other.handOverOrServe(QString()), SingleInstance::Outcome::Serving);
    EXPECT_TRUE(first.offered().isEmpty());
}
