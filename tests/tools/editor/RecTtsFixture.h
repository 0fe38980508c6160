#pragma once

#include "support/ScriptedServices.h"
#include "support/SoundDevices.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QString>
#include <QStringList>

class frmMain;
class QPlainTextEdit;

// The main window over one empty items list ("Takes", selected), fresh
// options, and helpers to read a log and the list back.
class RecTtsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    frmMain &main() const;
    // A 16-bit mono tone of that many milliseconds in the work folder.
    static QString tone(const QString &name, int ms, int rate = 8000);
    static QString work(const QString &name);
    // The "COL_FILE" cells of the main grid, in order.
    QStringList listedFiles() const;
    // The "<COL_FILE>" values of the list file as stored.
    QStringList storedFiles() const;
    // The log's entries without their times; an empty line stays an empty entry.
    static QStringList logEntries(const QPlainTextEdit *log);
    static QStringList messages() { return testServices().prompter->messageTexts(); }
    // Runs the event loop until an add of files to the list has ended.
    static bool addEnded();

    QString listFile;
};

