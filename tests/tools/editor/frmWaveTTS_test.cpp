#include "RecTtsFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/audio/cWaveTTS.h"
#include "core/LinkLabel.h"
#include "core/UserSettingsStore.h"
#include "core/forms.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/AudioFormatSettings.h"
#include "settings/FormatTabStrip.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/AudioFixtures.h"
#include "tools/editor/frmAudioEditorProc.h"
#include "tools/editor/frmWaveTTS.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QTextCursor>
#include <QTimer>

#include <utility>

namespace {

const QString kWav = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
const QString kOgg = QStringLiteral("OGG - Ogg Media Format (*.ogg)");
const QString kAcm = QStringLiteral("ACM - Waveform ACM Codecs (*.wav)");

class Speech : public RecTtsFixture {
protected:
    void SetUp() override
    {
        RecTtsFixture::SetUp();
        g_lWavSampleRate = 22050;
        g_lWavChannelsIndex = 0;
        g_lWavBitsPerSample = 16;
        // A conversion window stays open on an error until the user closes
        // it: this user reads the error and closes it.
        m_errorWatch = QObject::connect(&Forms::events(), &FormEvents::Loaded, [this](QWidget *form) {
            auto *proc = qobject_cast<frmAudioEditorProc *>(form);
            if (!proc)
                return;
            QObject::connect(proc->cAudioConverter1, &cAudioConverter::Error, proc, [this, proc] {
                QTimer::singleShot(0, proc, [this, proc] {
                    conversionErrors << proc->lblCurrentTrack->text();
                    proc->close();
                });
            });
        });
    }

    void TearDown() override
    {
        if (window)
            window->close();
        QObject::disconnect(m_watch);
        QObject::disconnect(m_errorWatch);
        RecTtsFixture::TearDown();
    }

    frmWaveTTS &load()
    {
        window = &Forms::loadWaveTTS();
        return *window;
    }

    static void select(QComboBox *box, const QString &text)
    {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }

    // Whatever the conversion window does once it has loaded.
    template <typename Step> void onConversionWindow(Step step)
    {
        m_watch = QObject::connect(&Forms::events(), &FormEvents::Loaded, [step](QWidget *form) {
            if (auto *proc = qobject_cast<frmAudioEditorProc *>(form))
                step(proc);
        });
    }

    // The stored text; "absent" when the entry was never saved.
    static QString stored(const UserSettingsStore::Entry &e)
    {
        return UserSettingsStore::Get(e.appKey, e.section, e.key, QStringLiteral("absent"));
    }

    static QString tempSpeech() { return AppPaths::programFolder() + "/tmptts.wav"; }

    QPointer<frmWaveTTS> window;
    QStringList conversionErrors;
    QMetaObject::Connection m_watch;
    QMetaObject::Connection m_errorWatch;
};

} // namespace

TEST_F(Speech, LoadsTheEnginesListsAndTheStartValues)
{
    frmWaveTTS &w = load();
    cWaveTTS &control = *w.cWaveTTS1;
    ASSERT_GT(control.VoiceCount(), 0);
    ASSERT_EQ(w.cboVoices->count(), control.VoiceCount());
    for (qint32 i = 1; i <= control.VoiceCount(); ++i)
        EXPECT_EQ(w.cboVoices->itemText(i - 1), control.VoiceName(i));
    EXPECT_EQ(w.cboVoices->currentIndex(), 0);
    EXPECT_EQ(w.cboAudioOutputs->count(), control.OutputCount());
    EXPECT_EQ(w.cboAudioOutputs->currentIndex(), control.OutputCount() > 0 ? 0 : -1);

    // Every format the engine reports, in its order, with its id.
    cWaveTTS engine;
    QSignalSpy found(&engine, &cWaveTTS::FormatFound);
    engine.Initialize();
    ASSERT_EQ(w.cboFormats->count(), found.size());
    for (int i = 0; i < found.size(); ++i) {
        EXPECT_EQ(w.cboFormats->itemText(i), found[i][0].toString());
        EXPECT_EQ(w.cboFormats->itemData(i).toInt(), found[i][1].toInt());
    }
    EXPECT_EQ(w.cboFormats->currentText(), "SAFT22kHz16BitMono");

    EXPECT_EQ(w.sldVolume->value(), 50);
    EXPECT_EQ(w.sldRate->value(), 0);
    EXPECT_EQ(w.lblValumeVal->text(), "50");
    EXPECT_EQ(w.lblRateVal->text(), "0");
    EXPECT_EQ(w.sldRate->minimum(), -10);
    EXPECT_EQ(w.sldVolume->maximum(), 100);
    EXPECT_EQ(w.txtSpeak->toPlainText(), "This sample shows you how to use the 'Text To Speech'.");
    EXPECT_TRUE(w.lblClearText->isEnabled());
    ASSERT_EQ(w.cboTargetFormat->count(), 6);
    EXPECT_EQ(w.cboTargetFormat->currentIndex(), Forms::options()->cboTargetFormat->currentIndex());
}

