#pragma once

#include <QString>

#include <exception>

class QFileDevice;

// A numbered error raised by the tag classes to their callers. The source is
// the executable's name, a point and the raising class (".cMP3ID3v1").
class TagError : public std::exception {
public:
    TagError(qint32 number, QString source, QString description);

    qint32 Number() const { return m_number; }
    QString Source() const { return m_source; }
    QString Description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    // Error numbers the classes raise themselves.
    static constexpr qint32 InvalidCall = 5;        // invalid procedure call or argument
    static constexpr qint32 SubscriptOutOfRange = 9;
    static constexpr qint32 FileNotFound = 53;
    static constexpr qint32 DeviceIO = 57;
    static constexpr qint32 DiskFull = 61;
    static constexpr qint32 PermissionDenied = 70;
    static constexpr qint32 PathFileAccess = 75;
    static constexpr qint32 ObjectNotSet = 91;
    static constexpr qint32 NotValidMp3 = static_cast<qint32>(0x80041001u);

    // An error whose source names the unit, e.g. unit "cMP3ID3v2".
    static TagError raise(const QString &unit, qint32 number, const QString &description);
    // The failure of a file operation (open, read, write) as a numbered error.
    static TagError fromFile(const QString &unit, const QFileDevice &file);
    // The standard description of one of the numbers above.
    static QString describe(qint32 number);

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
