#include "ListFixtures.h"
#include "support/TestEnvironment.h"

#include "lists/ItemsListFile.h"
#include "lists/ItemsListLoader.h"

#include <gtest/gtest.h>

namespace Row = ItemsListRow;

// Files are opened on several threads at once; the rows still arrive one by
// one, numbered in record order, each with its own file's facts.
TEST(ItemsListLoading, RowsArriveInRecordOrderWhateverOrderTheFilesOpenIn)
{
    QList<ItemsListFile::Record> records;
    for (int i = 0; i < 60; ++i) {
        const QString path = TestEnv::workFolder() + QStringLiteral("/f%1.wav").arg(i);
        // Every third file is missing; lengths differ so rows can be told apart.
        if (i % 3 != 1)
            ListFixtures::writeWav(path, 1000 * (1 + i % 5));
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = QStringLiteral("1");
        r[ItemsListFile::FieldItemName] = QString::number(i);
        r[ItemsListFile::FieldFile] = path;
        r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
        records << r;
    }
    const QStringList pieces = ItemsListFile::recordPieces(ItemsListFile::fileText(records));

    QList<int> numbers;
    QList<Row::Data> rows;
    const int count = ItemsListLoader::load(pieces, false, [&](int n, const Row::Data &row) {
        numbers << n;
        rows << row;
    });
    ASSERT_EQ(count, 60);
    ASSERT_EQ(rows.size(), 60);
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(numbers[i], i + 1);
        EXPECT_EQ(rows[i][Row::ItemName], QString::number(i));
        EXPECT_EQ(rows[i].available, i % 3 != 1);
        EXPECT_EQ(rows[i][Row::Time], i % 3 == 1 ? QString() : QStringLiteral("00:00:0%1").arg(1 + i % 5));
    }

    EXPECT_EQ(ItemsListLoader::load({}, false, [](int, const Row::Data &) { FAIL(); }), 0);
}
