#pragma once

// Owning handles for the libburn and libisofs objects the burners use, and
// the one process-wide start of both libraries. libburn declares its API in
// the namespace burn when compiled as C++; libisofs hands out its image
// stream as the same struct burn_source declared outside it, so
// isoSourceOf converts between the two.

#include <cstdint>
#include <sys/types.h>

#include <libburn/libburn.h>
#include <libisofs/libisofs.h>

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace BurnLibrary {

// Starts libburn and libisofs the first time it is called; both are shut
// down when the process ends. False when libburn cannot start.
bool ensure();
// libburn keeps one table of drives for the process; grabbing and releasing
// drives from several threads must take turns.
std::mutex &driveTableLock();
// Drops the messages the libraries queued so far, so the next failure's
// message is its own.
void clearMessages();
// The most severe recent message of libisofs, else of libburn; empty when
// none was queued.
QString lastMessage();

// A warning or an error libisofs queued about one image.
struct IsoMessage {
    int code = 0; // as isoQueueCode gives it
    bool error = false; // SORRY or worse
    QString text;
};
// Takes the messages libisofs queued so far about the image with that
// message id (iso_image_get_msg_id), oldest first; those of other images
// stay for their own jobs.
QList<IsoMessage> takeIsoMessages(int imageId);
// The code the message queue gives for one of libisofs's error codes
// (ISO_FILE_IGNORED, ...): it keeps only their low part.
constexpr int isoQueueCode(int code)
{
    return (code & 0xFFFF) | 0x30000;
}

} // namespace BurnLibrary

namespace burner {

struct DiscDeleter {
    void operator()(burn::burn_disc *d) const { burn::burn_disc_free(d); }
};
struct SessionDeleter {
    void operator()(burn::burn_session *s) const { burn::burn_session_free(s); }
};
struct TrackDeleter {
    void operator()(burn::burn_track *t) const { burn::burn_track_free(t); }
};
struct SourceDeleter {
    void operator()(burn::burn_source *s) const { burn::burn_source_free(s); }
};
struct WriteOptsDeleter {
    void operator()(burn::burn_write_opts *o) const { burn::burn_write_opts_free(o); }
};
struct SpeedListDeleter {
    void operator()(burn::burn_speed_descriptor *s) const { burn::burn_drive_free_speedlist(&s); }
};
// A grabbed drive: released (tray left shut) and its description freed.
struct GrabDeleter {
    void operator()(burn::burn_drive_info *info) const;
};
struct IsoImageDeleter {
    void operator()(IsoImage *i) const { iso_image_unref(i); }
};
struct IsoWriteOptsDeleter {
    void operator()(IsoWriteOpts *o) const { iso_write_opts_free(o); }
};

using Disc = std::unique_ptr<burn::burn_disc, DiscDeleter>;
using Session = std::unique_ptr<burn::burn_session, SessionDeleter>;
using Track = std::unique_ptr<burn::burn_track, TrackDeleter>;
using Source = std::unique_ptr<burn::burn_source, SourceDeleter>;
using WriteOpts = std::unique_ptr<burn::burn_write_opts, WriteOptsDeleter>;
using SpeedList = std::unique_ptr<burn::burn_speed_descriptor, SpeedListDeleter>;
using Grab = std::unique_ptr<burn::burn_drive_info, GrabDeleter>;
using IsoImagePtr = std::unique_ptr<IsoImage, IsoImageDeleter>;
using IsoWriteOptsPtr = std::unique_ptr<IsoWriteOpts, IsoWriteOptsDeleter>;

inline burn::burn_source *isoSourceOf(::burn_source *s)
{
    return reinterpret_cast<burn::burn_source *>(s);
}

// Grabs the drive at a libburn address ("/dev/sr0", "stdio:/path"); nullptr
// with the reason when it cannot be had.
Grab grab(const QString &address, QString *error);

} // namespace burner

namespace burner {

// How a write that libburn ran ended.
enum class WriteResult { Done, Aborted, Failed };

// Writes disc with opts on the grabbed drive and waits for the end, calling
// status about ten times a second from this thread; once abort is set it
// cancels the write and calls cancel, which stops the track sources.
WriteResult write(burn::burn_drive *drive, burn::burn_write_opts *opts, burn::burn_disc *disc,
    const std::atomic<bool> &abort, const std::function<void(burn::burn_drive_status, const burn::burn_progress &)> &status,
    const std::function<void()> &cancel = {});

} // namespace burner
