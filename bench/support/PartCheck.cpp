#include "support/PartCheck.h"

#include <QByteArray>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <cstring>
#include <future>

namespace Bench {

namespace {

constexpr qint64 kPiece = 1 << 20;

// A decoder's 16-bit output, read as it comes.
class PcmStream {
public:
    PcmStream(Decoder decoder, const QString &path)
    {
        if (decoder == Decoder::Ffmpeg)
            m_process.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", path, "-f", "s16le", "-"});
        else
            m_process.start(QStringLiteral("mpg123"), {"-q", "-e", "s16", "-s", path});
    }
    ~PcmStream()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(-1);
        }
    }

    // Up to max bytes, waiting for some; empty at the end.
    QByteArray next(qint64 max)
    {
        while (m_process.bytesAvailable() == 0) {
            if (!m_process.waitForReadyRead(-1))
                return {};
        }
        return m_process.read(max);
    }
    // count bytes unless the output ends sooner.
    QByteArray take(qint64 count)
    {
        QByteArray out;
        while (out.size() < count) {
            const QByteArray more = next(count - out.size());
            if (more.isEmpty())
                break;
            out += more;
        }
        return out;
    }
    QString failure()
    {
        m_process.waitForFinished(-1);
        if (m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0)
            return {};
        return QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed()
            + QStringLiteral(" (exit %1)").arg(m_process.exitCode());
    }

private:
    QProcess m_process;
};

struct Difference {
    double signal = 0;
    double error = 0;
    qint64 firstAt = -1; // the first differing value

    void add(const QByteArray &part, const QByteArray &source, qint64 offset)
    {
        const qsizetype values = part.size() / 2;
        const auto *a = reinterpret_cast<const qint16 *>(part.constData());
        const auto *b = reinterpret_cast<const qint16 *>(source.constData());
        if (firstAt < 0 && std::memcmp(a, b, size_t(values) * 2) != 0) {
            for (qsizetype i = 0; i < values; ++i) {
                if (a[i] != b[i]) {
                    firstAt = offset / 2 + i;
                    break;
                }
            }
        }
        for (qsizetype i = 0; i < values; ++i) {
            signal += double(b[i]) * b[i];
            error += double(a[i] - b[i]) * (a[i] - b[i]);
        }
    }
    double snrDb() const { return error > 0 ? 10 * std::log10(signal / error) : INFINITY; }
};

} // namespace

QString decoderName(Decoder decoder)
{
    return decoder == Decoder::Ffmpeg ? QStringLiteral("ffmpeg") : QStringLiteral("mpg123");
}

QString checkParts(const QStringList &parts, const QString &source, const PartLayout &layout, Decoder decoder)
{
    const QString by = QStringLiteral(" (decoded by %1)").arg(decoderName(decoder));
    const qint64 partBytes = layout.partSamples * layout.channels * 2;
    PcmStream straight(decoder, source);
    for (int k = 0; k < parts.size(); ++k) {
        const QString name = QFileInfo(parts[k]).fileName() + by;
        PcmStream part(decoder, parts[k]);
        Difference d;
        qint64 bytes = 0;
        for (QByteArray piece = part.next(kPiece); !piece.isEmpty(); piece = part.next(kPiece)) {
            const QByteArray same = straight.take(piece.size());
            if (same.size() != piece.size())
                return name + QStringLiteral(": runs past the end of the source");
            d.add(piece, same, bytes);
            bytes += piece.size();
        }
        if (const QString failed = part.failure(); !failed.isEmpty())
            return name + QStringLiteral(": ") + failed;
        const bool last = k + 1 == parts.size();
        if (!last && bytes != partBytes)
            return name + QStringLiteral(": %1 samples, not %2").arg(bytes / 2 / layout.channels).arg(layout.partSamples);
        if (layout.minSnrDb <= 0 && d.firstAt >= 0)
            return name + QStringLiteral(": differs from its range of the source from value %1 on").arg(d.firstAt);
        if (layout.minSnrDb > 0 && d.snrDb() < layout.minSnrDb)
            return name + QStringLiteral(": %1 dB from its range of the source, less than %2 dB").arg(d.snrDb(), 0, 'f', 1).arg(layout.minSnrDb);
    }
    if (!straight.next(kPiece).isEmpty())
        return QStringLiteral("the parts end before the source") + by;
    if (const QString failed = straight.failure(); !failed.isEmpty())
        return source + by + QStringLiteral(": ") + failed;
    return {};
}

QString checkPartsWithBothDecoders(const QStringList &parts, const QString &source, const PartLayout &layout)
{
    auto mpg123 = std::async(std::launch::async, [&] { return checkParts(parts, source, layout, Decoder::Mpg123); });
    const QString ffmpeg = checkParts(parts, source, layout, Decoder::Ffmpeg);
    const QString other = mpg123.get();
    return (ffmpeg + QLatin1Char('\n') + other).trimmed();
}

} // namespace Bench
