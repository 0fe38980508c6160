#include "support/TestEnvironment.h"

#include "platform/AppPaths.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

constexpr qint32 kCurrentUser = static_cast<qint32>(0x80000001u);
constexpr qint32 kText = 1;
constexpr int kValuesPerWriter = 8;
const QString kKey = QStringLiteral("SOFTWARE\\Sonvale Tests\\Writers");

// The environment that turns the writer test below into a writing loop.
constexpr const char *kWriterRegistry = "SONVALE_TEST_WRITER_REGISTRY";
constexpr const char *kWriterPrefix = "SONVALE_TEST_WRITER_PREFIX";
constexpr const char *kWriterRounds = "SONVALE_TEST_WRITER_ROUNDS";
constexpr const char *kWriterKey = "SONVALE_TEST_WRITER_KEY";
constexpr const char *kWriterFirst = "SONVALE_TEST_WRITER_FIRST";

QString valueName(const QString &prefix, int index)
{
    return prefix + QString::number(index);
}

// Generation g of one value: a header that names it and a body whose length
// and letters follow from it, so any torn or mixed write is visible.
QByteArray payload(const QString &prefix, int index, int generation)
{
    const QByteArray head = QStringLiteral("%1|%2|%3|").arg(prefix).arg(index).arg(generation).toUtf8();
    const int length = (generation * 997 + index * 131) % 6000;
    return head + QByteArray(length, static_cast<char>('a' + (generation + index) % 26)) + '\0';
}

// The generation a stored value holds, when it is whole.
std::optional<int> generationOf(const Registry::Value &value, const QString &prefix, int index)
{
    const QList<QByteArray> parts = value.data.split('|');
    if (value.type != kText || parts.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int generation = parts[2].toInt(&ok);
    if (!ok || value.data != payload(prefix, index, generation))
        return std::nullopt;
    return generation;
}

std::optional<int> storedGeneration(const QString &prefix, int index)
{
    Registry::Value value;
    if (Registry::queryValue(kCurrentUser, kKey, valueName(prefix, index), &value) != Registry::Success)
        return std::nullopt;
    return generationOf(value, prefix, index);
}

// This very test program, running only the writer loop against our registry.
std::unique_ptr<QProcess> startWriter(const QString &prefix, int rounds, const QString &key = kKey, int first = 1)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kWriterRegistry), AppPaths::registryFolder());
    env.insert(QString::fromLatin1(kWriterPrefix), prefix);
    env.insert(QString::fromLatin1(kWriterRounds), QString::number(rounds));
    env.insert(QString::fromLatin1(kWriterKey), key);
    env.insert(QString::fromLatin1(kWriterFirst), QString::number(first));
    // A killed child cannot clean up its own temporary folder; keep it inside ours.
    const QString temp = TestEnv::workFolder() + QStringLiteral("/tmp-") + prefix;
    QDir().mkpath(temp);
    env.insert(QStringLiteral("TMPDIR"), temp);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_filter=RegistryWriterChild.LoopsWritesWhenAsked")});
    return process;
}

} // namespace

// Runs only as a child of the process-safety tests below; a no-op otherwise.
TEST(RegistryWriterChild, LoopsWritesWhenAsked)
{
    const QByteArray registry = qgetenv(kWriterRegistry);
    if (registry.isEmpty())
        return;
    qputenv("SONVALE_REGISTRY_DIR", registry);
    const QString prefix = qEnvironmentVariable(kWriterPrefix);
    const QString key = qEnvironmentVariable(kWriterKey);
    const int rounds = qEnvironmentVariableIntValue(kWriterRounds);
    const int first = qEnvironmentVariableIntValue(kWriterFirst);
    ASSERT_EQ(Registry::createKey(kCurrentUser, key), Registry::Success);
    // With no round count it writes until it is killed; the deadline only
    // keeps a forgotten child from running on.
    const QDeadlineTimer deadline(60000);
    for (int generation = first; rounds == 0 ? !deadline.hasExpired() : generation < first + rounds; ++generation) {
        for (int index = 0; index < kValuesPerWriter; ++index) {
            ASSERT_EQ(Registry::setValue(kCurrentUser, key, valueName(prefix, index), kText,
                                         payload(prefix, index, generation)),
                      Registry::Success);
        }
    }
}

