#include "core/mdlSupportedDestination.h"
#include "core/mdlSupportedFormats.h"

#include <QComboBox>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

const QStringList destinationTexts = {
    QStringLiteral("WAV - Waveform Audio Format (*.wav)"),
    QStringLiteral("ACM - Waveform ACM Codecs (*.wav)"),
    QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"),
    QStringLiteral("WMA - Windows Media Audio files (*.wma)"),
    QStringLiteral("OGG - Ogg Media Format (*.ogg)"),
    QStringLiteral("APE - Monkey 's Audio (*.ape)"),
};

} // namespace

TEST(mdlSupportedFormats, OpenFilterHoldsTwelveNulEndedPairs)
{
    const QString filter = mdlSupportedFormats::GetAudioOpenFilter();
    ASSERT_TRUE(filter.endsWith(QChar(u'\0')));
    const QStringList parts = filter.chopped(1).split(QChar(u'\0'));
    ASSERT_EQ(parts.size(), 24);
    const QString all = QStringLiteral("*.acm;*.wav;*.aiff;*.aif;*.aifc;*.ape;*.cda;*.mp3;*.ogg;*.au;*.snd;*.voc;*.vox;*.wav;*.wma;");
    EXPECT_EQ(parts.at(0), QStringLiteral("All supported audio files (") + all + QLatin1Char(')'));
    EXPECT_EQ(parts.at(1), all);
    EXPECT_EQ(parts.at(6), QStringLiteral("Monkey's Audio files (*.ape)"));
    EXPECT_EQ(parts.at(22), QStringLiteral("Windows Media Audio files (*.wma)"));
    EXPECT_EQ(parts.at(23), QStringLiteral("*.wma"));
    // Every single pattern is one of the first entry's.
    for (int i = 3; i < parts.size(); i += 2) {
        for (const QString &pattern : parts.at(i).split(QLatin1Char(';')))
            EXPECT_TRUE(all.contains(pattern + QLatin1Char(';'))) << qPrintable(pattern);
    }
}

TEST(mdlSupportedDestination, FillOffersAllSixAndSelectsNone)
{
    g_lDestMP3 = 0;
    QComboBox combo;
    combo.addItem(QStringLiteral("stale"));
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    mdlSupportedDestination::FillDestinationFormats(&combo);
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i)
        shown << combo.itemText(i);
    EXPECT_EQ(shown, destinationTexts);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(changed.count(), 0);
    for (const qint32 flag : {g_lDestWAV, g_lDestACM, g_lDestMP3, g_lDestWMA, g_lDestOGG, g_lDestAPE})
        EXPECT_EQ(flag, 1);
}

TEST(mdlSupportedDestination, GetFormatIndexByTheFirstThreeLetters)
{
    for (int i = 0; i < destinationTexts.size(); ++i)
        EXPECT_EQ(mdlSupportedDestination::GetFormatIndex(destinationTexts.at(i)), i) << i;
    const struct {
        const char *text;
        int index;
    } cases[] = {
        {"mp3 - lower case", 2}, {"Ogg", 4}, {"ape", 5}, {"", 0}, {"FLAC - Free Lossless", 0}, {"MP", 0}, {" MP3", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlSupportedDestination::GetFormatIndex(QLatin1String(c.text)), c.index) << c.text;
}
