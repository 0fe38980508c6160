#pragma once

#include "controls/cd/BurnDevices.h"
#include "controls/Worker.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Writes audio files as the tracks of an audio CD, on a worker thread,
// reporting through queued events. Any audio file the program reads is
// decoded and brought to CD audio; a real writer gets the disc in one pass,
// the image drive a BIN/CUE image. Drives are named by their letter ("D"),
// drive and speed indexes count from 1, tracks from 1. Every Burn ends in
// exactly one Finished or Error, never inside the call. The control lives on the UI thread and the
// burn runs on its worker; a burn cannot start while one runs, so no report
// is stale, and those of a control that has gone are dropped with it.
class cAudioBurner : public QObject {
    Q_OBJECT
public:
    explicit cAudioBurner(QObject *parent = nullptr);
    ~cAudioBurner() override;

    qint32 DriveCount() const;
    // "D: /dev/sr0 ACME DVD-RW" or "E: /home/me/Sonvale CD.cue (image file)".
    QString DriveName(qint32 index) const;
    qint32 SpeedCount(const QString &letter);
    qint32 Speed(qint32 index) const;
    // Empty when the drive is ready to write; otherwise what is wrong.
    QString DriveState(const QString &letter);
    // The bytes of data the blank disc takes (2048 a sector), so that
    // capacity / 153535 / 60 is its length in minutes; 0 when not blank.
    qint64 DiskCapacity(const QString &letter);
    // The bytes already on the disc (the image files' size).
    qint64 DiskSize(const QString &letter);

    // Puts the file on the list of tracks; false when it is missing or is
    // not audio the program can read, or the disc already has 99 tracks.
    bool AddFile(const QString &path);
    qint16 TrackCount() const { return qint16(m_files.size()); }
    // True closes the disc after the tracks, as audio players need; false
    // leaves it open for another session.
    void BurnOption(bool closeDisc) { m_closeDisc = closeDisc; }
    bool BurnOption() const { return m_closeDisc; }
    // The drive and speed (KB/s, 65535 for the fastest) of the next Burn.
    void SelectDrive(const QString &letter, qint32 speed);

    // Starts writing the listed tracks and returns at once; the list starts
    // empty again for the next burn.
    void Burn();
    // Stops a running burn promptly; it ends in Error, leaving no image.
    void Abort();
    void Eject(const QString &letter);
    void CloseTray(const QString &letter);
    // Stops any burn and releases the drives.
    void Terminate();

signals:
    void TrackProgress(qint16 progress, qint16 track);
    void Progress(qint16 progress);
    void ClosingSession();
    void ClosingTrack();
    void CachingTrack();
    void WritingTrack();
    void Finished();
    void Error(qint32 code, const QString &text);

private:
    void post(std::function<void()> event);
    BurnProbe probe(int index);
    QStringList imageFiles(int index) const;

    QVector<BurnDevice> m_devices;
    QVector<qint32> m_speeds;
    QStringList m_files;
    QString m_letter;
    qint32 m_speed = 65535;
    bool m_closeDisc = true;
    int m_burning = -1;
    Worker m_worker;
    Worker m_tray;
};
