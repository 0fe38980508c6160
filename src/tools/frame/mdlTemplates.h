#pragma once

#include <QDateTime>
#include <QString>

// The texts the main window builds for the tool windows: the notice
// application's command line and the speech window's file names.
namespace mdlTemplates {

// What the notice placeholders stand for. A value that could not be read
// leaves its placeholder in the text.
struct NoticeValues {
    QString progName;
    QString progVersion;
    bool hasFile = false; // the four file values below were read
    QString fileRecorded;
    QString fileSize;
    QString fileTimeLength;
    QString fileCreated;
};

// Replaces "[PROG_NAME]", "[PROG_VERSION]", "[FILE_RECORDED]", "[FILE_SIZE]",
// "[FILE_TIME_LENGTH]" and "[FILE_CREATED]" in that order, every occurrence,
// exactly as written (upper case, brackets); values go in as they are.
QString ExpandNoticeTemplate(const QString &text, const NoticeValues &values);

// The extension of a destination format's list text ("MP3 - ..." gives
// "mp3"; ACM writes WAV files); empty for a text outside the six formats.
QString GetExt(const QString &targetFormat);

// "HH:MM:SS", "_", the user's short date, "." and the extension, passed
// through the safe-name filter.
QString SpeechFileName(const QDateTime &now, const QString &targetFormat);

} // namespace mdlTemplates
