#include "controls/cd/cAudioCDRipper.h"

#include "controls/cd/CdRipJob.h"

#include <QFile>

#include <memory>

cAudioCDRipper::cAudioCDRipper(QObject *parent)
    : QObject(parent)
    , m_devices(CdDevices::list())
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

void cAudioCDRipper::Rip()
{
    // A range belongs to the track it was set for.
    const qint32 rangeStart = m_rangeStart;
    const qint32 rangeLength = m_rangeLength;
    m_rangeStart = -1;
    m_rangeLength = -1;
    if (m_running) {
        // The running rip keeps its own ending; this start ends on its own.
        QMetaObject::invokeMethod(
            this, [this] { emit Error(CdRipJob::SettingsError, QStringLiteral("A rip is already running.")); },
            Qt::QueuedConnection);
        return;
    }
    const unsigned id = ++m_job;
    auto failLater = [this, id](const QString &text) {
        QMetaObject::invokeMethod(
            this, [this, id, text] { finished(id, int(CdRipJob::Result::Failed), CdRipJob::SourceError, text); },
            Qt::QueuedConnection);
    };
    m_running = true;
    const qint32 device = ripDevice();
    if (device < 0 || device >= m_devices.size()) {
        failLater(m_devices.isEmpty() ? QStringLiteral("There is no CD drive.")
                                      : QStringLiteral("There is no CD drive number %1.").arg(device));
        return;
    }
    m_lastRipDevice = device;
    CdRipRequest request;
    request.device = m_devices[device].path;
    request.drive = m_devices[device].drive;
    request.track = m_track;
    request.rangeStart = rangeStart;
    request.rangeLength = rangeLength;
    request.settings = m_settings;
    request.tags = m_tags;
    request.destination = m_destFile;

    joinRip();
    m_abort = false;
    auto job = std::make_shared<CdRipJob>(std::move(request));
    m_rip = std::thread([this, id, job] {
        const CdRipJob::Result result = job->run(m_abort, [this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] { emit Progress(percent); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, id, job, result] { finished(id, int(result), job->errorCode(), job->errorText()); },
            Qt::QueuedConnection);
    });
}

void cAudioCDRipper::finished(unsigned job, int result, qint32 code, const QString &text)
{
    // The ending of a rip that Terminate stopped may come after a new rip
    // started; only the current one's ending frees the control.
    if (job == m_job) {
        joinRip();
        m_running = false;
    }
    switch (CdRipJob::Result(result)) {
    case CdRipJob::Result::Done: emit Done(); break;
    case CdRipJob::Result::Aborted: emit Aborted(); break;
    case CdRipJob::Result::Failed: emit Error(code, text); break;
    }
}

void cAudioCDRipper::Abort()
{
    m_abort = true;
}

void cAudioCDRipper::Eject()
{
    const qint32 device = m_lastRipDevice >= 0 ? m_lastRipDevice : ripDevice();
    if (device < 0 || device >= m_devices.size() || CdDevices::isImage(m_devices[device].path))
        return;
    // A drive takes a second or two to open its tray, and nobody waits for
    // it; a failure (a locked tray, a drive without one) is not worth
    // interrupting the user for.
    const QByteArray path = QFile::encodeName(m_devices[device].path);
    std::thread([path] { cdio_eject_media_drive(path.constData()); }).detach();
}

void cAudioCDRipper::Terminate()
{
    m_abort = true;
    joinRip();
    m_running = false;
    m_selected = -1;
    m_toc = {};
}

void cAudioCDRipper::joinRip()
{
    if (m_rip.joinable())
        m_rip.join();
}
