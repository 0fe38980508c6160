#pragma once

#include "support/CdFixtures.h"
#include "support/TestEnvironment.h"
#include "support/ToolWindowFixture.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <memory>

class cGrid;
class frmCDRipper;
class QPlainTextEdit;


// The seven tag cells of a track's row.
struct TrackTags {
    QString album, artist, comment, genre, year, title, track;
};

// Fresh options for every test (events off, CD-quality WAV as the
// destination), a main items grid holding the tracks of a CD drive node as
// the main window lists them, and generated discs given as the CD drives.
class RipFixture : public ToolWindowFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a BIN/CUE image into the work folder; answers the CUE path.
    static QString makeDisc(const QString &name, const QVector<CdFixture::Track> &tracks);
    // The images (or paths) become the program's CD drives, in order.
    static void useDrives(const QStringList &paths);
    // Appends the row of track n of drive D: to the main grid.
    int addTrack(int seconds, bool marked, const TrackTags &tags = {});
    // Loads the ripper, hands it the main grid as the dispatcher does and
    // waits for its drive check.
    frmCDRipper &openRipper(const QString &nodeText = QStringLiteral("Audio CD"),
                            const QString &drive = QStringLiteral("D:"));
    // The destination folder of the tests, with its closing "/".
    static QString destination();
};
