#include "support/FreshInstall.h"

#include "core/forms.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/TestEnvironment.h"

namespace {

template <typename... Values> void keep(std::vector<std::function<void()>> &restore, Values &...values)
{
    (restore.push_back([&value = values, saved = values] { value = saved; }), ...);
}

} // namespace

FreshInstall::FreshInstall()
{
    keep(m_restore, g_lWavSampleRate, g_lWavBitsPerSample, g_lWavChannelsIndex, g_sAcmFormatTag, g_sAcmFormat,
         g_lMp3Bitrate, g_lMp3Quality, g_lMp3SampleRate, g_lMp3Mode, g_bMp3ErrorProtect, g_bMp3Original,
         g_bMp3Copyright, g_bMp3StrictISO, g_lMp3VBRQuality, g_lMp3MinBitrateIndex, g_lMp3MaxBitrateIndex, g_bMp3VBRTag,
         g_bMp3VBRForceMinBitrate, g_bMp3ABR, g_lMp3ABRBitrate, g_lWmaCodecIndex, g_lWmaFormatIndex, g_bOggQualityMode,
         g_lOggQuality, g_bOggBitrateMode, g_lOggNominalBitrate, g_lApeLevel);
    keep(m_restore, g_lAudioDeviceIndex, g_sDefaultTargetFormat, g_sItemsListMainDirectory, g_bSelectTheLastItem,
         g_bAutoFreeDB, g_sDefaultFileNameFormat, g_bSaveLogWhenExit, g_bDisplayMSGWhenExit, g_bDisplayMSGWhenErase,
         g_bGoToNextItem, g_bDisplayPlayer, g_bClearOnExit, g_bDisplayAudioGraph, g_bMenuXPStyle,
         g_bDisplayGridHotTrack, g_bDisplayTitle, g_bDisplayGridLine, g_lTitleBackColor, g_lTitleTextColor,
         g_bDisplayLiveUpdateWindow, g_bAutoUpdate, g_bOpenDestFolder, g_bTurnOffComputer, g_bPlaySound,
         g_sEndSoundFile, g_bNoticeApp, g_sNoticeCommandLine, g_bCopyID3FromSource, g_sTagArtist, g_sTagSong,
         g_sTagAlbum, g_sTagTrack, g_sTagGenre, g_sTagYear, g_sTagComment);
    TestEnv::installShippedSettings();
    Forms::loadOptions();
    Forms::loadAudioProp();
}

FreshInstall::~FreshInstall()
{
    for (const auto &restore : m_restore)
        restore();
}
