#include "settings/audioprop_fixture.h"

#include "platform/Registry.h"
#include "settings/OptionSettings.h"
#include "support/FreshInstall.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

#include <functional>
#include <ostream>

namespace {

constexpr const char *kSettingsRoot = "SOFTWARE\\Tarvena\\Sonvale";

QStringList values(const QString &subkey)
{
    QStringList lines;
    for (const auto &[name, data] :
         RegistryRoutines().EnumRegistryValues(HKEY_LOCAL_MACHINE, QLatin1String(kSettingsRoot) + "\\" + subkey))
        lines << name + QLatin1Char('=') + data.toString();
    return lines;
}

} // namespace

TEST_F(AudioPropTest, EmptySubkeysPublishWhatTheControlsHoldAfterReadingNothing)
{
    frmAudioProp &w = load();

    // Text rows keep the load defaults; index, check, option and slider rows read 0.
    EXPECT_EQ(g_lWavSampleRate, 44100);
    EXPECT_EQ(g_lWavBitsPerSample, 16);
    EXPECT_EQ(g_lWavChannelsIndex, 0);
    EXPECT_EQ(w.cboChannelsWAV->currentText(), "Mono");

    EXPECT_EQ(g_lMp3Bitrate, 128);
    EXPECT_EQ(g_lMp3Quality, 5);
    EXPECT_EQ(g_lMp3SampleRate, 44100);
    EXPECT_EQ(g_lMp3Mode, 0);
    EXPECT_FALSE(g_bMp3ErrorProtect);
    EXPECT_FALSE(g_bMp3Original);
    EXPECT_FALSE(g_bMp3Copyright);
    EXPECT_FALSE(g_bMp3StrictISO);
    EXPECT_EQ(g_lMp3VBRQuality, 5);
    EXPECT_EQ(g_lMp3MinBitrateIndex, 9);
    EXPECT_EQ(g_lMp3MaxBitrateIndex, 11);
    EXPECT_FALSE(g_bMp3VBRTag);
    EXPECT_FALSE(g_bMp3VBRForceMinBitrate);
    EXPECT_FALSE(g_bMp3ABR);
    EXPECT_EQ(g_lMp3ABRBitrate, 96);
    EXPECT_EQ(w.lblMP3Advanced->text(), "Advanced...");
    EXPECT_TRUE(w.picMP3Advanced->isHidden());
    // Not stored: ticked at every load.
    EXPECT_TRUE(w.chkMP3VBR->isChecked());

    EXPECT_FALSE(g_bOggQualityMode);
    EXPECT_EQ(g_lOggQuality, 0);
    EXPECT_FALSE(g_bOggBitrateMode);
    EXPECT_EQ(g_lOggNominalBitrate, 32);
    EXPECT_FALSE(w.ptnQualityOGG->isChecked());
    EXPECT_FALSE(w.optOggBit->isChecked());
    // The read-out shows the slider as the read left it.
    EXPECT_EQ(w.lblSensitivityVal->text(), "0");

    EXPECT_EQ(g_lApeLevel, 0);
    EXPECT_EQ(w.cboAPELevel->currentText(), "Fast");

    // The page starts on WAV; nothing is written by a load.
    EXPECT_FALSE(w.froToWAV->isHidden());
    EXPECT_TRUE(dumpFormats().isEmpty());
}

struct AudioPropStoredCase {
    const char *label;
    const char *format;
    const char *name;
    const char *stored;
    std::function<qint64()> published;
    qint64 expected;
};

void PrintTo(const AudioPropStoredCase &c, std::ostream *os)
{
    *os << c.format << '\\' << c.name << "=\"" << c.stored << '"';
}

class AudioPropStoredValue : public AudioPropTest, public ::testing::WithParamInterface<AudioPropStoredCase> {};

