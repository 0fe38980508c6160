#include "lists/ItemsListLoader.h"

#include "lists/ItemProbeQueue.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRecordReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

namespace ItemsListLoader {

int load(const QStringList &pieces, bool copyTags, const RowSink &addRow)
{
    std::vector<ItemsListFile::Record> records;
    records.reserve(std::size_t(pieces.size()));
    for (const QString &piece : pieces) {
        if (!piece.isEmpty())
            records.push_back(ItemsListFile::parseRecord(piece));
    }
    if (records.empty())
        return 0;

    QStringList paths;
    paths.reserve(qsizetype(records.size()));
    for (const auto &record : records)
        paths << record[ItemsListFile::FieldFile];
    ItemProbeQueue probes(paths, copyTags);

    // The window repaints (the progress bar moves) a few times a second.
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto keepPainting = [&sincePaint] {
        if (QCoreApplication::instance() && sincePaint.elapsed() >= 40) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint.restart();
        }
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::optional<ItemProbe> probe;
        while (!(probe = probes.take(qsizetype(i), std::chrono::milliseconds(40))))
            keepPainting();
        keepPainting();
        addRow(int(i) + 1, ItemsListRecordReader::rowFromRecord(records[i], *probe, copyTags));
    }
    return int(records.size());
}

} // namespace ItemsListLoader
