// Whole jobs through Sonvale's own windows against the tools people use for
// the same job, on inputs the bench writes itself. Each case runs in rounds,
// Sonvale then every peer, each run a child process of its own with its own
// peak memory; every output is read back with ffprobe, and a failed or wrong
// run fails the bench.
//
//   bench_sonvale [--pairs N] [--case TEXT] [--work FOLDER] [--rows N] [--add N] [--smoke]
//
// --pairs sets the rounds (5 by default, 1 with --smoke); --case runs the
// cases whose name holds TEXT; --rows and --add set the rows of the big list
// (10,000) and the files added (1,000); --smoke runs every case on tiny
// inputs once, without a warm-up, to show the bench still builds and runs.

#include "support/BenchTools.h"
#include "support/ChildProcess.h"
#include "support/OutputCheck.h"
#include "support/PairedRuns.h"
#include "support/PartCheck.h"
#include "support/ProgramRun.h"
#include "support/SonvaleSide.h"
#include "support/TaggedInputs.h"

#include "platform/ProcessEnd.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>

using namespace Bench;

namespace {

// The lengths of the inputs, full size or for the smoke run.
struct Sizes {
    int convertSeconds;  // one file to MP3 and OGG
    int hourSeconds;     // the file split into six parts
    int longSeconds;     // the MP3 split into 24 parts
    int manySeconds;     // each of the eight files of the converter
    int addFiles;        // files added to a list
    int listRows;        // rows of the list loaded and started with, each a file of its own
    int parts;           // parts of the hour's file
    int longParts;       // parts of the long MP3
};
constexpr Sizes kFull{300, 3600, 10800, 180, 1000, 10000, 6, 24};
// Every case and every check of its outputs, on inputs a loaded machine
// still gets through in seconds: each part is checked by two decoders, so
// the part counts weigh most.
constexpr Sizes kSmoke{3, 6, 8, 2, 12, 30, 3, 4};
constexpr int kMany = 8;

class Workbench {
public:
    Workbench(const QString &work, const Sizes &sizes)
        : m_work(work)
        , m_sizes(sizes)
    {
        QDir().mkpath(m_work + QStringLiteral("/in"));
    }

    QList<Case> cases();

private:
    // ---- inputs, written once and kept for every case that needs them ----
    QString wavPath(int seconds) const { return m_work + QStringLiteral("/in/tone-%1s.wav").arg(seconds); }

    QString wav(int seconds)
    {
        const QString path = wavPath(seconds);
        if (!QFileInfo::exists(path) && !writeWav(path, seconds))
            throw RunFailure{QStringLiteral("cannot write ") + path};
        return path;
    }

    // A CBR 128 kbit/s MP3 with its Info frame, as LAME writes by default.
    QString mp3(int seconds)
    {
        const QString path = m_work + QStringLiteral("/in/tone-%1s.mp3").arg(seconds);
        if (QFileInfo::exists(path))
            return path;
        // No other case reads a WAV that long, and it takes 1.9 GB.
        const bool onlyForThis = seconds > m_sizes.hourSeconds && !QFileInfo::exists(wavPath(seconds));
        peerTool({"lame", {"--quiet", "-b", "128", wav(seconds), path}});
        if (onlyForThis)
            QFile::remove(wavPath(seconds));
        return path;
    }

