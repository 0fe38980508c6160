#include "controls/audio/EncodingJob.h"

#include "controls/audio/OutputHold.h"
#include "controls/audio/SampleGuard.h"
#include "controls/audio/TemporaryOutput.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

QString samePathKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

EncodingJob::Result EncodingJob::fail(ErrorCode code, const QString &text)
{
    m_code = code;
    m_error = text;
    // The user knows the file by its real name, not the temporary one.
    if (!m_temporary.isEmpty())
        m_error.replace(m_temporary, m_destination);
    return Result::Failed;
}

bool EncodingJob::checkDestination(const QString &destination, const QStringList &sources)
{
    if (destination.isEmpty()) {
        fail(DestinationError, QStringLiteral("No destination file was given."));
        return false;
    }
    const QString destinationKey = samePathKey(destination);
    for (const QString &source : sources)
        if (samePathKey(source) == destinationKey) {
            fail(DestinationError,
                QStringLiteral("The destination %1 is the source file itself; it is left as it is.").arg(destination));
            return false;
        }
    const QFileInfo folder(QFileInfo(destination).absolutePath());
    if (!folder.isDir()) {
        fail(DestinationError,
            QStringLiteral("Cannot write %1: the folder %2 does not exist.").arg(destination, folder.absoluteFilePath()));
        return false;
    }
    return true;
}

void EncodingJob::writingTo(const TemporaryOutput &output)
{
    m_temporary = output.path();
    m_destination = output.destination();
}

EncodingJob::Result EncodingJob::failToOpen(const QString &error)
{
    const bool unwritable
        = error.startsWith(QLatin1String("Cannot write")) || error.startsWith(QLatin1String("Cannot create"));
    return fail(unwritable ? DestinationError : SettingsError, error);
}

EncodingJob::Result EncodingJob::finish(
    std::unique_ptr<AudioEncoder> encoder, TemporaryOutput &output, const std::atomic<bool> &abort)
{
    QString error;
    if (!encoder->finish(&error))
        return fail(DestinationError, error);
    QStringList notices{encoder->notice(), SampleGuard::notice(m_mended)};
    notices.removeAll(QString());
    m_notice = notices.join(QLatin1Char(' '));
    encoder.reset();
    return commit(output, abort);
}

EncodingJob::Result EncodingJob::commit(TemporaryOutput &output, const std::atomic<bool> &abort)
{
    // A row run ahead waits here, its file still under its temporary name,
    // until the window starts that row.
    if (abort || (m_hold && !m_hold->wait(abort)))
        return Result::Aborted;
    if (!output.commit())
        return fail(DestinationError,
            QStringLiteral("Cannot write %1: %2")
                .arg(output.destination(), QString::fromLocal8Bit(std::strerror(errno))));
    return Result::Done;
}
