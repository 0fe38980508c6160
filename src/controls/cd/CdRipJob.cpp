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
    const CdRipRequest &r = m_request;
    if (!checkDestination(r.destination))
        return Result::Failed;
    // Held from the table of contents to the last sector read.
    cd::CdReadTurn &readTurn = *m_readTurn;
    if (!readTurn.wait(abort))
        return Result::Aborted;

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

    cd::Drive drive;
    cd::Paranoia paranoia;
    {
        cd::CdioLock lock;
        drive.reset(cdio_cddap_identify_cdio(cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr));
        if (!drive)
            return fail(SourceError, QStringLiteral("The drive %1 cannot read audio CDs.").arg(r.drive));
        // Drives and CUE images deliver CD audio little-endian; guessing it from
        // the samples misjudges quiet or synthetic audio.
        drive->bigendianp = 0;
        if (cdio_cddap_open(drive.get()) != 0)
            return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(r.drive));
        paranoia.reset(cdio_paranoia_init(drive.get()));
        if (!paranoia)
            return fail(SourceError, QStringLiteral("Cannot read the audio CD in %1.").arg(r.drive));
        cdio_paranoia_modeset(paranoia.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        cdio_paranoia_seek(paranoia.get(), first, SEEK_SET);
    }
    // Paranoia's buffer holds one sector until the next read; a batch is
    // copied out under the lock and encoded after it is released.
    const auto readDrive = [&](qint32 wanted, std::uint8_t *into) {
        cd::CdioLock lock;
        qint32 read = 0;
        for (; read < wanted && !abort; ++read) {
            const int16_t *samples = cdio_paranoia_read_limited(paranoia.get(), ignoreParanoiaProgress, kReadRetries);
            if (!samples)
                break;
            std::memcpy(into + std::size_t(read) * CDIO_CD_FRAMESIZE_RAW, samples, CDIO_CD_FRAMESIZE_RAW);
        }
        return read;
    };
    SectorSource sectors = readDrive;

    // A rip ahead of its turn reads its sectors whole into a file and gives
    // the drive up before it encodes, so the next track's reading overlaps
    // this one's encoding. The encoding below then runs as from the drive,
    // with the same progress and the same failure where the reading stopped.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/sonvale-rip-XXXXXX.raw"));
    qint32 readable = 0;
    if (runsAhead()) {
        if (!copy.open())
            return fail(DestinationError,
                QStringLiteral("Cannot make a file for the audio of track %1 in %2.").arg(r.track).arg(QDir::tempPath()));
        std::vector<std::uint8_t> batch(std::size_t(kSectorsPerLock) * CDIO_CD_FRAMESIZE_RAW);
        while (readable < count && !abort) {
            const qint32 wanted = qMin(kSectorsPerLock, count - readable);
            const qint32 read = readDrive(wanted, batch.data());
            const qint64 bytes = qint64(read) * CDIO_CD_FRAMESIZE_RAW;
            if (copy.write(reinterpret_cast<const char *>(batch.data()), bytes) != bytes)
                return fail(DestinationError,
                    QStringLiteral("Cannot keep the audio of track %1: %2").arg(r.track).arg(copy.errorString()));
            readable += read;
            if (read < wanted)
                break;
        }
        if (abort)
            return Result::Aborted;
        {
            cd::CdioLock lock;
            paranoia.reset();
            drive.reset();
            cdio.reset();
        }
        readTurn.leave();
        if (!copy.seek(0))
            return fail(DestinationError,
                QStringLiteral("Cannot read back the audio of track %1: %2").arg(r.track).arg(copy.errorString()));
        sectors = [&](qint32 wanted, std::uint8_t *into) {
            const qint32 available = qMin(wanted, readable);
            const qint64 bytes = qint64(available) * CDIO_CD_FRAMESIZE_RAW;
            if (copy.read(reinterpret_cast<char *>(into), bytes) != bytes)
                return qint32(0);
            readable -= available;
            return available;
        };
    }

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

    std::vector<std::uint8_t> batch(std::size_t(kSectorsPerLock) * CDIO_CD_FRAMESIZE_RAW);
    int lastPercent = -1;
    for (qint32 done = 0; done < count;) {
        if (abort)
            return Result::Aborted;
        const qint32 wanted = qMin(kSectorsPerLock, count - done);
        const qint32 read = sectors(wanted, batch.data());
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
                    .arg(first + done)
                    .arg(r.track)
                    .arg(r.drive));
        const int percent = int(qint64(done) * 100 / count);
        if (percent != lastPercent && progress) {
            lastPercent = percent;
            progress(0, percent);
        }
    }
    readTurn.leave();
    if (!resampler.flush(*encoder, &error))
        return fail(CodingError, error);
    return finish(std::move(encoder), output, abort);
}
