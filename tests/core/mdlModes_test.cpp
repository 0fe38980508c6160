#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "core/mdlModes.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

// The edition table is read by every window, the registry paths and the
// links: a wrong letter here shows up everywhere, so its values are checked
// as literals rather than through the variables.
TEST(Edition, TableHoldsThisEditionsValues)
{
    setApplicationTitle(QString());
    mdlModes::InitEdition();

    const struct {
        const char *name;
        QString value;
        QString expected;
    } texts[] = {
        {"company", g_sAppCompany, QStringLiteral("Tarvena")},
        {"name", g_sAppName, QStringLiteral("Sonvale")},
        {"version", g_sAppVersion, QStringLiteral("3.1")},
        {"full version", g_sAppFullVersion, QStringLiteral("3.1.2")},
        {"edition tag", g_sAppEditionTag, QStringLiteral("default")},
        {"web root", g_sAppWebRoot, g_sAppWebSite + QStringLiteral("/")},
        {"support page", g_sAppSupportPage, g_sAppWebSite + QStringLiteral("/support.html")},
        {"help page", g_sAppHelpPage, g_sAppWebSite + QStringLiteral("/help.html")},
        {"description", g_sAppDescription, QStringLiteral("Split and cut many types of audio file to many files.")},
        {"back colour", g_sViewBackColor, QStringLiteral("16514043")},
        {"back picture", g_sViewBackPicture, QString()},
        {"spare picture", g_sViewSparePicture, QString()},
        {"toolbar picture", g_sViewToolbarPicture, QString()},
        {"title picture", g_sViewTitlePicture, QString()},
        {"main tool", g_sAppMainTool, QStringLiteral("lAppIncSplit")},
    };
    for (const auto &t : texts)
        EXPECT_EQ(t.value, t.expected) << t.name;

    EXPECT_EQ(AppSettingsKey(), QStringLiteral("SOFTWARE\\Tarvena\\Sonvale"));
    EXPECT_FALSE(g_sAppWebSite.isEmpty());
    EXPECT_FALSE(g_sAppWebSite.endsWith(QLatin1Char('/')));
    EXPECT_EQ(g_sViewBackColor.toLongLong(), 0xFBFBFB);

    const struct {
        const char *name;
        qint32 value;
        qint32 expected;
    } flags[] = {
        {"converter", g_lAppIncConverter, 1}, {"joiner", g_lAppIncJoin, 0},
        {"splitter", g_lAppIncSplit, 1},      {"recorder", g_lAppIncMicRec, 1},
        {"editor", g_lAppIncEditor, 0},       {"audio CD maker", g_lAppIncAudioBurner, 0},
        {"CD ripper", g_lAppIncCDRipper, 0},  {"tags editor", g_lAppIncTagsEditor, 0},
        {"spare 1", g_lAppIncSpare1, 1},      {"MP3 CD maker", g_lAppIncMP3Burner, 0},
        {"WMA CD maker", g_lAppIncWMABurner, 0}, {"ACM converter", g_lAppIncACMConverter, 0},
        {"items lists", g_lAppIncItemsLists, 1}, {"tree", g_lAppIncTree, 1},
        {"speech", g_lAppIncTTS, 0},          {"spare 2", g_lAppIncSpare2, 0},
        {"edition code", g_lAppEditionCode, 7},
    };
    for (const auto &f : flags)
        EXPECT_EQ(f.value, f.expected) << f.name;

    // Every message box without a title of its own carries name and version.
    EXPECT_EQ(applicationTitle(), QStringLiteral("Sonvale 3.1"));
    testServices().prompter->messages.clear();
    MsgBox(QStringLiteral("x"), Msg::Information);
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().title, QStringLiteral("Sonvale 3.1"));
}
