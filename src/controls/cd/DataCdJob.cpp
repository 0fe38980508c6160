#include "controls/cd/DataCdJob.h"

#include "controls/audio/TemporaryOutput.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/BurnLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVector>

#include <algorithm>
#include <optional>

using namespace burn;

namespace {

// The tail a CD writer adds after the file system, so that drives reading
// ahead past its end find sectors there.
constexpr int kPaddingBytes = 300 * 1024;
// The ring buffer between the mastering and the drive: 4 MiB.
constexpr int kFifoChunk = 2048;
constexpr int kFifoChunks = 2048;

QString isoText(int rc)
{
    const char *text = iso_error_to_msg(rc);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("error %1").arg(rc);
}

// What a file looked like when it went onto the disc, to tell whether it
// changed while being written.
struct Snapshot {
    QString path;
    qint64 size = 0;
    QDateTime modified;
};

void snapshot(const QFileInfo &info, QVector<Snapshot> &out, bool inFolder = false)
{
    // A linked folder inside a folder may lead back into it; its files go
    // unwatched rather than looped over.
    if (inFolder && info.isDir() && info.isSymLink())
        return;
    if (info.isDir()) {
        const QFileInfoList children = QDir(info.absoluteFilePath())
                                           .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &child : children)
            snapshot(child, out, true);
        return;
    }
    out.push_back({info.absoluteFilePath(), info.size(), info.lastModified()});
}

QString changedFile(const QVector<Snapshot> &before)
{
    for (const Snapshot &s : before) {
        const QFileInfo now(s.path);
        if (!now.exists() || now.size() != s.size || now.lastModified() != s.modified)
            return s.path;
    }
    return {};
}

void countTree(IsoDir *dir, int *files, int *dirs)
{
    IsoDirIter *iter = nullptr;
    if (iso_dir_get_children(dir, &iter) != 1)
        return;
    IsoNode *node = nullptr;
    while (iso_dir_iter_next(iter, &node) == 1) {
        if (iso_node_get_type(node) == LIBISO_DIR) {
            ++*dirs;
            countTree(reinterpret_cast<IsoDir *>(node), files, dirs);
        } else if (iso_node_get_type(node) == LIBISO_FILE) {
            ++*files;
        }
    }
    iso_dir_iter_free(iter);
}

} // namespace

// The file system as mastered, and what its files looked like then.
struct DataCdJob::Mastering {
    burner::IsoImagePtr image;
    QVector<Snapshot> snapshots;
};

// The image's bytes as the mastering hands them to the drive.
struct DataCdJob::Stream {
    burner::IsoWriteOptsPtr options;
    burner::Source source;
};

DataCdJob::DataCdJob(DataCdRequest request)
    : m_request(std::move(request))
{
}

DataCdJob::Result DataCdJob::fail(qint32 code, const QString &text)
{
    m_code = code;
    m_error = text;
    return Result::Failed;
}

QString DataCdJob::takeWarnings(Iso_Image *image, const Events &events) const
{
    QString leftOut;
    const QList<BurnLibrary::IsoMessage> messages = BurnLibrary::takeIsoMessages(iso_image_get_msg_id(image));
    for (const BurnLibrary::IsoMessage &m : messages) {
        if (events.warning)
            events.warning(m.text);
        // libisofs only warns when it leaves a file out of a tree for a path
        // too long or too deep: the disc would lack that file where those
        // readers look. A link or a device left out of the Joliet tree is
        // no file's content lost; Rock Ridge keeps it.
        const bool omitted = m.code == BurnLibrary::isoQueueCode(int(ISO_FILE_IMGPATH_WRONG));
        if (omitted && leftOut.isEmpty())
            leftOut = m.text;
    }
    return leftOut;
}

