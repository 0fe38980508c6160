#include "tags/TagError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

TagError::TagError(qint32 number, QString source, QString description)
    : m_number(number)
    , m_source(std::move(source))
    , m_description(std::move(description))
    , m_what((m_description + QStringLiteral(" (") + QString::number(m_number) + QLatin1Char(')')).toUtf8())
{
}

TagError TagError::raise(const QString &unit, qint32 number, const QString &description)
{
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (program.isEmpty())
        program = QStringLiteral("sonvale");
    return TagError(number, program + QLatin1Char('.') + unit, description);
}

TagError TagError::fromFile(const QString &unit, const QFileDevice &file)
{
    qint32 number = PathFileAccess;
    switch (file.error()) {
    case QFileDevice::OpenError:
        if (auto *f = qobject_cast<const QFile *>(&file)) {
            const QFileInfo info(f->fileName());
            if (f->fileName().isEmpty() || !info.exists())
                number = FileNotFound;
            else if (!info.isReadable() || !info.isWritable())
                number = PermissionDenied;
        }
        break;
    case QFileDevice::PermissionsError:
        number = PermissionDenied;
        break;
    case QFileDevice::ResourceError:
        number = DiskFull;
        break;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::PositionError:
    case QFileDevice::ResizeError:
        number = DeviceIO;
        break;
    default:
        break;
    }
    QString text = describe(number);
    if (!file.errorString().isEmpty())
        text += QStringLiteral(": ") + file.errorString();
    return raise(unit, number, text);
}

QString TagError::describe(qint32 number)
{
    switch (number) {
    case InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case FileNotFound: return QStringLiteral("File not found");
    case DeviceIO: return QStringLiteral("Device I/O error");
    case DiskFull: return QStringLiteral("Disk full");
    case PermissionDenied: return QStringLiteral("Permission denied");
    case PathFileAccess: return QStringLiteral("Path/File access error");
    case ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    default: return QString();
    }
}