TEST_F(Speech, FormatAndVoiceAreRememberedBetweenOpenings)
{
    QString secondVoice;
    {
        frmWaveTTS &w = load();
        ASSERT_GT(w.cboVoices->count(), 1);
        secondVoice = w.cboVoices->itemText(1);
        select(w.cboFormats, "SAFT11kHz8BitStereo");
        w.cboVoices->setCurrentIndex(1);
        // A second opening starts afresh whatever this one leaves.
        w.sldVolume->setValue(10);
        w.sldRate->setValue(-4);
        w.txtSpeak->setPlainText("other");
        w.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::speechFormat()), "SAFT11kHz8BitStereo");
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::speechVoice()), secondVoice);
    {
        frmWaveTTS &w = load();
        EXPECT_EQ(w.cboFormats->currentText(), "SAFT11kHz8BitStereo");
        EXPECT_EQ(w.cboVoices->currentText(), secondVoice);
        EXPECT_EQ(w.sldVolume->value(), 50);
        EXPECT_EQ(w.sldRate->value(), 0);
        EXPECT_EQ(w.txtSpeak->toPlainText(), "This sample shows you how to use the 'Text To Speech'.");
        // Nothing selected is stored as nothing.
        w.cboVoices->setCurrentIndex(-1);
        w.cboFormats->setCurrentIndex(-1);
        w.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(stored(UserSettingsStore::speechVoice()), "");
    EXPECT_EQ(stored(UserSettingsStore::speechFormat()), "");
    {
        // Stored names the engine does not offer: no format, the first voice.
        frmWaveTTS &w = load();
        EXPECT_EQ(w.cboFormats->currentIndex(), -1);
        EXPECT_EQ(w.cboVoices->currentIndex(), 0);
        // With no format chosen, speaking sets none on the control.
        w.cWaveTTS1->setFormat(1234);
        NoDevices none;
        w.cmdSay_Click();
        EXPECT_EQ(w.cWaveTTS1->Format(), 1234);
    }
}

TEST_F(Speech, SayItHandsTheChoicesToTheControlButSpeechFilesUseFixedRateAndVolume)
{
    frmWaveTTS &w = load();
    select(w.cboFormats, "SAFT16kHz16BitStereo");
    const qint32 id = w.cboFormats->currentData().toInt();
    w.sldRate->setValue(-10);
    w.sldVolume->setValue(20);
    EXPECT_EQ(w.lblRateVal->text(), "-10");
    EXPECT_EQ(w.lblValumeVal->text(), "20");
    // Moving a slider sends nothing to the control.
    EXPECT_EQ(w.cWaveTTS1->Rate(), 0);
    EXPECT_EQ(w.cWaveTTS1->Volume(), 100);

    w.cmdSay_Click();
    EXPECT_EQ(w.cWaveTTS1->Rate(), -10);
    EXPECT_EQ(w.cWaveTTS1->Volume(), 20);
    EXPECT_EQ(w.cWaveTTS1->SpeakFlags(), 11);
    EXPECT_EQ(w.cWaveTTS1->Format(), id);
    EXPECT_EQ(w.cWaveTTS1->Voice(), 0);
    // A press while a speech runs only speaks again: the settings stay.
    ASSERT_TRUE(haveOutput());
    ASSERT_TRUE(w.cWaveTTS1->IsSpeaking());
    w.sldRate->setValue(5);
    w.cmdSay_Click();
    EXPECT_EQ(w.cWaveTTS1->Rate(), -10);
    w.cmdStop_Click();

    const QString path = work("rate.wav");
    testServices().prompter->saveAnswers << path;
    select(w.cboTargetFormat, kWav);
    w.cmdSaveAs_Click();
    EXPECT_EQ(w.cWaveTTS1->Rate(), 0);
    EXPECT_EQ(w.cWaveTTS1->Volume(), 100);
    EXPECT_TRUE(QFileInfo(path).isFile());
}

TEST_F(Speech, SpokenWordsAreSelectedAndTheEndSelectsAll)
{
    frmWaveTTS &w = load();
    w.txtSpeak->setPlainText("abcd efgh ijklmn");
    struct Case {
        qint32 position, length;
        const char *selected;
    };
    for (const Case c : {Case{5, 4, "efgh"}, Case{0, 4, "abcd"}, Case{14, 9, "mn"}, Case{40, 3, ""}}) {
        Q_EMIT w.cWaveTTS1->Word(c.position, c.length);
        EXPECT_EQ(w.txtSpeak->textCursor().selectedText(), c.selected) << c.position;
    }
    Q_EMIT w.cWaveTTS1->Done();
    EXPECT_EQ(w.txtSpeak->textCursor().selectionStart(), 0);
    EXPECT_EQ(w.txtSpeak->textCursor().selectedText(), "abcd efgh ijklmn");
}