DataCdJob::Result DataCdJob::run(const std::atomic<bool> &abort, const Events &events)
{
    if (const std::optional<Result> refused = checkRequest())
        return *refused;
    BurnLibrary::clearMessages();
    Mastering mastering;
    if (const std::optional<Result> ended = master(mastering, abort, events))
        return *ended;

    // Whatever happens below, no partial image stays behind.
    std::optional<TemporaryOutput> temporary;
    if (m_request.device.image) {
        const BurnProbe p = BurnDevices::probe(m_request.device, {m_request.device.path});
        if (!p.ready)
            return fail(BurnError::DriveNotReady, p.state);
        temporary.emplace(m_request.device.path);
    }
    burner::WriteResult result = burner::WriteResult::Failed;
    if (const std::optional<Result> ended = write(mastering, temporary ? &*temporary : nullptr, abort, events, &result))
        return *ended;
    return conclude(result, mastering, temporary ? &*temporary : nullptr, abort);
}

std::optional<DataCdJob::Result> DataCdJob::checkRequest()
{
    const DataCdRequest &r = m_request;
    if (r.udf)
        return fail(BurnError::Unsupported,
            QStringLiteral("UDF cannot be written: this system has no UDF writer. Choose ISO or Joliet instead."));
    if (!r.iso9660 && !r.joliet)
        return fail(BurnError::Unsupported, QStringLiteral("No file system was chosen for the disc; choose ISO or Joliet."));
    if (r.files.isEmpty())
        return fail(BurnError::NothingToBurn, QStringLiteral("There are no files to burn."));
    if (!BurnLibrary::ensure())
        return fail(BurnError::WriteError, QStringLiteral("The CD writing library could not be started."));
    return std::nullopt;
}

std::optional<DataCdJob::Result> DataCdJob::master(Mastering &mastering, const std::atomic<bool> &abort, const Events &events)
{
    const DataCdRequest &r = m_request;
    IsoImage *rawImage = nullptr;
    const QByteArray volume = r.volumeName.trimmed().isEmpty() ? QByteArray("CDROM") : r.volumeName.trimmed().toUtf8();
    int rc = iso_image_new(volume.constData(), &rawImage);
    if (rc < 0)
        return fail(BurnError::WriteError, QStringLiteral("Cannot start the disc's file system: %1").arg(isoText(rc)));
    mastering.image.reset(rawImage);
    IsoImage *image = rawImage;
    iso_image_set_publisher_id(image, r.publisher.toUtf8().constData());
    iso_image_set_application_id(image, r.publisher.toUtf8().constData());
    iso_image_set_data_preparer_id(image, r.preparer.toUtf8().constData());
    IsoDir *root = iso_image_get_root(image);
    for (const QString &path : r.files) {
        if (abort)
            return Result::Aborted;
        const QFileInfo info(path);
        if (!info.exists())
            return fail(BurnError::SourceError, QStringLiteral("The file %1 does not exist.").arg(path));
        if (!info.isReadable())
            return fail(BurnError::SourceError, QStringLiteral("The file %1 cannot be read.").arg(path));
        if (events.adding)
            events.adding(path);
        snapshot(info, mastering.snapshots);
        // A path given through a link burns what it points to, under the
        // link's name; links inside a folder are not followed, so a link
        // back up the tree cannot make the disc endless.
        const QByteArray native = QFile::encodeName(info.canonicalFilePath());
        // The disc's names are UTF-8 (the library is told so), whatever the
        // locale says the file system's names are.
        const QByteArray name = info.fileName().toUtf8();
        if (info.isDir()) {
            IsoDir *dir = nullptr;
            rc = iso_tree_add_new_dir(root, name.constData(), &dir);
            if (rc >= 0)
                rc = iso_tree_add_dir_rec(image, dir, native.constData());
        } else {
            rc = iso_tree_add_new_node(image, root, name.constData(), native.constData(), nullptr);
        }
        if (rc == int(ISO_NODE_NAME_NOT_UNIQUE))
            return fail(BurnError::SourceError,
                QStringLiteral("Two files to burn are named %1; the disc cannot hold both.").arg(info.fileName()));
        if (rc < 0)
            return fail(BurnError::SourceError, QStringLiteral("Cannot add %1 to the disc: %2").arg(path, isoText(rc)));
    }
    const QString notAdded = takeWarnings(image, events);
    if (!notAdded.isEmpty())
        return fail(BurnError::SourceError, QStringLiteral("Not every file can go on the disc: %1").arg(notAdded));
    int files = 0;
    int dirs = 0;
    countTree(root, &files, &dirs);
    if (events.counts)
        events.counts(files, dirs);
    return std::nullopt;
}

