#include "controls/cd/BurnLibrary.h"

#include <QFile>
#include <QVector>

#include <chrono>
#include <thread>

using namespace burn;

namespace {

class Libraries {
public:
    Libraries()
    {
        m_burn = burn_initialize() != 0;
        m_iso = iso_init() >= 0;
        // Nothing is printed; failures are fetched from the queues and told
        // to the user in the controls' own events.
        burn_msgs_set_severities(const_cast<char *>("SORRY"), const_cast<char *>("NEVER"),
            const_cast<char *>("libburn: "));
        // burn_set_signal_handling is left uncalled: libburn then installs no
        // handler, and the program's own signal handling stays as it is.
        if (m_iso) {
            // Warnings too: a file libisofs leaves out of a tree is only a
            // warning to it, and the burn must hear of it.
            iso_set_msgs_severities(const_cast<char *>("WARNING"), const_cast<char *>("NEVER"),
                const_cast<char *>("libisofs: "));
            // A source file that cannot be read must fail the burn, not be
            // written as zeros onto a disc reported as good.
            iso_set_abort_severity(const_cast<char *>("SORRY"));
            // Every name handed to the library is UTF-8, and so are the file
            // system's names; the locale's character set (ASCII under C)
            // would turn every other letter into "_".
            iso_set_local_charset(const_cast<char *>("UTF-8"), 0);
        }
    }
    ~Libraries()
    {
        if (m_iso)
            iso_finish();
        if (m_burn)
            burn_finish();
    }
    bool ok() const { return m_burn && m_iso; }

private:
    bool m_burn = false;
    bool m_iso = false;
};

Libraries &libraries()
{
    static Libraries instance;
    return instance;
}

// libburn's code for a write refused because the drive's last operation has
// not quite ended.
constexpr int kStillGoingOn = 0x20102;

// Whether libburn refused the last write for that reason; other messages
// stay for the caller.
bool stillBusy()
{
    int code = 0;
    int os = 0;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    bool busy = false;
    struct Kept {
        int code;
        int os;
        QByteArray text;
        QByteArray severity;
    };
    QVector<Kept> kept;
    while (burn_msgs_obtain(const_cast<char *>("SORRY"), &code, text, &os, severity) == 1) {
        if (code == kStillGoingOn)
            busy = true;
        else
            kept.push_back({code, os, QByteArray(text), QByteArray(severity)});
    }
    for (Kept &k : kept)
        burn_msgs_submit(k.code, k.text.data(), k.os, k.severity.data(), nullptr);
    return busy;
}

// libisofs keeps one message queue for the process; what it held is moved
// here, so each image's job finds its own messages whatever another job
// fetched first.
struct IsoStash {
    std::mutex lock;
    QList<std::pair<int, BurnLibrary::IsoMessage>> messages; // (image id, message)
};

IsoStash &isoStash()
{
    static IsoStash stash;
    return stash;
}

// Messages of images whose jobs never came for them are dropped, oldest
// first, beyond this many.
constexpr int kStashLimit = 1000;

// With the stash's lock held.
void drainIsoQueue(IsoStash &stash)
{
    int code = 0;
    int imageId = 0;
    char text[ISO_MSGS_MESSAGE_LEN];
    char severity[80];
    int sorry = 0;
    iso_text_to_sev(const_cast<char *>("SORRY"), &sorry);
    while (iso_obtain_msgs(const_cast<char *>("WARNING"), &code, &imageId, text, severity) == 1) {
        int level = 0;
        iso_text_to_sev(severity, &level);
        stash.messages.push_back({imageId, {code, level >= sorry, QString::fromUtf8(text).trimmed()}});
    }
    while (stash.messages.size() > kStashLimit)
        stash.messages.removeFirst();
}

} // namespace