TEST_P(AudioPropStoredValue, IsAppliedByItsKindAndPublished)
{
    const AudioPropStoredCase &c = GetParam();
    store(QLatin1String(c.format), QLatin1String(c.name), QString::fromUtf8(c.stored));
    load();
    EXPECT_EQ(c.published(), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, AudioPropStoredValue, ::testing::Values(
    // Text: the item with exactly that text, trailing blank included; anything else keeps the selection.
    AudioPropStoredCase{"TextSelectsItsItem", "WAV", "cboSamplesWAV", "22050", [] { return qint64(g_lWavSampleRate); }, 22050},
    AudioPropStoredCase{"TextWithTrailingBlank", "MP3", "cboMP3Bitrate", "8 ", [] { return qint64(g_lMp3Bitrate); }, 8},
    AudioPropStoredCase{"TextWithoutItsBlankMatchesNothing", "MP3", "cboMP3Quality", "9", [] { return qint64(g_lMp3Quality); }, 5},
    AudioPropStoredCase{"TextOfNoItemKeepsDefault", "MP3", "cboMP3Bitrate", "100", [] { return qint64(g_lMp3Bitrate); }, 128},
    AudioPropStoredCase{"EmptyTextKeepsDefault", "WAV", "cboBitrateWAV", "", [] { return qint64(g_lWavBitsPerSample); }, 16},
    AudioPropStoredCase{"OggBitrateList", "OGG", "cboOggBitNom", "196", [] { return qint64(g_lOggNominalBitrate); }, 196},
    AudioPropStoredCase{"OggBitrateListHasNo192", "OGG", "cboOggBitNom", "192", [] { return qint64(g_lOggNominalBitrate); }, 32},
    // Text rows that publish the list position, not the number shown.
    AudioPropStoredCase{"MinBitratePublishesItsIndex", "MP3", "cboMP3MinBitrate", "320", [] { return qint64(g_lMp3MinBitrateIndex); }, 18},
    AudioPropStoredCase{"MaxBitratePublishesItsIndex", "MP3", "cboMP3MaxBitrate", "8 ", [] { return qint64(g_lMp3MaxBitrateIndex); }, 0},
    AudioPropStoredCase{"VBRQualityPublishesItsIndex", "MP3", "cboMP3VBRQuality", "2 ", [] { return qint64(g_lMp3VBRQuality); }, 2},
    // Index: a number in range is the position; out of range or no number leaves the load default.
    AudioPropStoredCase{"IndexInRange", "MP3", "cboMP3Mode", "3", [] { return qint64(g_lMp3Mode); }, 3},
    AudioPropStoredCase{"IndexRoundsHalfToEven", "MP3", "cboMP3Mode", "2.5", [] { return qint64(g_lMp3Mode); }, 2},
    AudioPropStoredCase{"IndexOutOfRangeKeepsStereo", "WAV", "cboChannelsWAV", "7", [] { return qint64(g_lWavChannelsIndex); }, 1},
    AudioPropStoredCase{"IndexNotANumberKeepsStereo", "WAV", "cboChannelsWAV", "Mono", [] { return qint64(g_lWavChannelsIndex); }, 1},
    AudioPropStoredCase{"IndexMinusOneSelectsNothing", "APE", "cboAPELevel", "-1", [] { return qint64(g_lApeLevel); }, -1},
    AudioPropStoredCase{"ApeLevel", "APE", "cboAPELevel", "4", [] { return qint64(g_lApeLevel); }, 4},
    // Check: 0, 1 or 2 (grey counts as ticked); any other text leaves the load default.
    AudioPropStoredCase{"CheckTicked", "MP3", "chkMP3ABR", "1", [] { return qint64(g_bMp3ABR); }, 1},
    AudioPropStoredCase{"CheckGreyCountsAsTicked", "MP3", "chkMP3StrictISO", "2", [] { return qint64(g_bMp3StrictISO); }, 1},
    AudioPropStoredCase{"CheckClear", "MP3", "chkMP3Copyright", "0", [] { return qint64(g_bMp3Copyright); }, 0},
    AudioPropStoredCase{"CheckInvalidKeepsTicked", "MP3", "chkMP3Original", "5", [] { return qint64(g_bMp3Original); }, 1},
    AudioPropStoredCase{"CheckNotANumberKeepsTicked", "MP3", "chkMP3VBRTag", "yes", [] { return qint64(g_bMp3VBRTag); }, 1},
    // Option: "True"/"False"; a text that is no boolean leaves the load default (quality selected).
    AudioPropStoredCase{"OptionTrue", "OGG", "optOggBit", "True", [] { return qint64(g_bOggBitrateMode); }, 1},
    AudioPropStoredCase{"OptionNoBooleanKeepsQuality", "OGG", "ptnQualityOGG", "perhaps", [] { return qint64(g_bOggQualityMode); }, 1},
    // Position: 0 to 100; outside or no number leaves 50.
    AudioPropStoredCase{"Position", "OGG", "sldOGG", "73", [] { return qint64(g_lOggQuality); }, 73},
    AudioPropStoredCase{"PositionAbove100KeepsDefault", "OGG", "sldOGG", "101", [] { return qint64(g_lOggQuality); }, 50},
    AudioPropStoredCase{"PositionNotANumberKeepsDefault", "OGG", "sldOGG", "loud", [] { return qint64(g_lOggQuality); }, 50}),
    [](const ::testing::TestParamInfo<AudioPropStoredCase> &info) { return std::string(info.param.label); });
// clang-format on

TEST_F(AudioPropTest, BothOggOptionsStoredTruePublishQualityBeforeBitrateClearsIt)
{
    store("OGG", "ptnQualityOGG", "True");
    store("OGG", "optOggBit", "True");
    frmAudioProp &w = load();
    EXPECT_TRUE(g_bOggQualityMode);
    EXPECT_TRUE(g_bOggBitrateMode);
    EXPECT_FALSE(w.ptnQualityOGG->isChecked());
    EXPECT_TRUE(w.optOggBit->isChecked());
}

TEST_F(AudioPropTest, StoredLinkCaptionDecidesWhetherTheAdvancedPanelShows)
{
    struct Case {
        const char *stored;
        const char *caption;
        bool shown;
    };
    // A caption the link does not know shows the panel with a link that can hide it again.
    for (const Case &c : {Case{"Simple...", "Simple...", true}, Case{"", "Advanced...", false},
                          Case{"Advanced...", "Advanced...", false}, Case{"Odd", "Simple...", true}}) {
        SCOPED_TRACE(c.stored);
        store("MP3", "lblMP3Advanced", QString::fromUtf8(c.stored));
        frmAudioProp &w = load();
        EXPECT_EQ(w.lblMP3Advanced->text(), c.caption);
        EXPECT_EQ(!w.picMP3Advanced->isHidden(), c.shown);
        TearDown();
    }
}

TEST_F(AudioPropTest, AFreshInstallStartsFromTheWindowsOwnLoadDefaults)
{
    const FreshInstall fresh;
    const QStringList installed = dumpFormats();
    ASSERT_FALSE(installed.isEmpty());
    frmAudioProp &w = *Forms::audioProp();

    // What a first job hands over: stereo CD-quality WAV, 128 kbit/s MP3 with
    // its Info frame, OGG by quality.
    EXPECT_EQ(g_lWavSampleRate, 44100);
    EXPECT_EQ(g_lWavBitsPerSample, 16);
    EXPECT_EQ(g_lWavChannelsIndex, 1);
    EXPECT_EQ(w.cboChannelsWAV->currentText(), "Stereo");
    EXPECT_EQ(g_lMp3Bitrate, 128);
    EXPECT_EQ(g_lMp3SampleRate, 44100);
    EXPECT_TRUE(g_bMp3VBRTag);
    EXPECT_FALSE(g_bMp3ABR);
    EXPECT_TRUE(g_bMp3Original);
    EXPECT_TRUE(g_bMp3Copyright);
    EXPECT_EQ(g_lMp3MinBitrateIndex, 9);
    EXPECT_EQ(g_lMp3MaxBitrateIndex, 11);
    EXPECT_TRUE(g_bOggQualityMode);
    EXPECT_FALSE(g_bOggBitrateMode);
    EXPECT_EQ(g_lOggQuality, 50);
    EXPECT_TRUE(w.ptnQualityOGG->isChecked());
    EXPECT_TRUE(w.picMP3Advanced->isHidden());

    // The general options a new user finds.
    EXPECT_EQ(g_sDefaultTargetFormat, "WAV - Waveform Audio Format (*.wav)");
    EXPECT_EQ(Forms::options()->cboTargetFormat->currentText(), "WAV - Waveform Audio Format (*.wav)");
    EXPECT_TRUE(g_bDisplayPlayer);

    // The installed values are exactly the window's own: OK on a fresh
    // install stores each of them unchanged (and adds the ACM choice, which
    // depends on the codecs found).
    w.cmdOk_Click();
    const QStringList stored = dumpFormats();
    for (const QString &line : installed)
        EXPECT_TRUE(stored.contains(line)) << line.toStdString();
}

TEST_F(AudioPropTest, OkStoresEveryControlInItsFormAndPublishesTheReRead)
{
    frmAudioProp &w = load();
    w.cboSamplesWAV->setCurrentText("8000");
    w.cboMP3Bitrate->setCurrentText("8 ");
    w.cboMP3MinBitrate->setCurrentIndex(2);
    w.chkMP3ABR->setChecked(true);
    w.chkMP3StrictISO->setCheckState(Qt::PartiallyChecked);
    w.optOggBit->setChecked(true);
    w.sldOGG->setValue(40);
    w.cboAPELevel->setCurrentIndex(3);
    w.lblMP3Advanced->setText("Simple...");
    w.selectFormatTab("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");

    w.cmdOk_Click();

    EXPECT_EQ(dumpFormats(), (QStringList{
                                 "WAV\\cboBitrateWAV=16",
                                 "WAV\\cboChannelsWAV=0",
                                 "WAV\\cboSamplesWAV=8000",
                                 "ACM\\cboFormats=8.000 kHz, 8 Bit, Mono",
                                 "ACM\\cboTags=PCM",
                                 "MP3\\cboMP3ABRBitrate=96",
                                 "MP3\\cboMP3Bitrate=8 ",
                                 "MP3\\cboMP3MaxBitrate=128",
                                 "MP3\\cboMP3MinBitrate=24",
                                 "MP3\\cboMP3Mode=0",
                                 "MP3\\cboMP3Quality=5 ",
                                 "MP3\\cboMP3Samplerate=44100",
                                 "MP3\\cboMP3VBRQuality=5 ",
                                 "MP3\\chkMP3ABR=1",
                                 "MP3\\chkMP3Copyright=0",
                                 "MP3\\chkMP3ErrorProtect=0",
                                 "MP3\\chkMP3Original=0",
                                 "MP3\\chkMP3StrictISO=2",
                                 "MP3\\chkMP3VBRForceMinBitrate=0",
                                 "MP3\\chkMP3VBRTag=0",
                                 "MP3\\lblMP3Advanced=Simple...",
                                 "WMA\\cboWMACodecs=0",
                                 "WMA\\cboWMAFormat=0",
                                 "OGG\\cboOggBitNom=32",
                                 "OGG\\optOggBit=True",
                                 "OGG\\ptnQualityOGG=False",
                                 "OGG\\sldOGG=40",
                                 "APE\\cboAPELevel=3",
                             }));

    EXPECT_EQ(g_lWavSampleRate, 8000);
    EXPECT_EQ(g_lMp3Bitrate, 8);
    EXPECT_EQ(g_lMp3MinBitrateIndex, 2);
    EXPECT_TRUE(g_bMp3ABR);
    EXPECT_TRUE(g_bMp3StrictISO);
    EXPECT_TRUE(g_bOggBitrateMode);
    EXPECT_FALSE(g_bOggQualityMode);
    EXPECT_EQ(g_lOggQuality, 40);
    EXPECT_EQ(g_lApeLevel, 3);
    EXPECT_EQ(g_sAcmFormatTag, "PCM");
    EXPECT_EQ(g_sAcmFormat, "8.000 kHz, 8 Bit, Mono");
    EXPECT_FALSE(w.picMP3Advanced->isHidden());
    // OK hides the window; it stays loaded with what it showed.
    EXPECT_EQ(Forms::audioProp(), &w);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Forms::options()->cboTargetFormat->currentIndex(), 2);
}

