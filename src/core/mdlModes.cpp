#include "core/mdlModes.h"

#include "core/mdlMain.h"
#include "platform/Prompter.h"

QString g_sAppCompany;
QString g_sAppName;
QString g_sAppVersion;
QString g_sAppFullVersion;
QString g_sAppEditionTag;
QString g_sAppRelatedProduct;
QString g_sAppWebSite;
QString g_sAppWebRoot;
QString g_sAppSupportPage;
QString g_sAppHelpPage;
QString g_sAppDescription;
QString g_sViewBackColor;
QString g_sViewBackPicture;
QString g_sViewSparePicture;
QString g_sViewToolbarPicture;
QString g_sViewTitlePicture;
qint32 g_lAppIncConverter = 0;
qint32 g_lAppIncJoin = 0;
qint32 g_lAppIncSplit = 0;
qint32 g_lAppIncMicRec = 0;
qint32 g_lAppIncEditor = 0;
qint32 g_lAppIncAudioBurner = 0;
qint32 g_lAppIncCDRipper = 0;
qint32 g_lAppIncTagsEditor = 0;
qint32 g_lAppIncSpare1 = 0;
qint32 g_lAppIncMP3Burner = 0;
qint32 g_lAppIncWMABurner = 0;
qint32 g_lAppIncACMConverter = 0;
qint32 g_lAppIncItemsLists = 0;
qint32 g_lAppIncTree = 0;
qint32 g_lAppIncTTS = 0;
qint32 g_lAppIncSpare2 = 0;
qint32 g_lAppEditionCode = 0;
QString g_sAppMainTool;

QString AppSettingsKey()
{
    return QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName;
}

namespace mdlModes {

void InitEdition()
{
    g_sAppCompany = QStringLiteral("Tarvena");
    g_sAppEditionTag = QStringLiteral("default");
    g_sAppRelatedProduct = QStringLiteral("Tarvena Sound Recorder");
    g_sAppWebSite = QStringLiteral("https://www.tarvena.example");
    g_sAppName = QStringLiteral("Sonvale");
    g_sAppVersion = QStringLiteral("3.1");
    g_sAppFullVersion = QStringLiteral("3.1.2");
    g_sAppWebRoot = g_sAppWebSite + QLatin1Char('/');
    g_sAppSupportPage = g_sAppWebRoot + QStringLiteral("support.html");
    g_sAppHelpPage = g_sAppWebRoot + QStringLiteral("help.html");
    g_sAppDescription = QStringLiteral("Split and cut many types of audio file to many files.");
    setApplicationTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);

    // &HFBFBFB as the decimal text the windows convert at use.
    g_sViewBackColor = QStringLiteral("16514043");
    g_sViewBackPicture.clear();
    g_sViewSparePicture.clear();
    g_sViewToolbarPicture.clear();
    g_sViewTitlePicture.clear();

    g_lAppIncConverter = 1;
    g_lAppIncJoin = 0;
    g_lAppIncSplit = 1;
    g_lAppIncMicRec = 1;
    g_lAppIncEditor = 0;
    g_lAppIncAudioBurner = 0;
    g_lAppIncCDRipper = 0;
    g_lAppIncTagsEditor = 0;
    g_lAppIncSpare1 = 1;
    g_lAppIncMP3Burner = 0;
    g_lAppIncWMABurner = 0;
    g_lAppIncACMConverter = 0;
    g_lAppIncItemsLists = 1;
    g_lAppIncTree = 1;
    g_lAppIncTTS = 0;
    g_lAppIncSpare2 = 0;

    g_lAppEditionCode = 7;
    g_sAppMainTool = QStringLiteral("lAppIncSplit");

    mdlMain::EditionReadyHook();
}

} // namespace mdlModes