    // The same file copied count times under other names.
    QStringList copies(const QString &source, const QString &folder, int count)
    {
        QStringList paths;
        QDir().mkpath(folder);
        for (int i = 1; i <= count; ++i) {
            const QString path = folder + QStringLiteral("/f%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(QFileInfo(source).suffix());
            if (!QFileInfo::exists(path) && !QFile::copy(source, path))
                throw RunFailure{QStringLiteral("cannot write ") + path};
            paths << path;
        }
        return paths;
    }

    // count distinct tagged WAV, MP3 and OGG files, in turn.
    QString taggedFolder(int count)
    {
        const QString folder = m_work + QStringLiteral("/in/tagged-%1").arg(count);
        taggedFiles(folder, count);
        return folder;
    }

    // ---- runs ----
    // A fresh output folder for one run; the last run's is removed.
    QString outFolder(const QString &name)
    {
        const QString folder = m_work + QStringLiteral("/out/") + name;
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        return folder;
    }

    // Fresh per-user folders for one Sonvale run, as a new user has them.
    QProcessEnvironment freshUser()
    {
        const QString root = m_work + QStringLiteral("/user");
        QDir(root).removeRecursively();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const struct {
            const char *variable, *folder;
        } folders[] = {{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"},
            {"XDG_CACHE_HOME", "cache"}, {"SONVALE_HOME", "program"}, {"SONVALE_REGISTRY_DIR", "registry"},
            {"TMPDIR", "tmp"}};
        for (const auto &f : folders) {
            const QString path = root + QLatin1Char('/') + QLatin1String(f.folder);
            QDir().mkpath(path);
            env.insert(QLatin1String(f.variable), path);
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SONVALE_AUDIO_DEVICES"), QStringLiteral("none"));
        if (!env.contains(QStringLiteral("SONVALE_RESOURCES")))
            env.insert(QStringLiteral("SONVALE_RESOURCES"), QStringLiteral(SONVALE_SOURCE_RESOURCES));
        return env;
    }

    static ChildRun side(const QProcessEnvironment &env, const QStringList &args)
    {
        ChildRun r{QCoreApplication::applicationFilePath(), QStringList{"--side"} + args, env};
        r.env.insert(QStringLiteral("BENCH_T0_NS"), QString::number(monotonicNs()));
        return r;
    }

    static ChildResult mustPass(const ChildResult &r)
    {
        if (!r.ok)
            throw RunFailure{r.error};
        return r;
    }

    // A Sonvale run: its own time for the job, as its child reports it.
    static Measure sonvaleMeasure(const ChildResult &r)
    {
        Measure m;
        m.peakMiB = r.peakMiB;
        bool timed = false;
        for (const QByteArray &line : r.out.split('\n')) {
            if (line.startsWith("seconds ")) {
                m.seconds = line.mid(8).toDouble(&timed);
            } else if (line.startsWith("note ")) {
                m.notes << QString::fromUtf8(line.mid(5));
            } else if (line.startsWith("figure ")) {
                const qsizetype eq = line.indexOf('=');
                if (eq > 7)
                    m.figures.append({QString::fromUtf8(line.mid(7, eq - 7)), line.mid(eq + 1).toDouble()});
            }
        }
        if (!timed || !(m.seconds > 0))
            throw RunFailure{QStringLiteral("the Sonvale run reported no time: ") + QString::fromUtf8(r.out)};
        return m;
    }

    Measure sonvale(const QStringList &args)
    {
        return sonvaleMeasure(mustPass(run(side(freshUser(), args))));
    }

    // A Sonvale run timed as a peer's is, start to exit, with its job (from
    // the click) as the second figure.
    Measure sonvaleWhole(const QStringList &args)
    {
        const ChildResult r = mustPass(run(side(freshUser(), args)));
        Measure m = sonvaleMeasure(r);
        m.jobSeconds = m.seconds;
        m.seconds = r.seconds;
        return m;
    }

    static Measure peerTool(const ChildRun &r)
    {
        const ChildResult result = mustPass(run(r));
        return {result.seconds, result.peakMiB, {}, {}};
    }

    // Runs one after another: the sum of their times, the highest peak.
    static Measure peerSequence(const QList<ChildRun> &runs)
    {
        Measure m;
        for (const ChildRun &r : runs) {
            const Measure one = peerTool(r);
            m.seconds += one.seconds;
            m.peakMiB = std::max(m.peakMiB, one.peakMiB);
        }
        return m;
    }

    // Runs all at once: the group's wall time, the sum of their peaks.
    static Measure peerTogether(const QList<ChildRun> &runs)
    {
        Measure m;
        for (const ChildResult &r : runTogether(runs)) {
            mustPass(r);
            m.seconds = r.seconds;
            m.peakMiB += r.peakMiB;
        }
        return m;
    }

    static void check(const QString &wrong)
    {
        if (!wrong.isEmpty())
            throw RunFailure{wrong};
    }

    // ---- cases ----
    Case conversion(const QString &format, bool fixed);
    Case wavSplit();
    Case mp3Split();
    Case mp3SplitDefaults();
    Case manyFiles();
    Case adding();
    Case loading();
    Case startUp();

    QString m_work;
    Sizes m_sizes;
    std::unique_ptr<VirtualScreen> m_screen;
};

ChildRun tool(const QString &program, const QStringList &args)
{
    return {program, args};
}

QStringList ffmpeg(const QStringList &args)
{
    return QStringList{"-nostdin", "-v", "error", "-y"} + args;
}

Case Workbench::conversion(const QString &format, bool fixed)
{
    const bool mp3 = format == QLatin1String("mp3");
    const int seconds = m_sizes.convertSeconds;
    const QString settings = fixed ? QStringLiteral("fixed") : QStringLiteral("default");
    const Expected expected{mp3 ? QStringLiteral("mp3") : QStringLiteral("ogg"),
        mp3 ? QStringLiteral("mp3") : QStringLiteral("vorbis"), 44100, 2, double(seconds), 0.1};
    Case c;
    c.name = QStringLiteral("%1 s WAV to %2, %3 settings").arg(seconds).arg(format.toUpper(), settings);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString out = outFolder(QStringLiteral("sonvale"));
                     const Measure m = sonvale({"convert", format, settings, out, wav(seconds)});
                     check(checkFolder(out, 1, expected));
                     return m;
                 }};
    const QString ext = QLatin1Char('.') + format;
    QStringList ffmpegArgs{"-i", wav(seconds)};
    if (mp3)
        ffmpegArgs << QStringList{"-c:a", "libmp3lame"};
    else
        ffmpegArgs << QStringList{"-c:a", "libvorbis"};
    if (fixed && mp3)
        ffmpegArgs << QStringList{"-b:a", "128k", "-compression_level", "3", "-joint_stereo", "1"};
    if (fixed && !mp3)
        ffmpegArgs << QStringList{"-q:a", "3"};
    c.peers << Side{QStringLiteral("ffmpeg"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("ffmpeg")) + QStringLiteral("/out") + ext;
        const Measure m = peerTool(tool("ffmpeg", ffmpeg(ffmpegArgs + QStringList{out})));
        check(checkOutput(out, expected));
        return m;
    }};
    if (mp3) {
        const QStringList lameArgs = fixed ? QStringList{"--quiet", "-b", "128", "-q", "3", "-m", "j"} : QStringList{"--quiet"};
        c.peers << Side{QStringLiteral("lame"), [=, this](int) {
            const QString out = outFolder(QStringLiteral("lame")) + QStringLiteral("/out.mp3");
            const Measure m = peerTool(tool("lame", lameArgs + QStringList{wav(seconds), out}));
            check(checkOutput(out, expected));
            return m;
        }};
    } else {
        const QStringList oggArgs = fixed ? QStringList{"-Q", "-q", "3"} : QStringList{"-Q"};
        c.peers << Side{QStringLiteral("oggenc"), [=, this](int) {
            const QString out = outFolder(QStringLiteral("oggenc")) + QStringLiteral("/out.ogg");
            const Measure m = peerTool(tool("oggenc", oggArgs + QStringList{"-o", out, wav(seconds)}));
            check(checkOutput(out, expected));
            return m;
        }};
    }
    return c;
}

Case Workbench::wavSplit()
{
    const int partCount = m_sizes.parts;
    const int seconds = m_sizes.hourSeconds, part = seconds / partCount;
    const Expected expected{QStringLiteral("wav"), QStringLiteral("pcm_s16le"), 44100, 2, double(part), 0.0001};
    Case c;
    c.name = QStringLiteral("%1 s WAV into %2 WAV parts (splitter)").arg(seconds).arg(partCount);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString out = outFolder(QStringLiteral("sonvale"));
                     const Measure m = sonvaleWhole({"split", "wav", "fixed", QString::number(partCount), out, wav(seconds)});
                     check(checkFolder(out, partCount, expected));
                     check(checkParts(filesIn(out), wav(seconds), {qint64(part) * 44100, 2}, Decoder::Ffmpeg));
                     return m;
                 }};
    c.peers << Side{QStringLiteral("6 × sox trim"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("sox"));
        QList<ChildRun> runs;
        for (int k = 0; k < partCount; ++k)
            runs << tool("sox", {wav(seconds), out + QStringLiteral("/part%1.wav").arg(k + 1), "trim",
                                    QString::number(k * part), QString::number(part)});
        const Measure m = peerSequence(runs);
        check(checkFolder(out, partCount, expected));
        return m;
    }};
    return c;
}

