#pragma once

#include "controls/cd/BurnDevices.h"
#include "controls/Worker.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Writes a data CD or DVD from a list of files in the chosen file systems, on
// a worker thread, reporting through queued events. Drive indexes count from
// 0. Every Burn ends in exactly one BurnEnd (written) or Error (not written,
// or aborted after Canceled), never inside the call. The control lives on the UI thread and the
// burn runs on its worker; a burn cannot start while one runs, so no report
// is stale, and those of a control that has gone are dropped with it.
class cBurner : public QObject {
    Q_OBJECT
public:
    explicit cBurner(QObject *parent = nullptr);
    ~cBurner() override;

    // Whether this engine can be offered: a writer drive able to write DVDs
    // is present, or the writer list was given through SONVALE_BURN_DEVICES.
    static bool IsInstalled();

    qint32 DriveCount() const;
    // "D: /dev/sr0": the drive letter, a colon, the device or image file.
    QString DriveName(qint32 index) const;
    // The drive's vendor and model, or "Image file".
    QString DriveID(qint32 index) const;

    void ClearFiles() { m_files.clear(); }
    // Puts a file (or a folder with its content) on the list; a path that
    // cannot be burned makes the burn end in Error, naming it.
    void AddFile(const QString &path);
    void FileSystemISO(bool on) { m_iso = on; }
    void FileSystemJoliet(bool on) { m_joliet = on; }
    // No UDF writer exists here: a burn asked for UDF ends in Error.
    void FileSystemUDF(bool on) { m_udf = on; }
    bool FileSystemISO() const { return m_iso; }
    bool FileSystemJoliet() const { return m_joliet; }
    bool FileSystemUDF() const { return m_udf; }
    void VolumeName(const QString &name) { m_volumeName = name; }
    QString VolumeName() const { return m_volumeName; }

    // Starts writing the listed files on the drive and returns at once.
    void Burn(qint32 driveIndex);
    // Stops a running burn: Canceled, then Error; no image is left.
    void Abort();

signals:
    void Error(const QString &code, const QString &text);
    void DoneBurn();
    void Canceled();
    void BurnEnd();
    void Progress(qint32 percent);
    void Finalization();
    void Initializing();
    void Completed();
    void StartBurning();
    void Counts(qint32 files, qint32 dirs);
    void Adding(const QString &path);
    // A warning of the disc's mastering (a name shortened, a file left
    // out), for the burn's log; before the burn's ending.
    void Warning(const QString &text);

private:
    void post(std::function<void()> event);
    void fail(qint32 code, const QString &text);

    QVector<BurnDevice> m_devices;
    QStringList m_files;
    QString m_volumeName;
    bool m_iso = true;
    bool m_joliet = true;
    bool m_udf = false;
    Worker m_worker;
};
