#include "controls/audio/AudioDevices.h"

#include <QMediaDevices>

namespace {

bool devicesHidden()
{
    return qEnvironmentVariable("SONVALE_AUDIO_DEVICES").compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
}

QAudioDevice pick(const QList<QAudioDevice> &devices, const QAudioDevice &fallback, int index)
{
    if (index >= 0 && index < devices.size())
        return devices.at(index);
    if (!fallback.isNull())
        return fallback;
    // A server may name no default while it still has devices.
    return devices.isEmpty() ? QAudioDevice() : devices.first();
}

} // namespace

namespace AudioDevices {

QList<QAudioDevice> outputs()
{
    return devicesHidden() ? QList<QAudioDevice>() : QMediaDevices::audioOutputs();
}

QList<QAudioDevice> inputs()
{
    return devicesHidden() ? QList<QAudioDevice>() : QMediaDevices::audioInputs();
}

QAudioDevice output(int index, QString *error)
{
    if (devicesHidden()) {
        *error = QStringLiteral("No audio output device is available: check that the sound system is running.");
        return {};
    }
    const QAudioDevice device = pick(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), index);
    if (device.isNull())
        *error = QStringLiteral("No audio output device is available: check that the sound system is running.");
    return device;
}

QAudioDevice input(int index, QString *error)
{
    if (devicesHidden()) {
        *error = QStringLiteral("No audio input device is available: check that a microphone is connected.");
        return {};
    }
    const QAudioDevice device = pick(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), index);
    if (device.isNull())
        *error = QStringLiteral("No audio input device is available: check that a microphone is connected.");
    return device;
}

} // namespace AudioDevices
