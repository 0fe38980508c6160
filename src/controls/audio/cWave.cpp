#include "controls/audio/cWave.h"

#include "controls/audio/AudioDevices.h"
#include "controls/audio/AudioTime.h"

#include <QAudioDevice>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>

namespace {

// Levels on the meter's scale: 2 steps a decibel over the top 60 dB.
qint16 meterLevel(double decibels)
{
    return qint16(qBound(0L, std::lround((decibels + 60.0) * 2.0), 120L));
}

QString formatProblem(const WAVEFORMATEX &f)
{
    if (f.wFormatTag != 1)
        return QStringLiteral("Only PCM sound can be recorded (format tag %1 was asked for).").arg(f.wFormatTag);
    if (f.nChannels < 1 || f.nChannels > 2)
        return QStringLiteral("%1 channels cannot be recorded: choose mono or stereo.").arg(f.nChannels);
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return QStringLiteral("%1 bits per sample cannot be recorded: choose 8 or 16.").arg(f.wBitsPerSample);
    if (f.nSamplesPerSec < 1000 || f.nSamplesPerSec > 192000)
        return QStringLiteral("%1 samples per second cannot be recorded.").arg(f.nSamplesPerSec);
    const quint32 align = f.wBitsPerSample / 8 * f.nChannels;
    if (f.nBlockAlign != align || f.nAvgBytesPerSec != align * f.nSamplesPerSec)
        return QStringLiteral("The wave format does not add up: block align %1 and %2 bytes a second for %3 bits, "
                              "%4 channels at %5 Hz.")
            .arg(f.nBlockAlign)
            .arg(f.nAvgBytesPerSec)
            .arg(f.wBitsPerSample)
            .arg(f.nChannels)
            .arg(f.nSamplesPerSec);
    return {};
}

} // namespace

cWave::cWave(QObject *parent)
    : QObject(parent)
{
    connect(&m_playback, &AudioPlayback::ended, this, [this](bool failed, const QString &error) {
        if (failed) {
            m_lastCode = DeviceError;
            m_lastError = error;
            emit Error(DeviceError, error);
        }
        m_playedToEnd = !failed && m_playedToEnd;
        emit PlayDone();
    });
    connect(&m_recording, &AudioRecording::ended, this, [this](bool failed, const QString &error) {
        if (failed) {
            m_lastCode = FileError;
            m_lastError = error;
            emit Error(FileError, error);
        }
        emit RecordDone();
    });
    connect(&m_recording, &AudioRecording::level, this, [this](double decibels) {
        if (m_meter && m_recording.isActive()) {
            emit Level(meterLevel(decibels));
        }
    });
}

cWave::~cWave() = default;

qint32 cWave::DeviceCount(qint32 kind) const
{
    if (kind == InputDevices)
        return qint32(AudioDevices::inputs().size());
    if (kind == OutputDevices)
        return qint32(AudioDevices::outputs().size());
    return 0;
}

qint32 cWave::GetDeviceCaps(qint32 &device, WaveDeviceCaps &caps, qint32 kind) const
{
    const QList<QAudioDevice> devices = kind == InputDevices ? AudioDevices::inputs()
        : kind == OutputDevices                              ? AudioDevices::outputs()
                                                             : QList<QAudioDevice>();
    if (device < 0 || device >= devices.size())
        return DeviceError;
    const QAudioDevice &d = devices.at(device);
    caps.szPname = d.description();
    caps.dwMinSampleRate = quint32(d.minimumSampleRate());
    caps.dwMaxSampleRate = quint32(d.maximumSampleRate());
    caps.dwPreferredSampleRate = quint32(d.preferredFormat().sampleRate());
    caps.dwChannels = quint32(d.maximumChannelCount());
    return NoError;
}

qint32 cWave::fail(ErrorCode code, const QString &text)
{
    m_lastCode = code;
    m_lastError = text;
    return code;
}

qint32 cWave::RecordStart(qint32 &device, const QString &path, WAVEFORMATEX &format, qint16 levelFrames)
{
    if (m_recording.isActive())
        return fail(BusyError, QStringLiteral("A recording is already running; stop it first."));
    const QString problem = formatProblem(format);
    if (!problem.isEmpty())
        return fail(FormatError, problem);
    if (path.isEmpty())
        return fail(FileError, QStringLiteral("No file to record into was given."));
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return fail(FileError,
            QStringLiteral("Cannot record into %1: the folder %2 does not exist.").arg(path, info.absolutePath()));
    if (info.isDir())
        return fail(FileError, QStringLiteral("Cannot record into %1: it is a folder.").arg(path));
    if (!QFileInfo(info.absolutePath()).isWritable())
        return fail(FileError,
            QStringLiteral("Cannot write %1: the folder %2 cannot be written to.").arg(path, info.absolutePath()));
    QString error;
    const QAudioDevice input = AudioDevices::input(device, &error);
    if (input.isNull())
        return fail(DeviceError, error);
    const AudioRecording::Format f{int(format.nSamplesPerSec), format.nChannels, format.wBitsPerSample};
    m_recording.start(input, f, path, levelFrames > 0 ? levelFrames : int(format.nSamplesPerSec) / 20);
    return NoError;
}