namespace BurnLibrary {

bool ensure()
{
    return libraries().ok();
}

std::mutex &driveTableLock()
{
    static std::mutex lock;
    return lock;
}

void clearMessages()
{
    if (!ensure())
        return;
    int code = 0;
    int os = 0;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    burn_msgs_obtain(const_cast<char *>("NEVER"), &code, text, &os, severity);
    // The errors are the reasons of earlier failures; warnings wait for the
    // job of their image.
    IsoStash &stash = isoStash();
    std::lock_guard<std::mutex> lock(stash.lock);
    drainIsoQueue(stash);
    stash.messages.removeIf([](const auto &m) { return m.second.error; });
}

QString lastMessage()
{
    if (!ensure())
        return {};
    int code = 0;
    int os = 0;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    QString iso;
    {
        IsoStash &stash = isoStash();
        std::lock_guard<std::mutex> lock(stash.lock);
        drainIsoQueue(stash);
        for (const auto &m : std::as_const(stash.messages))
            if (m.second.error && iso.isEmpty())
                iso = m.second.text;
        stash.messages.removeIf([](const auto &m) { return m.second.error; });
    }
    QString burn;
    while (burn_msgs_obtain(const_cast<char *>("SORRY"), &code, text, &os, severity) == 1)
        if (burn.isEmpty())
            burn = QString::fromLocal8Bit(text).trimmed();
    return iso.isEmpty() ? burn : iso;
}

QList<IsoMessage> takeIsoMessages(int imageId)
{
    QList<IsoMessage> taken;
    if (!ensure())
        return taken;
    IsoStash &stash = isoStash();
    std::lock_guard<std::mutex> lock(stash.lock);
    drainIsoQueue(stash);
    for (const auto &m : std::as_const(stash.messages))
        if (m.first == imageId)
            taken << m.second;
    stash.messages.removeIf([imageId](const auto &m) { return m.first == imageId; });
    return taken;
}

} // namespace BurnLibrary

namespace burner {

void GrabDeleter::operator()(burn_drive_info *info) const
{
    std::lock_guard<std::mutex> lock(BurnLibrary::driveTableLock());
    burn_drive_release(info[0].drive, 0);
    burn_drive_info_free(info);
}

Grab grab(const QString &address, QString *error)
{
    if (!BurnLibrary::ensure()) {
        *error = QStringLiteral("The CD writing library could not be started.");
        return nullptr;
    }
    QByteArray native = QFile::encodeName(address);
    burn_drive_info *info = nullptr;
    int rc = 0;
    {
        std::lock_guard<std::mutex> lock(BurnLibrary::driveTableLock());
        rc = burn_drive_scan_and_grab(&info, native.data(), 0);
    }
    if (rc <= 0 || !info) {
        if (info)
            burn_drive_info_free(info);
        const QString why = BurnLibrary::lastMessage();
        *error = why.isEmpty() ? QStringLiteral("The drive %1 cannot be opened; another program may be using it.")
                                     .arg(address)
                               : QStringLiteral("The drive %1 cannot be opened: %2").arg(address, why);
        return nullptr;
    }
    return Grab(info);
}

} // namespace burner

namespace burner {

WriteResult write(burn_drive *drive, burn_write_opts *opts, burn_disc *disc, const std::atomic<bool> &abort,
    const std::function<void(burn_drive_status, const burn_progress &)> &status, const std::function<void()> &cancel)
{
    // libburn marks a drive idle a little before the thread of its last
    // write has ended, and refuses a new write on it meanwhile without a
    // failure the caller could see; such a refusal is retried for a while,
    // and a write that never ran is never taken for a good one.
    bool ran = false;
    bool cancelled = false;
    burn_progress progress{};
    for (int attempt = 0; !ran && attempt < 50 && !abort; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        burn_disc_write(opts, disc);
        for (;;) {
            const burn_drive_status s = burn_drive_get_status(drive, &progress);
            if (s == BURN_DRIVE_IDLE)
                break;
            ran = true;
            if (abort && !cancelled) {
                burn_drive_cancel(drive);
                if (cancel)
                    cancel();
                cancelled = true;
            }
            if (s != BURN_DRIVE_SPAWNING && status)
                status(s, progress);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!ran && !stillBusy())
            break;
    }
    if (cancelled || (abort && !ran))
        return WriteResult::Aborted;
    return ran && burn_drive_wrote_well(drive) ? WriteResult::Done : WriteResult::Failed;
}

} // namespace burner
