#pragma once

#include "controls/Worker.h"
#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioJobQueue.h"
#include "controls/audio/AudioRange.h"
#include "controls/audio/ConversionAhead.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdToc.h"

#include <QObject>
#include <QString>
#include <QVector>

// Lists the CD drives, answers what disc the selected drive holds, and rips
// one track (or a range of it) at a time into a file of any destination
// format, reporting through queued events. Devices and tracks are counted
// from 0 and from 1 respectively. The control lives on the UI thread; each
// rip runs on a worker of its own in the job queue, which also runs the
// coming tracks ahead (the drive reads one track at a time, the encoding of
// several goes on side by side) and hands their reports over only when their
// turn comes. Tray moves run on a worker of their own. A rip cannot start
// while one is in turn, and the reports of a control that has gone are
// dropped with its queue.
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
    // The rips the caller will start next, in order, each with its track
    // (the row), tags, range and destination, from the drive and settings
    // set now. As the converter's conversions ahead: nothing of a rip shows
    // before Rip has asked for the same work.
    void RipAhead(const QVector<ConversionAhead> &next);
    // Rips at once, the one in turn included; 1 rips them one by one.
    int ripsAtOnce() const { return m_jobs.capacity(); }
    void setRipsAtOnce(int rips) { m_jobs.setCapacity(rips); }
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
    std::shared_ptr<class CdRipJob> job(qint32 device, qint32 track, qint32 rangeStart, qint32 rangeLength,
        const AudioTags &tags, const QString &destination) const;

    QVector<CdDevice> m_devices;
    qint32 m_selected = -1;
    CdToc m_toc;

    qint32 m_deviceIndex = -1;
    qint32 m_track = 1;
    qint32 m_lastRipDevice = -1;

    AudioJobQueue m_jobs;
    Worker m_tray;
};
