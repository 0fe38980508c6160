#include "ConvertFixture.h"

#include "controls/audio/AcmCodecs.h"
#include "controls/audio/cAudioConverter.h"
#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "settings/AudioFormatSettings.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/convert/frmACMConverter.h"
#include "tools/frame/JobTimeLeft.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kAll = QStringLiteral("All ACM Codecs");

QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

QStringList sortedTags(int rate, int channels, int flags)
{
    QStringList tags = AcmCodecs::tagNames(rate, channels, 16, flags);
    tags.sort(Qt::CaseInsensitive);
    return tags;
}

QStringList formatNames(const QString &tag)
{
    QStringList names;
    for (const AcmCodecs::Format &f : AcmCodecs::findTag(tag)->formats)
        names << f.name;
    return names;
}

class AcmConverterTest : public ConvertFixture {
protected:
    void TearDown() override
    {
        if (frmACMConverter *w = Forms::acmConverter()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        ConvertFixture::TearDown();
    }

    // Loads the window and hands it the rows given of the main grid.
    frmACMConverter &open(const QList<int> &marked)
    {
        frmACMConverter &w = Forms::loadACMConverter();
        // The launcher also hands over the files of the whole list and the
        // selected item's.
        QStringList files;
        for (const ItemsListRow::Data &row : mainRows())
            files << row[ItemsListRow::File];
        const int selected = mainGrid->SelectedRow();
        std::optional<QString> selectedFile;
        if (selected >= 1 && selected <= mainGrid->Rows())
            selectedFile = mainRow(selected)[ItemsListRow::File];
        w.HandOver(mainRows(marked), QStringLiteral("My list"), files, selectedFile);
        w.txtToPath->setEditText(destination());
        return w;
    }

    static void pick(QComboBox *box, const QString &text)
    {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }

    // An MP3 at 44.1 kHz stereo, made by ffmpeg.
    QString makeMp3(const QString &name)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        EXPECT_TRUE(Fixture::ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                     QStringLiteral("sine=frequency=440:sample_rate=44100:duration=1"),
                                     QStringLiteral("-ac"), QStringLiteral("2"), path}));
        return path;
    }
};

TEST_F(AcmConverterTest, LoadListsTheTagsForCdQualityWithPcmPicked)
{
    frmACMConverter &w = Forms::loadACMConverter();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ACM Converter"));
    EXPECT_EQ(w.cboTargetFormat, nullptr);
    EXPECT_EQ(items(w.cboTags), sortedTags(44100, 2, 0));
    EXPECT_EQ(w.cboTags->currentText(), QStringLiteral("PCM"));
    EXPECT_EQ(items(w.cboFormats), formatNames(QStringLiteral("PCM")));
    EXPECT_EQ(w.cboFormats->currentIndex(), 0);

    // Picking a tag lists its formats in the control's order, the first picked.
    pick(w.cboTags, QStringLiteral("IMA ADPCM"));
    EXPECT_EQ(items(w.cboFormats), formatNames(QStringLiteral("IMA ADPCM")));
    EXPECT_EQ(w.cboFormats->currentIndex(), 0);
}

TEST_F(AcmConverterTest, TheReferenceSourceDecidesTheTags)
{
    const QString mp3 = makeMp3(QStringLiteral("song.mp3"));
    const QString tone = makeTone(QStringLiteral("tone.wav"), 1);
    addRow(tone);
    addRow(mp3);
    addRow(tone); // the same file twice gives two equal entries
    mainGrid->setSelectedRow(2);
    frmACMConverter &w = open({1, 2});

    QStringList expected{kAll, mp3, tone, tone};
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(items(w.cboBestAccordItem), expected);
    // The selected row's MP3 (44.1 kHz stereo): only the tags it converts to.
    EXPECT_EQ(w.cboBestAccordItem->currentText(), mp3);
    EXPECT_EQ(items(w.cboTags), sortedTags(44100, 2, frmACMConverter::kAcmConvertFlag));
    EXPECT_FALSE(items(w.cboTags).contains(QStringLiteral("GSM 6.10")));
    EXPECT_EQ(w.cboTags->currentText(), QStringLiteral("PCM"));
    EXPECT_EQ(w.cboFormats->currentText(), formatNames(QStringLiteral("PCM")).first());

    // The 8 kHz mono tone converts to GSM as well.
    pick(w.cboBestAccordItem, tone);
    EXPECT_EQ(items(w.cboTags), sortedTags(kRate, 1, frmACMConverter::kAcmConvertFlag));
    EXPECT_TRUE(items(w.cboTags).contains(QStringLiteral("GSM 6.10")));

    // Every codec that takes the format of the source opened last.
    pick(w.cboBestAccordItem, kAll);
    EXPECT_EQ(items(w.cboTags), sortedTags(kRate, 1, 0));
    EXPECT_EQ(w.cboTags->currentText(), QStringLiteral("PCM"));
}

