#include "platform/SafeWrite.h"

#include <QDir>
#include <QSaveFile>

namespace {

QString errorOf(const QFileDevice &file)
{
    const QString error = file.errorString();
    return error.isEmpty() ? QStringLiteral("Unknown error") : error;
}

// The error must be read before cancelWriting(), which puts its own text there.
QString cancel(QFileDevice &file)
{
    const QString error = errorOf(file);
    if (auto *save = qobject_cast<QSaveFile *>(&file))
        save->cancelWriting();
    return error;
}

} // namespace

namespace SafeWrite {

QString replaceFile(const QString &path, const QByteArray &bytes, bool directFallback)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(directFallback);
    if (!file.open(QIODevice::WriteOnly))
        return cancel(file);
    if (QString error = write(file, bytes); !error.isEmpty())
        return error;
    return commit(file);
}

QString write(QFileDevice &file, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return cancel(file);
        done += qsizetype(n);
    }
    return QString();
}

QString flush(QFileDevice &file)
{
    for (qint64 left = file.bytesToWrite(); !file.flush();) {
        // Written in part: the next try either goes on or tells why not.
        if (file.bytesToWrite() >= left)
            return cancel(file);
        left = file.bytesToWrite();
    }
    return QString();
}

QString commit(QSaveFile &file)
{
    if (QString error = flush(file); !error.isEmpty())
        return error;
    if (!file.commit())
        return errorOf(file);
    return QString();
}

QString cannotSave(const QString &path, const QString &error)
{
    return QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), error);
}

} // namespace SafeWrite
