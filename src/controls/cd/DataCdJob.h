#pragma once

#include "controls/cd/BurnDevices.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

struct Iso_Image;
class TemporaryOutput;
namespace burn {
struct burn_drive;
}
namespace burner {
enum class WriteResult;
}

// Everything one data disc needs, copied from the control when it starts.
struct DataCdRequest {
    BurnDevice device;
    QStringList files; // full paths of files or folders, in disc order
    QString volumeName;
    QString publisher;
    QString preparer;
    bool iso9660 = true;
    bool joliet = true;
    bool udf = false;
    bool leaveOpen = false; // leave the disc open for another session
    qint32 speed = 0; // KB/s; 0 or 65535 for the drive's fastest
};

// Masters the files into an ISO 9660 file system with Rock Ridge names (and
// Joliet names when asked) and writes it onto the drive's blank disc, or into
// the image drive's file. Names are UTF-8 whatever the locale. An image is written under a temporary name and renamed only when
// complete; on failure or abort nothing is left under either name.
class DataCdJob {
public:
    enum class Result { Done, Aborted, Failed };
    // Called on the worker thread, in this order.
    struct Events {
        std::function<void(const QString &path)> adding;
        std::function<void(int files, int dirs)> counts;
        std::function<void()> writing;
        std::function<void(int percent)> progress;
        std::function<void()> closing;
        // What libisofs warned of while mastering, for the burn's log; any
        // time before the ending.
        std::function<void(const QString &text)> warning;
    };

    explicit DataCdJob(DataCdRequest request);

    Result run(const std::atomic<bool> &abort, const Events &events);
    qint32 errorCode() const { return m_code; }
    QString errorText() const { return m_error; }

private:
    struct Mastering;
    struct Stream;

    Result fail(qint32 code, const QString &text);
    // The steps of run(), in order; each answers how the job ended when it
    // ends it, and nothing when the next step may go on.
    std::optional<Result> checkRequest();
    // The file system of the files, and what they looked like then.
    std::optional<Result> master(Mastering &mastering, const std::atomic<bool> &abort, const Events &events);
    // Grabs the drive (or the image's temporary file when temporary is
    // given), checks its disc and writes the mastered image onto it.
    std::optional<Result> write(const Mastering &mastering, const TemporaryOutput *temporary,
        const std::atomic<bool> &abort, const Events &events, burner::WriteResult *result);
    std::optional<Result> checkBlank(burn::burn_drive *drive);
    std::optional<Result> openStream(const Mastering &mastering, const Events &events, Stream &stream);
    std::optional<Result> writeStream(const Stream &stream, burn::burn_drive *drive, const std::atomic<bool> &abort,
        const Events &events, burner::WriteResult *result);
    // How the writing ended, told from what the drive reported and whether
    // the files stayed as they were mastered; puts a complete image in place.
    Result conclude(burner::WriteResult result, const Mastering &mastering, TemporaryOutput *temporary,
        const std::atomic<bool> &abort);
    // Passes image's queued warnings on; the first that leaves a file out of
    // a tree of the disc is the burn's failure, empty when none does.
    QString takeWarnings(Iso_Image *image, const Events &events) const;

    DataCdRequest m_request;
    qint32 m_code = 0;
    QString m_error;
};