TEST_F(AcmConverterTest, WithNoSelectedRowTheLoadListsStay)
{
    addRow(makeTone(QStringLiteral("tone.wav"), 1));
    mainGrid->setSelectedRow(0);
    frmACMConverter &w = open({1});
    EXPECT_EQ(w.cboBestAccordItem->currentIndex(), -1);
    EXPECT_EQ(items(w.cboTags), sortedTags(44100, 2, 0));
    EXPECT_EQ(w.cboTags->currentText(), QStringLiteral("PCM"));
}

struct CodecCase {
    const char *name;
    QString tag;
    QString format;
    QString codec;
    int rate;
    int channels;
};

class WritesTheChosenCodec : public AcmConverterTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(WritesTheChosenCodec, EveryRowAsAWavOfThatCodec)
{
    const CodecCase &c = GetParam();
    const QString savedTag = g_sAcmFormatTag = QStringLiteral("PCM");
    const QString savedFormat = g_sAcmFormat = QStringLiteral("8.000 kHz, 8 Bit, Mono");
    addRow(makeTone(QStringLiteral("a.wav"), 2));
    addRow(makeTone(QStringLiteral("b.wav"), 4), ranged(1, 2));
    mainGrid->setSelectedRow(1);
    frmACMConverter &w = open({1, 2});
    pick(w.cboTags, c.tag);
    pick(w.cboFormats, c.format);
    w.cboFileName->setCurrentIndex(2); // [file_name]_[123].[dest_extension]

    w.cmdConvert->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "this window never shows the hourglass";
    ASSERT_TRUE(waitForJobEnd(w));

    ASSERT_EQ(writtenFiles(), (QStringList{QStringLiteral("a_1.wav"), QStringLiteral("b_2.wav")}));
    const double seconds[] = {2, 2};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject probed = Fixture::probe(destination() + writtenFiles().at(i));
        const QJsonObject stream = probed[QStringLiteral("stream")].toObject();
        EXPECT_EQ(probed[QStringLiteral("format")][QStringLiteral("format_name")].toString(), QStringLiteral("wav"));
        EXPECT_EQ(stream[QStringLiteral("codec_name")].toString(), c.codec);
        EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString().toInt(), c.rate);
        EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), c.channels);
        EXPECT_NEAR(probed[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble(), seconds[i], 0.1);
    }
    const QStringList log = logMessages(w);
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.at(1), QStringLiteral("Destination format: ACM WAV"));
    EXPECT_EQ(log.count(QStringLiteral("Done.")), 2);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    // The window shows the product, not the job, in its caption.
    EXPECT_EQ(w.windowTitle(), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft);
    // The audio format window's ACM choice is not this window's.
    EXPECT_EQ(g_sAcmFormatTag, savedTag);
    EXPECT_EQ(g_sAcmFormat, savedFormat);
    // No tags are handed over for ACM rows.
    EXPECT_EQ(w.cAudioConverter1->TagTrack(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    AcmConverter, WritesTheChosenCodec,
    ::testing::Values(CodecCase{"ImaAdpcm", "IMA ADPCM", "8.000 kHz, 4 Bit, Mono", "adpcm_ima_wav", 8000, 1},
                      CodecCase{"ALaw", "CCITT A-Law", "22.050 kHz, 8 Bit, Stereo", "pcm_alaw", 22050, 2},
                      CodecCase{"Gsm", "GSM 6.10", "8.000 kHz, Mono", "gsm_ms", 8000, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AcmConverterTest, AFailedRowLeavesLabelAndCaptionAndTheJobGoesOn)
{
    addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav"));
    addRow(makeTone(QStringLiteral("b.wav"), 1));
    frmACMConverter &w = open({1, 2});
    w.cboFileName->setCurrentIndex(0);
    // Read right after the window has handled the row's error.
    QStringList captions;
    QObject::connect(w.cAudioConverter1, &cAudioConverter::Error, &w, [&] { captions << w.windowTitle(); });

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(logMessages(w).filter(QStringLiteral("Error: ")).size(), 1);
    EXPECT_EQ(captions, QStringList{QStringLiteral("ACM Converter")});
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("b.wav")});
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(w.windowTitle(), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
}

TEST_F(AcmConverterTest, CancelAtTheOverwriteQuestionShowsAborted)
{
    addRow(makeTone(QStringLiteral("a.wav"), 1));
    frmACMConverter &w = open({1});
    w.cboFileName->setCurrentIndex(0);
    writeFile(destination() + QStringLiteral("a.wav"), "keep me");
    w.lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:09"));
    testServices().prompter->answers = {Msg::Cancel};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(readFile(destination() + QStringLiteral("a.wav")), QByteArray("keep me"));
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft);
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Aborted."))});
}

} // namespace
