#include "controls/cd/CdRipJob.h"

#include "controls/audio/Resampler.h"
#include "controls/audio/TemporaryOutput.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdHandles.h"
#include "controls/cd/CdToc.h"
#include "controls/cd/CdReadTurn.h"
#include "controls/cd/CdioLock.h"

#include <QDir>
#include <QTemporaryFile>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr qint32 kSectorsPerSecond = 75;
constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4; // 16-bit stereo
// Retries of a sector that will not read cleanly before paranoia gives up
// on it; a scratched disc then costs seconds, not minutes.
constexpr int kReadRetries = 20;
// Sectors read under one hold of the libcdio lock: a third of a second of
// audio, so the drive watch and a look-up get their turn while a track rips.
constexpr qint32 kSectorsPerLock = 25;

void ignoreParanoiaProgress(long, paranoia_cb_mode_t) {}

// Fills a batch with up to wanted sectors; answers how many came.
using SectorSource = std::function<qint32(qint32 wanted, std::uint8_t *into)>;

} // namespace

// The track's sectors as they come from the drive, or from the copy a rip
// ahead of its turn read them into.
struct CdRipJob::Reading {
    cd::Cdio cdio;
    cd::Drive drive;
    cd::Paranoia paranoia;
    qint32 first = 0; // the first sector to read
    qint32 count = 0; // how many
    SectorSource sectors;
    std::unique_ptr<QTemporaryFile> copy;
    qint32 readable = 0; // sectors in the copy not yet read back

    // Paranoia's buffer holds one sector until the next read; a batch is
    // copied out under the lock and encoded after it is released.
    qint32 readDrive(qint32 wanted, std::uint8_t *into, const std::atomic<bool> &abort)
    {
        cd::CdioLock lock;
        qint32 read = 0;
        for (; read < wanted && !abort; ++read) {
            const int16_t *samples = cdio_paranoia_read_limited(paranoia.get(), ignoreParanoiaProgress, kReadRetries);
            if (!samples)
                break;
            std::memcpy(into + std::size_t(read) * CDIO_CD_FRAMESIZE_RAW, samples, CDIO_CD_FRAMESIZE_RAW);
        }
        return read;
    }
};

CdRipJob::CdRipJob(CdRipRequest request)
    : m_request(std::move(request))
    , m_readTurn(std::make_unique<cd::CdReadTurn>(m_request.device))
{
}

CdRipJob::~CdRipJob() = default;

bool CdRipJob::sameWork(const EncodingJob &job) const
{
    const auto *other = dynamic_cast<const CdRipJob *>(&job);
    return other && m_request == other->m_request;
}

CdRipJob::Result CdRipJob::run(const std::atomic<bool> &abort, const Progress &progress)
{
    if (!checkDestination(m_request.destination))
        return Result::Failed;
    // Held from the table of contents to the last sector read.
    if (!m_readTurn->wait(abort))
        return Result::Aborted;
    Reading reading;
    if (const std::optional<Result> failed = findTrack(reading))
        return *failed;
    if (const std::optional<Result> failed = openDrive(reading))
        return *failed;
    reading.sectors = [&reading, &abort](qint32 wanted, std::uint8_t *into) {
        return reading.readDrive(wanted, into, abort);
    };
    if (runsAhead()) {
        if (const std::optional<Result> ended = readAhead(reading, abort))
            return *ended;
    }
    return encode(reading, abort, progress);
}

std::optional<CdRipJob::Result> CdRipJob::findTrack(Reading &reading)
{
    const CdRipRequest &r = m_request;
    reading.cdio = CdDevices::open(r.device);
    if (!reading.cdio)
        return fail(SourceError, QStringLiteral("Cannot open the CD drive %1 (%2).").arg(r.drive, r.device));
    const CdToc toc = CdTocReader::read(reading.cdio.get());
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

    reading.first = track.start;
    reading.count = track.sectors;
    if (r.rangeStart > 0) {
        if (qint64(r.rangeStart) * kSectorsPerSecond >= reading.count)
            return fail(SourceError,
                QStringLiteral("The range of track %1 starts at %2 s, after the track's end (%3 s).")
                    .arg(r.track)
                    .arg(r.rangeStart)
                    .arg(toc.seconds(r.track)));
        reading.first += r.rangeStart * kSectorsPerSecond;
        reading.count -= r.rangeStart * kSectorsPerSecond;
    }
    if (r.rangeLength > 0 && qint64(r.rangeLength) * kSectorsPerSecond < reading.count)
        reading.count = r.rangeLength * kSectorsPerSecond;
    return std::nullopt;
}

