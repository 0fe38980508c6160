#include "OptionsFixture.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/cTreeView.h"
#include "platform/AppPaths.h"
#include "settings/ColorBox.h"
#include "core/LinkLabel.h"
#include "settings/FormatTabStrip.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Opens the window on a page as another window does: select the node of the
// key, hand it to the page handler.
void openOnPage(frmOptions &w, const QString &key)
{
    cTreeNode *node = w.cTreeView1->Nodes().Item(key);
    ASSERT_NE(node, nullptr) << key.toStdString();
    node->setSelected(true);
    w.cTreeView1_NodeClick(node);
}

QStringList pathHistory()
{
    QFile file(AppPaths::programFolder() + QStringLiteral("/PathHistory"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

qint32 colorNumber(int r, int g, int b)
{
    return r + g * 256 + b * 65536;
}

} // namespace

TEST_F(OptionsTest, EachPageKeyShowsItsPageAloneWithItsTitle)
{
    frmOptions &w = options();
    struct Case {
        const char *key;
        QWidget *frmOptions::*page;
        const char *title;
    };
    const QList<Case> cases = {
        {"Events", &frmOptions::froEvents, "Events"},
        {"ID3 Tags", &frmOptions::froTags, "Default ID3 Tags"},
        {"View", &frmOptions::froView, "View"},
        {"Advanced", &frmOptions::froAdvanced, "Advanced"},
        {"General", &frmOptions::froGeneral, "General"},
    };
    const QList<QWidget *> pages = {w.froGeneral, w.froEvents, w.froView, w.froTags, w.froAdvanced};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        openOnPage(w, QString::fromLatin1(c.key));
        for (QWidget *page : pages)
            EXPECT_EQ(page->isVisibleTo(&w), page == w.*c.page);
        EXPECT_EQ(w.lblTitle->text(), QString::fromLatin1(c.title));
        ASSERT_NE(w.cTreeView1->SelectedItem(), nullptr);
        EXPECT_EQ(w.cTreeView1->SelectedItem()->Key(), QString::fromLatin1(c.key));
    }

    // The page shown last is still shown when the window is shown again.
    openOnPage(w, QStringLiteral("Events"));
    w.show();
    EXPECT_TRUE(w.froEvents->isVisible());
    EXPECT_FALSE(w.froGeneral->isVisible());

    // Every page stands in the same place beside the tree.
    for (QWidget *page : pages)
        EXPECT_EQ(page->geometry(), w.froGeneral->geometry());
    EXPECT_GT(w.froGeneral->x(), w.cTreeView1->x() + w.cTreeView1->width());
}

TEST_F(OptionsTest, SelectingANodeInTheTreeShowsItsPage)
{
    frmOptions &w = options();
    w.cTreeView1->Nodes().Item(QStringLiteral("View"))->setSelected(true);
    EXPECT_TRUE(w.froView->isVisibleTo(&w));
    EXPECT_FALSE(w.froGeneral->isVisibleTo(&w));
    EXPECT_EQ(w.lblTitle->text(), QStringLiteral("View"));
}

TEST_F(OptionsTest, MoreAdvancedOptionsJumpsToTheAdvancedPage)
{
    frmOptions &w = options();
    w.lblMoreAdvancedOptions_Click();
    EXPECT_TRUE(w.froAdvanced->isVisibleTo(&w));
    EXPECT_FALSE(w.froGeneral->isVisibleTo(&w));
    EXPECT_EQ(w.cTreeView1->SelectedItem()->Key(), QStringLiteral("Advanced"));
}

TEST_F(OptionsTest, FreeDbBoxShowsOnlyWhenTheEditionHasTheRipper)
{
    for (const qint32 ripper : {0, 1}) {
        SCOPED_TRACE(ripper);
        g_lAppIncCDRipper = ripper;
        frmOptions &w = options();
        EXPECT_EQ(w.chkAutoFreeDB->isVisibleTo(w.froGeneral), ripper == 1);
        EXPECT_FALSE(w.chkAutoUpdate->isVisibleTo(w.froAdvanced));
        EXPECT_FALSE(w.cboDevices->isVisibleTo(&w));
        TearDown();
    }
    mdlModes::InitEdition();
}

TEST_F(OptionsTest, TestRunsTheNoticeLineAsOneProgramWithItsArguments)
{
    struct Case {
        const char *line;
        const char *program;
        QStringList arguments;
    };
    const QList<Case> cases = {
        {"notepad.exe [PROG_NAME]", "notepad.exe", {"[PROG_NAME]"}},
        {"notify-send done; rm -rf ~", "notify-send", {"done;", "rm", "-rf", "~"}},
        {"echo $(touch /tmp/owned) `id`", "echo", {"$(touch", "/tmp/owned)", "`id`"}},
        {"\"/opt/My Player/play\" \"[FILE_RECORDED]\" && reboot", "/opt/My Player/play",
         {"[FILE_RECORDED]", "&&", "reboot"}},
        {"say \"\"\"quoted\"\"\" 'single words'", "say", {"\"quoted\"", "'single", "words'"}},
        {"tool a|b>c", "tool", {"a|b>c"}},
    };
    frmOptions &w = options();
    w.chkNoticeApp->setChecked(true);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        testServices().launcher->starts.clear();
        w.txtAppNotice->setPlainText(QString::fromLatin1(c.line));
        w.cmdTestApp->click();
        ASSERT_EQ(testServices().launcher->starts.size(), 1);
        const RecordingLauncher::Start &start = testServices().launcher->starts.first();
        EXPECT_EQ(start.program, QString::fromLatin1(c.program));
        EXPECT_EQ(start.arguments, c.arguments);
        EXPECT_TRUE(start.minimized);
    }

    // A blank line starts nothing and says nothing.
    testServices().launcher->starts.clear();
    w.txtAppNotice->setPlainText(QStringLiteral("   "));
    w.cmdTestApp_Click();
    EXPECT_TRUE(testServices().launcher->starts.isEmpty());
    EXPECT_TRUE(prompter().messages.isEmpty());
}

