#pragma once

#include "support/TestEnvironment.h"
#include "support/ToolWindowFixture.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class cGrid;
class ToolWindow;

inline const QString kOggFormat = QStringLiteral("OGG - Ogg Media Format (*.ogg)");
inline const QString kApeFormat = QStringLiteral("APE - Monkey 's Audio (*.ape)");

// What a test row holds beyond its file.
struct RowSpec {
    int rangeStart = -1; // a range when >= 0
    int rangeLength = -1;
    QString itemName;    // the file's name when empty
    QString time;        // "0:00:NN" of the file's length when empty
    QString trackTag;
};

inline RowSpec ranged(int start, int length)
{
    RowSpec spec;
    spec.rangeStart = start;
    spec.rangeLength = length;
    return spec;
}

inline RowSpec named(const QString &itemName, const QString &trackTag = QString())
{
    RowSpec spec;
    spec.itemName = itemName;
    spec.trackTag = trackTag;
    return spec;
}

// Fresh options for every test (events off, WAV at 8 kHz mono, MP3 and OGG
// settings fit for 8 kHz tones), a main-window items grid to hand rows over
// from, and helpers to read a tool window's log and wait for its job.
class ConvertFixture : public ToolWindowFixture {
protected:
    void SetUp() override;
    // Closes the converter a test left open, as its user would.
    void TearDown() override;

    // A mono 16-bit tone of that many seconds at kRate in the work folder.
    QString makeTone(const QString &name, int seconds);
    // Appends a marked row for the file to the main grid; its number.
    int addRow(const QString &path, const RowSpec &spec = {});
    QList<int> allRows() const;

    // The destination folder of the tests, with its closing "/".
    QString destination() const;
    QStringList writtenFiles() const;
    static qint64 wavFrames(const QString &path);
    static void writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);
    static QString balloonText(const QString &text);
};
