#include "support/TestEnvironment.h"

#include "lists/ItemProbeCache.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

ItemProbeCache::Facts audio(qint32 ms, const QString &title = QString())
{
    ItemProbeCache::Facts facts;
    facts.audio = true;
    facts.durationMs = ms;
    facts.tags.title = title;
    return facts;
}

QString cacheFile()
{
    return TestEnv::workFolder() + QStringLiteral("/cache/probes");
}

} // namespace

// An entry answers only for the size and time it was put with, whatever was
// saved and read back; what another instance saved meanwhile is kept.
TEST(ItemProbeCache, EntriesHoldForTheirSizeAndTimeAndSavesMerge)
{
    ItemProbeCache first(cacheFile());
    ItemProbeCache second(cacheFile());
    // Both have read the (missing) file before either saves.
    EXPECT_FALSE(first.find(QStringLiteral("/a.wav"), 10, 20).has_value());
    EXPECT_FALSE(second.find(QStringLiteral("/b.wav"), 10, 20).has_value());
    EXPECT_FALSE(first.changed());

    first.put(QStringLiteral("/a.wav"), 1000, 5, audio(2000, QStringLiteral("Ä title")));
    ItemProbeCache::Facts notAudio;
    first.put(QStringLiteral("/text.mp3"), 7, 8, notAudio);
    EXPECT_TRUE(first.changed());
    ASSERT_TRUE(first.save());
    EXPECT_FALSE(first.changed());
    second.put(QStringLiteral("/b.wav"), 2000, 6, audio(3000));
    ASSERT_TRUE(second.save());

    ItemProbeCache read(cacheFile());
    EXPECT_EQ(read.find(QStringLiteral("/a.wav"), 1000, 5), audio(2000, QStringLiteral("Ä title")));
    EXPECT_EQ(read.find(QStringLiteral("/text.mp3"), 7, 8), notAudio);
    EXPECT_EQ(read.find(QStringLiteral("/b.wav"), 2000, 6), audio(3000));
    EXPECT_FALSE(read.find(QStringLiteral("/a.wav"), 1001, 5).has_value());
    EXPECT_FALSE(read.find(QStringLiteral("/a.wav"), 1000, 6).has_value());
    EXPECT_FALSE(read.find(QStringLiteral("/A.wav"), 1000, 5).has_value());
    // Nothing new: nothing to write.
    EXPECT_FALSE(read.changed());
}

// Instances saving at the same moment neither damage the file nor lose
// each other's entries.
TEST(ItemProbeCache, SavesAtTheSameTimeKeepEveryEntry)
{
    constexpr int kInstances = 4;
    constexpr int kRounds = 3;
    std::vector<std::thread> instances;
    std::vector<int> failures(kInstances, 0);
    for (int n = 0; n < kInstances; ++n) {
        instances.emplace_back([n, &failures] {
            for (int round = 0; round < kRounds; ++round) {
                ItemProbeCache cache(cacheFile());
                for (int i = 0; i < 200; ++i)
                    cache.put(QStringLiteral("/%1/%2/%3.wav").arg(n).arg(round).arg(i), i, round, audio(i));
                if (!cache.save())
                    ++failures[std::size_t(n)];
            }
        });
    }
    for (std::thread &t : instances)
        t.join();
    for (int n = 0; n < kInstances; ++n)
        EXPECT_EQ(failures[std::size_t(n)], 0) << n;

    ItemProbeCache read(cacheFile());
    int found = 0;
    for (int n = 0; n < kInstances; ++n)
        for (int round = 0; round < kRounds; ++round)
            for (int i = 0; i < 200; ++i)
                found += read.find(QStringLiteral("/%1/%2/%3.wav").arg(n).arg(round).arg(i), i, round) == audio(i);
    EXPECT_EQ(found, kInstances * kRounds * 200);
    EXPECT_FALSE(QFileInfo::exists(cacheFile() + QStringLiteral(".lock")));
}

// A folder the cache cannot be written to leaves the program working: the
// save says so and nothing else changes.
TEST(ItemProbeCache, AnUnwritableFolderOnlyFailsTheSave)
{
    const QString blocker = TestEnv::workFolder() + QStringLiteral("/file");
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    ItemProbeCache cache(blocker + QStringLiteral("/probes"));
    cache.put(QStringLiteral("/a.wav"), 1, 2, audio(10));
    EXPECT_EQ(cache.find(QStringLiteral("/a.wav"), 1, 2), audio(10));
    EXPECT_FALSE(cache.save());
    EXPECT_TRUE(cache.changed());
}