TEST_F(OptionsTest, AddPicksTheFirstChosenSoundAndTestPlaysIt)
{
    frmOptions &w = options();
    const QString folder = TestEnv::workFolder() + QStringLiteral("/Media");
    prompter().openAnswers << QStringList{folder + QStringLiteral("/ding.wav"), folder + QStringLiteral("/chord.wav")};
    w.cmdAddSound_Click();

    ASSERT_EQ(prompter().openRequests.size(), 1);
    EXPECT_EQ(prompter().openRequests.first().title, QStringLiteral("Select files"));
    EXPECT_EQ(prompter().openRequests.first().filter,
              QStringLiteral("media files (*.wav; *.mp3)|*.wav; *.mp3|mp3 (*.mp3)|*.mp3|wav (*.wav)|*.wav"));
    EXPECT_EQ(w.txtPlayAtEnd->text(), QStringLiteral("ding.wav"));
    EXPECT_EQ(w.txtPlayAtEnd->toolTip(), folder + QStringLiteral("/ding.wav"));
    EXPECT_EQ(g_sEndSoundFile, AppPaths::resourceFolder() + QStringLiteral("/sound/notify.wav"))
        << "nothing takes effect before OK";

    w.cmdTestSound_Click();
    EXPECT_EQ(testServices().sound->played, QStringList{folder + QStringLiteral("/ding.wav")});

    // A cancelled dialog changes nothing.
    w.cmdAddSound_Click();
    EXPECT_EQ(w.txtPlayAtEnd->toolTip(), folder + QStringLiteral("/ding.wav"));

    w.cmdOk_Click();
    EXPECT_EQ(dump("Events").value("txtPlayAtEnd"), folder + QStringLiteral("/ding.wav"));
    EXPECT_EQ(g_sEndSoundFile, folder + QStringLiteral("/ding.wav"));
}

TEST_F(OptionsTest, SelectPathShowsTheFolderWithASlashAtTheTopOfTheHistory)
{
    frmOptions &w = options();
    const QString lists = TestEnv::workFolder() + QStringLiteral("/Lists");
    prompter().folderAnswers << lists;
    w.cmdSelectPath_Click();

    ASSERT_EQ(prompter().folderRequests.size(), 1);
    EXPECT_EQ(w.txtToPath->currentText(), lists + QLatin1Char('/'));
    EXPECT_EQ(w.txtToPath->itemText(0), lists + QLatin1Char('/'));
    EXPECT_EQ(pathHistory(), QStringList{lists + QLatin1Char('/')});
    EXPECT_FALSE(dump("General").contains("txtToPath")) << "stored only by OK";

    // Cancelled: nothing changes.
    w.cmdSelectPath_Click();
    EXPECT_EQ(w.txtToPath->currentText(), lists + QLatin1Char('/'));
}

