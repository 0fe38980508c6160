#pragma once

#include <QtGlobal>

// The codes the burners give with a failure.
namespace BurnError {
enum Code : qint32 {
    NoDrive = 1, // no such writer
    DriveNotReady = 2, // no disc, a disc that is not blank, a busy drive
    SourceError = 3, // a file to burn is missing, unreadable or not audio
    WriteError = 4, // writing the disc or image failed
    Aborted = 5, // the user stopped the burn
    Unsupported = 6, // a file system or setting that cannot be written
    NothingToBurn = 7, // no file or track was given
    Busy = 8, // the control is still burning
    TooLarge = 9, // the tracks or files do not fit on the disc
};
}
