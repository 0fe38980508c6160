#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

// mutagen (Debian's python3-mutagen) as an independent reader and writer of
// tags: a short python script run with the file paths as its arguments.
namespace Mutagen {

// Runs the script ("import mutagen" and friends are up to it) with the
// arguments in sys.argv[1:]. Answers the JSON the script printed; Null (and
// a test failure naming the script's error) when it failed.
QJsonValue run(const QString &script, const QStringList &arguments = {});

// Every ID3v2 frame of the file as mutagen reads it, by its key (such as
// "COMM:iTunNORM:eng"): its attributes except the text encoding, bytes in
// hex, so that equal frames compare equal whatever encoding they were written
// in. Without translate the frames are as the tag stores them (version 2.2
// and 2.3 frames are not turned into those of version 2.4).
QJsonValue frames(const QString &path, bool translate = true);

} // namespace Mutagen
