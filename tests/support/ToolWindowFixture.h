#pragma once

#include "lists/ItemsListRow.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class cGrid;
class QObject;
class QPlainTextEdit;
class RowJobWindow;
class ToolWindow;

inline const QString kWavFormat = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
inline const QString kMp3Format = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
inline const QString kAcmFormat = QStringLiteral("ACM - Waveform ACM Codecs (*.wav)");
inline constexpr int kRate = 8000;

// What every tool window test starts from: no events after a job (no sound,
// no folder opened, no program started, no power off) and an items grid laid
// out as the main window's, to hand rows over from. The settings windows a
// test loads are let go afterwards, so no state passes to the next test.
class ToolWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Unloads the settings windows (as the program does when it closes) and
    // deletes what waits for deletion.
    static void unloadSettingsWindows();

    // The messages of a job log without their times, trailing blank lines
    // left out.
    static QStringList logMessages(const QPlainTextEdit *log);
    static QStringList logMessages(const ToolWindow &window);
    // Runs the event loop until the window has ended its job and the tray
    // has shown that many balloons, then a little longer, so a stray event
    // after the end would show.
    static bool waitForJobEnd(const ToolWindow &window, int balloons = 1);
    // What a row job window shows and counts at this moment, on one line:
    // status, caption, files line, both bars, the time-left counters, the
    // current row and whether it runs. Traces of a job compare these.
    static QString rowJobState(const RowJobWindow &window);

    // The records of those rows of the main grid (every row when none are
    // given), as the launcher hands them to a tool window.
    QVector<ItemsListRow::Data> mainRows(const QList<int> &rows) const;
    QVector<ItemsListRow::Data> mainRows() const;
    ItemsListRow::Data mainRow(int row) const;

    std::unique_ptr<cGrid> mainGrid;
};

// Cancels the turn-off countdown as soon as it shows and records its seconds.
class TurnOffWatcher {
public:
    TurnOffWatcher();
    ~TurnOffWatcher();
    int shown = 0;
    int seconds = 0;

private:
    class QTimer *m_timer;
};

// Calls shown with the name of every event a job control (the converter,
// the ripper) raises, with its arguments, for as long as it lives.
class ConverterEvents {
public:
    template <typename Control>
    ConverterEvents(Control *control, QObject *context, std::function<void(const QString &)> shown)
    {
        m_connections = {
            QObject::connect(control, &Control::Progress, context,
                             [shown](qint32 percent) { shown(QStringLiteral("Progress %1").arg(percent)); }),
            QObject::connect(control, &Control::Done, context, [shown] { shown(QStringLiteral("Done")); }),
            QObject::connect(control, &Control::Aborted, context, [shown] { shown(QStringLiteral("Aborted")); }),
            QObject::connect(control, &Control::Error, context,
                             [shown](qint32 code, const QString &text) {
                                 shown(QStringLiteral("Error %1 %2").arg(code).arg(text));
                             }),
        };
    }
    ~ConverterEvents();
    ConverterEvents(const ConverterEvents &) = delete;
    ConverterEvents &operator=(const ConverterEvents &) = delete;

private:
    QList<QMetaObject::Connection> m_connections;
};

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
