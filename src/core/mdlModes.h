#pragma once

#include <QString>

// The edition table: written once by InitEdition before anything reads it.
extern QString g_sAppCompany;
extern QString g_sAppName;
extern QString g_sAppVersion;
extern QString g_sAppFullVersion;
extern QString g_sAppEditionTag;
extern QString g_sAppRelatedProduct;
extern QString g_sAppWebSite;
extern QString g_sAppWebRoot;
extern QString g_sAppSupportPage;
extern QString g_sAppHelpPage;
extern QString g_sAppDescription;
extern QString g_sViewBackColor;
extern QString g_sViewBackPicture;
extern QString g_sViewSparePicture;
extern QString g_sViewToolbarPicture;
extern QString g_sViewTitlePicture;
extern qint32 g_lAppIncConverter;
extern qint32 g_lAppIncJoin;
extern qint32 g_lAppIncSplit;
extern qint32 g_lAppIncMicRec;
extern qint32 g_lAppIncEditor;
extern qint32 g_lAppIncAudioBurner;
extern qint32 g_lAppIncCDRipper;
extern qint32 g_lAppIncTagsEditor;
extern qint32 g_lAppIncSpare1;
extern qint32 g_lAppIncMP3Burner;
extern qint32 g_lAppIncWMABurner;
extern qint32 g_lAppIncACMConverter;
extern qint32 g_lAppIncItemsLists;
extern qint32 g_lAppIncTree;
extern qint32 g_lAppIncTTS;
extern qint32 g_lAppIncSpare2;
extern qint32 g_lAppEditionCode;
extern QString g_sAppMainTool;

// The settings root's key path below HKEY_LOCAL_MACHINE:
// "SOFTWARE\" + g_sAppCompany + "\" + g_sAppName. Installed, never created here.
QString AppSettingsKey();

namespace mdlModes {
// Fills the edition table and sets the application title.
void InitEdition();
}
