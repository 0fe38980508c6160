#include "support/EditorFixtures.h"
#include "support/MainWindowFixture.h"

#include "controls/ui/XP_ProgressBar.h"
#include "settings/AudioFormatSettings.h"
#include "tools/editor/frmAudioEditor.h"
#include "tools/editor/frmAudioEditorProc.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

#include <optional>

namespace {

namespace Row = ItemsListRow;

// The main window over the list "Songs", plus the WAV settings the analyser
// converts with.
class Analyser : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_lWavSampleRate = 44100;
        g_lWavChannelsIndex = 1;
        g_lWavBitsPerSample = 16;
    }

    // The "Songs" list of one marked item whose file is path.
    frmMain &loadItem(const QString &path, const QString &name = QStringLiteral("my item"))
    {
        writeList(QStringLiteral("Songs.flst"), rec(QStringLiteral("1"), name, path));
        frmMain &main = loadMain();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
        main.cGrid1->setSelectedRow(1);
        return main;
    }

    static QString tmpEditor() { return AppPaths::programFolder() + QStringLiteral("/tmpeditor.wav"); }

    static bool fileInfoShown(frmAudioEditor *editor)
    {
        return waitUntil([editor] { return !editor->lblNumOfSamples->text().isEmpty(); });
    }
};

// What the analyser window held once it was on screen with its file read.
struct ShownEditor {
    bool shown = false;
    QString wavFile, caption, samples, timeEnd;
};

[[nodiscard]] Editor::ModalWatch watchEditor(ShownEditor &shown, std::function<void(frmAudioEditor *)> more = {})
{
    return Editor::onModal<frmAudioEditor>([&shown, more](frmAudioEditor *editor) {
        shown.shown = true;
        waitUntil([editor] { return !editor->lblNumOfSamples->text().isEmpty(); });
        shown.wavFile = editor->txtWavFile->text();
        shown.caption = editor->windowTitle();
        shown.samples = editor->lblNumOfSamples->text();
        shown.timeEnd = editor->lblTimeEnd->text();
        if (more)
            more(editor);
    });
}

} // namespace

