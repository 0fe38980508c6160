#include "settings/audioprop_fixture.h"

#include "support/AudioFiles.h"
#include "support/ScriptedServices.h"

#include "controls/audio/cAudioConverter.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

// A short 16-bit PCM WAV file of silence.
QString writeWav(const QString &name, int sampleRate, int channels)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    TestAudio::writeWav(path, {sampleRate, channels, 16}, sampleRate / 10);
    return path;
}

} // namespace

TEST_F(AudioPropTest, LoadListsEveryAcmTagSortedWithPcmAndItsFirstFormatChosen)
{
    frmAudioProp &w = load();
    EXPECT_EQ(items(w.cboTags), (QStringList{"CCITT A-Law", "CCITT u-Law", "GSM 6.10", "IMA ADPCM",
                                             "Microsoft ADPCM", "MPEG Layer-3", "PCM"}));
    EXPECT_EQ(w.cboTags->currentText(), "PCM");
    ASSERT_GT(w.cboFormats->count(), 1);
    EXPECT_EQ(w.cboFormats->currentIndex(), 0);
    EXPECT_EQ(g_sAcmFormatTag, "PCM");
    EXPECT_EQ(g_sAcmFormat, w.cboFormats->itemText(0));

    // The WMA lists: every codec, the first codec's formats, both on their first entry.
    EXPECT_EQ(w.cboWMACodecs->count(), w.cAudioConverter1->WMACodecCount());
    EXPECT_EQ(w.cboWMAFormat->count(), w.cAudioConverter1->WMAFormatCount(0));
    EXPECT_EQ(w.cboWMAFormat->itemText(0), w.cAudioConverter1->WMAFormatName(0, 0));
    EXPECT_EQ(g_lWmaCodecIndex, 0);
    EXPECT_EQ(g_lWmaFormatIndex, 0);
}

TEST_F(AudioPropTest, StoredTagIsAppliedBeforeItsFormatWhichComesFromThatTagsList)
{
    store("ACM", "cboTags", "GSM 6.10");
    store("ACM", "cboFormats", "8.000 kHz, Mono");
    frmAudioProp &w = load();
    EXPECT_EQ(items(w.cboFormats), QStringList{"8.000 kHz, Mono"});
    EXPECT_EQ(g_sAcmFormatTag, "GSM 6.10");
    EXPECT_EQ(g_sAcmFormat, "8.000 kHz, Mono");
}

TEST_F(AudioPropTest, StoredFormatOfAnotherTagKeepsTheTagsFirstFormat)
{
    store("ACM", "cboTags", "IMA ADPCM");
    store("ACM", "cboFormats", "8.000 kHz, Mono");
    frmAudioProp &w = load();
    EXPECT_EQ(g_sAcmFormatTag, "IMA ADPCM");
    EXPECT_EQ(g_sAcmFormat, w.cboFormats->itemText(0));
    EXPECT_NE(g_sAcmFormat, "8.000 kHz, Mono");
}

TEST_F(AudioPropTest, StoredWmaPositionsSelectCodecThenFormat)
{
    struct Case {
        const char *codec;
        const char *format;
        qint32 codecIndex;
        qint32 formatIndex;
    };
    // An out-of-range position is ignored and leaves the first entry.
    for (const Case &c : {Case{"1", "3", 1, 3}, Case{"7", "2", 0, 2}, Case{"1", "99", 1, 0}}) {
        SCOPED_TRACE(std::string(c.codec) + "/" + c.format);
        store("WMA", "cboWMACodecs", QString::fromLatin1(c.codec));
        store("WMA", "cboWMAFormat", QString::fromLatin1(c.format));
        frmAudioProp &w = load();
        EXPECT_EQ(g_lWmaCodecIndex, c.codecIndex);
        EXPECT_EQ(g_lWmaFormatIndex, c.formatIndex);
        EXPECT_EQ(w.cboWMAFormat->count(), w.cAudioConverter1->WMAFormatCount(c.codecIndex));
        TearDown();
    }
}

TEST_F(AudioPropTest, RecommendedCodecsComeFromTheChosenSourcesFormat)
{
    ScriptedPrompter &prompter = *testServices().prompter;
    struct Case {
        int sampleRate;
        int channels;
        QStringList tags;
    };
    // Only tags that have a format of the source's rate and channels, and PCM.
    for (const Case &c : {Case{9600, 1, {"PCM"}},
                          Case{8000, 1,
                               {"CCITT A-Law", "CCITT u-Law", "GSM 6.10", "IMA ADPCM", "Microsoft ADPCM",
                                "MPEG Layer-3", "PCM"}}}) {
        SCOPED_TRACE(c.sampleRate);
        frmAudioProp &w = load();
        prompter.openAnswers = {{writeWav(QStringLiteral("source.wav"), c.sampleRate, c.channels)}};
        w.chkBestAccordToSource->setChecked(true);
        EXPECT_EQ(items(w.cboTags), c.tags);
        EXPECT_EQ(w.cboTags->currentIndex(), 0);
        EXPECT_EQ(w.cboFormats->currentIndex(), 0);
        EXPECT_EQ(w.cboFormats->currentText(), w.cboFormats->itemText(0));
        TearDown();
    }
}

TEST_F(AudioPropTest, CancelledSourceLeavesAcmListsEmptyAndUnticking)
{
    frmAudioProp &w = load();
    ScriptedPrompter &prompter = *testServices().prompter;
    w.chkBestAccordToSource->setChecked(true);

    ASSERT_EQ(prompter.openRequests.size(), 1);
    EXPECT_EQ(prompter.openRequests.first().title, "Open MP3 audio file");
    EXPECT_EQ(prompter.openRequests.first().filter, "MP3 Audio Files (*.mp3)|*.mp3");
    EXPECT_TRUE(w.chkBestAccordToSource->isChecked());
    EXPECT_EQ(w.cboTags->count(), 0);
    EXPECT_EQ(w.cboFormats->count(), 0);

    // Unticking brings back the general list on its first tag, which is not PCM.
    w.chkBestAccordToSource->setChecked(false);
    EXPECT_EQ(w.cboTags->count(), 7);
    EXPECT_EQ(w.cboTags->currentText(), "CCITT A-Law");
    EXPECT_GT(w.cboFormats->count(), 0);
    EXPECT_EQ(w.cboFormats->currentIndex(), 0);
    EXPECT_EQ(prompter.openRequests.size(), 1);
    // Nothing of this is published before OK.
    EXPECT_EQ(g_sAcmFormatTag, "PCM");
}
