#include "settings/audioprop_fixture.h"

#include "support/ScriptedServices.h"

#include "platform/AppPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

QFrame *visiblePage(frmAudioProp &w)
{
    QFrame *shown = nullptr;
    int count = 0;
    for (QFrame *page : {w.froToWAV, w.froToACM, w.froToMP3, w.froToWMA, w.froToOGG, w.froToAPE}) {
        if (!page->isHidden()) {
            shown = page;
            ++count;
        }
    }
    return count == 1 ? shown : nullptr;
}

} // namespace

TEST_F(AudioPropTest, OneTabPerFormatKeyedAndCaptionedByItsThreeLetters)
{
    frmAudioProp &w = load();
    const QStringList keys = {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"};
    ASSERT_EQ(w.cTabControl1->TabCount(), 6);
    for (int position = 1; position <= 6; ++position) {
        EXPECT_EQ(w.cTabControl1->TabKey(position), keys.at(position - 1));
        EXPECT_EQ(w.cTabControl1->TabIndex(keys.at(position - 1)), position);
    }
    // Tab order is the options' destination list order, which OK relies on.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Forms::options()->cboTargetFormat->itemText(i).startsWith(keys.at(i)));
}

TEST_F(AudioPropTest, OpeningOnATargetFormatShowsThatFormatsPageAndTitle)
{
    frmAudioProp &w = load();
    struct Case {
        const char *target;
        QFrame *frmAudioProp::*page;
        const char *title;
        const char *description;
    };
    for (const Case &c : {
             Case{"OGG - Ogg Media Format (*.ogg)", &frmAudioProp::froToOGG, "OGG -", "Ogg Media format"},
             Case{"WAV - Waveform Audio Format (*.wav)", &frmAudioProp::froToWAV, "WAV -", "Waveform audio format"},
             Case{"ACM - Waveform ACM Codecs (*.wav)", &frmAudioProp::froToACM, "WAV(ACM) -",
                  "Waveform audio format with ACM codec"},
             Case{"MP3 - MPEG-1 Audio Layer 3 (*.mp3)", &frmAudioProp::froToMP3, "MP3 -", "MPEG-1 Audio Layer 3"},
             Case{"WMA - Windows Media Audio files (*.wma)", &frmAudioProp::froToWMA, "WMA -", "Windows Media Audio"},
             Case{"APE - Monkey 's Audio (*.ape)", &frmAudioProp::froToAPE, "APE -",
                  "Monkey\u2019s Audio file format"},
         }) {
        SCOPED_TRACE(c.target);
        w.selectFormatTab(QString::fromUtf8(c.target));
        EXPECT_EQ(w.cTabControl1->TabKey(w.cTabControl1->SelectedTab()), QString::fromUtf8(c.target).left(3));
        EXPECT_EQ(visiblePage(w), w.*c.page);
        EXPECT_EQ(w.lblTitle->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(w.lblFormatDesc->text(), QString::fromUtf8(c.description));
        // The description follows the title at 80 twips, however long the title is.
        EXPECT_EQ(w.lblFormatDesc->x(), w.lblTitle->x() + w.lblTitle->width() + Twips::toPixels(80));
    }
}

TEST_F(AudioPropTest, TabClickShowsTheSelectedTabWhateverPositionIsPassed)
{
    frmAudioProp &w = load();
    w.cTabControl1->SelectTab("APE");
    w.cTabControl1_TabClick(1);
    EXPECT_EQ(visiblePage(w), w.froToAPE);
    EXPECT_EQ(w.lblTitle->text(), "APE -");

    // A change of tab by the user shows its page at once.
    w.cTabControl1->findChild<QTabBar *>()->setCurrentIndex(2);
    EXPECT_EQ(visiblePage(w), w.froToMP3);
}

TEST_F(AudioPropTest, ModalOpenerShowsTheWindowOnItsFormatUntilExit)
{
    frmAudioProp &w = load();
    bool shownOnOgg = false;
    QTimer::singleShot(0, &w, [&] {
        shownOnOgg = w.isVisible() && w.isModal() && !w.froToOGG->isHidden();
        w.cmdExit->click();
    });
    w.openOnFormat("OGG - Ogg Media Format (*.ogg)");
    EXPECT_TRUE(shownOnOgg);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Forms::audioProp(), &w);
}

TEST_F(AudioPropTest, PagesCoverTheTabClientAreaReachingFiftyTwipsFurtherLeft)
{
    frmAudioProp &w = load();
    const FormatTabStrip &tabs = *w.cTabControl1;
    const QRect expected(Twips::toPixels(tabs.ClientLeft() - 50), Twips::toPixels(tabs.ClientTop()),
                         Twips::toPixels(tabs.ClientWidth() + 50), Twips::toPixels(tabs.ClientHeight()));
    for (QFrame *page : {w.froToWAV, w.froToACM, w.froToMP3, w.froToWMA, w.froToOGG, w.froToAPE})
        EXPECT_EQ(page->geometry(), expected);
    EXPECT_GT(tabs.ClientHeight(), 0);
}

TEST_F(AudioPropTest, AdvancedLinkTogglesThePanelAndItsCaption)
{
    frmAudioProp &w = load();
    w.selectFormatTab("MP3");
    ASSERT_TRUE(w.picMP3Advanced->isHidden());
    QTest::mouseClick(w.lblMP3Advanced, Qt::LeftButton);
    EXPECT_FALSE(w.picMP3Advanced->isHidden());
    EXPECT_EQ(w.lblMP3Advanced->text(), "Simple...");
    QTest::mouseClick(w.lblMP3Advanced, Qt::LeftButton);
    EXPECT_TRUE(w.picMP3Advanced->isHidden());
    EXPECT_EQ(w.lblMP3Advanced->text(), "Advanced...");
    EXPECT_EQ(w.lblMP3Advanced->toolTip(), "MP3 properties mode.");
}

TEST_F(AudioPropTest, SliderReadOutFollowsDraggingOnly)
{
    store("OGG", "sldOGG", "20");
    frmAudioProp &w = load();
    EXPECT_EQ(w.lblSensitivityVal->text(), "20");

    w.sldOGG->setSliderDown(true);
    w.sldOGG->setSliderPosition(73);
    w.sldOGG->setSliderDown(false);
    EXPECT_EQ(w.lblSensitivityVal->text(), "73");

    w.sldOGG->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.sldOGG->value(), 74);
    EXPECT_EQ(w.lblSensitivityVal->text(), "73");
}