TEST(Registry, WriterKilledMidWriteLeavesEveryValueOldOrNew)
{
    ASSERT_EQ(Registry::createKey(kCurrentUser, kKey), Registry::Success);
    const QString prefix = QStringLiteral("k");
    for (int index = 0; index < kValuesPerWriter; ++index)
        ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, valueName(prefix, index), kText, payload(prefix, index, 0)),
                  Registry::Success);

    for (int round = 0; round < 4; ++round) {
        // Each writer starts from generations of its own, so its progress shows.
        const int first = (round + 1) * 100000;
        const auto writer = startWriter(prefix, 0, kKey, first);
        ASSERT_TRUE(writer->waitForStarted());
        // Let it get going, then kill it at an unpredictable moment of its loop.
        const int progress = 3 + int(QRandomGenerator::global()->bounded(20));
        ASSERT_TRUE(waitUntil([&] { return storedGeneration(prefix, 0).value_or(0) >= first + progress; }))
            << "the writer made no progress";
        writer->kill();
        ASSERT_TRUE(writer->waitForFinished());
        ASSERT_EQ(writer->exitStatus(), QProcess::CrashExit) << "the writer ended before it was killed";

        for (int index = 0; index < kValuesPerWriter; ++index) {
            const std::optional<int> generation = storedGeneration(prefix, index);
            ASSERT_TRUE(generation) << "value " << index << " is damaged after round " << round;
            EXPECT_GE(*generation, index == 0 ? first + 3 : first - 100000) << "value " << index << " went back";
        }
        const QList<Registry::Value> values = Registry::values(kCurrentUser, kKey);
        ASSERT_EQ(values.size(), kValuesPerWriter) << "a half-written file must not show up as a value";
        for (const Registry::Value &value : values)
            EXPECT_TRUE(generationOf(value, prefix, value.name.mid(1).toInt())) << value.name.toStdString();
    }

    // The key stays writable after its writers died.
    EXPECT_EQ(Registry::setValue(kCurrentUser, kKey, valueName(prefix, 0), kText, payload(prefix, 0, 1)), Registry::Success);
    EXPECT_EQ(storedGeneration(prefix, 0), 1);
}

TEST(Registry, TwoProcessesWritingOneKeyAtOnceKeepEveryValue)
{
    constexpr int kRounds = 40;
    // Both create the key too, under different letter case, at the same moment.
    const auto first = startWriter(QStringLiteral("a"), kRounds, kKey);
    const auto second = startWriter(QStringLiteral("b"), kRounds, kKey.toUpper());
    for (QProcess *writer : {first.get(), second.get()}) {
        ASSERT_TRUE(writer->waitForFinished(120000));
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0);
    }
    EXPECT_EQ(Registry::subkeys(kCurrentUser, QStringLiteral("SOFTWARE\\Sonvale Tests")).size(), 1);
    for (const QString &prefix : {QStringLiteral("a"), QStringLiteral("b")}) {
        for (int index = 0; index < kValuesPerWriter; ++index)
            EXPECT_EQ(storedGeneration(prefix, index), kRounds) << prefix.toStdString() << index;
    }
    EXPECT_EQ(Registry::values(kCurrentUser, kKey).size(), 2 * kValuesPerWriter);
}

TEST(Registry, ValuesKeepTheirTypeBytesAndFirstNameCase)
{
    ASSERT_EQ(Registry::createKey(kCurrentUser, kKey), Registry::Success);
    const QByteArray binary("\0\n\r\xff SONVALE-REGISTRY-VALUE 1\n", 30);
    ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, QStringLiteral("Binary"), 3, binary), Registry::Success);
    ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, QStringLiteral("BINARY"), 3, binary + 'x'), Registry::Success);
    ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, QString(), 1, QByteArray("default\0", 8)), Registry::Success);
    ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, QStringLiteral("@"), 4, QByteArray("\1\0\0\0", 4)), Registry::Success);

    Registry::Value value;
    ASSERT_EQ(Registry::queryValue(kCurrentUser, kKey.toLower(), QStringLiteral("binary"), &value), Registry::Success);
    EXPECT_EQ(value.name, QStringLiteral("Binary"));
    EXPECT_EQ(value.type, 3);
    EXPECT_EQ(value.data, binary + 'x');
    ASSERT_EQ(Registry::queryValue(kCurrentUser, kKey, QString(), &value), Registry::Success);
    EXPECT_EQ(value.data, QByteArray("default\0", 8)) << "the unnamed value is not the value named \"@\"";

    const QList<Registry::Value> values = Registry::values(kCurrentUser, kKey);
    QStringList names;
    for (const Registry::Value &v : values)
        names << v.name;
    EXPECT_EQ(names, (QStringList{QString(), QStringLiteral("@"), QStringLiteral("Binary")}));
}

