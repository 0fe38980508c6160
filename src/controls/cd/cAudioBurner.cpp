#include "controls/cd/cAudioBurner.h"

#include "controls/cd/AudioCdJob.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/CdTray.h"

#include <QFileInfo>

#include <memory>

cAudioBurner::cAudioBurner(QObject *parent)
    : QObject(parent)
    , m_devices(BurnDevices::list(QStringLiteral("cue")))
{
}

cAudioBurner::~cAudioBurner()
{
    Terminate();
}

void cAudioBurner::post(std::function<void()> event)
{
    QMetaObject::invokeMethod(this, std::move(event), Qt::QueuedConnection);
}

QStringList cAudioBurner::imageFiles(int index) const
{
    const QString path = m_devices[index].path;
    return {AudioCdJob::binOf(path), AudioCdJob::cueOf(path)};
}

BurnProbe cAudioBurner::probe(int index)
{
    if (index == m_burning) {
        BurnProbe busy;
        busy.state = QStringLiteral("The drive is writing a disc.");
        return busy;
    }
    return BurnDevices::probe(m_devices[index], m_devices[index].image ? imageFiles(index) : QStringList());
}

qint32 cAudioBurner::DriveCount() const
{
    return qint32(m_devices.size());
}

QString cAudioBurner::DriveName(qint32 index) const
{
    if (index < 1 || index > m_devices.size())
        return {};
    const BurnDevice &d = m_devices[index - 1];
    if (d.image)
        return QStringLiteral("%1 %2 (image file)").arg(d.drive, AudioCdJob::cueOf(d.path));
    return d.model.isEmpty() ? d.drive + ' ' + d.path : QStringLiteral("%1 %2 %3").arg(d.drive, d.path, d.model);
}

qint32 cAudioBurner::SpeedCount(const QString &letter)
{
    m_speeds.clear();
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0 || m_devices[i].image)
        return 0;
    m_speeds = probe(i).speeds;
    return qint32(m_speeds.size());
}

qint32 cAudioBurner::Speed(qint32 index) const
{
    return index >= 1 && index <= m_speeds.size() ? m_speeds[index - 1] : 0;
}

QString cAudioBurner::DriveState(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i < 0)
        return m_devices.isEmpty() ? QStringLiteral("There is no CD writer.")
                                   : QStringLiteral("There is no CD writer %1:.").arg(letter.trimmed().left(1).toUpper());
    return probe(i).state;
}

qint64 cAudioBurner::DiskCapacity(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    return i < 0 ? 0 : probe(i).capacity;
}

qint64 cAudioBurner::DiskSize(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    return i < 0 ? 0 : probe(i).used;
}

bool cAudioBurner::AddFile(const QString &path)
{
    if (path.isEmpty() || m_files.size() >= 99 || !QFileInfo(path).isFile())
        return false;
    if (!AudioCdJob::isAudio(path))
        return false;
    m_files << QFileInfo(path).absoluteFilePath();
    return true;
}

void cAudioBurner::SelectDrive(const QString &letter, qint32 speed)
{
    m_letter = letter;
    m_speed = speed;
}

void cAudioBurner::Burn()
{
    // A start takes the list, also one that is refused: the caller lists
    // the files again for its next start, and none may go on the disc twice.
    const QStringList files = m_files;
    m_files.clear();
    if (m_worker.isRunning()) {
        post([this] { emit Error(BurnError::Busy, QStringLiteral("A disc is still being written.")); });
        return;
    }
    const int i = BurnDevices::indexOf(m_devices, m_letter);
    if (i < 0) {
        const QString text = m_devices.isEmpty() ? QStringLiteral("There is no CD writer.")
            : m_letter.trimmed().isEmpty()
            ? QStringLiteral("No CD writer was chosen.")
            : QStringLiteral("There is no CD writer %1:.").arg(m_letter.trimmed().left(1).toUpper());
        post([this, text] { emit Error(BurnError::NoDrive, text); });
        return;
    }
    AudioCdRequest request;
    request.device = m_devices[i];
    request.files = files;
    request.speed = m_speed;
    request.closeDisc = m_closeDisc;

    m_burning = i;
    auto job = std::make_shared<AudioCdJob>(std::move(request));
    auto result = std::make_shared<AudioCdJob::Result>(AudioCdJob::Result::Failed);
    m_worker.start(
        this,
        [this, job, result](const std::atomic<bool> &abort) {
            AudioCdJob::Events events;
            events.caching = [this](int) { post([this] { emit CachingTrack(); }); };
            events.progress = [this](int p) { post([this, p] { emit Progress(qint16(p)); }); };
            events.writing = [this](int) { post([this] { emit WritingTrack(); }); };
            events.trackProgress = [this](int p, int t) {
                post([this, p, t] { emit TrackProgress(qint16(p), qint16(t)); });
            };
            events.closingTrack = [this] { post([this] { emit ClosingTrack(); }); };
            events.closingSession = [this] { post([this] { emit ClosingSession(); }); };
            *result = job->run(abort, events);
        },
        [this, job, result] {
            m_burning = -1;
            switch (*result) {
            case AudioCdJob::Result::Done: emit Finished(); break;
            case AudioCdJob::Result::Aborted:
                emit Error(BurnError::Aborted, QStringLiteral("The burn was aborted."));
                break;
            case AudioCdJob::Result::Failed: emit Error(job->errorCode(), job->errorText()); break;
            }
        });
}

void cAudioBurner::Abort()
{
    m_worker.abort();
}

void cAudioBurner::Eject(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i >= 0 && i != m_burning && !m_devices[i].image)
        CdTray::eject(m_tray, this, m_devices[i].path);
}

void cAudioBurner::CloseTray(const QString &letter)
{
    const int i = BurnDevices::indexOf(m_devices, letter);
    if (i >= 0 && i != m_burning && !m_devices[i].image)
        CdTray::close(m_tray, this, m_devices[i].path);
}

void cAudioBurner::Terminate()
{
    m_worker.stop();
    m_burning = -1;
    m_files.clear();
    m_speeds.clear();
}