TEST_F(OptionsTest, OpenDestinationFolderOffersToCreateAMissingFolder)
{
    const QString missing = TestEnv::workFolder() + QStringLiteral("/New");
    const QString question = QStringLiteral("The folder ") + missing + QStringLiteral("/ does not exist.") +
                             QString(44, QLatin1Char(' ')) + QStringLiteral("\r\n\r\nWould you like to create it?");
    frmOptions &w = options();

    w.txtToPath->setEditText(missing);
    prompter().answers << Msg::No;
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(w.txtToPath->currentText(), missing + QLatin1Char('/'));
    ASSERT_EQ(prompter().messages.size(), 1);
    EXPECT_EQ(prompter().messages.first().text, question);
    EXPECT_EQ(prompter().messages.first().buttons(), Msg::YesNo);
    EXPECT_EQ(prompter().messages.first().icon(), Msg::Information);
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());

    prompter().answers << Msg::Yes;
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(pathHistory().value(0), missing + QLatin1Char('/'));
    EXPECT_EQ(testServices().shell->opened, QStringList{missing + QLatin1Char('/')});

    // An existing folder opens at once.
    prompter().messages.clear();
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(prompter().messages.isEmpty());
    EXPECT_EQ(testServices().shell->opened.size(), 2);
}

TEST_F(OptionsTest, OpenDestinationFolderReportsAFolderThatCannotBeMade)
{
    const QString blocker = TestEnv::workFolder() + QStringLiteral("/file");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    frmOptions &w = options();
    w.txtToPath->setEditText(blocker + QStringLiteral("/Lists/"));
    prompter().answers << Msg::Yes;
    w.lblOpenDestinationDestinationFolder_Click();
    ASSERT_EQ(prompter().messages.size(), 2);
    EXPECT_EQ(prompter().messages.at(1).text,
              QStringLiteral("The path: ") + blocker + QStringLiteral("/Lists/ cannot be created."));
    EXPECT_EQ(prompter().messages.at(1).buttons(), Msg::OkOnly);
    EXPECT_TRUE(testServices().shell->opened.isEmpty());
}

TEST_F(OptionsTest, ColourPickersWriteDisplayAndRecolourTheMainWindowAtOnce)
{
    store("General", "picColor", "255");
    Forms::loadOptions();
    frmMain &main = Forms::loadMain();
    frmOptions &w = options();
    const qint32 back = colorNumber(10, 20, 30);
    const qint32 text = colorNumber(200, 100, 50);

    prompter().colorAnswers << ColorAnswer{QColor(10, 20, 30), {}} << ColorAnswer{QColor(200, 100, 50), {}};
    w.picColor_Click();
    w.picTextColor_Click();

    EXPECT_EQ(dump("Display"), (QMap<QString, QString>{{"picColor", QString::number(back)},
                                                        {"picTextColor", QString::number(text)}}));
    EXPECT_EQ(w.picColor->BackColor(), back);
    EXPECT_EQ(w.picTitle->BackColor(), back);
    EXPECT_EQ(w.picTextColor->BackColor(), text);
    EXPECT_EQ(w.lblTitle->palette().color(QPalette::WindowText), QColor(200, 100, 50));
    EXPECT_EQ(main.picTitle->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(main.lblTitle->palette().color(QPalette::WindowText), QColor(200, 100, 50));
    for (cAudioGraph *graph : {main.cAudioGraphAmp, main.cAudioGraphFreq}) {
        EXPECT_EQ(graph->BackColor(), quint32(back));
        EXPECT_EQ(graph->ForeColor(), quint32(text));
    }
    EXPECT_EQ(dump("General").value("picColor"), QStringLiteral("255")) << "the stored colour waits for OK";

    // Cancel: the window shows the stored colours again; what took effect stays.
    w.cmdCancel_Click();
    EXPECT_EQ(w.picColor->BackColor(), 255);
    EXPECT_EQ(w.picTitle->BackColor(), 255);
    EXPECT_EQ(w.picTextColor->BackColor(), 0);
    EXPECT_EQ(g_lTitleBackColor, 255);
    EXPECT_EQ(dump("Display").value("picColor"), QString::number(back));
    EXPECT_EQ(main.picTitle->palette().color(QPalette::Window), QColor(10, 20, 30));

    // A cancelled dialog changes nothing.
    w.picColor_Click();
    EXPECT_EQ(w.picColor->BackColor(), 255);
    EXPECT_EQ(dump("Display").value("picColor"), QString::number(back));
}

TEST_F(OptionsTest, ParametersLinksOpenTheHelpOnTheirSection)
{
    struct Case {
        void (frmOptions::*link)();
        int section;
    };
    const QList<Case> cases = {
        {&frmOptions::lblNoticParameters_Click, 0},
        {&frmOptions::lblID3TagParameters_Click, 1},
        {&frmOptions::lblParameters_Click, 2},
    };
    frmOptions &w = options();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.section);
        int shownSection = -2;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            frmProgParameters *help = Forms::progParameters();
            ASSERT_NE(help, nullptr);
            shownSection = help->cboSections->currentIndex();
            modal = help->isModal() && help->isVisible();
            help->cmdOk->click();
        });
        (w.*c.link)();
        EXPECT_EQ(shownSection, c.section);
        EXPECT_TRUE(modal);
        EXPECT_EQ(Forms::progParameters(), nullptr) << "OK unloads the help";
    }
}

