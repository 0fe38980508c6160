#include "controls/cd/cBurner.h"

#include "controls/cd/BurnError.h"
#include "controls/cd/DataCdJob.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

cBurner::cBurner(QObject *parent)
    : QObject(parent)
    , m_devices(BurnDevices::list(QStringLiteral("iso")))
{
}

cBurner::~cBurner()
{
    m_worker.stop();
}

bool cBurner::IsInstalled()
{
    const QVector<BurnDevice> devices = BurnDevices::list(QStringLiteral("iso"));
    if (!qgetenv("SONVALE_BURN_DEVICES").isNull())
        return !devices.isEmpty();
    // The default image drive alone does not make a DVD writer.
    return std::any_of(devices.begin(), devices.end(), [](const BurnDevice &d) { return !d.image && d.writesDvd; });
}

void cBurner::post(std::function<void()> event)
{
    QMetaObject::invokeMethod(this, std::move(event), Qt::QueuedConnection);
}

void cBurner::fail(qint32 code, const QString &text)
{
    post([this, code, text] { emit Error(QString::number(code), text); });
}

qint32 cBurner::DriveCount() const
{
    return qint32(m_devices.size());
}

QString cBurner::DriveName(qint32 index) const
{
    if (index < 0 || index >= m_devices.size())
        return {};
    return m_devices[index].drive + ' ' + m_devices[index].path;
}

QString cBurner::DriveID(qint32 index) const
{
    if (index < 0 || index >= m_devices.size())
        return {};
    const BurnDevice &d = m_devices[index];
    if (d.image)
        return QStringLiteral("Image file");
    return d.model.isEmpty() ? QStringLiteral("CD/DVD writer") : d.model;
}

void cBurner::AddFile(const QString &path)
{
    if (!path.isEmpty())
        m_files << QFileInfo(path).absoluteFilePath();
}

void cBurner::Burn(qint32 driveIndex)
{
    if (m_worker.isRunning()) {
        fail(BurnError::Busy, QStringLiteral("A disc is still being written."));
        return;
    }
    if (driveIndex < 0 || driveIndex >= m_devices.size()) {
        fail(BurnError::NoDrive,
            m_devices.isEmpty() ? QStringLiteral("There is no CD or DVD writer.")
                                : QStringLiteral("There is no writer number %1.").arg(driveIndex));
        return;
    }
    DataCdRequest request;
    request.device = m_devices[driveIndex];
    request.files = m_files;
    request.volumeName = m_volumeName;
    request.iso9660 = m_iso;
    request.joliet = m_joliet;
    request.udf = m_udf;

    auto job = std::make_shared<DataCdJob>(std::move(request));
    auto result = std::make_shared<DataCdJob::Result>(DataCdJob::Result::Failed);
    m_worker.start(
        this,
        [this, job, result](const std::atomic<bool> &abort) {
            post([this] { emit Initializing(); });
            DataCdJob::Events events;
            events.adding = [this](const QString &path) { post([this, path] { emit Adding(path); }); };
            events.counts = [this](int files, int dirs) { post([this, files, dirs] { emit Counts(files, dirs); }); };
            events.writing = [this] { post([this] { emit StartBurning(); }); };
            events.progress = [this](int percent) { post([this, percent] { emit Progress(percent); }); };
            events.closing = [this] { post([this] { emit Finalization(); }); };
            events.warning = [this](const QString &text) { post([this, text] { emit Warning(text); }); };
            *result = job->run(abort, events);
        },
        [this, job, result] {
            switch (*result) {
            case DataCdJob::Result::Done:
                emit Completed();
                emit DoneBurn();
                emit BurnEnd();
                break;
            case DataCdJob::Result::Aborted:
                emit Canceled();
                emit Error(QString::number(BurnError::Aborted), QStringLiteral("The burn was cancelled."));
                break;
            case DataCdJob::Result::Failed: emit Error(QString::number(job->errorCode()), job->errorText()); break;
            }
        });
}

void cBurner::Abort()
{
    m_worker.abort();
}