Case Workbench::mp3Split()
{
    const int partCount = m_sizes.longParts;
    const int seconds = m_sizes.longSeconds, part = seconds / partCount;
    // Frame cutters cut at frame edges (26 ms) and encoders pad their last frame.
    const Expected expected{QStringLiteral("mp3"), QStringLiteral("mp3"), 44100, 2, double(part), 0.1};
    Case c;
    c.name = QStringLiteral("%1 s CBR MP3 into %2 MP3 parts (splitter, same settings: frames copied)")
                 .arg(seconds)
                 .arg(partCount);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString out = outFolder(QStringLiteral("sonvale"));
                     const Measure m = sonvaleWhole({"split", "mp3", "fixed", QString::number(partCount), out, mp3(seconds)});
                     check(checkFolder(out, partCount, expected));
                     // Copied frames: every part is its range, sample for sample.
                     check(checkPartsWithBothDecoders(filesIn(out), mp3(seconds), {qint64(part) * 44100, 2}));
                     return m;
                 }};
    c.peers << Side{QStringLiteral("mp3splt"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("mp3splt"));
        const Measure m = peerTool(tool("mp3splt", {"-Q", "-S", QString::number(partCount), "-d", out, mp3(seconds)}));
        check(checkFolder(out, partCount, expected));
        return m;
    }};
    return c;
}