void cWave::RecordStop()
{
    m_recording.stop();
}

void cWave::RecordPause()
{
    m_recording.pause();
}

void cWave::RecordResume()
{
    m_recording.resume();
}

QString cWave::ErrorText(qint32 &code) const
{
    if (code == m_lastCode && !m_lastError.isEmpty())
        return m_lastError;
    switch (code) {
    case NoError:
        return QStringLiteral("No error.");
    case FileError:
        return QStringLiteral("The file cannot be used.");
    case DeviceError:
        return QStringLiteral("The sound device cannot be used.");
    case FormatError:
        return QStringLiteral("The wave format cannot be used.");
    case BusyError:
        return QStringLiteral("A recording is already running.");
    default:
        return QStringLiteral("Unknown error %1.").arg(code);
    }
}

QString cWave::FormatSeconds(qint32 seconds) const
{
    return formatSeconds(seconds);
}

qint32 cWave::GetFileDetails(const QString &path, WaveFileDetails &details) const
{
    details = WaveFileDetails();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileError;
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return FileError;
    bool haveFormat = false;
    qint64 dataBytes = -1;
    while (dataBytes < 0) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            break;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("fmt ") && size >= 16) {
            const QByteArray fmt = file.read(size);
            if (fmt.size() < 16)
                return FileError;
            const char *f = fmt.constData();
            details.wFormatTag = qFromLittleEndian<quint16>(f);
            details.nChannels = qFromLittleEndian<quint16>(f + 2);
            details.nSamplesPerSec = qFromLittleEndian<quint32>(f + 4);
            details.nAvgBytesPerSec = qFromLittleEndian<quint32>(f + 8);
            details.nBlockAlign = qFromLittleEndian<quint16>(f + 12);
            details.wBitsPerSample = qFromLittleEndian<quint16>(f + 14);
            details.cbSize = size >= 18 ? qFromLittleEndian<quint16>(f + 16) : 0;
            haveFormat = true;
        } else if (chunk.startsWith("data")) {
            // A recording cut short may claim more than it holds.
            dataBytes = qMin<qint64>(size, file.size() - file.pos());
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            break;
        }
        if (chunk.startsWith("fmt ") && (size & 1))
            file.read(1);
    }
    if (!haveFormat || dataBytes < 0)
        return FileError;
    const QFileInfo info(path);
    details.FileName = info.fileName();
    details.FilePath = info.absoluteFilePath();
    if (details.nAvgBytesPerSec > 0)
        details.SecondsLength = qint32(std::nearbyint(double(dataBytes) / details.nAvgBytesPerSec));
    return NoError;
}

qint32 cWave::PlayStart(const QString &path, qint16 device, qint16)
{
    auto decoder = std::make_unique<AudioDecoder>();
    QString error;
    if (!decoder->open(path, &error))
        return fail(FileError, error);
    const QAudioDevice output = AudioDevices::output(device, &error);
    if (output.isNull())
        return fail(DeviceError, error);
    m_playedToEnd = true; // until a stop says otherwise
    m_playedLength = decoder->durationMs() / 1000.0;
    m_playback.start(std::move(decoder), output);
    return NoError;
}

qint32 cWave::PlayStop()
{
    m_playedToEnd = false;
    m_playback.stop();
    return NoError;
}

void cWave::PlayPause()
{
    m_playback.pause();
}

void cWave::PlayResume()
{
    m_playback.resume();
}

qint32 cWave::PlayPosition() const
{
    if (!m_playback.isActive())
        return m_playedToEnd ? 100 : 0;
    const double length = m_playback.length();
    return length > 0 ? qBound(0, int(100.0 * m_playback.position() / length), 100) : 0;
}

qint32 cWave::PlayLength() const
{
    if (!m_playback.isActive())
        return m_playedToEnd ? qint32(std::nearbyint(m_playedLength)) : 0;
    return qint32(m_playback.position());
}

void cWave::Terminate()
{
    PlayStop();
    RecordStop();
}