TEST_F(OptionsTest, LinksLookLikeLinks)
{
    frmOptions &w = options();
    for (LinkLabel *link : {w.lblParameters, w.lblNoticParameters, w.lblID3TagParameters, w.lblMoreAdvancedOptions,
                            w.lblOpenDestinationDestinationFolder}) {
        SCOPED_TRACE(link->text().toStdString());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(w.lblMoreAdvancedOptions->toolTip(), QStringLiteral("More advanced options"));
    EXPECT_EQ(w.lblParameters->toolTip(), QStringLiteral("Parameters"));

    // A click on the link runs it.
    QTest::mouseClick(w.lblMoreAdvancedOptions, Qt::LeftButton);
    EXPECT_TRUE(w.froAdvanced->isVisibleTo(&w));
}

TEST_F(OptionsTest, ShownModallyOnAPageItStaysLoadedAfterOkAndCancel)
{
    for (QPushButton *frmOptions::*button : {&frmOptions::cmdOk, &frmOptions::cmdCancel}) {
        frmOptions &w = options();
        openOnPage(w, QStringLiteral("Events"));
        bool eventsShown = false;
        QTimer::singleShot(0, [&] {
            eventsShown = w.isVisible() && w.froEvents->isVisible() && !w.froGeneral->isVisible();
            (w.*button)->click();
        });
        w.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(eventsShown);
        ASSERT_EQ(Forms::options(), &w);
        EXPECT_FALSE(w.isVisible());
    }

    // Escape closes it like the close box: hidden, still loaded.
    frmOptions &w = options();
    QTimer::singleShot(0, [&] { QTest::keyClick(&w, Qt::Key_Escape); });
    w.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Forms::options(), &w);
}

TEST_F(OptionsTest, EditOpensTheAudioFormatWindowOnTheChosenFormat)
{
    frmOptions &w = options();
    Forms::loadAudioProp();
    for (const int format : {4, 2}) {
        w.cboTargetFormat->setCurrentIndex(format);
        const QString key = w.cboTargetFormat->currentText().left(3);
        SCOPED_TRACE(key.toStdString());
        QString shownTab;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            frmAudioProp *formats = Forms::audioProp();
            ASSERT_NE(formats, nullptr);
            shownTab = formats->cTabControl1->TabKey(formats->cTabControl1->SelectedTab());
            modal = formats->isModal() && formats->isVisible();
            formats->cmdExit->click();
        });
        w.cmdEditTargetFormat->click();
        EXPECT_EQ(shownTab, key);
        EXPECT_TRUE(modal);
    }
}
