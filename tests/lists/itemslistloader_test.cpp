#include "ListFixtures.h"
#include "support/AudioFiles.h"
#include "support/TestEnvironment.h"

#include "lists/ItemProbeCache.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListLoad.h"
#include "lists/ItemsListStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace Row = ItemsListRow;

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + QLatin1Char('/') + name;
}

ItemsListFile::Record record(const QString &name, const QString &file)
{
    ItemsListFile::Record r;
    r[ItemsListFile::FieldInc] = QStringLiteral("1");
    r[ItemsListFile::FieldType] = QStringLiteral("Audio");
    r[ItemsListFile::FieldItemName] = name;
    r[ItemsListFile::FieldFile] = file;
    r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
    return r;
}

// One load of a list file to its end: the rows as the sink got them.
struct Loaded {
    QList<Row::Data> rows;
    QList<int> batchSizes;
    int counted = -1;
    bool ended = false;
    bool complete = false;
    bool handedInsideStart = false;
};

Loaded loadList(ItemsListStore &store, const QString &list, bool copyTags = true)
{
    Loaded out;
    bool starting = true;
    ItemsListLoad::Sink sink;
    sink.counted = [&](int records) {
        out.handedInsideStart |= starting;
        out.counted = records;
    };
    sink.rows = [&](const QList<Row::Data> &rows) {
        out.handedInsideStart |= starting;
        out.rows += rows;
        out.batchSizes << int(rows.size());
    };
    sink.ended = [&](bool complete) {
        out.handedInsideStart |= starting;
        out.ended = true;
        out.complete = complete;
    };
    ItemsListLoad load(store, std::make_shared<ItemProbeCache>(ItemProbeCache::defaultFile()), copyTags,
                       std::move(sink));
    load.start(list);
    starting = false;
    EXPECT_TRUE(waitUntil([&] { return out.ended; }, 60000));
    return out;
}

// A file's modification time, to the nanosecond.
timespec modified(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mtim;
}

