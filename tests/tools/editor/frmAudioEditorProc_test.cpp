#include "RecTtsFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "support/AudioFixtures.h"
#include "tools/editor/frmAudioEditorProc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>

namespace {

class Conversion : public RecTtsFixture {
protected:
    void SetUp() override
    {
        RecTtsFixture::SetUp();
        g_lWavSampleRate = 11025;
        g_lWavChannelsIndex = 1;
        g_lWavBitsPerSample = 16;
        g_sTagSong = "Take [TRACK_NUM]";
        g_sTagArtist = "[PROG_NAME]";
        g_sTagAlbum = g_sTagComment = g_sTagGenre = g_sTagTrack = g_sTagYear = QString();
    }

    // Runs one conversion the way its callers do, to target when one is
    // given; true when it was done and the window closed by itself.
    bool convert(const QString &source, const QString &destination, const QString &target = QString())
    {
        QPointer<frmAudioEditorProc> proc(&Forms::loadAudioEditorProc());
        if (!target.isEmpty()) {
            proc->g_sConvertToTarget = target;
            proc->g_bConvertTo = true;
        }
        bool done = false;
        QObject::connect(proc->cAudioConverter1, &cAudioConverter::Done, [&done] { done = true; });
        proc->ConvertFile(source, destination);
        proc->exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return done && proc.isNull();
    }
};

} // namespace

TEST_F(Conversion, WithoutATargetItWritesWavWithTheWavSettingsAndNoTags)
{
    const QString source = tone("source.wav", 500, 8000);
    const QString destination = work("out.wav");
    ASSERT_TRUE(convert(source, destination));
    EXPECT_FALSE(main().g_bAbortedAudioEditor);
    const QJsonObject probed = Fixture::probe(destination);
    EXPECT_EQ(probed["stream"].toObject()["sample_rate"].toString().toInt(), 11025);
    EXPECT_EQ(probed["stream"].toObject()["channels"].toInt(), 2);
    EXPECT_EQ(Fixture::probedTag(probed, "title"), "");
}

TEST_F(Conversion, ATargetIsKnownByItsFirstThreeLettersAndGetsTheDefaultTags)
{
    const QString source = tone("source.wav", 500, 8000);
    const QString destination = work("out.mp3");
    ASSERT_TRUE(convert(source, destination, "mp3 in any case"));
    const QJsonObject probed = Fixture::probe(destination);
    EXPECT_EQ(probed["stream"].toObject()["codec_name"].toString(), "mp3");
    EXPECT_EQ(Fixture::probedTag(probed, "title"), "Take 1");
    EXPECT_EQ(Fixture::probedTag(probed, "artist"), g_sAppName);
}

TEST_F(Conversion, ProgressBelowOneIsIgnoredAndAnAbortIsReportedToTheMainWindow)
{
    frmAudioEditorProc &proc = Forms::loadAudioEditorProc();
    QPointer<frmAudioEditorProc> guard(&proc);
    Q_EMIT proc.cAudioConverter1->Progress(40);
    Q_EMIT proc.cAudioConverter1->Progress(0);
    EXPECT_EQ(proc.prgCurrnet->Value(), 40);

    Q_EMIT proc.cAudioConverter1->Error(7, "Broken");
    EXPECT_EQ(proc.lblCurrentTrack->text(), "Broken(7)");
    EXPECT_FALSE(main().g_bAbortedAudioEditor);
    EXPECT_FALSE(guard.isNull());

    Q_EMIT proc.cAudioConverter1->Aborted();
    EXPECT_TRUE(main().g_bAbortedAudioEditor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}
