#pragma once

#include "support/TestEnvironment.h"
#include "support/ToolWindowFixture.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <memory>

class cGrid;
class ToolWindow;

inline const QString kWavFormat = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
inline const QString kMp3Format = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
inline const QString kAcmFormat = QStringLiteral("ACM - Waveform ACM Codecs (*.wav)");
inline constexpr int kRate = 8000;

// The seven tag cells of an items-list row.
struct RowTags {
    QString album, artist, comment, genre, year, title, track;
};

// Fresh options for every test (events off, WAV at 8 kHz mono as the
// destination), a main-window items grid to hand rows over from, and
// helpers to read a tool window's log and wait for its job.
class ToolFixture : public ToolWindowFixture {
protected:
    void SetUp() override;

    // A mono 16-bit tone of that many samples at kRate in the work folder.
    QString makeTone(const QString &name, qint64 frames);
    // Appends a row for the file to the main grid; a range when start >= 0.
    int addRow(const QString &path, const RowTags &tags = {}, int rangeStart = -1, int rangeLength = -1);

    // The destination folder of the tests, with its closing "/".
    QString destination() const;
    // Sample frames of a PCM WAV written by the job.
    static qint64 wavFrames(const QString &path);
};
