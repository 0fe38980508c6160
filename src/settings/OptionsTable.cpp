#include "settings/OptionsTable.h"

#include "core/TitleStrip.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"

namespace OptionsTable {

std::span<const Option> options()
{
    const QString general = QStringLiteral("General");
    const QString events = QStringLiteral("Events");
    const QString tags = QStringLiteral("ID3 Tags");
    static const Option table[] = {
        {general, QStringLiteral("chkSelectTheLastItem"), &frmOptions::chkSelectTheLastItem, &g_bSelectTheLastItem},
        {general, QStringLiteral("chkAutoFreeDB"), &frmOptions::chkAutoFreeDB, &g_bAutoFreeDB},
        {general, QStringLiteral("chkSaveLogWhenExit"), &frmOptions::chkSaveLogWhenExit, &g_bSaveLogWhenExit},
        {general, QStringLiteral("chkDisplayMSGWhenExit"), &frmOptions::chkDisplayMSGWhenExit, &g_bDisplayMSGWhenExit},
        {general, QStringLiteral("chkDisplayMSGWhenErase"), &frmOptions::chkDisplayMSGWhenErase,
         &g_bDisplayMSGWhenErase},
        {general, QStringLiteral("chkGoToNextItem"), &frmOptions::chkGoToNextItem, &g_bGoToNextItem},
        {general, QStringLiteral("chkDisplayPlayer"), &frmOptions::chkDisplayPlayer, &g_bDisplayPlayer},
        {general, QStringLiteral("chkClearOnExit"), &frmOptions::chkClearOnExit, &g_bClearOnExit},
        {general, QStringLiteral("chkDisplayAudioGraph"), &frmOptions::chkDisplayAudioGraph, &g_bDisplayAudioGraph},
        {general, QStringLiteral("chkMenuXPStyle"), &frmOptions::chkMenuXPStyle, &g_bMenuXPStyle},
        {general, QStringLiteral("chkDisplayGridHotTrack"), &frmOptions::chkDisplayGridHotTrack,
         &g_bDisplayGridHotTrack},
        {general, QStringLiteral("chkDisplayTitle"), &frmOptions::chkDisplayTitle, &g_bDisplayTitle},
        {general, QStringLiteral("chkDisplayGridLine"), &frmOptions::chkDisplayGridLine, &g_bDisplayGridLine},
        {general, QStringLiteral("picColor"), &frmOptions::picColor, &g_lTitleBackColor},
        {general, QStringLiteral("picTextColor"), &frmOptions::picTextColor, &g_lTitleTextColor},
        {general, QStringLiteral("chkDisplayLiveUpdateWindow"), &frmOptions::chkDisplayLiveUpdateWindow,
         &g_bDisplayLiveUpdateWindow},
        {general, QStringLiteral("chkAutoUpdate"), &frmOptions::chkAutoUpdate, &g_bAutoUpdate},
        {events, QStringLiteral("chkOpenDestFolder"), &frmOptions::chkOpenDestFolder, &g_bOpenDestFolder},
        {events, QStringLiteral("chkTurnOffComputer"), &frmOptions::chkTurnOffComputer, &g_bTurnOffComputer},
        {events, QStringLiteral("chkPlaySound"), &frmOptions::chkPlaySound, &g_bPlaySound},
        {events, QStringLiteral("chkNoticeApp"), &frmOptions::chkNoticeApp, &g_bNoticeApp},
        {events, QStringLiteral("txtAppNotice"), &frmOptions::txtAppNotice, &g_sNoticeCommandLine},
        // Tags are copied from the source unless the user said otherwise.
        {tags, QStringLiteral("chkCopyID3FromSource"), &frmOptions::chkCopyID3FromSource, &g_bCopyID3FromSource, 1},
        {tags, QStringLiteral("txtTagArtist"), &frmOptions::txtTagArtist, &g_sTagArtist},
        {tags, QStringLiteral("txtTagSong"), &frmOptions::txtTagSong, &g_sTagSong},
        {tags, QStringLiteral("txtTagAlbum"), &frmOptions::txtTagAlbum, &g_sTagAlbum},
        {tags, QStringLiteral("txtTagTrack"), &frmOptions::txtTagTrack, &g_sTagTrack},
        {tags, QStringLiteral("txtTagGenre"), &frmOptions::txtTagGenre, &g_sTagGenre},
        {tags, QStringLiteral("txtTagYear"), &frmOptions::txtTagYear, &g_sTagYear},
        {tags, QStringLiteral("txtTagComment"), &frmOptions::txtTagComment, &g_sTagComment},
    };
    return table;
}

} // namespace OptionsTable
