#include "support/OutputCheck.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace Bench {

namespace {

// The length of what the file decodes to. A gapless MP3's header may count
// the encoder delay and padding its decoder drops, so the decoded frames
// count; the stream's or container's own length serves where none came.
double streamSeconds(const QJsonObject &root, const QJsonObject &stream, const QJsonObject &format, int rate)
{
    qint64 samples = 0;
    for (const QJsonValue &frame : root.value(QStringLiteral("frames")).toArray())
        samples += frame.toObject().value(QStringLiteral("nb_samples")).toInteger();
    if (samples > 0 && rate > 0)
        return double(samples) / rate;
    const QString duration = stream.value(QStringLiteral("duration")).toString();
    if (!duration.isEmpty())
        return duration.toDouble();
    return format.value(QStringLiteral("duration")).toString().toDouble();
}

QStringList probeArgs(const QString &path)
{
    return {"-v", "error", "-select_streams", "a:0", "-show_entries",
        "stream=codec_name,sample_rate,channels,duration:format=format_name,duration:frame=nb_samples", "-of", "json",
        path};
}

// What is wrong with the file ffprobe described, empty when nothing.
QString judge(const QString &path, QProcess &p, const Expected &e)
{
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("%1: ffprobe cannot read it: %2")
            .arg(path, QString::fromLocal8Bit(p.readAllStandardError()).trimmed());
    const QJsonObject root = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (streams.isEmpty())
        return QStringLiteral("%1: no audio stream").arg(path);
    const QJsonObject stream = streams.first().toObject();
    QStringList wrong;
    const QString formatName = format.value(QStringLiteral("format_name")).toString();
    if (!formatName.split(QLatin1Char(',')).contains(e.formatName))
        wrong << QStringLiteral("format %1, not %2").arg(formatName, e.formatName);
    const QString codec = stream.value(QStringLiteral("codec_name")).toString();
    if (codec != e.codec)
        wrong << QStringLiteral("codec %1, not %2").arg(codec, e.codec);
    const int rate = stream.value(QStringLiteral("sample_rate")).toString().toInt();
    if (rate != e.rate)
        wrong << QStringLiteral("%1 Hz, not %2 Hz").arg(rate).arg(e.rate);
    const int channels = stream.value(QStringLiteral("channels")).toInt();
    if (channels != e.channels)
        wrong << QStringLiteral("%1 channels, not %2").arg(channels).arg(e.channels);
    const double seconds = streamSeconds(root, stream, format, rate);
    if (!(std::fabs(seconds - e.seconds) <= e.tolerance))
        wrong << QStringLiteral("%1 s long, not %2 s (within %3 s)").arg(seconds, 0, 'f', 4).arg(e.seconds).arg(e.tolerance);
    return wrong.isEmpty() ? QString() : path + QStringLiteral(": ") + wrong.join(QStringLiteral("; "));
}

// Every file read at once: one ffprobe start costs half a second on a busy machine.
QString checkAll(const QStringList &paths, const Expected &e)
{
    std::vector<std::unique_ptr<QProcess>> probes;
    for (const QString &path : paths) {
        probes.push_back(std::make_unique<QProcess>());
        probes.back()->start(QStringLiteral("ffprobe"), probeArgs(path));
    }
    QStringList wrong;
    for (int i = 0; i < paths.size(); ++i) {
        const QString w = judge(paths[i], *probes[size_t(i)], e);
        if (!w.isEmpty())
            wrong << w;
    }
    return wrong.join(QLatin1Char('\n'));
}

// Names compared with their runs of digits as numbers.
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            const qulonglong x = a.mid(i, ei - i).toULongLong(), y = b.mid(j, ej - j).toULongLong();
            if (x != y)
                return x < y;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace

QString checkOutput(const QString &path, const Expected &e)
{
    return checkAll({path}, e);
}

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    // By hand: QCollator's numeric mode does nothing in the C locale the
    // bench may run in, which put Part_10 before Part_2.
    std::sort(names.begin(), names.end(), naturalLess);
    QStringList paths;
    for (const QString &name : names)
        paths << folder + QLatin1Char('/') + name;
    return paths;
}

QString checkFolder(const QString &folder, int count, const Expected &expected)
{
    const QStringList files = filesIn(folder);
    if (files.size() != count)
        return QStringLiteral("%1 holds %2 files, not %3: %4")
            .arg(folder)
            .arg(files.size())
            .arg(count)
            .arg(files.join(QStringLiteral(", ")));
    return checkAll(files, expected);
}

} // namespace Bench
