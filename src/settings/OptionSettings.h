#pragma once

#include "core/TitleStrip.h"

#include <QString>
#include <QtGlobal>

// The general options as the rest of the program reads them. The options
// window writes each one right after it has read the control behind it, so
// they are current between any two event handlers; nothing else reads the
// registry for these options.

// General
extern qint32 g_lAudioDeviceIndex;
extern QString g_sDefaultTargetFormat;
extern QString g_sItemsListMainDirectory;
extern bool g_bSelectTheLastItem;
extern bool g_bAutoFreeDB;
extern QString g_sDefaultFileNameFormat;
extern bool g_bSaveLogWhenExit;
extern bool g_bDisplayMSGWhenExit;
extern bool g_bDisplayMSGWhenErase;
extern bool g_bGoToNextItem;
extern bool g_bDisplayPlayer;
extern bool g_bClearOnExit;
extern bool g_bDisplayAudioGraph;
extern bool g_bMenuXPStyle;
extern bool g_bDisplayGridHotTrack;
extern bool g_bDisplayTitle;
extern bool g_bDisplayGridLine;
// The title colours are with the title strip (core/TitleStrip.h).
extern bool g_bDisplayLiveUpdateWindow;
extern bool g_bAutoUpdate;

// Events
extern bool g_bOpenDestFolder;
extern bool g_bTurnOffComputer;
extern bool g_bPlaySound;
// Full path of the end-of-job sound.
extern QString g_sEndSoundFile;
extern bool g_bNoticeApp;
extern QString g_sNoticeCommandLine;

// ID3 Tags
extern bool g_bCopyID3FromSource;
extern QString g_sTagArtist;
extern QString g_sTagSong;
extern QString g_sTagAlbum;
extern QString g_sTagTrack;
extern QString g_sTagGenre;
extern QString g_sTagYear;
extern QString g_sTagComment;
