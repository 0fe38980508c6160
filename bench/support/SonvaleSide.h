#pragma once

#include <QStringList>

// The bench's own child process, which drives the program's real windows
// headless with the program's settings as a fresh installation has them: one
// job, timed from the click that starts it to the window's end of the job.
// It prints its figures to stdout ("seconds 1.234", "figure <name>=<value>")
// and fails with a message when the job failed or its result is wrong.
//
//   --side convert <mp3|ogg> <default|fixed> <destination> <file>...
//   --side split <wav|mp3> <default|fixed> <parts> <destination> <file>
//   --side add <folder>                 (every file of folder, cold then warm)
//   --side write-list <rows> <folder>   (untimed: the settings and the list the start-up loads)
//   --side load <rows> <folder>         (the first rows files of folder, cold then warm)
//
// The per-user folders come from the environment the bench sets (HOME,
// XDG_*, SONVALE_HOME, SONVALE_REGISTRY_DIR); BENCH_T0_NS is the bench's
// monotonic clock when it started the child.
namespace Bench {

int sideMain(const QStringList &args);

// The MP3 and OGG settings the fixed runs use on every side: CBR 128 kbit/s,
// LAME quality 3, joint stereo, 44.1 kHz; Vorbis quality 3.
inline constexpr int kFixedMp3Bitrate = 128;
inline constexpr int kFixedMp3Quality = 3;
inline constexpr int kFixedOggQuality = 3;

} // namespace Bench
