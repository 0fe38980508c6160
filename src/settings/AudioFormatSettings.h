#pragma once

#include <QString>
#include <QtGlobal>

// The destination-format settings as the audio format window last read them
// from the registry; the tool windows build their encoder records from these
// when a job starts. Only the audio format window's GetOptions writes them.

// WAV
inline qint32 g_lWavSampleRate = 0;    // Hz
inline qint32 g_lWavBitsPerSample = 0; // 8 or 16
inline qint32 g_lWavChannelsIndex = 0; // list index: 0 mono, 1 stereo

// ACM: the names the audio converter listed
inline QString g_sAcmFormatTag;
inline QString g_sAcmFormat;

// MP3
inline qint32 g_lMp3Bitrate = 0;    // kbit/s
inline qint32 g_lMp3Quality = 0;    // 0 to 9
inline qint32 g_lMp3SampleRate = 0; // Hz
inline qint32 g_lMp3Mode = 0;       // list index 0 to 5, equal to the mode number
inline bool g_bMp3ErrorProtect = false;
inline bool g_bMp3Original = false;
inline bool g_bMp3Copyright = false;
inline bool g_bMp3StrictISO = false;
// List indexes, not bitrates or numbers: the encoder record carries positions.
inline qint32 g_lMp3VBRQuality = 0;
inline qint32 g_lMp3MinBitrateIndex = 0;
inline qint32 g_lMp3MaxBitrateIndex = 0;
inline bool g_bMp3VBRTag = false;
inline bool g_bMp3VBRForceMinBitrate = false;
inline bool g_bMp3ABR = false;
inline qint32 g_lMp3ABRBitrate = 0; // kbit/s

// WMA: positions in the converter's codec list and in that codec's formats
// (-1 when the list is empty).
inline qint32 g_lWmaCodecIndex = 0;
inline qint32 g_lWmaFormatIndex = 0;

// OGG
inline bool g_bOggQualityMode = false;
inline qint32 g_lOggQuality = 0; // 0 to 100
inline bool g_bOggBitrateMode = false;
inline qint32 g_lOggNominalBitrate = 0; // kbit/s

// APE: list index 0 to 4 (Fast, Normal, High, Extra high, Slow)
inline qint32 g_lApeLevel = 0;
