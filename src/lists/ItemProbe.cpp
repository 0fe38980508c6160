#include "lists/ItemProbe.h"

#include "controls/audio/cAudioConverter.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFileTime.h"

#include <QFileInfo>

ItemProbe probeItemFile(const QString &path, bool readTags)
{
    ItemProbe probe;
    if (path.isEmpty() || !mdlFileSystem::FileExists(path))
        return probe;
    cAudioConverter converter;
    if (converter.OpenSource(path) != 0)
        return probe;
    probe.opened = true;
    probe.durationMs = converter.Duration();
    probe.bytes = QFileInfo(path).size();
    probe.created = mdlFileTime::GetFileCreatedUtc(path);
    if (readTags) {
        converter.ReadTags(path);
        probe.tags = {converter.TagAlbum(), converter.TagArtist(), converter.TagComment(), converter.TagGenre(),
                      converter.TagTitle(), converter.TagTrack(), converter.TagYear()};
    }
    converter.CloseSource();
    return probe;
}
