#pragma once

#include "support/AudioFixtures.h"
#include "support/SoundDevices.h"
#include "support/TestEnvironment.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/audio/cAudioEditor.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QString>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>

namespace Editor {

inline QString work(const QString &name)
{
    return TestEnv::workFolder() + QLatin1Char('/') + name;
}

// A tone and noise WAV of that many sample frames.
inline QString toneWav(const QString &name, qint64 frames, Fixture::WavSpec spec = {44100, 2, 16})
{
    const QString path = work(name);
    Fixture::writeWav(path, spec, frames);
    return path;
}

// An MP3 of a tone, written by the program's own MP3 encoder.
inline QString toneMp3(const QString &name, double seconds)
{
    const QString wav = toneWav(name + QStringLiteral(".src.wav"), qint64(std::llround(seconds * 44100)));
    cAudioConverter converter;
    QSignalSpy done(&converter, &cAudioConverter::Done);
    QSignalSpy error(&converter, &cAudioConverter::Error);
    Mp3EncoderSettings mp3;
    mp3.Bitrate = 128;
    mp3.SampleRate = 44100;
    mp3.Quality = 5;
    mp3.Mode = 1;
    converter.DestFormat(DestMP3);
    converter.SetMP3Settings(mp3);
    converter.SourceFile(wav);
    converter.DestFile(work(name));
    converter.Convert();
    waitUntil([&] { return !done.isEmpty() || !error.isEmpty(); }, 60000);
    return done.isEmpty() ? QString() : work(name);
}

// Opens path in editor and waits until its waveform is read.
inline bool openAndRead(cAudioEditor &editor, const QString &path)
{
    QSignalSpy info(&editor, &cAudioEditor::FileInfo);
    editor.OpenFile(path);
    return waitForSignal(info) && waitUntil([&] { return !editor.overview().isRunning(); });
}

// The interleaved samples of frames [first, end) of a 16-bit WAV.
inline QVector<qint16> slice(const QVector<qint16> &all, int channels, qint64 first, qint64 end)
{
    return all.mid(int(first * channels), int((end - first) * channels));
}

// Stops a modal watcher that is still waiting when its scope ends, so it
// never reaches into a later test.
class ModalWatch {
public:
    explicit ModalWatch(QTimer *timer)
        : m_timer(timer)
    {
    }
    ModalWatch(ModalWatch &&) = default;
    ~ModalWatch()
    {
        if (m_timer)
            m_timer->deleteLater();
    }

private:
    QPointer<QTimer> m_timer;
};

// Handles the next modal window of type Form once it is on screen; other
// modal windows (the conversion window before the editor) are left alone.
// inspect may press its buttons; the window is then closed unless it did.
template <typename Form>[[nodiscard]] ModalWatch onModal(std::function<void(Form *)> inspect)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect] {
        auto *form = qobject_cast<Form *>(QApplication::activeModalWidget());
        if (!form || !form->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        const QPointer<Form> guard(form);
        inspect(form);
        if (guard && guard->isVisible())
            guard->close();
    });
    timer->start();
    return ModalWatch(timer);
}

} // namespace Editor