Case Workbench::mp3SplitDefaults()
{
    const int partCount = m_sizes.parts;
    const int seconds = m_sizes.hourSeconds, part = seconds / partCount;
    const Expected expected{QStringLiteral("mp3"), QStringLiteral("mp3"), 44100, 2, double(part), 0.1};
    Case c;
    c.name = QStringLiteral("%1 s CBR MP3 into %2 MP3 parts (splitter, a new user's default settings: encoded anew)")
                 .arg(seconds)
                 .arg(partCount);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString out = outFolder(QStringLiteral("sonvale"));
                     const Measure m = sonvaleWhole({"split", "mp3", "default", QString::number(partCount), out, mp3(seconds)});
                     check(checkFolder(out, partCount, expected));
                     // Encoded anew: in place, but only as close as the encoder comes.
                     check(checkPartsWithBothDecoders(filesIn(out), mp3(seconds), {qint64(part) * 44100, 2, 10}));
                     return m;
                 }};
    c.peers << Side{QStringLiteral("mp3splt"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("mp3splt"));
        const Measure m = peerTool(tool("mp3splt", {"-Q", "-S", QString::number(partCount), "-d", out, mp3(seconds)}));
        check(checkFolder(out, partCount, expected));
        return m;
    }};
    c.peers << Side{QStringLiteral("6 × ffmpeg re-encode"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("ffmpeg"));
        QList<ChildRun> runs;
        for (int k = 0; k < partCount; ++k)
            runs << tool("ffmpeg", ffmpeg({"-ss", QString::number(k * part), "-t", QString::number(part), "-i",
                                       mp3(seconds), "-c:a", "libmp3lame", "-b:a", "128k",
                                       out + QStringLiteral("/part%1.mp3").arg(k + 1)}));
        const Measure m = peerSequence(runs);
        check(checkFolder(out, partCount, expected));
        return m;
    }};
    return c;
}

Case Workbench::manyFiles()
{
    const int seconds = m_sizes.manySeconds;
    const Expected expected{QStringLiteral("mp3"), QStringLiteral("mp3"), 44100, 2, double(seconds), 0.1};
    Case c;
    c.name = QStringLiteral("%1 × %2 s WAV to MP3 (converter, fixed settings)").arg(kMany).arg(seconds);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString out = outFolder(QStringLiteral("sonvale"));
                     const QStringList files = copies(wav(seconds), m_work + QStringLiteral("/in/many"), kMany);
                     const Measure m = sonvale(QStringList{"convert", "mp3", "fixed", out} + files);
                     check(checkFolder(out, kMany, expected));
                     return m;
                 }};
    c.peers << Side{QStringLiteral("8 ffmpeg at once"), [=, this](int) {
        const QString out = outFolder(QStringLiteral("ffmpeg"));
        const QStringList files = copies(wav(seconds), m_work + QStringLiteral("/in/many"), kMany);
        QList<ChildRun> runs;
        for (const QString &file : files)
            runs << tool("ffmpeg", ffmpeg({"-i", file, "-c:a", "libmp3lame", "-b:a", "128k", "-compression_level", "3",
                                       out + QLatin1Char('/') + QFileInfo(file).completeBaseName() + ".mp3"}));
        const Measure m = peerTogether(runs);
        check(checkFolder(out, kMany, expected));
        return m;
    }};
    return c;
}

Case Workbench::adding()
{
    const int count = m_sizes.addFiles;
    Case c;
    c.name = QStringLiteral("Adding %1 tagged WAV, MP3 and OGG files dropped on the main window, cache warm").arg(count);
    c.scale = 1000.0 / count;
    c.unit = QStringLiteral("ms a file");
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) { return sonvale({"add", taggedFolder(count)}); }};
    return c;
}

Case Workbench::loading()
{
    const int rows = m_sizes.listRows;
    Case c;
    c.name = QStringLiteral("Loading a list of %1 tagged WAV, MP3 and OGG files, cache warm (main window)").arg(rows);
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     return sonvale({"load", QString::number(rows), taggedFolder(rows)});
                 }};
    return c;
}

