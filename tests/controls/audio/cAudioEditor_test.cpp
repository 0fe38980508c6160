#include "support/EditorFixtures.h"

#include <QFile>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Editor;

namespace {

// Emits during a call mark the spy, so a test can tell an event that came
// inside the call that caused it.
struct EditorSpy {
    explicit EditorSpy(cAudioEditor &editor)
        : info(&editor, &cAudioEditor::FileInfo)
        , selection(&editor, &cAudioEditor::SelectionChanged)
        , ready(&editor, &cAudioEditor::SelectionReady)
        , saved(&editor, &cAudioEditor::SaveDone)
        , operationDone(&editor, &cAudioEditor::OperationDone)
        , playDone(&editor, &cAudioEditor::PlayDone)
        , error(&editor, &cAudioEditor::Error)
    {
        for (auto signal : {&cAudioEditor::OperationDone, &cAudioEditor::SelectionReady, &cAudioEditor::PlayDone})
            QObject::connect(&editor, signal, &editor, [this] { arrivedInside = arrivedInside || inside; });
        QObject::connect(&editor, &cAudioEditor::FileInfo, &editor, [this] { arrivedInside = arrivedInside || inside; });
        QObject::connect(&editor, &cAudioEditor::Error, &editor, [this] { arrivedInside = arrivedInside || inside; });
    }
    template <typename Call> void run(Call call)
    {
        inside = true;
        call();
        inside = false;
    }
    QSignalSpy info, selection, ready, saved, operationDone, playDone, error;
    bool inside = false;
    bool arrivedInside = false;
};

// Saves [startMs, startMs + lengthMs) of source to destination and waits for
// the save's end.
void save(cAudioEditor &editor, EditorSpy &spy, const QString &source, const QString &destination, qint64 startMs,
          qint64 lengthMs)
{
    const qsizetype before = spy.operationDone.size();
    editor.SetSaveSource(source);
    editor.SaveDestFile(destination);
    editor.SaveStart(startMs);
    editor.SaveLength(lengthMs);
    spy.run([&] { editor.SaveSelection(); });
    ASSERT_TRUE(waitUntil([&] { return spy.operationDone.size() > before; }));
}

} // namespace

