#include "lists/ItemsListLoader.h"

#include "lists/ItemProbeQueue.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRecordReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace ItemsListLoader {

int load(const QStringList &pieces, bool copyTags, const RowSink &addRow)
{
    QStringList kept;
    QStringList paths;
    kept.reserve(pieces.size());
    paths.reserve(pieces.size());
    for (const QString &piece : pieces) {
        if (!piece.isEmpty()) {
            kept << piece;
            paths << ItemsListFile::parseField(piece, ItemsListFile::FieldFile);
        }
    }
    if (kept.isEmpty())
        return 0;
    // The files are probed from here on; the rest of each record is read
    // while the workers run.
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
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const ItemsListFile::Record record = ItemsListFile::parseRecord(kept[i]);
        std::optional<ItemProbe> probe;
        while (!(probe = probes.take(i, std::chrono::milliseconds(40))))
            keepPainting();
        keepPainting();
        addRow(int(i) + 1, ItemsListRecordReader::rowFromRecord(record, *probe, copyTags));
    }
    return int(kept.size());
}

} // namespace ItemsListLoader
