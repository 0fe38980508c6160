#include "controls/cd/CdRipJob.h"

#include "controls/audio/Resampler.h"
#include "controls/audio/TemporaryOutput.h"
#include "controls/cd/CdDevices.h"
#include "controls/cd/CdHandles.h"
#include "controls/cd/CdToc.h"

#include <cstdio>

namespace {

constexpr qint32 kSectorsPerSecond = 75;
constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4; // 16-bit stereo
// Retries of a sector that will not read cleanly before paranoia gives up
// on it; a scratched disc then costs seconds, not minutes.
constexpr int kReadRetries = 20;

void ignoreParanoiaProgress(long, paranoia_cb_mode_t) {}

} // namespace

CdRipJob::CdRipJob(CdRipRequest request)
    : m_request(std::move(request))
{
}

CdRipJob::Result CdRipJob::run(const std::atomic<bool> &abort, const Progress &progress)
{
    const CdRipRequest &r = m_request;
    if (!checkDestination(r.destination))
        return Result::Failed;

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
            progress(0, percent);
        }
    }
    if (!resampler.flush(*encoder, &error))
        return fail(CodingError, error);
    return finish(std::move(encoder), output, abort);
}
