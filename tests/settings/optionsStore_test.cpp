#include "OptionsFixture.h"

#include "controls/ui/cTreeView.h"
#include "core/mdlRunOnStart.h"
#include "platform/AppPaths.h"
#include "settings/ColorBox.h"
#include "core/LinkLabel.h"
#include "settings/OptionSettings.h"
#include "settings/OptionsTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <type_traits>
#include <variant>

namespace {

struct BoolOption {
    const char *name;
    bool *variable;
    QCheckBox *frmOptions::*box;
};

// Every published check box with its variable.
const QList<BoolOption> &boolOptions()
{
    static const QList<BoolOption> list = {
        {"chkSelectTheLastItem", &g_bSelectTheLastItem, &frmOptions::chkSelectTheLastItem},
        {"chkAutoFreeDB", &g_bAutoFreeDB, &frmOptions::chkAutoFreeDB},
        {"chkSaveLogWhenExit", &g_bSaveLogWhenExit, &frmOptions::chkSaveLogWhenExit},
        {"chkDisplayMSGWhenExit", &g_bDisplayMSGWhenExit, &frmOptions::chkDisplayMSGWhenExit},
        {"chkDisplayMSGWhenErase", &g_bDisplayMSGWhenErase, &frmOptions::chkDisplayMSGWhenErase},
        {"chkGoToNextItem", &g_bGoToNextItem, &frmOptions::chkGoToNextItem},
        {"chkDisplayPlayer", &g_bDisplayPlayer, &frmOptions::chkDisplayPlayer},
        {"chkClearOnExit", &g_bClearOnExit, &frmOptions::chkClearOnExit},
        {"chkDisplayAudioGraph", &g_bDisplayAudioGraph, &frmOptions::chkDisplayAudioGraph},
        {"chkMenuXPStyle", &g_bMenuXPStyle, &frmOptions::chkMenuXPStyle},
        {"chkDisplayGridHotTrack", &g_bDisplayGridHotTrack, &frmOptions::chkDisplayGridHotTrack},
        {"chkDisplayTitle", &g_bDisplayTitle, &frmOptions::chkDisplayTitle},
        {"chkDisplayGridLine", &g_bDisplayGridLine, &frmOptions::chkDisplayGridLine},
        {"chkDisplayLiveUpdateWindow", &g_bDisplayLiveUpdateWindow, &frmOptions::chkDisplayLiveUpdateWindow},
        {"chkAutoUpdate", &g_bAutoUpdate, &frmOptions::chkAutoUpdate},
        {"chkOpenDestFolder", &g_bOpenDestFolder, &frmOptions::chkOpenDestFolder},
        {"chkTurnOffComputer", &g_bTurnOffComputer, &frmOptions::chkTurnOffComputer},
        {"chkPlaySound", &g_bPlaySound, &frmOptions::chkPlaySound},
        {"chkNoticeApp", &g_bNoticeApp, &frmOptions::chkNoticeApp},
        {"chkCopyID3FromSource", &g_bCopyID3FromSource, &frmOptions::chkCopyID3FromSource},
    };
    return list;
}

struct TextOption {
    const char *name;
    QString *variable;
};

const QList<TextOption> &tagOptions()
{
    static const QList<TextOption> list = {
        {"txtTagArtist", &g_sTagArtist}, {"txtTagSong", &g_sTagSong},   {"txtTagAlbum", &g_sTagAlbum},
        {"txtTagTrack", &g_sTagTrack},   {"txtTagGenre", &g_sTagGenre}, {"txtTagYear", &g_sTagYear},
        {"txtTagComment", &g_sTagComment},
    };
    return list;
}

// Values nobody could mistake for a read's result, so a variable the read
// forgets shows up.
void pollutePublishedVariables()
{
    for (const BoolOption &o : boolOptions())
        *o.variable = true;
    for (const TextOption &o : tagOptions())
        *o.variable = QStringLiteral("stale");
    g_lAudioDeviceIndex = 7;
    g_sItemsListMainDirectory = QStringLiteral("stale");
    g_sDefaultFileNameFormat = QStringLiteral("stale");
    g_lTitleBackColor = 7;
    g_lTitleTextColor = 7;
    g_sEndSoundFile = QStringLiteral("stale");
    g_sNoticeCommandLine = QStringLiteral("stale");
    // An empty stored format leaves this one as it was: start from nothing.
    g_sDefaultTargetFormat.clear();
}

QString mainFolder()
{
    return AppPaths::programFolder() + QStringLiteral("/Main/");
}

QString defaultSound()
{
    return AppPaths::resourceFolder() + QStringLiteral("/sound/notify.wav");
}

QStringList pathHistory()
{
    QFile file(AppPaths::programFolder() + QStringLiteral("/PathHistory"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

TEST_F(OptionsTest, EmptyStoreLoadsAndPublishesTheDefaults)
{
    pollutePublishedVariables();
    frmOptions &w = options();

    for (const BoolOption &o : boolOptions()) {
        SCOPED_TRACE(o.name);
        const bool expected = QLatin1String(o.name) == QLatin1String("chkCopyID3FromSource");
        EXPECT_EQ((w.*o.box)->checkState(), expected ? Qt::Checked : Qt::Unchecked);
        EXPECT_EQ(*o.variable, expected);
    }
    for (const TextOption &o : tagOptions()) {
        SCOPED_TRACE(o.name);
        EXPECT_EQ(*o.variable, QString());
    }
    EXPECT_EQ(w.txtTagArtist->text(), QString());
    EXPECT_EQ(w.txtTagComment->toPlainText(), QString());

    EXPECT_EQ(w.cboDevices->currentIndex(), -1);
    EXPECT_EQ(g_lAudioDeviceIndex, -1);
    EXPECT_EQ(w.cboTargetFormat->count(), 6);
    EXPECT_EQ(w.cboTargetFormat->currentIndex(), -1);
    EXPECT_EQ(g_sDefaultTargetFormat, QString());
    EXPECT_EQ(w.cboFileName->count(), 6);
    EXPECT_EQ(w.cboFileName->currentIndex(), -1);
    EXPECT_EQ(g_sDefaultFileNameFormat, QString());

    EXPECT_EQ(w.picColor->BackColor(), 0);
    EXPECT_EQ(w.picTextColor->BackColor(), 0);
    EXPECT_EQ(w.picTitle->BackColor(), 0);
    EXPECT_EQ(w.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(g_lTitleBackColor, 0);
    EXPECT_EQ(g_lTitleTextColor, 0);

    // The lists folder: made and published, but kept out of the history of
    // destination folders, where the tools would take it for theirs.
    EXPECT_EQ(w.txtToPath->currentText(), mainFolder());
    EXPECT_TRUE(QDir(mainFolder()).exists());
    EXPECT_TRUE(pathHistory().isEmpty());
    EXPECT_EQ(g_sItemsListMainDirectory, mainFolder());

    EXPECT_EQ(w.txtPlayAtEnd->text(), QStringLiteral("notify.wav"));
    EXPECT_EQ(w.txtPlayAtEnd->toolTip(), defaultSound());
    EXPECT_EQ(w.txtPlayAtEndTag(), defaultSound());
    EXPECT_EQ(g_sEndSoundFile, defaultSound());
    EXPECT_EQ(w.txtAppNotice->toPlainText(), QString());
    EXPECT_EQ(g_sNoticeCommandLine, QString());

    EXPECT_EQ(w.chkRunWhenWinStarts->checkState(), Qt::Unchecked);
    EXPECT_TRUE(w.froGeneral->isVisibleTo(&w));
    EXPECT_EQ(w.lblTitle->text(), QStringLiteral("General"));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(OptionsTest, StoredValuesAreReadIntoTheControlsAndPublished)
{
    const QString lists = TestEnv::workFolder() + QStringLiteral("/Lists");
    store("General", "cboTargetFormat", "OGG - Ogg Media Format (*.ogg)");
    store("General", "cboFileName", "[123].[dest_extension]");
    store("General", "txtToPath", lists);
    store("General", "chkClearOnExit", "1");
    store("General", "chkDisplayTitle", " 1 ");
    store("General", "chkDisplayPlayer", "yes");
    store("General", "picColor", "255");
    store("General", "picTextColor", "16711680");
    store("Events", "chkTurnOffComputer", "1");
    store("Events", "txtPlayAtEnd", "/sounds/ding.wav");
    store("Events", "txtAppNotice", "player [FILE_RECORDED]");
    store("ID3 Tags", "chkCopyID3FromSource", "0");
    store("ID3 Tags", "txtTagArtist", "[PROG_NAME]");
    store("ID3 Tags", "txtTagComment", "made by me");
    frmOptions &w = options();

    EXPECT_EQ(w.cboTargetFormat->currentText(), QStringLiteral("OGG - Ogg Media Format (*.ogg)"));
    EXPECT_EQ(g_sDefaultTargetFormat, QStringLiteral("OGG - Ogg Media Format (*.ogg)"));
    EXPECT_EQ(w.cboFileName->currentIndex(), 4);
    EXPECT_EQ(g_sDefaultFileNameFormat, QStringLiteral("[123].[dest_extension]"));
    // The folder comes out as a folder path, so list files land inside it.
    EXPECT_EQ(w.txtToPath->currentText(), lists + QLatin1Char('/'));
    EXPECT_EQ(g_sItemsListMainDirectory, lists + QLatin1Char('/'));
    EXPECT_FALSE(QDir(mainFolder()).exists()) << "the default folder is made only when it is the one in use";
    EXPECT_TRUE(g_bClearOnExit);
    EXPECT_TRUE(g_bDisplayTitle);
    EXPECT_FALSE(g_bDisplayPlayer) << "a value that is no number leaves the box as it was";
    EXPECT_EQ(w.picColor->BackColor(), 255);
    EXPECT_EQ(w.picTitle->BackColor(), 255);
    EXPECT_EQ(g_lTitleBackColor, 255);
    EXPECT_EQ(g_lTitleTextColor, 16711680);
    EXPECT_EQ(w.lblTitle->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(g_bTurnOffComputer);
    EXPECT_EQ(w.txtPlayAtEnd->text(), QStringLiteral("ding.wav"));
    EXPECT_EQ(g_sEndSoundFile, QStringLiteral("/sounds/ding.wav"));
    EXPECT_EQ(g_sNoticeCommandLine, QStringLiteral("player [FILE_RECORDED]"));
    EXPECT_FALSE(g_bCopyID3FromSource);
    EXPECT_EQ(g_sTagArtist, QStringLiteral("[PROG_NAME]"));
    EXPECT_EQ(g_sTagComment, QStringLiteral("made by me"));
}

TEST_F(OptionsTest, UnusableStoredValuesFallBackWithoutDisturbingTheRest)
{
    struct Case {
        const char *what;
        const char *subkey;
        const char *name;
        const char *stored;
        std::function<void(frmOptions &)> check;
    };
    const QList<Case> cases = {
        {"format text the list lacks", "General", "cboTargetFormat", "FLAC - Free Lossless (*.flac)",
         [](frmOptions &w) {
             EXPECT_EQ(w.cboTargetFormat->currentIndex(), -1);
             EXPECT_EQ(g_sDefaultTargetFormat, QString());
         }},
        {"template text the list lacks", "General", "cboFileName", "[nothing]",
         [](frmOptions &w) {
             EXPECT_EQ(w.cboFileName->currentIndex(), -1);
             EXPECT_EQ(g_sDefaultFileNameFormat, QString());
         }},
        {"sound path without a file name", "Events", "txtPlayAtEnd", "/sounds/",
         [](frmOptions &w) {
             EXPECT_EQ(w.txtPlayAtEnd->text(), QStringLiteral("notify.wav"));
             EXPECT_EQ(g_sEndSoundFile, defaultSound());
         }},
        {"colour out of range", "General", "picColor", "-5",
         [](frmOptions &w) {
             EXPECT_EQ(w.picColor->BackColor(), 0);
             EXPECT_EQ(g_lTitleBackColor, 0);
         }},
        {"device index the empty list refuses", "General", "cboDevices", "3",
         [](frmOptions &) { EXPECT_EQ(g_lAudioDeviceIndex, -1); }},
        {"check box state out of range", "Events", "chkNoticeApp", "5",
         [](frmOptions &w) {
             EXPECT_EQ(w.chkNoticeApp->checkState(), Qt::Unchecked);
             EXPECT_FALSE(g_bNoticeApp);
         }},
        {"empty copy-tags value", "ID3 Tags", "chkCopyID3FromSource", "",
         [](frmOptions &) { EXPECT_TRUE(g_bCopyID3FromSource); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestEnv::removeSettingsRoot();
        TestEnv::installSettingsRoot();
        g_sDefaultTargetFormat.clear();
        store(QString::fromLatin1(c.subkey), QString::fromLatin1(c.name), QString::fromLatin1(c.stored));
        store("General", "chkClearOnExit", "1");
        frmOptions &w = options();
        c.check(w);
        EXPECT_TRUE(g_bClearOnExit) << "the other values are read all the same";
        TearDown();
    }
}

TEST_F(OptionsTest, FileNameFormatsFileReplacesTheBuiltInTemplates)
{
    QFile file(AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[item_name].[dest_extension]\r\n\r\n[date]_[123].[dest_extension]\r\n");
    file.close();
    store("General", "cboFileName", "[date]_[123].[dest_extension]");

    frmOptions &w = options();
    ASSERT_EQ(w.cboFileName->count(), 2);
    EXPECT_EQ(w.cboFileName->itemText(0), QStringLiteral("[item_name].[dest_extension]"));
    EXPECT_EQ(w.cboFileName->currentIndex(), 1);
    EXPECT_EQ(g_sDefaultFileNameFormat, QStringLiteral("[date]_[123].[dest_extension]"));
}

TEST_F(OptionsTest, OkStoresEveryControlAndPublishesIt)
{
    frmOptions &w = options();
    w.show();
    w.chkClearOnExit->setChecked(true);
    w.chkDisplayGridLine->setChecked(true);
    w.chkGoToNextItem->setChecked(true);
    w.chkPlaySound->setChecked(true);
    w.chkCopyID3FromSource->setChecked(false);
    w.chkRunWhenWinStarts->setChecked(true);
    w.cboTargetFormat->setCurrentIndex(2);
    w.cboFileName->setCurrentIndex(1);
    w.txtAppNotice->setPlainText(QStringLiteral("notify-send \"[FILE_RECORDED]\""));
    w.txtTagArtist->setText(QStringLiteral("Me"));
    w.txtTagYear->setText(QStringLiteral("[YEAR]"));
    w.txtTagComment->setPlainText(QStringLiteral("two words"));
    const QString mp3 = w.cboTargetFormat->itemText(2);

    w.cmdOk_Click();

    const QMap<QString, QString> general = {
        {"chkClearOnExit", "1"},
        {"chkDisplayAudioGraph", "0"},
        {"chkMenuXPStyle", "0"},
        {"chkSelectTheLastItem", "0"},
        {"chkAutoFreeDB", "0"},
        {"chkDisplayPlayer", "0"},
        {"chkDisplayGridHotTrack", "0"},
        {"chkDisplayTitle", "0"},
        {"chkDisplayGridLine", "1"},
        {"picColor", "0"},
        {"picTextColor", "0"},
        {"cboDevices", "-1"},
        {"cboTargetFormat", mp3},
        {"txtToPath", mainFolder()},
        {"cboFileName", "[file_name].[source_extension].[dest_extension]"},
        {"chkSaveLogWhenExit", "0"},
        {"chkDisplayMSGWhenExit", "0"},
        {"chkDisplayMSGWhenErase", "0"},
        {"chkGoToNextItem", "1"},
        {"chkDisplayLiveUpdateWindow", "0"},
        {"chkAutoUpdate", "0"},
    };
    const QMap<QString, QString> events = {
        {"chkOpenDestFolder", "0"},
        {"chkTurnOffComputer", "0"},
        {"chkPlaySound", "1"},
        {"txtPlayAtEnd", defaultSound()},
        {"chkNoticeApp", "0"},
        {"txtAppNotice", "notify-send \"[FILE_RECORDED]\""},
    };
    const QMap<QString, QString> tags = {
        {"chkCopyID3FromSource", "0"},
        {"txtTagArtist", "Me"},
        {"txtTagSong", ""},
        {"txtTagAlbum", ""},
        {"txtTagGenre", ""},
        {"txtTagTrack", ""},
        {"txtTagYear", "[YEAR]"},
        {"txtTagComment", "two words"},
    };
    EXPECT_EQ(dump("General"), general);
    EXPECT_EQ(dump("Events"), events);
    EXPECT_EQ(dump("ID3 Tags"), tags);
    EXPECT_EQ(dump("Display"), (QMap<QString, QString>{}));
    EXPECT_TRUE(mdlRunOnStart::IsRunOnStartup());

    EXPECT_TRUE(g_bClearOnExit);
    EXPECT_TRUE(g_bDisplayGridLine);
    EXPECT_TRUE(g_bPlaySound);
    EXPECT_FALSE(g_bCopyID3FromSource);
    EXPECT_EQ(g_sDefaultTargetFormat, mp3);
    EXPECT_EQ(g_sDefaultFileNameFormat, QStringLiteral("[file_name].[source_extension].[dest_extension]"));
    EXPECT_EQ(g_sTagYear, QStringLiteral("[YEAR]"));
    EXPECT_EQ(g_sNoticeCommandLine, QStringLiteral("notify-send \"[FILE_RECORDED]\""));

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Forms::options(), &w) << "OK only hides the window";

    // Pressing OK again with nothing changed writes the same values again.
    w.cmdOk_Click();
    EXPECT_EQ(dump("General"), general);
    EXPECT_EQ(dump("ID3 Tags"), tags);

    // Switching start-with-session off removes the entry again.
    w.chkRunWhenWinStarts->setChecked(false);
    w.cmdOk_Click();
    EXPECT_FALSE(mdlRunOnStart::IsRunOnStartup());
}

TEST_F(OptionsTest, OkStoresTheListsFolderAsAFolderPath)
{
    struct Case {
        const char *what;
        QString typed;
        QString stored;
    };
    const QString lists = TestEnv::workFolder() + QStringLiteral("/Lists");
    const QList<Case> cases = {
        {"typed without a closing slash", lists, lists + QLatin1Char('/')},
        {"typed with one", lists + QLatin1Char('/'), lists + QLatin1Char('/')},
        {"emptied", QString(), mainFolder()},
        // Blanks name no folder: the lists go where the tree looks for them.
        {"blanks only", QStringLiteral("   "), mainFolder()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        frmOptions &w = options();
        w.txtToPath->setEditText(c.typed);
        w.cmdOk_Click();
        EXPECT_EQ(dump("General").value("txtToPath"), c.stored);
        EXPECT_EQ(g_sItemsListMainDirectory, c.stored);
        EXPECT_EQ(w.txtToPath->currentText(), c.stored);
    }
    EXPECT_TRUE(QDir(mainFolder()).exists());
}

TEST_F(OptionsTest, CancelBringsBackTheStoredValues)
{
    store("General", "chkClearOnExit", "1");
    store("General", "cboFileName", "[123].[dest_extension]");
    store("Events", "txtAppNotice", "stored line");
    store("ID3 Tags", "txtTagAlbum", "Stored Album");
    frmOptions &w = options();
    w.show();

    w.chkClearOnExit->setChecked(false);
    w.chkMenuXPStyle->setChecked(true);
    w.cboFileName->setCurrentIndex(0);
    w.cboTargetFormat->setCurrentIndex(3);
    w.txtAppNotice->setPlainText(QStringLiteral("edited"));
    w.txtTagAlbum->setText(QStringLiteral("Edited"));
    w.chkRunWhenWinStarts->setChecked(true);

    w.cmdCancel_Click();

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.chkClearOnExit->checkState(), Qt::Checked);
    EXPECT_EQ(w.chkMenuXPStyle->checkState(), Qt::Unchecked);
    EXPECT_EQ(w.cboFileName->currentText(), QStringLiteral("[123].[dest_extension]"));
    EXPECT_EQ(w.txtAppNotice->toPlainText(), QStringLiteral("stored line"));
    EXPECT_EQ(w.txtTagAlbum->text(), QStringLiteral("Stored Album"));
    EXPECT_EQ(w.chkRunWhenWinStarts->checkState(), Qt::Unchecked);
    // Without a stored format there is nothing to go back to: the pick stays,
    // and the published default stays empty.
    EXPECT_EQ(w.cboTargetFormat->currentIndex(), 3);
    EXPECT_EQ(g_sDefaultTargetFormat, QString());
    EXPECT_TRUE(g_bClearOnExit);
    EXPECT_FALSE(g_bMenuXPStyle);
    EXPECT_EQ(g_sTagAlbum, QStringLiteral("Stored Album"));
    EXPECT_EQ(dump("General").value("chkMenuXPStyle"), QString()) << "Cancel writes nothing";
    EXPECT_FALSE(mdlRunOnStart::IsRunOnStartup());
}

TEST_F(OptionsTest, TheCloseBoxOnlyHidesAndKeepsTheEdits)
{
    frmOptions &w = options();
    w.show();
    w.chkClearOnExit->setChecked(true);
    w.txtTagGenre->setText(QStringLiteral("Edited"));
    testServices().sound->played.clear();

    EXPECT_FALSE(w.close());

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Forms::options(), &w);
    EXPECT_EQ(w.chkClearOnExit->checkState(), Qt::Checked);
    EXPECT_EQ(w.txtTagGenre->text(), QStringLiteral("Edited"));
    EXPECT_FALSE(g_bClearOnExit) << "nothing is published";
    EXPECT_FALSE(dump("General").contains("chkClearOnExit")) << "nothing is stored";
    EXPECT_EQ(testServices().sound->played, QStringList{QString()}) << "a test sound stops with the window";

    // Shown again, the window still holds the edits; OK then stores them.
    w.show();
    w.cmdOk_Click();
    EXPECT_EQ(dump("General").value("chkClearOnExit"), QStringLiteral("1"));
    EXPECT_EQ(dump("ID3 Tags").value("txtTagGenre"), QStringLiteral("Edited"));
}

TEST_F(OptionsTest, TheWindowUnloadsOnlyWhileTheProgramCloses)
{
    frmOptions &w = options();
    EXPECT_FALSE(Forms::unload(&w));
    EXPECT_EQ(Forms::options(), &w);

    g_bAppClosing = true;
    EXPECT_TRUE(Forms::unload(&w));
    EXPECT_EQ(Forms::options(), nullptr);
    g_bAppClosing = false;
}

TEST_F(OptionsTest, EnableRulesFollowTheStoredValues)
{
    struct Case {
        const char *subkey;
        const char *name;
        const char *stored;
        bool soundOn;
        bool noticeOn;
        bool tagDefaultsOn;
    };
    const QList<Case> cases = {
        {"Events", "chkPlaySound", "1", true, false, false},
        {"Events", "chkNoticeApp", "1", false, true, false},
        {"ID3 Tags", "chkCopyID3FromSource", "0", false, false, true},
        {"ID3 Tags", "chkCopyID3FromSource", "1", false, false, false},
    };
    const auto expectRules = [](frmOptions &w, bool soundOn, bool noticeOn, bool tagDefaultsOn) {
        EXPECT_EQ(w.txtPlayAtEnd->isEnabled(), soundOn);
        EXPECT_EQ(w.cmdAddSound->isEnabled(), soundOn);
        EXPECT_EQ(w.cmdTestSound->isEnabled(), soundOn);
        EXPECT_EQ(w.txtAppNotice->isEnabled(), noticeOn);
        EXPECT_EQ(w.cmdTestApp->isEnabled(), noticeOn);
        for (QWidget *tag : std::initializer_list<QWidget *>{w.lblTagArtist, w.txtTagArtist, w.lblTagSong, w.txtTagSong,
                                                              w.lblTagAlbum, w.txtTagAlbum, w.lblTagGenre, w.txtTagGenre,
                                                              w.lblTagTrack, w.txtTagTrack, w.lblTagYear, w.txtTagYear,
                                                              w.lblTagComment, w.txtTagComment})
            EXPECT_EQ(tag->isEnabled(), tagDefaultsOn);
        // The help links work in every state.
        EXPECT_TRUE(w.lblNoticParameters->isEnabled());
        EXPECT_TRUE(w.lblID3TagParameters->isEnabled());
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.stored);
        TestEnv::removeSettingsRoot();
        TestEnv::installSettingsRoot();
        store(QString::fromLatin1(c.subkey), QString::fromLatin1(c.name), QString::fromLatin1(c.stored));
        frmOptions &w = options();
        expectRules(w, c.soundOn, c.noticeOn, c.tagDefaultsOn);

        // A later read that flips the stored states moves the rules along.
        store("Events", "chkPlaySound", c.soundOn ? "0" : "1");
        store("Events", "chkNoticeApp", c.noticeOn ? "0" : "1");
        store("ID3 Tags", "chkCopyID3FromSource", c.tagDefaultsOn ? "1" : "0");
        w.cmdCancel_Click();
        expectRules(w, !c.soundOn, !c.noticeOn, !c.tagDefaultsOn);

        // And so does the user's click.
        w.chkPlaySound->click();
        w.chkNoticeApp->click();
        w.chkCopyID3FromSource->click();
        expectRules(w, c.soundOn, c.noticeOn, c.tagDefaultsOn);
        TearDown();
    }
}

TEST_F(OptionsTest, AStoredRunAtStartupEntryTicksItsBox)
{
    ASSERT_EQ(mdlRunOnStart::SetRunOnStartup(true), -1);
    frmOptions &w = options();
    EXPECT_EQ(w.chkRunWhenWinStarts->checkState(), Qt::Checked);
    EXPECT_FALSE(dump("General").contains("chkRunWhenWinStarts"));
}

TEST_F(OptionsTest, MissingSubkeysStoreNothingAndReadAsEmpty)
{
    ASSERT_EQ(Registry::deleteKey(HKEY_LOCAL_MACHINE, settingsPath("Events")), Registry::Success);
    ASSERT_EQ(Registry::deleteKey(HKEY_LOCAL_MACHINE, settingsPath("ID3 Tags")), Registry::Success);
    frmOptions &w = options();
    EXPECT_EQ(g_sEndSoundFile, defaultSound());
    EXPECT_TRUE(g_bCopyID3FromSource);

    w.chkTurnOffComputer->setChecked(true);
    w.txtTagArtist->setText(QStringLiteral("lost"));
    w.cmdOk_Click();
    EXPECT_FALSE(Registry::keyExists(HKEY_LOCAL_MACHINE, settingsPath("Events"))) << "the store never makes a key";
    EXPECT_FALSE(Registry::keyExists(HKEY_LOCAL_MACHINE, settingsPath("ID3 Tags")));
    EXPECT_FALSE(g_bTurnOffComputer) << "the read-back finds nothing stored";
    EXPECT_EQ(g_sTagArtist, QString());
    EXPECT_FALSE(dump("General").isEmpty()) << "the values of existing subkeys are stored";
}

TEST_F(OptionsTest, OkSaysSoWhenAValueCannotBeWritten)
{
    frmOptions &w = options();
    // A folder where the value's file belongs: no write there can succeed,
    // whoever runs the test.
    QString general;
    QDirIterator it(AppPaths::registryFolder(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString folder = it.next();
        if (it.fileName().compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0)
            general = folder;
    }
    ASSERT_FALSE(general.isEmpty());
    QFile::remove(general + QStringLiteral("/chkclearonexit.val"));
    ASSERT_TRUE(QDir().mkpath(general + QStringLiteral("/chkclearonexit.val")));

    w.chkClearOnExit->setChecked(true);
    w.txtTagArtist->setText(QStringLiteral("kept"));
    w.cmdOk_Click();
    ASSERT_EQ(prompter().messages.size(), 1);
    EXPECT_TRUE(prompter().messageTexts().first().startsWith(QStringLiteral("Some options could not be saved")));
    EXPECT_EQ(dump("ID3 Tags").value(QStringLiteral("txtTagArtist")), QStringLiteral("kept"))
        << "the other values are still stored";
}

// Every option of the window's table comes back as it was stored after a
// read, a save and a second read, in its control, its variable and the store.
TEST_F(OptionsTest, EveryTableOptionSurvivesReadSaveRead)
{
    struct Stored {
        const OptionsTable::Option *option;
        QString text;
    };
    QList<Stored> stored;
    int i = 0;
    for (const OptionsTable::Option &option : OptionsTable::options()) {
        ++i;
        const QString text = std::visit(
            [i](auto control) -> QString {
                using Control = decltype(control);
                if constexpr (std::is_same_v<Control, QCheckBox *frmOptions::*>)
                    return QString::number(i % 3);
                else if constexpr (std::is_same_v<Control, ColorBox *frmOptions::*>)
                    return QString::number((0x10305 * i) & 0xFFFFFF);
                else if constexpr (std::is_same_v<Control, QPlainTextEdit *frmOptions::*>)
                    return QStringLiteral("line %1\nand more").arg(i);
                else
                    return QStringLiteral("text %1").arg(i);
            },
            option.control);
        store(option.subkey, option.key, text);
        stored << Stored{&option, text};
    }
    ASSERT_GT(stored.size(), 20);

    const auto expectPublished = [&stored](const char *when) {
        for (const Stored &s : stored) {
            SCOPED_TRACE(std::string(when) + " " + s.option->key.toStdString());
            std::visit(
                [&s](auto *global) {
                    using Global = std::remove_pointer_t<decltype(global)>;
                    if constexpr (std::is_same_v<Global, bool>)
                        EXPECT_EQ(*global, s.text != QLatin1String("0"));
                    else if constexpr (std::is_same_v<Global, QString>)
                        EXPECT_EQ(*global, s.text);
                    else
                        EXPECT_EQ(*global, s.text.toInt());
                },
                s.option->global);
        }
    };

    pollutePublishedVariables();
    frmOptions &w = options();
    expectPublished("first read");

    w.cmdOk_Click();
    for (const Stored &s : stored)
        EXPECT_EQ(dump(s.option->subkey).value(s.option->key), s.text) << s.option->key.toStdString();

    pollutePublishedVariables();
    w.GetOptions();
    expectPublished("second read");
}
