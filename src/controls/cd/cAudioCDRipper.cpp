#include "controls/cd/cAudioCDRipper.h"

#include "controls/cd/CdRipJob.h"
#include "controls/cd/CdTray.h"

#include <memory>

cAudioCDRipper::cAudioCDRipper(QObject *parent)
    : QObject(parent)
    , m_devices(CdDevices::list())
    , m_jobs(this, [this](int percent) { emit Progress(percent); }, jobEnding(this),
          QStringLiteral("A rip is already running."))
{
}

cAudioCDRipper::~cAudioCDRipper()
{
    Terminate();
}

qint32 cAudioCDRipper::DeviceCount() const
{
    return qint32(m_devices.size());
}

QString cAudioCDRipper::DeviceName(qint32 index) const
{
    return index >= 0 && index < m_devices.size() ? m_devices[index].name() : QString();
}

bool cAudioCDRipper::SelectDevice(qint32 index)
{
    m_selected = -1;
    m_toc = {};
    if (index < 0 || index >= m_devices.size())
        return false;
    cd::Cdio cdio = CdDevices::open(m_devices[index].path);
    if (!cdio)
        return false;
    m_selected = index;
    m_toc = CdTocReader::read(cdio.get());
    return true;
}

bool cAudioCDRipper::IsAudioCD() const
{
    return m_toc.hasAudio();
}

qint32 cAudioCDRipper::TrackCount() const
{
    return qint32(m_toc.tracks.size());
}

qint32 cAudioCDRipper::TrackLength(qint32 track) const
{
    return m_toc.seconds(track);
}

qint32 cAudioCDRipper::TrackType(qint32 track) const
{
    if (track < 1 || track > m_toc.tracks.size())
        return 0;
    return m_toc.tracks[track - 1].audio ? 1 : 2;
}

qint32 cAudioCDRipper::ripDevice() const
{
    if (m_deviceIndex >= 0)
        return m_deviceIndex;
    return m_selected >= 0 ? m_selected : 0;
}

std::shared_ptr<CdRipJob> cAudioCDRipper::job(qint32 device, qint32 track, qint32 rangeStart, qint32 rangeLength,
    const AudioTags &tags, const QString &destination) const
{
    CdRipRequest request;
    request.device = m_devices[device].path;
    request.drive = m_devices[device].drive;
    request.track = track;
    request.rangeStart = rangeStart;
    request.rangeLength = rangeLength;
    request.settings = m_settings;
    request.tags = tags;
    request.destination = destination;
    return std::make_shared<CdRipJob>(std::move(request));
}

void cAudioCDRipper::Rip()
{
    const Range range = takeRange();
    const qint32 device = ripDevice();
    if (device < 0 || device >= m_devices.size()) {
        m_jobs.fail(CdRipJob::SourceError,
            m_devices.isEmpty() ? QStringLiteral("There is no CD drive.")
                                : QStringLiteral("There is no CD drive number %1.").arg(device));
        return;
    }
    const bool busy = m_jobs.isRunning();
    m_jobs.start(job(device, m_track, range.start, range.length, m_tags, m_destFile));
    if (!busy)
        m_lastRipDevice = device;
}

void cAudioCDRipper::RipAhead(const QVector<ConversionAhead> &next)
{
    const qint32 device = ripDevice();
    std::vector<std::shared_ptr<EncodingJob>> jobs;
    if (device >= 0 && device < m_devices.size())
        for (const ConversionAhead &c : next)
            jobs.push_back(job(device, c.row, c.rangeStart, c.rangeLength, c.tags, c.destination));
    m_jobs.expect(jobs);
}

void cAudioCDRipper::Abort()
{
    m_jobs.abort();
}

void cAudioCDRipper::Eject()
{
    const qint32 device = m_lastRipDevice >= 0 ? m_lastRipDevice : ripDevice();
    if (device < 0 || device >= m_devices.size() || CdDevices::isImage(m_devices[device].path))
        return;
    // A drive takes a second or two to open its tray, and nobody waits for it.
    CdTray::eject(m_tray, this, m_devices[device].path);
}

void cAudioCDRipper::Terminate()
{
    m_jobs.stop();
    m_selected = -1;
    m_toc = {};
}
