#include "controls/cd/AudioCdJob.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioEncoder.h"
#include "controls/audio/PcmDecodeLoop.h"
#include "controls/audio/Resampler.h"
#include "controls/audio/TemporaryOutput.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/BurnLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

#include <unistd.h>

using namespace burn;

namespace {

constexpr qint64 kSectorBytes = 2352;
constexpr qint64 kSectorsPerSecond = 75;
// A CD track lasts at least four seconds; a shorter source is padded with
// silence, as every writer would refuse it otherwise.
constexpr qint64 kMinTrackSectors = 4 * kSectorsPerSecond;
// The two-second gap before the first track.
constexpr qint64 kLeadGapSectors = 2 * kSectorsPerSecond;
constexpr qint64 kCopyChunk = 256 * kSectorBytes;

// Takes CD audio from the resampler into a raw cache file.
class CdAudioSink : public AudioEncoder {
public:
    bool open(const QString &path, const PcmSpec &, const AudioTags &, QString *error) override
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("Cannot write the track cache %1: %2").arg(path, m_file.errorString());
            return false;
        }
        return true;
    }
    PcmSpec inputSpec() const override { return {44100, 2, AV_SAMPLE_FMT_S16}; }
    bool write(const std::uint8_t *const *data, int frames, QString *error) override
    {
        const qint64 bytes = qint64(frames) * 4;
        if (m_file.write(reinterpret_cast<const char *>(data[0]), bytes) != bytes) {
            *error = QStringLiteral("Cannot write the track cache: %1").arg(m_file.errorString());
            return false;
        }
        return true;
    }
    // Pads the track with silence to whole sectors of at least four seconds.
    bool finish(QString *error) override
    {
        qint64 sectors = (m_file.size() + kSectorBytes - 1) / kSectorBytes;
        sectors = std::max(sectors, kMinTrackSectors);
        const qint64 pad = sectors * kSectorBytes - m_file.size();
        if (pad > 0 && m_file.write(QByteArray(int(pad), '\0')) != pad) {
            *error = QStringLiteral("Cannot write the track cache: %1").arg(m_file.errorString());
            return false;
        }
        m_sectors = sectors;
        m_file.close();
        return true;
    }
    qint64 sectors() const { return m_sectors; }

private:
    QFile m_file;
    qint64 m_sectors = 0;
};

QString msf(qint64 sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / kSectorsPerSecond / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

QString withSuffix(const QString &path, const char *suffix)
{
    const QFileInfo info(path);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.absolutePath() + '/' + base + '.' + QLatin1String(suffix);
}

} // namespace

AudioCdJob::AudioCdJob(AudioCdRequest request)
    : m_request(std::move(request))
{
}

QString AudioCdJob::cueOf(const QString &path)
{
    return withSuffix(path, "cue");
}

QString AudioCdJob::binOf(const QString &path)
{
    return withSuffix(path, "bin");
}

bool AudioCdJob::isAudio(const QString &path)
{
    AudioDecoder decoder;
    QString error;
    return decoder.open(path, &error) && decoder.sampleRate() > 0 && decoder.channels() > 0;
}

AudioCdJob::Result AudioCdJob::fail(qint32 code, const QString &text)
{
    m_code = code;
    m_error = text;
    return Result::Failed;
}

AudioCdJob::Result AudioCdJob::run(const std::atomic<bool> &abort, const Events &events)
{
    const AudioCdRequest &r = m_request;
    if (r.files.isEmpty())
        return fail(BurnError::NothingToBurn, QStringLiteral("There are no tracks to burn."));
    if (r.files.size() > 99)
        return fail(BurnError::TooLarge,
            QStringLiteral("An audio CD holds at most 99 tracks; %1 were given.").arg(r.files.size()));

    // Whether the disc can take the tracks is asked before the long decoding.
    const QStringList imageFiles = {binOf(r.device.path), cueOf(r.device.path)};
    const BurnProbe before = BurnDevices::probe(r.device, r.device.image ? imageFiles : QStringList());
    if (!before.ready)
        return fail(BurnError::DriveNotReady,
            QStringLiteral("The drive %1 cannot be written: %2").arg(r.device.drive, before.state));

    QTemporaryDir cacheFolder(QDir::tempPath() + QStringLiteral("/sonvale-audiocd-XXXXXX"));
    if (!cacheFolder.isValid())
        return fail(BurnError::WriteError,
            QStringLiteral("Cannot make a folder for the track cache in %1.").arg(QDir::tempPath()));
    m_cacheFolder = cacheFolder.path();
    for (int i = 0; i < r.files.size(); ++i) {
        const Result c = cache(i, r.files[i], abort, events);
        if (c != Result::Done)
            return c;
    }

    qint64 total = kLeadGapSectors;
    for (qint64 s : m_sectors)
        total += s;
    const qint64 capacity = before.capacity / 2048;
    if (capacity > 0 && total > capacity)
        return fail(BurnError::TooLarge,
            QStringLiteral("The tracks last %1 minutes; the disc in %2 holds %3.")
                .arg((total + 60 * kSectorsPerSecond - 1) / (60 * kSectorsPerSecond))
                .arg(r.device.drive)
                .arg(capacity / (60 * kSectorsPerSecond)));
    return r.device.image ? writeImage(abort, events) : writeDisc(abort, events);
}