std::optional<DataCdJob::Result> DataCdJob::write(const Mastering &mastering, const TemporaryOutput *temporary,
    const std::atomic<bool> &abort, const Events &events, burner::WriteResult *result)
{
    QString error;
    // Released on return, which closes an image file.
    const burner::Grab grab
        = burner::grab(temporary ? QStringLiteral("stdio:") + temporary->path() : m_request.device.path, &error);
    if (!grab)
        return fail(BurnError::DriveNotReady, error);
    burn_drive *drive = grab.get()[0].drive;
    if (!temporary) {
        if (const std::optional<Result> refused = checkBlank(drive))
            return *refused;
    }
    Stream stream;
    if (const std::optional<Result> failed = openStream(mastering, events, stream))
        return *failed;
    return writeStream(stream, drive, abort, events, result);
}

std::optional<DataCdJob::Result> DataCdJob::checkBlank(burn_drive *drive)
{
    const QString &name = m_request.device.drive;
    switch (burn_disc_get_status(drive)) {
    case BURN_DISC_BLANK: return std::nullopt;
    case BURN_DISC_EMPTY:
        return fail(BurnError::DriveNotReady, QStringLiteral("There is no disc in the drive %1.").arg(name));
    case BURN_DISC_APPENDABLE:
    case BURN_DISC_FULL:
        return fail(BurnError::DriveNotReady, QStringLiteral("The disc in the drive %1 is not blank.").arg(name));
    default:
        return fail(BurnError::DriveNotReady, QStringLiteral("The disc in the drive %1 cannot be written.").arg(name));
    }
}

std::optional<DataCdJob::Result> DataCdJob::openStream(const Mastering &mastering, const Events &events, Stream &stream)
{
    IsoWriteOpts *rawOpts = nullptr;
    int rc = iso_write_opts_new(&rawOpts, 0);
    if (rc < 0)
        return fail(BurnError::WriteError, QStringLiteral("Cannot master the disc: %1").arg(isoText(rc)));
    stream.options.reset(rawOpts);
    // Level 1 (8.3 names) reads everywhere; Joliet carries names of up
    // to 103 characters for the systems that read it, and Rock Ridge the
    // whole names (255 bytes) for the systems that read that. Joliet's
    // paths may run past its 240 bytes: the systems that read Joliet
    // read those, and a file left out of that tree is lost to them.
    iso_write_opts_set_iso_level(rawOpts, 1);
    iso_write_opts_set_rockridge(rawOpts, 1);
    iso_write_opts_set_output_charset(rawOpts, "UTF-8");
    iso_write_opts_set_joliet(rawOpts, m_request.joliet ? 1 : 0);
    if (m_request.joliet) {
        iso_write_opts_set_joliet_long_names(rawOpts, 1);
        iso_write_opts_set_joliet_longer_paths(rawOpts, 1);
        // Letters beyond the first 65,536 (many CJK ones) as pairs
        // rather than as "_".
        iso_write_opts_set_joliet_utf16(rawOpts, 1);
    }
    // A disc's files belong to nobody and can be read by everybody, as
    // its readers expect, whatever the owner and the modes of the sources.
    iso_write_opts_set_replace_mode(rawOpts, 1, 1, 1, 1);
    ::burn_source *rawIso = nullptr;
    rc = iso_image_create_burn_source(mastering.image.get(), rawOpts, &rawIso);
    if (rc < 0 || !rawIso)
        return fail(BurnError::WriteError, QStringLiteral("Cannot master the disc: %1").arg(isoText(rc)));
    stream.source.reset(burner::isoSourceOf(rawIso));
    // The trees are made by now; the writing has not begun.
    const QString leftOut = takeWarnings(mastering.image.get(), events);
    if (!leftOut.isEmpty()) {
        stream.source->cancel(stream.source.get());
        return fail(BurnError::SourceError, QStringLiteral("Not every file can go on the disc: %1").arg(leftOut));
    }
    return std::nullopt;
}