TEST_F(Speech, ClearTextAsksFirstAndOnlyAFilledBoxOffersIt)
{
    frmWaveTTS &w = load();
    ScriptedPrompter &prompter = *testServices().prompter;
    prompter.answers << Msg::No << Msg::Yes;
    w.lblClearText_Click();
    EXPECT_FALSE(w.txtSpeak->toPlainText().isEmpty());
    w.lblClearText_Click();
    EXPECT_TRUE(w.txtSpeak->toPlainText().isEmpty());
    EXPECT_FALSE(w.lblClearText->isEnabled());
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[0].text, "This action will clear the Text-Box, continue?");
    EXPECT_EQ(prompter.messages[0].style, int(Msg::YesNo) + Msg::Information);
    w.txtSpeak->setPlainText("a");
    EXPECT_TRUE(w.lblClearText->isEnabled());
}

TEST_F(Speech, SaveAsSpeaksInTheChosenFormatAndConvertsToTheTarget)
{
    g_lWavSampleRate = 8000;
    g_lWavChannelsIndex = 1;
    g_lWavBitsPerSample = 16;
    frmWaveTTS &w = load();
    select(w.cboFormats, "SAFT11kHz8BitStereo");
    select(w.cboTargetFormat, kWav);
    w.txtSpeak->setPlainText("Hello there.");
    const QString path = work("hello.wav");
    ScriptedPrompter &prompter = *testServices().prompter;
    prompter.saveAnswers << path;
    w.cmdSaveAs_Click();

    ASSERT_EQ(prompter.saveRequests.size(), 1);
    EXPECT_EQ(prompter.saveRequests[0].title, "Save As");
    EXPECT_EQ(prompter.saveRequests[0].filter, "Audio Files (*.wav)|*.wav");
    EXPECT_EQ(prompter.saveRequests[0].defaultExtension, "wav");
    // The spoken file is in the speech format, the saved one in the target's settings.
    const QJsonObject spoken = Fixture::probe(tempSpeech())["stream"].toObject();
    EXPECT_EQ(spoken["sample_rate"].toString().toInt(), 11025);
    EXPECT_EQ(spoken["channels"].toInt(), 2);
    EXPECT_EQ(spoken["codec_name"].toString(), "pcm_u8");
    const QJsonObject saved = Fixture::probe(path)["stream"].toObject();
    EXPECT_EQ(saved["sample_rate"].toString().toInt(), 8000);
    EXPECT_EQ(saved["channels"].toInt(), 2);
    EXPECT_EQ(saved["codec_name"].toString(), "pcm_s16le");
    // The window stays open and nothing goes to a list.
    EXPECT_FALSE(window.isNull());
    EXPECT_TRUE(listedFiles().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(conversionErrors.isEmpty()) << conversionErrors.join(' ').toStdString();
}

TEST_F(Speech, ACancelledSaveSpeaksNothing)
{
    frmWaveTTS &w = load();
    select(w.cboTargetFormat, kAcm);
    bool converted = false;
    onConversionWindow([&](frmAudioEditorProc *) { converted = true; });
    testServices().prompter->saveAnswers << QString();
    w.cmdSaveAs_Click();
    const FileDialogRequest &request = testServices().prompter->saveRequests.value(0);
    EXPECT_EQ(request.filter, "Audio Files (*.acm)|*.acm");
    EXPECT_EQ(request.defaultExtension, "acm");
    EXPECT_FALSE(QFileInfo::exists(tempSpeech()));
    EXPECT_FALSE(converted);
}

TEST_F(Speech, AddWritesTheSpeechIntoTheProgramFolderAndTheSelectedList)
{
    QStringList added;
    for (int run = 0; run < 2; ++run) {
        frmWaveTTS &w = load();
        QPointer<frmWaveTTS> guard(&w);
        select(w.cboTargetFormat, kOgg);
        select(w.cboFormats, "SAFT16kHz16BitMono");
        w.txtSpeak->setPlainText("One two.");
        w.cmdAdd_Click();
        ASSERT_TRUE(addEnded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull());
        ASSERT_EQ(listedFiles().size(), run + 1) << messages().join('|').toStdString() << conversionErrors.join('|').toStdString();
        added << listedFiles().last();
    }
    // Two adds never share a file, even within one second.
    EXPECT_NE(added[0], added[1]);
    EXPECT_EQ(storedFiles(), added);
    for (const QString &path : added) {
        const QFileInfo file(path);
        EXPECT_EQ(file.absolutePath(), AppPaths::programFolder());
        EXPECT_TRUE(file.fileName().startsWith("TTS_")) << path.toStdString();
        EXPECT_TRUE(file.fileName().endsWith(".ogg")) << path.toStdString();
        EXPECT_FALSE(file.fileName().contains(':'));
        EXPECT_EQ(Fixture::probe(path)["stream"].toObject()["codec_name"].toString(), "vorbis");
    }
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(conversionErrors.isEmpty()) << conversionErrors.join(' ').toStdString();
}

TEST_F(Speech, AnAcmTargetNamesTheFileWithTheAcmExtension)
{
    g_sAcmFormatTag = "IMA ADPCM";
    g_sAcmFormat = "11.025 kHz, 4 Bit, Mono";
    frmWaveTTS &w = load();
    select(w.cboTargetFormat, kAcm);
    w.txtSpeak->setPlainText("Yes.");
    w.cmdAdd_Click();
    ASSERT_TRUE(addEnded());
    ASSERT_EQ(listedFiles().size(), 1) << messages().join('|').toStdString() << conversionErrors.join('|').toStdString();
    EXPECT_TRUE(listedFiles()[0].endsWith(".acm")) << listedFiles()[0].toStdString();
    EXPECT_EQ(Fixture::probe(listedFiles()[0])["stream"].toObject()["codec_name"].toString(), "adpcm_ima_wav");
}

TEST_F(Speech, SpeechThatCannotBeWrittenIsReportedAndNothingIsAdded)
{
    // Something else already holds the temporary file's name.
    ASSERT_TRUE(QDir().mkpath(tempSpeech()));
    frmWaveTTS &w = load();
    QPointer<frmWaveTTS> guard(&w);
    bool converted = false;
    onConversionWindow([&](frmAudioEditorProc *) { converted = true; });
    w.cmdAdd_Click();
    testServices().prompter->saveAnswers << work("never.wav");
    w.cmdSaveAs_Click();
    ASSERT_EQ(messages().size(), 2);
    for (const QString &m : messages())
        EXPECT_TRUE(m.startsWith("The speech could not be written:\r\nCannot write")) << m.toStdString();
    EXPECT_FALSE(converted);
    EXPECT_TRUE(listedFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(work("never.wav")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard.isNull());
}

TEST_F(Speech, AConversionThatNeverFinishedAddsNothing)
{
    frmWaveTTS &w = load();
    QPointer<frmWaveTTS> guard(&w);
    select(w.cboTargetFormat, kWav);
    // The user closes the conversion window before its conversion has started.
    onConversionWindow([](frmAudioEditorProc *proc) {
        QTimer::singleShot(0, proc, [proc] { proc->close(); });
    });
    const QByteArray before = [&] {
        QFile f(listFile);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    w.cmdAdd_Click();
    EXPECT_TRUE(listedFiles().isEmpty());
    QFile f(listFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_TRUE(QDir(AppPaths::programFolder()).entryList({"TTS_*"}).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard.isNull());
}

TEST_F(Speech, AFailedConversionLeavesNothingSavedOrAdded)
{
    // A compression level APE does not have: its conversion ends in an error.
    const qint32 level = std::exchange(g_lApeLevel, 9);
    const auto restoreLevel = qScopeGuard([level] { g_lApeLevel = level; });
    frmWaveTTS &w = load();
    QPointer<frmWaveTTS> guard(&w);
    select(w.cboTargetFormat, "APE - Monkey 's Audio (*.ape)");
    testServices().prompter->saveAnswers << work("speech.ape");
    w.cmdSaveAs_Click();
    w.cmdAdd_Click();
    ASSERT_EQ(conversionErrors.size(), 2);
    for (const QString &shown : conversionErrors)
        EXPECT_TRUE(shown.endsWith(")")) << shown.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work("speech.ape")));
    EXPECT_TRUE(QDir(AppPaths::programFolder()).entryList({"TTS_*"}).isEmpty());
    EXPECT_TRUE(listedFiles().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard.isNull());
}

TEST_F(Speech, EditTakesTheDefaultFormatBackWhicheverButtonClosedIt)
{
    frmWaveTTS &w = load();
    const int byDefault = w.cboTargetFormat->currentIndex();
    select(w.cboTargetFormat, kOgg);
    QString shownTab;
    auto *timer = new QTimer(&w);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &shownTab] {
        frmAudioProp *formats = Forms::audioProp();
        if (formats && formats->isVisible()) {
            timer->stop();
            shownTab = formats->cTabControl1->TabKey(formats->cTabControl1->SelectedTab());
            formats->cmdExit->click();
        }
    });
    timer->start(10);
    w.cmdEditTargetFormat_Click();
    EXPECT_EQ(shownTab, "OGG");
    EXPECT_EQ(w.cboTargetFormat->currentIndex(), byDefault);
}