TEST_F(Analyser, AWavItemOpensAsItIs)
{
    for (const char *name : {"take1.wav", "take1.WAV"}) {
        SCOPED_TRACE(name);
        const QString path = Editor::toneWav(QString::fromLatin1(name), 8000 * 3 + 5, {8000, 1, 16});
        frmMain &main = loadItem(path, QStringLiteral("Take one"));
        bool converted = false;
        auto watch = QObject::connect(&Forms::events(), &FormEvents::Loaded, [&converted](QWidget *w) {
            converted = converted || qobject_cast<frmAudioEditorProc *>(w);
        });
        ShownEditor shown;
        const auto editorWatch = watchEditor(shown);
        run(main, QStringLiteral("Audio Analyser"));
        QObject::disconnect(watch);
        EXPECT_TRUE(shown.shown);
        EXPECT_FALSE(converted);
        EXPECT_FALSE(QFile::exists(tmpEditor()));
        EXPECT_EQ(shown.wavFile, path);
        EXPECT_EQ(shown.caption, QStringLiteral("Take one"));
        EXPECT_EQ(shown.samples, QStringLiteral("24005"));
        EXPECT_EQ(shown.timeEnd, QStringLiteral("3000 ms [0:00:03]"));
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Analyser, AnMp3ItemIsConvertedIntoTheTemporaryWavFirst)
{
    const QString mp3 = Editor::toneMp3(QStringLiteral("song.mp3"), 2.0);
    ASSERT_FALSE(mp3.isEmpty());
    frmMain &main = loadItem(mp3, QStringLiteral("A song"));
    QPointer<frmAudioEditorProc> proc;
    auto watch = QObject::connect(&Forms::events(), &FormEvents::Loaded, [&proc](QWidget *w) {
        if (auto *p = qobject_cast<frmAudioEditorProc *>(w))
            proc = p;
    });
    ShownEditor shown;
    const auto editorWatch = watchEditor(shown);
    run(main, QStringLiteral("Audio Analyser"));
    QObject::disconnect(watch);

    ASSERT_TRUE(proc || shown.shown);
    EXPECT_TRUE(shown.shown);
    EXPECT_FALSE(main.g_bAbortedAudioEditor);
    EXPECT_EQ(shown.wavFile, tmpEditor());
    EXPECT_EQ(shown.caption, QStringLiteral("A song"));
    Fixture::WavSpec spec;
    const QVector<qint16> samples = Fixture::readWav16(tmpEditor(), &spec);
    EXPECT_EQ(spec.rate, 44100);
    EXPECT_EQ(spec.channels, 2);
    // The MP3 decodes to its two seconds, give or take the coder's frames.
    EXPECT_NEAR(double(samples.size() / 2), 88200.0, 2 * 1152.0);
    EXPECT_EQ(shown.samples, QString::number(samples.size() / 2));
    EXPECT_TRUE(infoRefreshed(main));
}

TEST_F(Analyser, NoEditorAfterAConversionThatDidNotFinish)
{
    QFile junk(Editor::work(QStringLiteral("bad.mp3")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'z'));
    junk.close();
    const QString longMp3 = Editor::toneMp3(QStringLiteral("long.mp3"), 60.0);
    ASSERT_FALSE(longMp3.isEmpty());

    enum class How { AbortButton, CloseBox, Failure };
    const struct {
        const char *name;
        How how;
        QString file;
    } cases[] = {
        {"aborted", How::AbortButton, longMp3},
        {"closed before it was done", How::CloseBox, longMp3},
        {"failed, then closed", How::Failure, junk.fileName()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(tmpEditor());
        frmMain &main = loadItem(c.file);
        QString failure;
        std::optional<Editor::ModalWatch> procWatch;
        auto watch = QObject::connect(&Forms::events(), &FormEvents::Loaded, [&](QWidget *w) {
            auto *proc = qobject_cast<frmAudioEditorProc *>(w);
            if (!proc)
                return;
            if (c.how == How::AbortButton) {
                QObject::connect(proc->cAudioConverter1, &cAudioConverter::Progress, proc,
                                 [proc] { proc->cmdAbort->click(); }, Qt::SingleShotConnection);
            }
            // The window is closed (its close box) once on screen; after a
            // failure it stays open with the error until then.
            procWatch.emplace(Editor::onModal<frmAudioEditorProc>([&failure, how = c.how](frmAudioEditorProc *shown) {
                if (how == How::Failure) {
                    waitUntil([shown] { return shown->lblCurrentTrack->text().endsWith(QLatin1Char(')')); });
                    failure = shown->lblCurrentTrack->text();
                } else if (how == How::AbortButton) {
                    waitUntil([shown] { return !shown->isVisible(); }); // it closes itself
                }
            }));
        });
        ShownEditor shown;
        const auto editorWatch = watchEditor(shown);
        run(main, QStringLiteral("Audio Analyser"));
        QObject::disconnect(watch);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(shown.shown);
        EXPECT_TRUE(main.g_bAbortedAudioEditor);
        EXPECT_FALSE(QFile::exists(tmpEditor()));
        EXPECT_EQ(Forms::audioEditor(), nullptr);
        if (c.how == How::Failure) {
            EXPECT_TRUE(failure.contains(QStringLiteral("bad.mp3"))) << failure.toStdString();
            EXPECT_FALSE(failure.contains(QStringLiteral(" (")));
        }
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Analyser, TheSelectionIsSavedAndAddedToTheList)
{
    const qint64 total = 8000 * 3;
    const QString source = Editor::toneWav(QStringLiteral("take.wav"), total, {8000, 1, 16});
    const QVector<qint16> all = Fixture::readWav16(source);
    frmMain &main = loadItem(source);
    const QString saveAs = Editor::work(QStringLiteral("part.wav"));
    const QString added = Editor::work(QStringLiteral("added.wav"));
    testServices().prompter->saveAnswers = QStringList{saveAs, added};
    bool stayedOpenAfterSaveAs = false;
    int rowsAfterSaveAs = -1;
    ShownEditor shown;
    const auto editorWatch = watchEditor(shown, [&](frmAudioEditor *editor) {
        editor->cAudioEditor1->setSelection(4001, 12003);
        ASSERT_TRUE(waitUntil([editor] { return editor->lblSamplesStart->text() == QLatin1String("4001"); }));
        EXPECT_EQ(editor->lblSamplesEnd->text(), QStringLiteral("12003"));
        EXPECT_EQ(editor->lblTimeStart->text(), QStringLiteral("500 ms [0:00:00]"));
        EXPECT_EQ(editor->lblTimeEnd->text(), QStringLiteral("1500 ms [0:00:02]"));

        // "Save As" writes the file and keeps the window, adding nothing.
        QAction *saveButton = editor->toolbarButton(QStringLiteral("Save Selection"));
        saveButton->trigger();
        EXPECT_FALSE(saveButton->isEnabled());
        EXPECT_FALSE(editor->cmdAddSelection->isEnabled());
        ASSERT_TRUE(waitUntil([saveButton] { return saveButton->isEnabled(); }));
        stayedOpenAfterSaveAs = editor->isVisible();
        rowsAfterSaveAs = main.cGrid1->Rows();

        // "Add Selection" saves again, adds the complete file and closes.
        editor->cmdAddSelection->click();
        ASSERT_TRUE(waitUntil([editor] { return !editor->isVisible(); }));
    });
    run(main, QStringLiteral("Audio Analyser"));
    ASSERT_TRUE(shown.shown);

    const FileDialogRequest &request = testServices().prompter->saveRequests.first();
    EXPECT_EQ(request.title, QStringLiteral("Save Selection As"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("wav"));
    EXPECT_TRUE(request.filter.contains(QStringLiteral("*.wav")));
    EXPECT_TRUE(stayedOpenAfterSaveAs);
    EXPECT_EQ(rowsAfterSaveAs, 1);
    EXPECT_EQ(Fixture::readWav16(saveAs), Editor::slice(all, 1, 4001, 12003));
    EXPECT_EQ(Fixture::readWav16(added), Editor::slice(all, 1, 4001, 12003));
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(cell(main, 2, Row::File), added);
    EXPECT_TRUE(listBytes(QStringLiteral("Songs.flst")).contains(added.toUtf8()));
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
}

TEST_F(Analyser, AddSelectionRefusesAMissingOrEmptySourceAndAddsNothingWhenCancelled)
{
    const QString good = Editor::toneWav(QStringLiteral("good.wav"), 8000, {8000, 1, 16});
    const QString tiny = Editor::toneWav(QStringLiteral("tiny.wav"), 10, {8000, 1, 16}); // 64 bytes
    ASSERT_EQ(QFileInfo(tiny).size(), 64);
    const struct {
        const char *name;
        QString source;
        bool deleteSource;
        QString answer; // of the save dialog; empty: cancelled
        QString message;
        bool closes;
    } cases[] = {
        {"cancelled", good, false, QString(), QString(), true},
        {"source deleted", good, true, Editor::work(QStringLiteral("a.wav")),
         QStringLiteral("The file:") + good + QStringLiteral(" was not found."), false},
        {"64-byte source", tiny, false, Editor::work(QStringLiteral("b.wav")),
         QStringLiteral("The file:") + tiny + QStringLiteral(" is empty."), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!QFile::exists(good))
            Editor::toneWav(QStringLiteral("good.wav"), 8000, {8000, 1, 16});
        frmMain &main = loadItem(good);
        const QPointer<frmAudioEditor> editor(&Forms::loadAudioEditor(&main));
        editor->txtWavFile->setText(c.source);
        editor->cAudioEditor1->OpenFile(c.source);
        editor->show();
        ASSERT_TRUE(fileInfoShown(editor));
        if (c.deleteSource)
            QFile::remove(c.source);
        testServices().prompter->messages.clear();
        testServices().prompter->saveAnswers = c.answer.isEmpty() ? QStringList() : QStringList{c.answer};
        editor->cmdAddSelection->click();
        flushEvents();
        if (!c.message.isEmpty()) {
            ASSERT_FALSE(messages().isEmpty());
            EXPECT_EQ(messages().first(), c.message);
            EXPECT_EQ(testServices().prompter->messages.first().icon(), Msg::Information);
        }
        EXPECT_EQ(editor && editor->isVisible(), !c.closes);
        EXPECT_EQ(main.cGrid1->Rows(), 1);
        Forms::unload(editor);
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Analyser, TheToolbarPlaysZoomsAndRestores)
{
    const qint64 total = 8000 * 2;
    const QString source = Editor::toneWav(QStringLiteral("take.wav"), total, {8000, 1, 16});
    frmMain &main = loadItem(source);
    frmAudioEditor &editor = Forms::loadAudioEditor(&main);

    QStringList keys, captions, tips;
    for (QAction *action : editor.tlbrList->actions()) {
        keys << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
        captions << action->text();
        tips << action->toolTip();
    }
    EXPECT_EQ(keys.join(QLatin1Char(',')), QStringLiteral("Play,Pause,Stop,|,Zoom,Restore,|,Save Selection,|,Abort"));
    EXPECT_EQ(captions.at(7), QStringLiteral("Save As"));
    EXPECT_EQ(tips.at(7), QStringLiteral("Save Selection As..."));
    EXPECT_EQ(tips.at(9), QStringLiteral("Abort Operation"));

    editor.txtWavFile->setText(source);
    editor.cAudioEditor1->OpenFile(source);
    editor.show();
    ASSERT_TRUE(fileInfoShown(&editor));
    cAudioEditor &view = *editor.cAudioEditor1;
    view.setSelection(2000, 6000);
    editor.toolbarButton(QStringLiteral("Zoom"))->trigger();
    EXPECT_EQ(view.viewStart(), 2000);
    EXPECT_EQ(view.viewLength(), 4000);
    editor.toolbarButton(QStringLiteral("Restore"))->trigger();
    EXPECT_EQ(view.viewLength(), total);

    QAction *play = editor.toolbarButton(QStringLiteral("Play"));
    {
        NoDevices none;
        play->trigger();
        EXPECT_TRUE(play->isEnabled());
        ASSERT_EQ(messages().size(), 1);
        EXPECT_EQ(messages().first(), view.ErrorText());
    }
    ASSERT_TRUE(haveOutput());
    play->trigger();
    EXPECT_FALSE(play->isEnabled());
    editor.toolbarButton(QStringLiteral("Pause"))->trigger();
    EXPECT_TRUE(view.IsPaused());
    editor.toolbarButton(QStringLiteral("Pause"))->trigger();
    EXPECT_FALSE(view.IsPaused());
    EXPECT_TRUE(waitUntil([play] { return play->isEnabled(); }, 10000)); // PlayDone
    play->trigger();
    editor.toolbarButton(QStringLiteral("Stop"))->trigger();
    EXPECT_TRUE(play->isEnabled());
    Forms::unload(&editor);
}

TEST_F(Analyser, TimeLabelsRoundHalfSecondsToEven)
{
    frmMain &main = loadMain();
    frmAudioEditor &editor = Forms::loadAudioEditor(&main);
    editor.cAudioEditor1_FileInfo(44100, 16, 2, 183, 183 * 44100);
    EXPECT_EQ(editor.lblTimeStart->text(), QStringLiteral("0 ms [0:00:00]"));
    EXPECT_EQ(editor.lblTimeEnd->text(), QStringLiteral("183000 ms [0:03:03]"));
    EXPECT_EQ(editor.lblSelectedTime->text(), editor.lblTimeEnd->text());
    EXPECT_EQ(editor.lblLength->text(), QStringLiteral("0:03:03"));
    EXPECT_EQ(editor.lblSamplesEnd->text(), QString::number(183 * 44100));
    editor.cAudioEditor1_SelectionChanged(66150, 176400, 1500, 4000);
    EXPECT_EQ(editor.lblTimeStart->text(), QStringLiteral("1500 ms [0:00:02]"));
    EXPECT_EQ(editor.lblTimeEnd->text(), QStringLiteral("4000 ms [0:00:04]"));
    EXPECT_EQ(editor.lblSelectedTime->text(), QStringLiteral("2500 ms [0:00:02]"));
    editor.cAudioEditor1_Progress(0);
    EXPECT_EQ(editor.prgCurrnet->Value(), 0);
    Forms::unload(&editor);
}

TEST_F(Analyser, TheConversionWindowHandsOverTheNamedFormatAndTheDefaultTags)
{
    const QString savedAlbum = g_sTagAlbum;
    const QString savedTrack = g_sTagTrack;
    g_sTagAlbum = QStringLiteral("Live [PROG_NAME]");
    g_sTagTrack = QStringLiteral("[TRACK_NUM]");
    const struct {
        const char *target;
        qint32 format; // after the hand-over; 4 was set before it
    } cases[] = {
        {"mp3 - anything", DestMP3},
        {"OGG - Ogg Media Format (*.ogg)", DestOGG},
        {"WAV - Waveform Audio Format (*.wav)", DestWAV},
        {"XYZ", DestWMA},
        {"", DestWMA},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        frmAudioEditorProc &proc = Forms::loadAudioEditorProc();
        proc.cAudioConverter1->DestFormat(DestWMA);
        proc.g_sConvertToTarget = QString::fromLatin1(c.target);
        proc.SetDestination();
        EXPECT_EQ(proc.cAudioConverter1->DestFormat(), c.format);
        proc.SetID3Tags();
        EXPECT_EQ(proc.cAudioConverter1->TagAlbum(), QStringLiteral("Live ") + g_sAppName);
        EXPECT_EQ(proc.cAudioConverter1->TagTrack(), QStringLiteral("1"));
        proc.cAudioConverter1_Progress(0);
        EXPECT_EQ(proc.prgCurrnet->Value(), 0);
        Forms::unload(&proc);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    g_sTagAlbum = savedAlbum;
    g_sTagTrack = savedTrack;
}
