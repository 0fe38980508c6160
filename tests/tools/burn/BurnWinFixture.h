#pragma once

#include "support/TestEnvironment.h"
#include "support/ToolWindowFixture.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

class cGrid;
class ToolWindow;

// Fresh options for every test (events off, MP3 settings fit for 8 kHz
// tones), a main-window items grid to hand rows over from, the burner drives
// as image files of the work folder, and helpers to read a window's log.
class BurnWinFixture : public ToolWindowFixture {
protected:
    void SetUp() override;

    // Gives the burners these image files as their drives ("stdio:" + path).
    static void useDrives(const QStringList &images);
    static void noDrives();

    // A mono 16-bit tone of that many seconds at 8 kHz in the work folder.
    QString makeTone(const QString &name, int seconds, double frequency);
    // Appends a marked row for the file to the main grid.
    int addRow(const QString &path, const QString &time = QString());
    QList<int> allRows() const;

    static QString work(const QString &name);
    // The program folder's temporary folder of the data CD burner, without "/".
    static QString tempFolder();
    static QStringList filesIn(const QString &folder);
    static QString balloon(const QString &text);
};

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