std::optional<DataCdJob::Result> DataCdJob::writeStream(const Stream &stream, burn_drive *drive,
    const std::atomic<bool> &abort, const Events &events, burner::WriteResult *result)
{
    const DataCdRequest &r = m_request;
    burn::burn_source *isoSource = stream.source.get();
    burner::Source fifo(burn_fifo_source_new(isoSource, kFifoChunk, kFifoChunks, 0));
    if (!fifo) {
        isoSource->cancel(isoSource);
        return fail(BurnError::WriteError, QStringLiteral("Cannot master the disc: out of memory."));
    }

    burner::Disc disc(burn_disc_create());
    burner::Session session(burn_session_create());
    burner::Track track(burn_track_create());
    burn_disc_add_session(disc.get(), session.get(), BURN_POS_END);
    burn_track_define_data(track.get(), 0, kPaddingBytes, 1, BURN_MODE1);
    burn_track_set_source(track.get(), fifo.get());
    burn_session_add_track(session.get(), track.get(), BURN_POS_END);

    burner::WriteOpts opts(burn_write_opts_new(drive));
    burn_write_opts_set_perform_opc(opts.get(), 0);
    burn_write_opts_set_multi(opts.get(), r.leaveOpen ? 1 : 0);
    burn_write_opts_set_underrun_proof(opts.get(), 1);
    const int speed = r.speed <= 0 || r.speed >= 65535 ? 0 : r.speed;
    burn_drive_set_speed(drive, 0, speed);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn_write_opts_auto_write_type(opts.get(), disc.get(), reasons, 0) == BURN_WRITE_NONE) {
        isoSource->cancel(isoSource);
        return fail(BurnError::DriveNotReady,
            QStringLiteral("The drive %1 cannot write this disc: %2").arg(r.device.drive, QString::fromLocal8Bit(reasons).trimmed()));
    }

    if (events.writing)
        events.writing();
    int lastPercent = -1;
    bool closing = false;
    *result = burner::write(drive, opts.get(), disc.get(), abort, [&](burn_drive_status s, const burn_progress &p) {
        if (s == BURN_DRIVE_CLOSING_SESSION || s == BURN_DRIVE_CLOSING_TRACK || s == BURN_DRIVE_WRITING_LEADOUT) {
            if (!closing && events.closing)
                events.closing();
            closing = true;
            return;
        }
        if (s != BURN_DRIVE_WRITING || p.sectors <= 0)
            return;
        const int percent = int(std::clamp<qint64>(qint64(p.sector) * 100 / p.sectors, 0, 99));
        if (percent > lastPercent && events.progress) {
            lastPercent = percent;
            events.progress(percent);
        }
    });
    if (*result != burner::WriteResult::Done)
        isoSource->cancel(isoSource);
    if (*result == burner::WriteResult::Done) {
        if (events.progress && lastPercent < 100)
            events.progress(100);
        if (!closing && events.closing)
            events.closing();
    }
    return std::nullopt;
}

DataCdJob::Result DataCdJob::conclude(
    burner::WriteResult result, const Mastering &mastering, TemporaryOutput *temporary, const std::atomic<bool> &abort)
{
    if (result == burner::WriteResult::Aborted || abort)
        return Result::Aborted;
    // The mastering copies files as it finds them; one that changed meanwhile
    // is on the disc cut short, padded or mixed, and the disc is not good.
    // That is also the likeliest cause when the writing failed.
    const QString changed = changedFile(mastering.snapshots);
    if (!changed.isEmpty())
        return fail(BurnError::SourceError,
            QStringLiteral("The file %1 changed while the disc was being written; the disc does not hold it as it is now.")
                .arg(changed));
    if (result == burner::WriteResult::Failed) {
        const QString why = BurnLibrary::lastMessage();
        return fail(BurnError::WriteError,
            why.isEmpty() ? QStringLiteral("Writing the disc in %1 failed.").arg(m_request.device.drive)
                          : QStringLiteral("Writing the disc in %1 failed: %2").arg(m_request.device.drive, why));
    }
    if (temporary) {
        QString error;
        if (!BurnDevices::place(*temporary, &error))
            return fail(BurnError::WriteError, error);
    }
    return Result::Done;
}
