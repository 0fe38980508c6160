#include "core/FileCopyClass.h"

#include "platform/SafeWrite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <sys/stat.h>

namespace {

// Both names lead to one file (the same path, a link, or a second hard link).
bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

qint16 percentOf(qint64 part, qint64 whole)
{
    return static_cast<qint16>(std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole)));
}

} // namespace

bool FileCopyClass::fail(const QString &text)
{
    m_successful = false;
    m_errorText = text;
    return false;
}

void FileCopyClass::Copy(const QString &SourceFile, const QString &Destination)
{
    const qint64 chunk = m_cacheSize == 0 ? 32000 : m_cacheSize;
    m_successful = false;
    m_errorText.clear();

    const QString source = QDir::toNativeSeparators(SourceFile);
    const QString destination = QDir::toNativeSeparators(Destination);
    if (!QFileInfo(SourceFile).isFile()) {
        fail(QStringLiteral("The file \"%1\" does not exist.").arg(source));
        return;
    }
    if (sameFile(SourceFile, Destination)) {
        fail(QStringLiteral("\"%1\" cannot be copied onto itself.").arg(source));
        return;
    }

    QElapsedTimer clock;
    clock.start();

    QFile in(SourceFile);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString()));
        return;
    }
    QSaveFile out(Destination);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(destination, out.errorString()));
        return;
    }

    const qint64 length = in.size();
    auto readExactly = [&](qint64 n, QByteArray &into) {
        const QByteArray data = in.read(n);
        if (data.size() != n)
            return fail(QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString()));
        into += data;
        return true;
    };
    auto writeAll = [&](QByteArray &data) {
        if (const QString error = SafeWrite::write(out, data); !error.isEmpty())
            return fail(QStringLiteral("Cannot write \"%1\": %2").arg(destination, error));
        data.clear();
        return true;
    };

    QByteArray pending;
    if (length < chunk) {
        if (!readExactly(length, pending) || !writeAll(pending))
            return;
    } else {
        // Writes go out in blocks of two chunks; the percentage moves only
        // when a block has been written.
        qint64 readSoFar = 0;
        qint64 written = 0;
        qint64 n = chunk;
        while (readSoFar < length) {
            if (!readExactly(n, pending))
                return;
            readSoFar += n;
            if (pending.size() >= 2 * chunk) {
                const qint64 size = pending.size();
                if (!writeAll(pending))
                    return;
                written += size;
            }
            m_percentReady = percentOf(written, length);
            if (m_afterChunk && !m_afterChunk()) {
                fail(QString());
                return;
            }
            if (length - readSoFar < n)
                n = length - readSoFar;
        }
        if (!writeAll(pending))
            return;
    }

    if (const QString error = SafeWrite::commit(out); !error.isEmpty()) {
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(destination, error));
        return;
    }
    m_successful = true;
    m_secondsTaken = static_cast<qint32>(std::nearbyint(static_cast<double>(clock.elapsed()) / 1000.0));
}
