#include "support/FreshState.h"

#include "core/mdlCommDialog.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlShutDown.h"
#include "core/mdlSupportedDestination.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "platform/Prompter.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/OptionsTable.h"

#include <QByteArray>

#include <functional>
#include <variant>
#include <vector>

namespace {

std::vector<std::function<void()>> g_restorers;

template <typename T>
void keep(T &variable)
{
    g_restorers.push_back([&variable, value = variable] { variable = value; });
}

// The variables the program reads from its environment, and PATH, which
// tests narrow to hide helper programs.
void keepEnvironment(const char *name)
{
    const bool set = qEnvironmentVariableIsSet(name);
    const QByteArray value = qgetenv(name);
    g_restorers.push_back([name, set, value] {
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    });
}

} // namespace

namespace FreshState {

void remember()
{
    g_restorers.clear();

    // The options: those of the options window's table, and the ones it
    // reads and saves by hand.
    for (const OptionsTable::Option &option : OptionsTable::options())
        std::visit([](auto *global) { keep(*global); }, option.global);
    keep(g_lAudioDeviceIndex);
    keep(g_sDefaultTargetFormat);
    keep(g_sItemsListMainDirectory);
    keep(g_sDefaultFileNameFormat);
    keep(g_sEndSoundFile);

    // Audio formats
    keep(g_lWavSampleRate);
    keep(g_lWavBitsPerSample);
    keep(g_lWavChannelsIndex);
    keep(g_sAcmFormatTag);
    keep(g_sAcmFormat);
    keep(g_lMp3Bitrate);
    keep(g_lMp3Quality);
    keep(g_lMp3SampleRate);
    keep(g_lMp3Mode);
    keep(g_bMp3ErrorProtect);
    keep(g_bMp3Original);
    keep(g_bMp3Copyright);
    keep(g_bMp3StrictISO);
    keep(g_lMp3VBRQuality);
    keep(g_lMp3MinBitrateIndex);
    keep(g_lMp3MaxBitrateIndex);
    keep(g_bMp3VBRTag);
    keep(g_bMp3VBRForceMinBitrate);
    keep(g_bMp3ABR);
    keep(g_lMp3ABRBitrate);
    keep(g_lWmaCodecIndex);
    keep(g_lWmaFormatIndex);
    keep(g_bOggQualityMode);
    keep(g_lOggQuality);
    keep(g_bOggBitrateMode);
    keep(g_lOggNominalBitrate);
    keep(g_lApeLevel);

    // Offered destination formats
    keep(g_lDestWAV);
    keep(g_lDestACM);
    keep(g_lDestMP3);
    keep(g_lDestWMA);
    keep(g_lDestOGG);
    keep(g_lDestAPE);

    // The edition table
    keep(g_sAppCompany);
    keep(g_sAppName);
    keep(g_sAppVersion);
    keep(g_sAppFullVersion);
    keep(g_sAppEditionTag);
    keep(g_sAppRelatedProduct);
    keep(g_sAppWebSite);
    keep(g_sAppWebRoot);
    keep(g_sAppSupportPage);
    keep(g_sAppHelpPage);
    keep(g_sAppDescription);
    keep(g_sViewBackColor);
    keep(g_sViewBackPicture);
    keep(g_sViewSparePicture);
    keep(g_sViewToolbarPicture);
    keep(g_sViewTitlePicture);
    keep(g_lAppIncConverter);
    keep(g_lAppIncJoin);
    keep(g_lAppIncSplit);
    keep(g_lAppIncMicRec);
    keep(g_lAppIncEditor);
    keep(g_lAppIncAudioBurner);
    keep(g_lAppIncCDRipper);
    keep(g_lAppIncTagsEditor);
    keep(g_lAppIncSpare1);
    keep(g_lAppIncMP3Burner);
    keep(g_lAppIncWMABurner);
    keep(g_lAppIncACMConverter);
    keep(g_lAppIncItemsLists);
    keep(g_lAppIncTree);
    keep(g_lAppIncTTS);
    keep(g_lAppIncSpare2);
    keep(g_lAppEditionCode);
    keep(g_sAppMainTool);
    g_restorers.push_back([title = applicationTitle()] { setApplicationTitle(title); });

    // The rest of the process
    keep(g_bAppClosing);
    keep(g_bCancelAddFiles);
    keep(g_sStatText);
    keep(g_FileDialog);
    g_restorers.push_back([onTop = mdlOnTop::IsOnTop()] { mdlOnTop::SetFormOnTop(nullptr, onTop); });
    g_restorers.push_back([] { mdlShutDown::ClearError(); });

    for (const char *name : {"SONVALE_AUDIO_DEVICES", "SONVALE_BURN_DEVICES", "SONVALE_CD_DEVICES",
                             "SONVALE_CDDB_SERVER", "PATH", "XDG_RUNTIME_DIR"})
        keepEnvironment(name);
}

void restore()
{
    for (const auto &restorer : g_restorers)
        restorer();
}

} // namespace FreshState