TEST(Registry, LongAndUnusualValueNamesAreStoredApart)
{
    ASSERT_EQ(Registry::createKey(kCurrentUser, kKey), Registry::Success);
    const QString cyrillic = QString(120, QChar(0x0416)); // six bytes a letter once encoded
    const QStringList names = {
        cyrillic,
        cyrillic + QStringLiteral("2"),
        QString(300, QLatin1Char('n')),
        QString(300, QLatin1Char('n')) + QStringLiteral("x"),
        QStringLiteral("a/b"),
        QStringLiteral(".."),
        QStringLiteral("with\\backslash"),
        QStringLiteral("percent%41"),
        QStringLiteral("A"),
    };
    for (int i = 0; i < names.size(); ++i)
        ASSERT_EQ(Registry::setValue(kCurrentUser, kKey, names[i], 4, QByteArray::number(i)), Registry::Success)
            << names[i].toStdString();
    for (int i = 0; i < names.size(); ++i) {
        Registry::Value value;
        ASSERT_EQ(Registry::queryValue(kCurrentUser, kKey, names[i].toLower(), &value), Registry::Success)
            << names[i].toStdString();
        EXPECT_EQ(value.name, names[i]);
        EXPECT_EQ(value.data, QByteArray::number(i));
    }
    EXPECT_EQ(Registry::values(kCurrentUser, kKey).size(), names.size());
    EXPECT_EQ(Registry::deleteValue(kCurrentUser, kKey, cyrillic.toLower()), Registry::Success);
    EXPECT_EQ(Registry::queryValue(kCurrentUser, kKey, cyrillic, nullptr), Registry::FileNotFound);
    EXPECT_EQ(Registry::queryValue(kCurrentUser, kKey, cyrillic + QStringLiteral("2"), nullptr), Registry::Success);
}

TEST(Registry, KeysAreCreatedAndDeletedOnlyAsAsked)
{
    struct Case {
        const char *what;
        qint32 root;
        QString path;
        int result;
    };
    const Case cases[] = {
        {"a nested key with its parents", kCurrentUser, QStringLiteral("SOFTWARE\\A\\B\\C"), Registry::Success},
        {"empty levels are ignored", kCurrentUser, QStringLiteral("\\SOFTWARE\\\\A\\D\\"), Registry::Success},
        {"a level that climbs out", kCurrentUser, QStringLiteral("SOFTWARE\\..\\..\\x"), Registry::AccessDenied},
        {"a level that is a path", kCurrentUser, QStringLiteral("SOFTWARE\\a/b"), Registry::AccessDenied},
        {"an unknown root", 42, QStringLiteral("SOFTWARE"), Registry::InvalidHandle},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Registry::createKey(c.root, c.path), c.result) << c.what;
    EXPECT_TRUE(Registry::keyExists(kCurrentUser, QStringLiteral("software\\a\\d")));
    EXPECT_EQ(Registry::subkeys(kCurrentUser, QStringLiteral("SOFTWARE\\A")), (QStringList{QStringLiteral("B"), QStringLiteral("D")}));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(AppPaths::registryFolder()).absolutePath() + QStringLiteral("/x")));

    EXPECT_EQ(Registry::deleteKey(kCurrentUser, QStringLiteral("SOFTWARE\\A")), Registry::KeyHasSubkeys);
    EXPECT_EQ(Registry::deleteKey(kCurrentUser, QString()), Registry::AccessDenied) << "a root is never deleted";
    EXPECT_EQ(Registry::deleteKey(kCurrentUser, QStringLiteral("SOFTWARE\\A\\D")), Registry::Success);
    EXPECT_EQ(Registry::deleteKey(kCurrentUser, QStringLiteral("SOFTWARE\\A\\D")), Registry::FileNotFound);
    EXPECT_TRUE(Registry::keyExists(kCurrentUser, QStringLiteral("SOFTWARE\\A\\B\\C")));
    EXPECT_EQ(Registry::setValue(kCurrentUser, QStringLiteral("SOFTWARE\\A\\D"), QStringLiteral("v"), 1, "x"),
              Registry::FileNotFound);
    EXPECT_FALSE(Registry::keyExists(kCurrentUser, QStringLiteral("SOFTWARE\\A\\D")));
}
