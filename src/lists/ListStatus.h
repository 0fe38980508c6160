#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The texts that summarise the selected list and item: the list status
// panel, the item information rows and the notes panel.
namespace ListStatus {

// "3 Items, 3.00 MB, 00:03:00"; "0 Items, 0 KB, 00:00:00" for no rows.
QString listStatusText(int rows, qint64 bytes, qint64 seconds);

// What the player learns of a file for the information grid.
struct PlayerFacts {
    bool opened = false;
    qint32 sampleRate = 0;
    qint32 bitrate = 0; // kbit/s
    qint32 channels = 0;
};
PlayerFacts probePlayerFacts(const QString &path);

// The cells of the selected item that the information grid shows.
struct ItemFacts {
    QString itemName;
    QString time;
    QString size;
    QString created;
    QString file;
    int row = 0;
};
// The nine ("Name", "Value") rows of the item information grid.
QList<QPair<QString, QString>> itemInfoRows(const ItemFacts &item, const PlayerFacts &player);

// The "Notes" panel text for the notes file's text.
QString notesStatusText(const QString &notes);

} // namespace ListStatus