qint64 modifiedNs(const QString &path)
{
    const timespec t = modified(path);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Sets a file's modification time to the one given, to the nanosecond.
void setModified(const QString &path, const timespec &time)
{
    const timespec times[2] = {time, time};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

// Files are opened on several threads at once; the rows still arrive in
// record order, a batch at a time, each with its own file's facts, and
// nothing is handed over inside the call that starts the load.
TEST(ItemsListLoading, RowsArriveInRecordOrderWhateverOrderTheFilesOpenIn)
{
    QList<ItemsListFile::Record> records;
    for (int i = 0; i < 60; ++i) {
        const QString path = work(QStringLiteral("f%1.wav").arg(i));
        // Every third file is missing; lengths differ so rows can be told apart.
        if (i % 3 != 1)
            ListFixtures::writeWav(path, 1000 * (1 + i % 5));
        records << record(QString::number(i), path);
    }
    const QString list = work(QStringLiteral("list.flst"));
    ASSERT_TRUE(ItemsListFile::write(list, records));

    ItemsListStore store;
    const Loaded loaded = loadList(store, list, false);
    EXPECT_FALSE(loaded.handedInsideStart);
    EXPECT_TRUE(loaded.complete);
    EXPECT_EQ(loaded.counted, 60);
    ASSERT_EQ(loaded.rows.size(), 60);
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(loaded.rows[i][Row::ItemName], QString::number(i));
        EXPECT_EQ(loaded.rows[i].available, i % 3 != 1);
        EXPECT_EQ(loaded.rows[i][Row::Time], i % 3 == 1 ? QString() : QStringLiteral("00:00:0%1").arg(1 + i % 5));
    }

    // An empty list and a missing one end at once, complete and without rows.
    for (const QString &path : {work(QStringLiteral("empty.flst")), work(QStringLiteral("missing.flst"))}) {
        if (path.endsWith(QLatin1String("empty.flst")))
            ListFixtures::writeBytes(path, "\r\n");
        const Loaded none = loadList(store, path);
        EXPECT_TRUE(none.ended);
        EXPECT_TRUE(none.complete);
        EXPECT_TRUE(none.rows.isEmpty());
    }
}

// Loading a list again reads no audio file whose size and modification time
// are as the cache has them: a file whose bytes were changed behind the
// cache's back keeps its known facts, while a file of another size or time,
// and a missing one, are probed again.
TEST(ItemsListLoading, ALoadAgainTakesKnownFilesFromTheCacheAndProbesChangedOnesAgain)
{
    const QString kept = work(QStringLiteral("kept.wav"));
    const QString resized = work(QStringLiteral("resized.wav"));
    const QString touched = work(QStringLiteral("touched.wav"));
    const QString gone = work(QStringLiteral("gone.wav"));
    for (const QString &path : {kept, resized, touched, gone})
        ListFixtures::writeWav(path, 2000);
    const QString tagged = work(QStringLiteral("tagged.wav"));
    TestAudio::writeWav(tagged, {8000, 1, 16}, 8000 * 3, {}, {{"INAM", "A title"}, {"IART", "An artist"}});
    const QString list = work(QStringLiteral("list.flst"));
    ASSERT_TRUE(ItemsListFile::write(list, {record(QStringLiteral("kept"), kept), record(QStringLiteral("resized"), resized),
                                            record(QStringLiteral("touched"), touched), record(QStringLiteral("gone"), gone),
                                            record(QStringLiteral("tagged"), tagged)}));
    ItemsListStore store;
    const Loaded first = loadList(store, list);
    ASSERT_EQ(first.rows.size(), 5);
    EXPECT_EQ(first.rows[4][Row::TagTitle], QStringLiteral("A title"));
    EXPECT_TRUE(QFileInfo::exists(ItemProbeCache::defaultFile()));

    // Same size, same time, other bytes: only a read of the file could tell.
    const timespec keptTime = modified(kept);
    ListFixtures::writeBytes(kept, QByteArray(int(QFileInfo(kept).size()), 'x'));
    setModified(kept, keptTime);
    const timespec taggedTime = modified(tagged);
    ListFixtures::writeBytes(tagged, QByteArray(int(QFileInfo(tagged).size()), 'y'));
    setModified(tagged, taggedTime);
    // Another size; another time only.
    ListFixtures::writeWav(resized, 5000);
    // Half as long at twice the rate: the same size.
    ListFixtures::writeWav(touched, 1000, 16000);
    ASSERT_EQ(QFileInfo(touched).size(), QFileInfo(kept).size());
    timespec earlier = keptTime;
    earlier.tv_sec -= 3600;
    setModified(touched, earlier);
    QFile::remove(gone);

    const Loaded again = loadList(store, list);
    ASSERT_EQ(again.rows.size(), 5);
    EXPECT_TRUE(again.rows[0].available);
    EXPECT_EQ(again.rows[0][Row::Time], QStringLiteral("00:00:02"));
    EXPECT_EQ(again.rows[1][Row::Time], QStringLiteral("00:00:05"));
    EXPECT_EQ(again.rows[2][Row::Time], QStringLiteral("00:00:01"));
    EXPECT_FALSE(again.rows[3].available);
    EXPECT_TRUE(again.rows[4].available);
    EXPECT_EQ(again.rows[4][Row::TagTitle], QStringLiteral("A title"));
    EXPECT_EQ(again.rows[4][Row::TagArtist], QStringLiteral("An artist"));
}

// A cache file that is damaged, cut short or not one at all is passed over:
// every file is probed as if there were none, and the next save makes it whole.
TEST(ItemsListLoading, ADamagedCacheIsIgnoredAndMadeAgain)
{
    const QString a = work(QStringLiteral("a.wav"));
    ListFixtures::writeWav(a, 3000);
    const QString list = work(QStringLiteral("list.flst"));
    ASSERT_TRUE(ItemsListFile::write(list, {record(QStringLiteral("a"), a)}));
    ItemsListStore store;
    ASSERT_EQ(loadList(store, list).rows.size(), 1);
    const QByteArray whole = ListFixtures::readBytes(ItemProbeCache::defaultFile());
    ASSERT_FALSE(whole.isEmpty());

    QByteArray flipped = whole;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x20);
    const struct {
        const char *name;
        QByteArray bytes;
    } damages[] = {
        {"a bit flipped", flipped},
        {"cut short", whole.left(whole.size() - 5)},
        {"no cache at all", "just some text\n"},
        {"empty", QByteArray()},
    };
    for (const auto &damage : damages) {
        SCOPED_TRACE(damage.name);
        ListFixtures::writeBytes(ItemProbeCache::defaultFile(), damage.bytes);
        const Loaded loaded = loadList(store, list);
        ASSERT_EQ(loaded.rows.size(), 1);
        EXPECT_EQ(loaded.rows[0][Row::Time], QStringLiteral("00:00:03"));
        EXPECT_EQ(ListFixtures::readBytes(ItemProbeCache::defaultFile()).size(), whole.size());
        ItemProbeCache cache(ItemProbeCache::defaultFile());
        EXPECT_TRUE(cache.find(a, QFileInfo(a).size(), modifiedNs(a)).has_value());
    }
}
