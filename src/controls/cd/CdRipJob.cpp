#include "controls/cd/CdRipJob.h"

#include "controls/audio/Resampler.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdHandles.h"
#include "controls/cd/CdToc.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr qint32 kSectorsPerSecond = 75;
constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4; // 16-bit stereo
// Retries of a sector that will not read cleanly before paranoia gives up
// on it; a scratched disc then costs seconds, not minutes.
constexpr int kReadRetries = 20;

void ignoreParanoiaProgress(long, paranoia_cb_mode_t) {}

// Removes the temporary file unless the job hands it over.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const QString &destination)
    {
        const QFileInfo info(destination);
        m_path = QStringLiteral("%1/.%2.%3.part")
                     .arg(info.absolutePath(), info.fileName())
                     .arg(QRandomGenerator::global()->generate64(), 0, 16);
    }
    ~TemporaryOutput()
    {
        if (!m_kept)
            QFile::remove(m_path);
    }
    const QString &path() const { return m_path; }
    // Replaces the destination in one step, so a reader never sees half a file.
    bool commit(const QString &destination)
    {
        if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(destination).constData()) != 0)
            return false;
        m_kept = true;
        return true;
    }

private:
    QString m_path;
    bool m_kept = false;
};

} // namespace

CdRipJob::CdRipJob(CdRipRequest request)
    : m_request(std::move(request))
{
}

CdRipJob::Result CdRipJob::fail(ErrorCode code, const QString &text)
{
    m_code = code;
    m_error = text;
    // The user knows the file by its real name, not the temporary one.
    if (!m_temporary.isEmpty())
        m_error.replace(m_temporary, m_request.destination);
    return Result::Failed;
}

CdRipJob::Result CdRipJob::run(const std::atomic<bool> &abort, const Progress &progress)
{
    const CdRipRequest &r = m_request;
    if (r.destination.isEmpty())
        return fail(DestinationError, QStringLiteral("No destination file was given."));
    const QFileInfo folder(QFileInfo(r.destination).absolutePath());
    if (!folder.isDir())
        return fail(DestinationError,
            QStringLiteral("Cannot write %1: the folder %2 does not exist.")
                .arg(r.destination, folder.absoluteFilePath()));

    cd::Cdio cdio = CdDevices::open(r.device);
    if (!cdio)
        return fail(SourceError, QStringLiteral("Cannot open the CD drive %1 (%2).").arg(r.drive, r.device));
    const CdToc toc = CdTocReader::read(cdio.get());
    if (toc.isEmpty())
        return fail(SourceError, QStringLiteral("There is no CD in the drive %1.").arg(r.drive));
    if (r.track < 1 || r.track > toc.tracks.size())
        return fail(SourceError,
            QStringLiteral("The CD in %1 has no track %2; it has %3 tracks.")
                .arg(r.drive)
                .arg(r.track)
                .arg(toc.tracks.size()));
    const CdToc::Track &track = toc.tracks[r.track - 1];
    if (!track.audio)
        return fail(SourceError,
            QStringLiteral("Track %1 of the CD in %2 is a data track, not audio.").arg(r.track).arg(r.drive));

    qint32 first = track.start;
    qint32 count = track.sectors;
    if (r.rangeStart > 0) {
        if (qint64(r.rangeStart) * kSectorsPerSecond >= count)
            return fail(SourceError,
                QStringLiteral("The range of track %1 starts at %2 s, after the track's end (%3 s).")
                    .arg(r.track)
                    .arg(r.rangeStart)
                    .arg(toc.seconds(r.track)));
        first += r.rangeStart * kSectorsPerSecond;
        count -= r.rangeStart * kSectorsPerSecond;
    }
    if (r.rangeLength > 0 && qint64(r.rangeLength) * kSectorsPerSecond < count)
        count = r.rangeLength * kSectorsPerSecond;

    cd::Drive drive(cdio_cddap_identify_cdio(cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!drive)
        return fail(SourceError, QStringLiteral("The drive %1 cannot read audio CDs.").arg(r.drive));
    // Drives and CUE images deliver CD audio little-endian; guessing it from
    // the samples misjudges quiet or synthetic audio.
    drive->bigendianp = 0;
    if (cdio_cddap_open(drive.get()) != 0)
        return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(r.drive));
    cd::Paranoia paranoia(cdio_paranoia_init(drive.get()));
    if (!paranoia)
        return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(r.drive));
    cdio_paranoia_modeset(paranoia.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(paranoia.get(), first, SEEK_SET);

    // Declared before the encoder, so it outlives the encoder that writes it.
    TemporaryOutput output(r.destination);
    m_temporary = output.path();
    QString error;
    std::unique_ptr<AudioEncoder> encoder = createEncoder(r.settings, &error);
    if (!encoder)
        return fail(SettingsError, error);
    const PcmSpec source{44100, 2, AV_SAMPLE_FMT_S16};
    if (!encoder->open(output.path(), source, r.tags, &error)) {
        const bool unwritable
            = error.startsWith(QLatin1String("Cannot write")) || error.startsWith(QLatin1String("Cannot create"));
        return fail(unwritable ? DestinationError : SettingsError, error);
    }
    Resampler resampler;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (!resampler.setup(stereo, source.format, source.sampleRate, encoder->inputSpec(), &error))
        return fail(CodingError, error);

    int lastPercent = -1;
    for (qint32 done = 0; done < count; ++done) {
        if (abort)
            return Result::Aborted;
        const int16_t *samples = cdio_paranoia_read_limited(paranoia.get(), ignoreParanoiaProgress, kReadRetries);
        if (!samples)
            return fail(SourceError,
                QStringLiteral("Cannot read sector %1 of track %2 of the CD in %3.")
                    .arg(first + done)
                    .arg(r.track)
                    .arg(r.drive));
        const auto *plane = reinterpret_cast<const std::uint8_t *>(samples);
        if (!resampler.convert(&plane, kFramesPerSector, *encoder, &error))
            return fail(CodingError, error);
        const int percent = int(qint64(done + 1) * 100 / count);
        if (percent != lastPercent && progress) {
            lastPercent = percent;
            progress(percent);
        }
    }
    if (!resampler.flush(*encoder, &error))
        return fail(CodingError, error);
    if (!encoder->finish(&error))
        return fail(DestinationError, error);
    encoder.reset();
    if (abort)
        return Result::Aborted;
    if (!output.commit(r.destination))
        return fail(DestinationError,
            QStringLiteral("Cannot write %1: %2").arg(r.destination, QString::fromLocal8Bit(std::strerror(errno))));
    return Result::Done;
}
