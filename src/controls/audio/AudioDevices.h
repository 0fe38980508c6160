#pragma once

#include <QAudioDevice>
#include <QList>
#include <QString>

// The sound devices the audio controls play on and record from. Numbers are
// positions in Qt's device lists (from 0); -1 (or a number no device has)
// means the system's default device. Setting SONVALE_AUDIO_DEVICES to "none"
// hides every device, so the no-device paths can be driven on any machine.
namespace AudioDevices {

QList<QAudioDevice> outputs();
QList<QAudioDevice> inputs();

// The device to use, or a null device with a text the user can act on.
QAudioDevice output(int index, QString *error);
QAudioDevice input(int index, QString *error);

} // namespace AudioDevices