TEST_F(AudioPropTest, OkOnTheWmaTabMakesWmaTheDefaultFormatWithoutStoringIt)
{
    frmAudioProp &w = load();
    frmOptions *options = Forms::options();
    options->cboTargetFormat->setCurrentIndex(0);
    w.cTabControl1->SelectTab("WMA");
    EXPECT_EQ(w.cTabControl1->SelectedTab(), 4);

    w.cmdOk_Click();

    EXPECT_EQ(options->cboTargetFormat->currentIndex(), 3);
    EXPECT_EQ(options->cboTargetFormat->currentText(), "WMA - Windows Media Audio files (*.wma)");
    for (const char *subkey : {"General", "Events", "ID3 Tags", "Display"})
        EXPECT_TRUE(values(QLatin1String(subkey)).isEmpty()) << subkey;
    EXPECT_EQ(dumpFormats().size(), 28);
}

TEST_F(AudioPropTest, ExitKeepsTheEditsOnShowButStoresAndPublishesNothing)
{
    store("MP3", "cboMP3Bitrate", "192");
    frmAudioProp &w = load();
    frmOptions *options = Forms::options();
    options->cboTargetFormat->setCurrentIndex(1);
    w.selectFormatTab("OGG");
    w.cboMP3Bitrate->setCurrentText("320");
    w.chkMP3ABR->setChecked(true);

    w.cmdExit_Click();

    EXPECT_EQ(Forms::audioProp(), &w);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(g_lMp3Bitrate, 192);
    EXPECT_FALSE(g_bMp3ABR);
    EXPECT_EQ(values("Formats\\MP3"), QStringList{"cboMP3Bitrate=192"});
    EXPECT_EQ(options->cboTargetFormat->currentIndex(), 1);
    // Reopened, the window still shows the unconfirmed edits.
    w.selectFormatTab("MP3");
    EXPECT_EQ(w.cboMP3Bitrate->currentText(), "320");
    EXPECT_TRUE(w.chkMP3ABR->isChecked());

    // The close box hides in the same way while the program runs.
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_EQ(Forms::audioProp(), &w);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(AudioPropTest, OkWithTheMp3SubkeyMissingStoresNoMp3ValueAndReReadsThemAsAbsent)
{
    frmAudioProp &w = load();
    ASSERT_EQ(Registry::deleteKey(HKEY_LOCAL_MACHINE, QLatin1String(kSettingsRoot) + "\\Formats\\MP3"),
              Registry::Success);
    w.cboMP3Bitrate->setCurrentText("256");
    w.chkMP3Original->setChecked(true);
    w.chkMP3VBRTag->setChecked(true);
    w.cboMP3Mode->setCurrentIndex(3);
    w.lblMP3Advanced->setText("Simple...");

    w.cmdOk_Click();

    EXPECT_FALSE(dumpFormats().join('\n').contains("MP3\\"));
    EXPECT_EQ(dumpFormats().size(), 28 - 16);
    // Text rows keep what the controls showed; the rest take the absent value.
    EXPECT_EQ(g_lMp3Bitrate, 256);
    EXPECT_FALSE(g_bMp3Original);
    EXPECT_FALSE(g_bMp3VBRTag);
    EXPECT_EQ(g_lMp3Mode, 0);
    EXPECT_EQ(w.lblMP3Advanced->text(), "Advanced...");
    EXPECT_TRUE(w.picMP3Advanced->isHidden());
}

TEST_F(AudioPropTest, TheProgramsCloseUnloadsTheWindowForReal)
{
    frmAudioProp &w = load();
    QPointer<frmAudioProp> window(&w);
    g_bAppClosing = true;
    EXPECT_TRUE(Forms::unload(&w));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Forms::audioProp(), nullptr);
}
