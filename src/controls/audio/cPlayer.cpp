#include "controls/audio/cPlayer.h"

#include "controls/audio/AudioDevices.h"
#include "controls/audio/AudioSnapshot.h"
#include "controls/audio/AudioTime.h"

#include <cmath>

cPlayer::cPlayer(QObject *parent)
    : QObject(parent)
{
    connect(&m_playback, &AudioPlayback::ended, this,
        [this](bool failed, const QString &error, quint64 playback) {
            if (failed) {
                m_errorText = error;
                emit Error(DeviceError, error);
            }
            emit PlayEnd(playback);
        });
}

cPlayer::~cPlayer() = default;

void cPlayer::clearDescription()
{
    m_length = 0;
    m_sampleRate = 0;
    m_bitrate = 0;
    m_channels = 0;
}

bool cPlayer::describe(const AudioDecoder &decoder)
{
    m_length = decoder.durationMs() / 1000.0;
    m_sampleRate = decoder.sampleRate();
    m_bitrate = qint32(std::lround(decoder.bitRate() / 1000.0));
    m_channels = decoder.channels();
    return true;
}

qint32 cPlayer::OpenFile(const QString &path)
{
    AudioDecoder decoder;
    QString error;
    if (!decoder.open(path, &error)) {
        clearDescription();
        m_errorText = error;
        return FileError;
    }
    describe(decoder);
    return NoError;
}

qint32 cPlayer::refuse(ErrorCode code, const QString &text)
{
    m_errorText = text;
    QMetaObject::invokeMethod(this, [this, code, text] { emit Error(code, text); }, Qt::QueuedConnection);
    return code;
}

qint32 cPlayer::Play(const QString &path, qint32 &deviceIndex)
{
    auto decoder = std::make_unique<AudioDecoder>();
    QString error;
    if (!decoder->open(path, &error))
        return refuse(FileError, error);
    const QAudioDevice device = AudioDevices::output(deviceIndex, &error);
    if (device.isNull())
        return refuse(DeviceError, error);
    describe(*decoder);
    m_playback.start(std::move(decoder), device);
    return NoError;
}

void cPlayer::Pause()
{
    m_playback.pause();
}

void cPlayer::Resume()
{
    m_playback.resume();
}

void cPlayer::Stop()
{
    m_playback.stop();
}

void cPlayer::Seek(qint32 seconds)
{
    m_playback.seek(qMax(0, seconds));
}

QString cPlayer::FormatSeconds(qint32 seconds) const
{
    return formatSeconds(seconds);
}

qint32 cPlayer::AudioData() const
{
    auto snapshot = m_playback.snapshot();
    return snapshot ? AudioSnapshots::publish(std::move(snapshot)) : 0;
}

void cPlayer::Terminate()
{
    m_playback.stop();
}
