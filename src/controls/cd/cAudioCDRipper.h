#pragma once

#include "controls/Worker.h"
#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioJobRunner.h"
#include "controls/audio/AudioRange.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdToc.h"

#include <QObject>
#include <QString>
#include <QVector>

// Lists the CD drives, answers what disc the selected drive holds, and rips
// one track (or a range of it) at a time into a file of any destination
// format, reporting through queued events. Devices and tracks are counted
// from 0 and from 1 respectively. The control lives on the UI thread; a rip
// runs on its runner's worker, tray moves on a worker of their own. A rip
// cannot start while one runs, and the reports of a control that has gone
// are dropped with its runner.
class cAudioCDRipper : public QObject, public AudioDestination, public AudioRange {
    Q_OBJECT
public:
    explicit cAudioCDRipper(QObject *parent = nullptr);
    ~cAudioCDRipper() override;

    qint32 DeviceCount() const;
    // "D: /dev/sr0 ACME DVD-RW": the first two characters are the drive.
    QString DeviceName(qint32 index) const;
    // Reads the disc of the device; true when the device could be opened. It
    // stays the current device for the queries below.
    bool SelectDevice(qint32 index);
    bool IsAudioCD() const;
    // Below 1 when no device is selected or it holds no disc.
    qint32 TrackCount() const;
    // Whole seconds; 0 for a track the disc lacks.
    qint32 TrackLength(qint32 track) const;
    // 1 for an audio track, 2 for a data track, 0 for a track the disc lacks.
    qint32 TrackType(qint32 track) const;

    // The drive that Rip reads; -1 (the default) takes the selected device.
    void DeviceIndex(qint32 index) { m_deviceIndex = index; }
    qint32 DeviceIndex() const { return m_deviceIndex; }
    // The track that Rip reads, from 1.
    void Track(qint32 track) { m_track = track; }
    qint32 Track() const { return m_track; }

    // Starts ripping Track into DestFile and returns at once; one of Done,
    // Aborted or Error follows, never inside this call.
    void Rip();
    void Abort();
    // Opens the tray of the drive ripped from last (else the selected one),
    // without waiting for it; an image has no tray.
    void Eject();
    // Stops any rip and releases the devices.
    void Terminate();

signals:
    void Progress(qint32 percent);
    void Done();
    void Aborted();
    void Error(qint32 code, const QString &text);

private:
    qint32 ripDevice() const;

    QVector<CdDevice> m_devices;
    qint32 m_selected = -1;
    CdToc m_toc;

    qint32 m_deviceIndex = -1;
    qint32 m_track = 1;
    qint32 m_lastRipDevice = -1;

    AudioJobRunner m_runner{QStringLiteral("A rip is already running.")};
    Worker m_tray;
};