// The real program, exec'd on a virtual screen: a first start with nothing
// in the probe cache, then a second one, as a user starts it again.
Case Workbench::startUp()
{
    const int rows = m_sizes.listRows;
    Case c;
    c.name = QStringLiteral("Start-up of the program with the tagged list, exec to main window, second start");
    c.sonvale = {QStringLiteral("Sonvale"), [=, this](int) {
                     const QString folder = taggedFolder(rows);
                     if (!m_screen)
                         m_screen = std::make_unique<VirtualScreen>();
                     const QProcessEnvironment env = freshUser();
                     mustPass(run(side(env, {"write-list", QString::number(rows), folder})));
                     const StartUp cold = runProgram(QStringLiteral(SONVALE_PROGRAM), env, *m_screen, m_work);
                     const StartUp warm = runProgram(QStringLiteral(SONVALE_PROGRAM), env, *m_screen, m_work);
                     Measure m;
                     m.seconds = warm.shownSeconds;
                     m.peakMiB = std::max(cold.peakMiB, warm.peakMiB);
                     m.figures = {
                         {QStringLiteral("second start, busy until the list is in, s"), warm.busySeconds},
                         {QStringLiteral("second start, longest UI stall after the window, ms"), warm.stallAfterMs},
                         {QStringLiteral("second start, longest UI stall before the window, ms"), warm.stallBeforeMs},
                         {QStringLiteral("first start, to main window, s"), cold.shownSeconds},
                         {QStringLiteral("first start, busy until the list is in, s"), cold.busySeconds},
                         {QStringLiteral("first start, longest UI stall after the window, ms"), cold.stallAfterMs},
                     };
                     return m;
                 }};
    return c;
}

QList<Case> Workbench::cases()
{
    return {conversion(QStringLiteral("mp3"), false), conversion(QStringLiteral("mp3"), true),
        conversion(QStringLiteral("ogg"), false), conversion(QStringLiteral("ogg"), true), wavSplit(), mp3Split(),
        mp3SplitDefaults(), manyFiles(), adding(), loading(), startUp()};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--side") == 0) {
        int code = 0;
        {
            QApplication app(argc, argv);
            code = sideMain(QCoreApplication::arguments().mid(2));
        }
        endProcess(code);
    }
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    bool smoke = false;
    int pairs = 0;
    int rows = 0, adds = 0;
    QString only, work;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--smoke"))
            smoke = true;
        else if (a == QLatin1String("--pairs") && i + 1 < args.size())
            pairs = args[++i].toInt();
        else if (a == QLatin1String("--case") && i + 1 < args.size())
            only = args[++i];
        else if (a == QLatin1String("--work") && i + 1 < args.size())
            work = args[++i];
        else if (a == QLatin1String("--rows") && i + 1 < args.size())
            rows = args[++i].toInt();
        else if (a == QLatin1String("--add") && i + 1 < args.size())
            adds = args[++i].toInt();
        else {
            std::fprintf(stderr, "usage: bench_sonvale [--pairs N] [--case TEXT] [--work FOLDER] [--rows N] [--add N] [--smoke]\n");
            return 2;
        }
    }
    if (pairs <= 0)
        pairs = smoke ? 1 : 5;
    QTemporaryDir temp(work.isEmpty() ? QString() : work + QStringLiteral("/bench-XXXXXX"));
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 2;
    }
    Sizes sizes = smoke ? kSmoke : kFull;
    if (rows > 0)
        sizes.listRows = rows;
    if (adds > 0)
        sizes.addFiles = adds;
    Workbench bench(temp.path(), sizes);
    QList<CaseResult> results;
    QStringList failures;
    for (const Case &c : bench.cases()) {
        if (!only.isEmpty() && !c.name.contains(only, Qt::CaseInsensitive))
            continue;
        std::fprintf(stderr, "%s\n", qPrintable(c.name));
        results << runCase(c, pairs, !smoke);
        if (!results.last().failure.isEmpty())
            failures << c.name + QStringLiteral(": ") + results.last().failure;
    }
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    const QByteArray load = loadavg.open(QIODevice::ReadOnly) ? loadavg.readAll().trimmed() : QByteArray("?");
    std::printf("%d rounds%s, %d cores, load average at the end %s\n\n%s\n", pairs, smoke ? "" : " after a warm-up",
                QThread::idealThreadCount(), load.constData(), qPrintable(table(results)));
    for (const CaseResult &r : results) {
        for (const QString &note : r.notes)
            std::printf("%s: Sonvale's settings: %s\n", qPrintable(r.name), qPrintable(note));
    }
    for (const QString &f : failures)
        std::fprintf(stderr, "FAILED %s\n", qPrintable(f));
    return failures.isEmpty() && !results.isEmpty() ? 0 : 1;
}
