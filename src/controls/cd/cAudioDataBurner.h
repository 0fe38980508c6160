#pragma once

#include "controls/cd/BurnDevices.h"
#include "controls/Worker.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Writes a data CD from a list of files at a chosen write speed, on a worker
// thread, reporting through queued events. Drives are named by their letter
// ("D"); drive and speed indexes count from 1. Every Burn ends in exactly one
// Finished or Message, never inside the call. The control lives on the UI thread and the
// burn runs on its worker; a burn cannot start while one runs, so no report
// is stale, and those of a control that has gone are dropped with it.
class cAudioDataBurner : public QObject {
    Q_OBJECT
public:
    explicit cAudioDataBurner(QObject *parent = nullptr);
    ~cAudioDataBurner() override;

    qint32 DriveCount() const;
    // "D: /dev/sr0 ACME DVD-RW" or "E: /home/me/Sonvale CD.iso (image file)":
    // the first character is the drive letter.
    QString DriveName(qint32 index) const;
    // The write speeds (KB/s) of the drive; Speed then reads them. A drive
    // that reports none (an image drive) has 0.
    qint32 SpeedCount(const QString &letter);
    qint32 Speed(qint32 index) const;
    // The drive can be written now: a disc is in, or an image's folder is
    // writable.
    bool IsReady(const QString &letter);
    // The disc is blank; an image drive's file does not exist yet or is empty.
    bool IsEmpty(const QString &letter);

    // Puts a file (or a folder with its content) on the list of the next
    // Burn; false for a missing or unreadable path, or a name that another
    // listed file already has on the disc. The same path again is kept once.
    bool AddFile(const QString &path);
    void VolumeName(const QString &name) { m_volumeName = name; }
    QString VolumeName() const { return m_volumeName; }
    // "CDFS" (ISO 9660 with Joliet names), "ISO9660" or "Joliet"; "UDF" and
    // anything else make the burn fail with a message saying why.
    void FileSystem(const QString &name) { m_fileSystem = name; }
    QString FileSystem() const { return m_fileSystem; }
    // The publisher and the data preparer written into the disc.
    void IdentityText1(const QString &text) { m_identity1 = text; }
    void IdentityText2(const QString &text) { m_identity2 = text; }
    QString IdentityText1() const { return m_identity1; }
    QString IdentityText2() const { return m_identity2; }
    // True leaves the disc open for another session; false closes it.
    void BurnOption(bool leaveOpen) { m_burnOption = leaveOpen; }
    bool BurnOption() const { return m_burnOption; }

    // Starts writing the listed files on the drive and returns at once; the
    // list starts empty again for the next burn. speed in KB/s, 65535 for the
    // drive's fastest.
    void Burn(const QString &letter, qint32 speed);
    // Stops a running burn; it ends with Message and leaves no image.
    void Abort();
    // Open and close the drive's tray without waiting; image drives and a
    // drive that is being written are left alone.
    void Eject(const QString &letter);
    void CloseTray(const QString &letter);
    // Stops any burn and releases the drives.
    void Terminate();

signals:
    void BurnStart();
    void Progress(qint16 percent);
    void ClosingSession();
    void Finished();
    void Message(qint32 code, const QString &text);
    // A warning of the disc's mastering (a name shortened, a file left
    // out), for the burn's log; before the burn's ending.
    void Warning(const QString &text);

private:
    void post(std::function<void()> event);

    QVector<BurnDevice> m_devices;
    QVector<qint32> m_speeds;
    QStringList m_files;
    QString m_volumeName;
    QString m_fileSystem = QStringLiteral("CDFS");
    QString m_identity1;
    QString m_identity2;
    bool m_burnOption = false;
    int m_burning = -1; // the device being written
    Worker m_worker;
    Worker m_tray;
};
