#include "lists/ListStatus.h"

#include "controls/audio/cAudioConverter.h"
#include "core/mdlFunctions.h"
#include "core/mdlMain.h"
#include "lists/ItemsListRecordReader.h"

#include <QFileInfo>

namespace ListStatus {

QString listStatusText(int rows, qint64 bytes, qint64 seconds)
{
    if (rows <= 0)
        return QStringLiteral("0 Items, 0 KB, 00:00:00");
    return QString::number(rows) + QStringLiteral(" Items, ") + mdlMain::FormatByteSize(bytes) + QStringLiteral(", ")
        + ItemsListRecordReader::hhmmss(seconds);
}

PlayerFacts probePlayerFacts(const QString &path)
{
    PlayerFacts facts;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return facts;
    cAudioConverter converter;
    if (converter.OpenSource(path) != 0)
        return facts;
    facts.opened = true;
    facts.sampleRate = converter.SampleRate();
    facts.channels = converter.Channels();
    // The average rate of the whole file, as players show it.
    if (const qint32 ms = converter.Duration(); ms > 0)
        facts.bitrate = qint32(QFileInfo(path).size() * 8 / ms);
    converter.CloseSource();
    return facts;
}

QList<QPair<QString, QString>> itemInfoRows(const ItemFacts &item, const PlayerFacts &player)
{
    const auto number = [&player](qint32 value) { return player.opened ? QString::number(value) : QString(); };
    QString channels;
    if (player.opened)
        channels = player.channels == 1 ? QStringLiteral("MONO") : QStringLiteral("STEREO");
    return {
        {QStringLiteral("File Name"), item.itemName},
        {QStringLiteral("Total Time"), item.time},
        {QStringLiteral("File Size"), item.size},
        {QStringLiteral("Created"), item.created},
        {QStringLiteral("Format"), mdlFunctions::GetExtension(item.file).toUpper()},
        {QStringLiteral("Samples"), number(player.sampleRate)},
        {QStringLiteral("Bitrate"), number(player.bitrate)},
        {QStringLiteral("Channels"), channels},
        {QStringLiteral("Item"), QString::number(item.row)},
    };
}

QString notesStatusText(const QString &notes)
{
    if (notes.isEmpty() || notes == QLatin1String("\r\n"))
        return QStringLiteral("Notes [ Empty ]");
    QString text = notes;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    if (text.size() < 37)
        return QStringLiteral("Notes [ ") + text + QStringLiteral(" ]");
    return QStringLiteral("Notes [ ") + text.left(35) + QStringLiteral("...") + QStringLiteral(" ]");
}

} // namespace ListStatus