std::optional<CdRipJob::Result> CdRipJob::openDrive(Reading &reading)
{
    const QString &drive = m_request.drive;
    cd::CdioLock lock;
    reading.drive.reset(cdio_cddap_identify_cdio(reading.cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!reading.drive)
        return fail(SourceError, QStringLiteral("The drive %1 cannot read audio CDs.").arg(drive));
    // Drives and CUE images deliver CD audio little-endian; guessing it from
    // the samples misjudges quiet or synthetic audio.
    reading.drive->bigendianp = 0;
    if (cdio_cddap_open(reading.drive.get()) != 0)
        return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(drive));
    reading.paranoia.reset(cdio_paranoia_init(reading.drive.get()));
    if (!reading.paranoia)
        return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(drive));
    cdio_paranoia_modeset(reading.paranoia.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(reading.paranoia.get(), reading.first, SEEK_SET);
    return std::nullopt;
}

std::optional<CdRipJob::Result> CdRipJob::readAhead(Reading &reading, const std::atomic<bool> &abort)
{
    // A rip ahead of its turn reads its sectors whole into a file and gives
    // the drive up before it encodes, so the next track's reading overlaps
    // this one's encoding. The encoding then runs as from the drive, with
    // the same progress and the same failure where the reading stopped.
    const qint32 track = m_request.track;
    reading.copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/sonvale-rip-XXXXXX.raw"));
    QTemporaryFile &copy = *reading.copy;
    if (!copy.open())
        return fail(DestinationError,
            QStringLiteral("Cannot make a file for the audio of track %1 in %2.").arg(track).arg(QDir::tempPath()));
    std::vector<std::uint8_t> batch(std::size_t(kSectorsPerLock) * CDIO_CD_FRAMESIZE_RAW);
    while (reading.readable < reading.count && !abort) {
        const qint32 wanted = qMin(kSectorsPerLock, reading.count - reading.readable);
        const qint32 read = reading.readDrive(wanted, batch.data(), abort);
        const qint64 bytes = qint64(read) * CDIO_CD_FRAMESIZE_RAW;
        if (copy.write(reinterpret_cast<const char *>(batch.data()), bytes) != bytes)
            return fail(DestinationError,
                QStringLiteral("Cannot keep the audio of track %1: %2").arg(track).arg(copy.errorString()));
        reading.readable += read;
        if (read < wanted)
            break;
    }
    if (abort)
        return Result::Aborted;
    {
        cd::CdioLock lock;
        reading.paranoia.reset();
        reading.drive.reset();
        reading.cdio.reset();
    }
    m_readTurn->leave();
    if (!copy.seek(0))
        return fail(DestinationError,
            QStringLiteral("Cannot read back the audio of track %1: %2").arg(track).arg(copy.errorString()));
    reading.sectors = [&reading](qint32 wanted, std::uint8_t *into) {
        const qint32 available = qMin(wanted, reading.readable);
        const qint64 bytes = qint64(available) * CDIO_CD_FRAMESIZE_RAW;
        if (reading.copy->read(reinterpret_cast<char *>(into), bytes) != bytes)
            return qint32(0);
        reading.readable -= available;
        return available;
    };
    return std::nullopt;
}

CdRipJob::Result CdRipJob::encode(Reading &reading, const std::atomic<bool> &abort, const Progress &progress)
{
    const CdRipRequest &r = m_request;
    // Declared before the encoder, so it outlives the encoder that writes it.
    TemporaryOutput output(r.destination);
    writingTo(output);
    QString error;
    std::unique_ptr<AudioEncoder> encoder = createEncoder(r.settings, &error);
    if (!encoder)
        return fail(SettingsError, error);
    const PcmSpec source{44100, 2, AV_SAMPLE_FMT_S16};
    if (!encoder->open(output.path(), source, r.tags, &error))
        return failToOpen(error);
    Resampler resampler;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (!resampler.setup(stereo, source.format, source.sampleRate, encoder->inputSpec(), &error))
        return fail(CodingError, error);

    const qint32 count = reading.count;
    std::vector<std::uint8_t> batch(std::size_t(kSectorsPerLock) * CDIO_CD_FRAMESIZE_RAW);
    int lastPercent = -1;
    for (qint32 done = 0; done < count;) {
        if (abort)
            return Result::Aborted;
        const qint32 wanted = qMin(kSectorsPerLock, count - done);
        const qint32 read = reading.sectors(wanted, batch.data());
        for (qint32 i = 0; i < read; ++i) {
            const std::uint8_t *plane = batch.data() + std::size_t(i) * CDIO_CD_FRAMESIZE_RAW;
            if (!resampler.convert(&plane, kFramesPerSector, *encoder, &error))
                return fail(CodingError, error);
        }
        done += read;
        if (abort)
            return Result::Aborted;
        if (read < wanted)
            return fail(SourceError,
                QStringLiteral("Cannot read sector %1 of track %2 of the CD in %3.")
                    .arg(reading.first + done)
                    .arg(r.track)
                    .arg(r.drive));
        const int percent = int(qint64(done) * 100 / count);
        if (percent != lastPercent && progress) {
            lastPercent = percent;
            progress(0, percent);
        }
    }
    m_readTurn->leave();
    if (!resampler.flush(*encoder, &error))
        return fail(CodingError, error);
    return finish(std::move(encoder), output, abort);
}
