#include "controls/cd/cAudioDataBurner.h"

#include "controls/cd/BurnError.h"
#include "controls/cd/CdTray.h"
#include "controls/cd/DataCdJob.h"

#include <QFileInfo>

#include <memory>

cAudioDataBurner::cAudioDataBurner(QObject *parent)
    : QObject(parent)
    , m_devices(BurnDevices::list(QStringLiteral("iso")))
{
}

cAudioDataBurner::~cAudioDataBurner()
{
    Terminate();
}

void cAudioDataBurner::post(std::function<void()> event)
{
    QMetaObject::invokeMethod(this, std::move(event), Qt::QueuedConnection);
}

qint32 cAudioDataBurner::DriveCount() const
{
    return qint32(m_devices.size());
}

QString cAudioDataBurner::DriveName(qint32 index) const
{
    if (index < 1 || index > m_devices.size())
        return {};
    const BurnDevice &d = m_devices[index - 1];
    if (d.image)
        return QStringLiteral("%1 %2 (image file)").arg(d.drive, d.path);
    return d.model.isEmpty() ? d.drive + ' ' + d.path : QStringLiteral("%1 %2 %3").arg(d.drive, d.path, d.model);
}

qint32 cAudioDataBurner::SpeedCount(const QString &letter)
{
    m_speeds.clear();
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0 || i == m_burning || m_devices[i].image)
        return 0;
    m_speeds = BurnDevices::probe(m_devices[i], {}).speeds;
    return qint32(m_speeds.size());
}

qint32 cAudioDataBurner::Speed(qint32 index) const
{
    return index >= 1 && index <= m_speeds.size() ? m_speeds[index - 1] : 0;
}

bool cAudioDataBurner::IsReady(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0 || i == m_burning)
        return false;
    // Ready means a disc is there to write; whether it is blank is IsEmpty's.
    return BurnDevices::probe(m_devices[i], {m_devices[i].path}).present;
}

bool cAudioDataBurner::IsEmpty(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0 || i == m_burning)
        return false;
    return BurnDevices::probe(m_devices[i], {m_devices[i].path}).ready;
}

bool cAudioDataBurner::AddFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isReadable())
        return false;
    const QString full = info.absoluteFilePath();
    for (const QString &listed : m_files) {
        if (listed == full)
            return true;
        if (QFileInfo(listed).fileName() == info.fileName())
            return false;
    }
    m_files << full;
    return true;
}

void cAudioDataBurner::Burn(const QString &letter, qint32 speed)
{
    // A start takes the list, also one that is refused: the caller lists
    // the files again for its next start, and none may go on the disc twice.
    const QStringList files = m_files;
    m_files.clear();
    if (m_worker.isRunning()) {
        post([this] { emit Message(BurnError::Busy, QStringLiteral("A disc is still being written.")); });
        return;
    }
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0) {
        const QString text = m_devices.isEmpty()
            ? QStringLiteral("There is no CD writer.")
            : QStringLiteral("There is no CD writer %1:.").arg(letter.trimmed().left(1).toUpper());
        post([this, text] { emit Message(BurnError::NoDrive, text); });
        return;
    }
    DataCdRequest request;
    request.device = m_devices[i];
    request.files = files;
    request.volumeName = m_volumeName;
    request.publisher = m_identity1;
    request.preparer = m_identity2;
    request.leaveOpen = m_burnOption;
    request.speed = speed;
    const QString fs = m_fileSystem.trimmed().toUpper();
    if (fs == QLatin1String("CDFS") || fs == QLatin1String("JOLIET")) {
        request.joliet = true;
    } else if (fs == QLatin1String("ISO9660") || fs == QLatin1String("ISO")) {
        request.joliet = false;
    } else if (fs == QLatin1String("UDF")) {
        request.udf = true;
    } else {
        const QString text = QStringLiteral("The file system \"%1\" cannot be written; use CDFS.").arg(m_fileSystem);
        post([this, text] { emit Message(BurnError::Unsupported, text); });
        return;
    }

    m_burning = i;
    auto job = std::make_shared<DataCdJob>(std::move(request));
    auto result = std::make_shared<DataCdJob::Result>(DataCdJob::Result::Failed);
    m_worker.start(
        this,
        [this, job, result](const std::atomic<bool> &abort) {
            DataCdJob::Events events;
            events.writing = [this] { post([this] { emit BurnStart(); }); };
            events.progress = [this](int percent) { post([this, percent] { emit Progress(qint16(percent)); }); };
            events.closing = [this] { post([this] { emit ClosingSession(); }); };
            events.warning = [this](const QString &text) { post([this, text] { emit Warning(text); }); };
            *result = job->run(abort, events);
        },
        [this, job, result] {
            m_burning = -1;
            switch (*result) {
            case DataCdJob::Result::Done: emit Finished(); break;
            case DataCdJob::Result::Aborted:
                emit Message(BurnError::Aborted, QStringLiteral("The burn was aborted."));
                break;
            case DataCdJob::Result::Failed: emit Message(job->errorCode(), job->errorText()); break;
            }
        });
}

void cAudioDataBurner::Abort()
{
    m_worker.abort();
}

void cAudioDataBurner::Eject(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i >= 0 && i != m_burning && !m_devices[i].image)
        CdTray::eject(m_tray, this, m_devices[i].path);
}

void cAudioDataBurner::CloseTray(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i >= 0 && i != m_burning && !m_devices[i].image)
        CdTray::close(m_tray, this, m_devices[i].path);
}

void cAudioDataBurner::Terminate()
{
    m_worker.stop();
    m_burning = -1;
    m_files.clear();
    m_speeds.clear();
}