AudioCdJob::Result AudioCdJob::cache(int index, const QString &path, const std::atomic<bool> &abort, const Events &events)
{
    if (events.caching)
        events.caching(index + 1);
    QString error;
    AudioDecoder decoder;
    if (!decoder.open(path, &error))
        return fail(BurnError::SourceError, QStringLiteral("Cannot read %1: %2").arg(path, error));
    CdAudioSink sink;
    const QString cached = m_cacheFolder + QStringLiteral("/track%1.raw").arg(index + 1, 2, 10, QLatin1Char('0'));
    if (!sink.open(cached, sink.inputSpec(), {}, &error))
        return fail(BurnError::WriteError, error);
    Resampler resampler;
    if (!resampler.setup(decoder.channelLayout(), decoder.sampleFormat(), decoder.sampleRate(), sink.inputSpec(), &error))
        return fail(BurnError::SourceError, QStringLiteral("Cannot make CD audio of %1: %2").arg(path, error));

    const PcmDecodeLoop::Outcome loop = PcmDecodeLoop::run(decoder, resampler, sink, 0, -1, decoder.totalSamples(), abort,
        [&](int percent) {
            if (events.progress)
                events.progress(percent);
        });
    switch (loop.status) {
    case PcmDecodeLoop::Status::Done: break;
    case PcmDecodeLoop::Status::Aborted: return Result::Aborted;
    case PcmDecodeLoop::Status::ReadFailed:
        return fail(BurnError::SourceError, QStringLiteral("Cannot read %1: %2").arg(path, loop.error));
    case PcmDecodeLoop::Status::WriteFailed: return fail(BurnError::WriteError, loop.error);
    }
    if (!resampler.flush(sink, &error) || !sink.finish(&error))
        return fail(BurnError::WriteError, error);
    if (loop.taken == 0)
        return fail(BurnError::SourceError, QStringLiteral("%1 holds no audio.").arg(path));
    if (loop.lastPercent < 100 && events.progress)
        events.progress(100);
    m_cached << cached;
    m_sectors << sink.sectors();
    return Result::Done;
}

AudioCdJob::Result AudioCdJob::writeImage(const std::atomic<bool> &abort, const Events &events)
{
    const QString bin = binOf(m_request.device.path);
    const QString cue = cueOf(m_request.device.path);
    // Both temporaries go whatever happens; a placed BIN stays only with its CUE.
    struct Cleanup {
        QStringList paths;
        ~Cleanup()
        {
            for (const QString &p : paths)
                QFile::remove(p);
        }
    } cleanup;
    TemporaryOutput binTemporary(bin);
    TemporaryOutput cueTemporary(cue);

    QFile out(binTemporary.path());
    if (!out.open(QIODevice::WriteOnly))
        return fail(BurnError::WriteError, QStringLiteral("Cannot write %1: %2").arg(bin, out.errorString()));
    QString sheet = QStringLiteral("FILE \"%1\" BINARY\r\n").arg(QFileInfo(bin).fileName());
    qint64 at = 0;
    QByteArray chunk;
    for (int t = 0; t < m_cached.size(); ++t) {
        if (events.writing)
            events.writing(t + 1);
        sheet += QStringLiteral("  TRACK %1 AUDIO\r\n    INDEX 01 %2\r\n").arg(t + 1, 2, 10, QLatin1Char('0')).arg(msf(at));
        QFile in(m_cached[t]);
        if (!in.open(QIODevice::ReadOnly))
            return fail(BurnError::WriteError, QStringLiteral("Cannot read the track cache: %1").arg(in.errorString()));
        const qint64 size = in.size();
        qint64 done = 0;
        int lastPercent = -1;
        while (done < size) {
            if (abort)
                return Result::Aborted;
            chunk = in.read(kCopyChunk);
            if (chunk.isEmpty() || out.write(chunk) != chunk.size())
                return fail(BurnError::WriteError, QStringLiteral("Cannot write %1: %2").arg(bin, out.errorString()));
            done += chunk.size();
            const int percent = int(done * 100 / size);
            if (percent != lastPercent && events.trackProgress) {
                lastPercent = percent;
                events.trackProgress(percent, t + 1);
            }
        }
        at += m_sectors[t];
        if (events.closingTrack)
            events.closingTrack();
    }
    if (events.closingSession)
        events.closingSession();
    if (!out.flush())
        return fail(BurnError::WriteError, QStringLiteral("Cannot write %1: %2").arg(bin, out.errorString()));
    out.close();
    QFile sheetFile(cueTemporary.path());
    const QByteArray sheetBytes = sheet.toUtf8();
    if (!sheetFile.open(QIODevice::WriteOnly) || sheetFile.write(sheetBytes) != sheetBytes.size() || !sheetFile.flush())
        return fail(BurnError::WriteError, QStringLiteral("Cannot write %1: %2").arg(cue, sheetFile.errorString()));
    sheetFile.close();
    if (abort)
        return Result::Aborted;

    QString error;
    if (!BurnDevices::place(binTemporary, &error))
        return fail(BurnError::WriteError, error);
    cleanup.paths << bin;
    if (!BurnDevices::place(cueTemporary, &error))
        return fail(BurnError::WriteError, error);
    cleanup.paths.clear();
    return Result::Done;
}