TEST(AudioEditor, OpensAFileAndReadsItsWholeWaveform)
{
    struct Case {
        const char *name;
        Fixture::WavSpec spec;
        qint64 frames;
        qint32 seconds;
    };
    const Case cases[] = {
        {"stereo 16-bit, 183 seconds and a bit", {8000, 2, 16}, 183 * 8000 + 1234, 183},
        {"mono 8-bit, under a second", {11025, 1, 8}, 5000, 0},
        {"cd stereo", {44100, 2, 16}, 44100 * 3 / 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = toneWav(QStringLiteral("tone.wav"), c.frames, c.spec);
        cAudioEditor editor;
        EditorSpy spy(editor);
        spy.run([&] { editor.OpenFile(path); });
        ASSERT_TRUE(waitForSignal(spy.info));
        EXPECT_FALSE(spy.arrivedInside);
        const QList<QVariant> info = spy.info.first();
        EXPECT_EQ(info.at(0).toInt(), c.spec.rate);
        EXPECT_EQ(info.at(1).toInt(), c.spec.bits);
        EXPECT_EQ(info.at(2).toInt(), c.spec.channels);
        EXPECT_EQ(info.at(3).toInt(), c.seconds);
        EXPECT_EQ(info.at(4).toLongLong(), c.frames);

        ASSERT_TRUE(waitUntil([&] { return !editor.overview().isRunning(); }));
        const WaveformOverview &overview = editor.overview();
        EXPECT_EQ(overview.decodedSamples(), c.frames);
        EXPECT_EQ(overview.channels(), c.spec.channels);
        const qint64 perPeak = overview.samplesPerPeak();
        EXPECT_EQ(overview.peakCount(), (c.frames + perPeak - 1) / perPeak);
        // The tone reaches well away from silence in every column of the view.
        const auto columns = overview.columns(0, 0, c.frames, 50);
        for (const auto &[low, high] : columns) {
            EXPECT_LE(low, high);
            EXPECT_GT(high - low, 0.1f);
        }
        EXPECT_TRUE(spy.error.isEmpty());
        EXPECT_EQ(editor.selectionStart(), 0);
        EXPECT_EQ(editor.selectionEnd(), c.frames);
        EXPECT_EQ(editor.viewLength(), c.frames);
    }
}

TEST(AudioEditor, ACompressedFileEndsWithItsDecodedLength)
{
    const QString mp3 = toneMp3(QStringLiteral("tone.mp3"), 1.5);
    ASSERT_FALSE(mp3.isEmpty());
    cAudioEditor editor;
    EditorSpy spy(editor);
    ASSERT_TRUE(openAndRead(editor, mp3));
    flushEvents();
    const qint64 decoded = editor.overview().decodedSamples();
    EXPECT_GT(decoded, 44100);
    EXPECT_EQ(editor.totalSamples(), decoded);
    EXPECT_EQ(editor.selectionEnd(), decoded);
    EXPECT_EQ(editor.viewLength(), decoded);
    ASSERT_FALSE(spy.info.isEmpty());
    EXPECT_EQ(spy.info.last().at(4).toLongLong(), decoded);
}

TEST(AudioEditor, AFileThatCannotBeReadEndsInAnError)
{
    QFile junk(work(QStringLiteral("junk.wav")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4000, 'x'));
    junk.close();
    for (const QString &path : {work(QStringLiteral("missing.wav")), junk.fileName()}) {
        SCOPED_TRACE(path.toStdString());
        cAudioEditor editor;
        EditorSpy spy(editor);
        spy.run([&] { editor.OpenFile(path); });
        ASSERT_TRUE(waitForSignal(spy.error));
        EXPECT_FALSE(spy.arrivedInside);
        EXPECT_EQ(spy.error.first().at(0).toInt(), cAudioEditor::FileError);
        EXPECT_FALSE(spy.error.first().at(1).toString().isEmpty());
        EXPECT_TRUE(spy.info.isEmpty());
        EXPECT_EQ(editor.totalSamples(), 0);
        EXPECT_NE(editor.Play(), 0);
    }
}

TEST(AudioEditor, SelectionsMadeInCodeAndWithTheMouse)
{
    const qint64 frames = 8000 * 4;
    const QString path = toneWav(QStringLiteral("tone.wav"), frames, {8000, 1, 16});
    cAudioEditor editor;
    editor.resize(400, 100);
    ASSERT_TRUE(openAndRead(editor, path));
    EditorSpy spy(editor);

    spy.run([&] { editor.setSelection(12001, 4000); }); // given backwards
    ASSERT_TRUE(waitForSignal(spy.ready));
    EXPECT_FALSE(spy.arrivedInside);
    ASSERT_EQ(spy.selection.size(), 1);
    EXPECT_EQ(spy.selection.first(),
              (QList<QVariant>{qint64(4000), qint64(12001), qint64(500), qint64(1500)}));

    // A drag from a quarter to the middle of the view selects that stretch.
    spy.selection.clear();
    spy.ready.clear();
    QTest::mousePress(&editor, Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseMove(&editor, QPoint(150, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 50), editor.mapToGlobal(QPointF(200, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &move);
    QTest::mouseRelease(&editor, Qt::LeftButton, {}, QPoint(200, 50));
    ASSERT_TRUE(waitForSignal(spy.ready));
    EXPECT_EQ(editor.selectionStart(), frames / 4);
    EXPECT_EQ(editor.selectionEnd(), frames / 2);
    EXPECT_EQ(spy.selection.last().at(2).toLongLong(), 1000);
    EXPECT_EQ(spy.selection.last().at(3).toLongLong(), 2000);

    // A click without a drag selects the whole file again.
    spy.ready.clear();
    QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(300, 50));
    ASSERT_TRUE(waitForSignal(spy.ready));
    EXPECT_EQ(editor.selectionStart(), 0);
    EXPECT_EQ(editor.selectionEnd(), frames);
}

TEST(AudioEditor, ZoomShowsTheSelectionAndRestoreTheWholeFile)
{
    const qint64 frames = 8000 * 10;
    const QString path = toneWav(QStringLiteral("tone.wav"), frames, {8000, 1, 16});
    cAudioEditor editor;
    editor.resize(500, 100);
    ASSERT_TRUE(openAndRead(editor, path));
    EXPECT_EQ(editor.viewStart(), 0);
    EXPECT_EQ(editor.viewLength(), frames);

    editor.setSelection(20000, 28000);
    editor.ZoomSelection();
    EXPECT_EQ(editor.viewStart(), 20000);
    EXPECT_EQ(editor.viewLength(), 8000);
    // The mouse now works in the zoomed view: its middle is the selection's.
    QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(250, 50));
    QTest::mousePress(&editor, Qt::LeftButton, {}, QPoint(0, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(250, 50), editor.mapToGlobal(QPointF(250, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &move);
    QTest::mouseRelease(&editor, Qt::LeftButton, {}, QPoint(250, 50));
    EXPECT_EQ(editor.selectionStart(), 20000);
    EXPECT_EQ(editor.selectionEnd(), 24000);

    editor.ZoomRestore();
    EXPECT_EQ(editor.viewStart(), 0);
    EXPECT_EQ(editor.viewLength(), frames);
    editor.grab(); // paints zoomed and whole without trouble
}

TEST(AudioEditor, SavesTheSelectionSampleExact)
{
    const Fixture::WavSpec specs[] = {{44100, 2, 16}, {8000, 1, 16}};
    for (const Fixture::WavSpec &spec : specs) {
        SCOPED_TRACE(spec.channels);
        const qint64 frames = spec.rate * 3 + 17;
        const QString source = toneWav(QStringLiteral("source.wav"), frames, spec);
        const QVector<qint16> all = Fixture::readWav16(source);
        cAudioEditor editor;
        ASSERT_TRUE(openAndRead(editor, source));
        EditorSpy spy(editor);

        // The whole file as opened, though its length is no whole second.
        save(editor, spy, source, work(QStringLiteral("whole.wav")), 0, 3000);
        ASSERT_EQ(spy.saved.size(), 1);
        EXPECT_FALSE(spy.arrivedInside);
        EXPECT_EQ(spy.saved.first().at(1).toString(), work(QStringLiteral("whole.wav")));
        Fixture::WavSpec written;
        EXPECT_EQ(Fixture::readWav16(work(QStringLiteral("whole.wav")), &written), all);
        EXPECT_EQ(written.rate, spec.rate);
        EXPECT_EQ(written.channels, spec.channels);

        // A selection whose bounds fall between milliseconds.
        const qint64 first = spec.rate / 3 + 1;
        const qint64 end = spec.rate * 2 + 7;
        editor.setSelection(first, end);
        ASSERT_TRUE(waitForSignal(spy.selection));
        const qint64 startMs = spy.selection.last().at(2).toLongLong();
        const qint64 endMs = spy.selection.last().at(3).toLongLong();
        save(editor, spy, source, work(QStringLiteral("part.wav")), startMs, endMs - startMs);
        ASSERT_EQ(spy.saved.size(), 2);
        EXPECT_EQ(Fixture::readWav16(work(QStringLiteral("part.wav"))), slice(all, spec.channels, first, end));

        // Milliseconds that are no reported selection are cut at their samples.
        save(editor, spy, source, work(QStringLiteral("ms.wav")), 250, 500);
        ASSERT_EQ(spy.saved.size(), 3);
        EXPECT_EQ(Fixture::readWav16(work(QStringLiteral("ms.wav"))),
                  slice(all, spec.channels, spec.rate / 4, spec.rate * 3 / 4));
        EXPECT_TRUE(spy.error.isEmpty());
    }
}

TEST(AudioEditor, SavesASelectionOfAnMp3AsItsStraightDecodeHasIt)
{
    // Bounds inside MP3 frames, well past the first: the saved samples are
    // the ones ffmpeg's straight decode has there.
    const QString mp3 = toneMp3(QStringLiteral("tone.mp3"), 4);
    ASSERT_FALSE(mp3.isEmpty());
    const QVector<qint16> all = Fixture::decodeS16(mp3);
    ASSERT_FALSE(all.isEmpty());
    cAudioEditor editor;
    ASSERT_TRUE(openAndRead(editor, mp3));
    EditorSpy spy(editor);
    const qint64 first = 44100 * 2 + 577;
    const qint64 end = 44100 * 3 + 1151;
    editor.setSelection(first, end);
    ASSERT_TRUE(waitForSignal(spy.selection));
    const qint64 startMs = spy.selection.last().at(2).toLongLong();
    const qint64 endMs = spy.selection.last().at(3).toLongLong();
    save(editor, spy, mp3, work(QStringLiteral("part.wav")), startMs, endMs - startMs);
    ASSERT_EQ(spy.saved.size(), 1);
    EXPECT_TRUE(Fixture::readWav16(work(QStringLiteral("part.wav"))) == slice(all, 2, first, end));
}

TEST(AudioEditor, ASaveThatCannotBeDoneLeavesEveryFileAlone)
{
    const QString source = toneWav(QStringLiteral("source.wav"), 8000 * 2, {8000, 1, 16});
    const QByteArray sourceBytes = [&] {
        QFile f(source);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    struct Case {
        const char *name;
        QString saveSource;
        QString destination;
        qint64 startMs, lengthMs;
    };
    const Case cases[] = {
        {"onto its own source", source, source, 0, 1000},
        {"into a missing folder", source, work(QStringLiteral("no/such/out.wav")), 0, 1000},
        {"an empty stretch", source, work(QStringLiteral("empty.wav")), 500, 0},
        {"from a missing source", work(QStringLiteral("gone.wav")), work(QStringLiteral("out.wav")), 0, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioEditor editor;
        ASSERT_TRUE(openAndRead(editor, source));
        EditorSpy spy(editor);
        save(editor, spy, c.saveSource, c.destination, c.startMs, c.lengthMs);
        EXPECT_FALSE(spy.arrivedInside);
        EXPECT_EQ(spy.error.size(), 1);
        EXPECT_TRUE(spy.saved.isEmpty());
        EXPECT_EQ(spy.operationDone.size(), 1);
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), sourceBytes);
        if (c.destination != source) {
            EXPECT_FALSE(QFile::exists(c.destination));
        }
    }
}

TEST(AudioEditor, AnAbortedSaveLeavesNoFile)
{
    const QString source = toneWav(QStringLiteral("long.wav"), 44100 * 120);
    cAudioEditor editor;
    ASSERT_TRUE(openAndRead(editor, source));
    EditorSpy spy(editor);
    editor.SetSaveSource(source);
    editor.SaveDestFile(work(QStringLiteral("cut.wav")));
    editor.SaveStart(0);
    editor.SaveLength(120000);
    editor.SaveSelection();
    editor.Abort();
    ASSERT_TRUE(waitForSignal(spy.operationDone));
    flushEvents();
    EXPECT_TRUE(spy.saved.isEmpty());
    EXPECT_TRUE(spy.error.isEmpty());
    EXPECT_EQ(spy.operationDone.size(), 1);
    EXPECT_EQ(QDir(TestEnv::workFolder()).entryList({QStringLiteral("*cut*")}, QDir::Files | QDir::Hidden),
              QStringList());
}

TEST(AudioEditor, PlaysTheSelectionOrSaysWhyNot)
{
    const QString path = toneWav(QStringLiteral("tone.wav"), 8000 * 2, {8000, 1, 16});
    {
        NoDevices none;
        cAudioEditor editor;
        ASSERT_TRUE(openAndRead(editor, path));
        EditorSpy spy(editor);
        EXPECT_EQ(editor.Play(), cAudioEditor::DeviceError);
        EXPECT_FALSE(editor.ErrorText().isEmpty());
        EXPECT_FALSE(editor.isPlaying());
        flushEvents();
        EXPECT_TRUE(spy.playDone.isEmpty());
    }
    ASSERT_TRUE(haveOutput());
    cAudioEditor editor;
    ASSERT_TRUE(openAndRead(editor, path));
    EditorSpy spy(editor);
    editor.setSelection(4000, 6400); // 0.3 seconds
    qint32 result = -1;
    spy.run([&] { result = editor.Play(); });
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(editor.isPlaying());
    editor.Pause();
    EXPECT_TRUE(editor.IsPaused());
    editor.Resume();
    EXPECT_FALSE(editor.IsPaused());
    ASSERT_TRUE(waitForSignal(spy.playDone, 1, 10000));
    EXPECT_FALSE(spy.arrivedInside);
    EXPECT_FALSE(editor.isPlaying());

    // Stop ends a playback in its PlayDone too.
    ASSERT_EQ(editor.Play(), 0);
    editor.Stop();
    ASSERT_TRUE(waitForSignal(spy.playDone, 2, 10000));
}
