#include "lists/ItemProbe.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioFacts.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFileTime.h"

#include <QFileInfo>

ItemProbe probeItemFile(const QString &path, bool readTags)
{
    ItemProbe probe;
    if (path.isEmpty() || !mdlFileSystem::FileExists(path))
        return probe;
    const std::optional<AudioFacts> facts = describeAudio(path);
    if (!facts)
        return probe;
    probe.opened = true;
    probe.durationMs = facts->durationMs32();
    probe.bytes = QFileInfo(path).size();
    probe.created = mdlFileTime::GetFileCreatedUtc(path);
    // The facts name the demuxer, so the tags take no second format probe.
    if (readTags)
        probe.tags = AudioDecoder::readTags(path, facts->container);
    return probe;
}