AudioCdJob::Result AudioCdJob::writeDisc(const std::atomic<bool> &abort, const Events &events)
{
    const AudioCdRequest &r = m_request;
    if (!BurnLibrary::ensure())
        return fail(BurnError::WriteError, QStringLiteral("The CD writing library could not be started."));
    BurnLibrary::clearMessages();
    burner::WriteResult result = burner::WriteResult::Failed;
    {
        QString error;
        burner::Grab grab = burner::grab(r.device.path, &error);
        if (!grab)
            return fail(BurnError::DriveNotReady, error);
        burn_drive *drive = grab.get()[0].drive;
        if (burn_disc_get_status(drive) != BURN_DISC_BLANK)
            return fail(BurnError::DriveNotReady, QStringLiteral("The disc in the drive %1 is not blank.").arg(r.device.drive));

        burner::Disc disc(burn_disc_create());
        burner::Session session(burn_session_create());
        burn_disc_add_session(disc.get(), session.get(), BURN_POS_END);
        std::vector<burner::Track> tracks;
        for (const QString &cached : m_cached) {
            burner::Source source(burn_file_source_new(QFile::encodeName(cached).constData(), nullptr));
            if (!source)
                return fail(BurnError::WriteError, QStringLiteral("Cannot read the track cache %1.").arg(cached));
            burner::Track track(burn_track_create());
            burn_track_define_data(track.get(), 0, 0, 0, BURN_AUDIO);
            if (burn_track_set_source(track.get(), source.get()) != BURN_SOURCE_OK)
                return fail(BurnError::WriteError, QStringLiteral("Cannot read the track cache %1.").arg(cached));
            burn_session_add_track(session.get(), track.get(), BURN_POS_END);
            tracks.push_back(std::move(track));
        }

        burner::WriteOpts opts(burn_write_opts_new(drive));
        burn_write_opts_set_write_type(opts.get(), BURN_WRITE_SAO, BURN_BLOCK_SAO);
        burn_write_opts_set_perform_opc(opts.get(), 0);
        burn_write_opts_set_multi(opts.get(), r.closeDisc ? 0 : 1);
        burn_write_opts_set_underrun_proof(opts.get(), 1);
        const int speed = r.speed <= 0 || r.speed >= 65535 ? 0 : r.speed;
        burn_drive_set_speed(drive, 0, speed);
        char reasons[BURN_REASONS_LEN] = {};
        if (burn_precheck_write(opts.get(), disc.get(), reasons, 0) <= 0)
            return fail(BurnError::DriveNotReady,
                QStringLiteral("The drive %1 cannot write this disc: %2")
                    .arg(r.device.drive, QString::fromLocal8Bit(reasons).trimmed()));

        int track = 0;
        bool closing = false;
        result = burner::write(drive, opts.get(), disc.get(), abort, [&](burn_drive_status s, const burn_progress &p) {
            switch (s) {
            case BURN_DRIVE_CLOSING_TRACK:
                if (events.closingTrack)
                    events.closingTrack();
                break;
            case BURN_DRIVE_CLOSING_SESSION:
            case BURN_DRIVE_WRITING_LEADOUT:
                if (!closing && events.closingSession)
                    events.closingSession();
                closing = true;
                break;
            case BURN_DRIVE_WRITING:
                if (p.track + 1 != track) {
                    track = p.track + 1;
                    if (events.writing)
                        events.writing(track);
                }
                if (p.sectors > 0 && events.trackProgress)
                    events.trackProgress(int(std::clamp<qint64>(qint64(p.sector) * 100 / p.sectors, 0, 100)), track);
                break;
            default: break;
            }
        });
        if (result == burner::WriteResult::Done && !closing && events.closingSession)
            events.closingSession();
    }
    if (result == burner::WriteResult::Aborted || abort)
        return Result::Aborted;
    if (result == burner::WriteResult::Failed) {
        const QString why = BurnLibrary::lastMessage();
        return fail(BurnError::WriteError,
            why.isEmpty() ? QStringLiteral("Writing the disc in %1 failed.").arg(r.device.drive)
                          : QStringLiteral("Writing the disc in %1 failed: %2").arg(r.device.drive, why));
    }
    return Result::Done;
}
