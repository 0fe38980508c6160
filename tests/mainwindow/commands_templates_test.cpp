#include "support/MainWindowFixture.h"

#include "core/mdlFunctions.h"
#include "tools/frame/mdlTemplates.h"
#include "support/LocaleGuard.h"
#include "tools/frame/ToolHost.h"

namespace {

namespace Row = ItemsListRow;

using Templates = MainWindowTest;

TEST(NoticeTemplate, FillsEachPlaceholderInOrder)
{
    mdlTemplates::NoticeValues v;
    v.progName = QStringLiteral("Sonvale");
    v.progVersion = QStringLiteral("3.1");
    v.hasFile = true;
    v.fileRecorded = QStringLiteral("take 1.wav");
    v.fileSize = QStringLiteral("1.43 MB");
    v.fileTimeLength = QStringLiteral("00:01:02");
    v.fileCreated = QStringLiteral("12/8/2026 14:05");
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"", ""},
        {"notify --quiet", "notify --quiet"},
        {"[PROG_NAME] [PROG_VERSION]", "Sonvale 3.1"},
        {"[FILE_RECORDED]|[FILE_SIZE]|[FILE_TIME_LENGTH]|[FILE_CREATED]",
         "take 1.wav|1.43 MB|00:01:02|12/8/2026 14:05"},
        {"[FILE_SIZE][FILE_SIZE]", "1.43 MB1.43 MB"},
        {"[prog_name] [FILE_NAME]", "[prog_name] [FILE_NAME]"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(mdlTemplates::ExpandNoticeTemplate(QString::fromLatin1(test.text), v), QString::fromLatin1(test.expected));
    }

    // A value holding a later placeholder has it filled too; an earlier one stays.
    v.fileRecorded = QStringLiteral("[FILE_SIZE].wav");
    EXPECT_EQ(mdlTemplates::ExpandNoticeTemplate(QStringLiteral("[FILE_RECORDED]"), v), QStringLiteral("1.43 MB.wav"));
    v.fileRecorded = QStringLiteral("[PROG_NAME].wav");
    EXPECT_EQ(mdlTemplates::ExpandNoticeTemplate(QStringLiteral("[FILE_RECORDED]"), v), QStringLiteral("[PROG_NAME].wav"));
}

TEST(SpeechFileName, TimeDateAndTheFormatsExtension)
{
    const struct {
        const char *format;
        const char *extension;
    } cases[] = {
        {"WAV - Waveform Audio (*.wav)", "wav"}, {"ACM - Windows ACM (*.wav)", "wav"},
        {"MP3 - MPEG-1 Audio Layer 3 (*.mp3)", "mp3"}, {"wma - Windows Media Audio files (*.wma)", "wma"},
        {"OGG - Ogg Vorbis (*.ogg)", "ogg"}, {"APE - Monkey's Audio (*.ape)", "ape"}, {"FLAC", ""}, {"", ""},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.format);
        EXPECT_EQ(mdlTemplates::GetExt(QString::fromLatin1(test.format)), QString::fromLatin1(test.extension));
    }

    const QDateTime at(QDate(2026, 12, 8), QTime(14, 5, 9));
    {
        LocaleGuard us(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString name = mdlTemplates::SpeechFileName(at, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
        EXPECT_EQ(name, QStringLiteral("14-05-09_")
                            + mdlFunctions::MakeSafeFileName(QLocale().toString(at.date(), QLocale::ShortFormat))
                            + QStringLiteral(".mp3"));
        EXPECT_TRUE(name.startsWith(QStringLiteral("14-05-09_12-8-"))) << name.toStdString();
    }
    {
        // A date written with points keeps them.
        LocaleGuard de(QLocale(QLocale::German, QLocale::Germany));
        const QString name = mdlTemplates::SpeechFileName(at, QStringLiteral("WAV"));
        EXPECT_TRUE(name.startsWith(QStringLiteral("14-05-09_08.12."))) << name.toStdString();
        EXPECT_TRUE(name.endsWith(QStringLiteral(".wav")));
    }
    // Unknown format: the name ends in ".".
    EXPECT_TRUE(mdlTemplates::SpeechFileName(at, QStringLiteral("XYZ")).endsWith(QLatin1Char('.')));
}

TEST_F(Templates, NoticeParametersComeFromTheLastRowOfTheGrid)
{
    frmMain &main = loadSongs();
    g_sNoticeCommandLine = QStringLiteral("notify [PROG_NAME] [PROG_VERSION] [FILE_RECORDED] [FILE_SIZE] "
                                          "[FILE_TIME_LENGTH] [FILE_CREATED]");
    main.cGrid1->setSelectedRow(1);
    EXPECT_EQ(main.GetNoticAppParameters(),
              QStringLiteral("notify Sonvale 3.1 three ") + cell(main, 3, Row::Size) + QLatin1Char(' ')
                  + cell(main, 3, Row::Time) + QLatin1Char(' ') + cell(main, 3, Row::Created));
    EXPECT_EQ(cell(main, 3, Row::Time), QStringLiteral("00:00:03"));
}

TEST_F(Templates, TheNoticeApplicationGetsEachValueAsOneArgumentWithoutAShell)
{
    frmMain &main = loadSongs();
    main.cGrid1->SetCell(3, main.cGrid1->ColumnIndex(Row::key(Row::ItemName)),
                         QStringLiteral("my song; rm -rf ~ \"x\""));
    g_sNoticeCommandLine = QStringLiteral("/usr/bin/notify-send \"Done: [FILE_RECORDED]\" [FILE_TIME_LENGTH] [PROG_NAME]");

    ASSERT_TRUE(main.StartNoticeApplication());
    // The tool windows reach the same start through their host.
    ASSERT_TRUE(ToolHost::StartNoticeApplication());
    ASSERT_EQ(testServices().launcher->starts.size(), 2);
    for (const auto &start : testServices().launcher->starts) {
        EXPECT_EQ(start.program, QStringLiteral("/usr/bin/notify-send"));
        EXPECT_EQ(start.arguments, (QStringList{QStringLiteral("Done: my song; rm -rf ~ \"x\""),
                                                QStringLiteral("00:00:03"), QStringLiteral("Sonvale")}));
        EXPECT_TRUE(start.minimized);
    }

    // Nothing to start is not a start.
    g_sNoticeCommandLine.clear();
    EXPECT_FALSE(main.StartNoticeApplication());
    testServices().launcher->result = false;
    g_sNoticeCommandLine = QStringLiteral("notify");
    EXPECT_FALSE(main.StartNoticeApplication());
}

TEST_F(Templates, AnEmptyGridGivesEmptyFileValues)
{
    writeList(QStringLiteral("Empty.flst"), QString());
    frmMain &main = loadMain();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    g_sNoticeCommandLine = QStringLiteral("notify [PROG_NAME] <[FILE_RECORDED]>");
    EXPECT_EQ(main.GetNoticAppParameters(), QStringLiteral("notify Sonvale <>"));
}

} // namespace
