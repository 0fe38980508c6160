#pragma once

#include <QObject>
#include <QSignalSpy>
#include <QString>

// Every test runs in fresh per-user folders (HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME, SONVALE_HOME, SONVALE_REGISTRY_DIR) inside a temporary folder
// with the scripted seams installed and the settings root installed.
namespace TestEnv {
// The temporary folder of the running test (no trailing "/").
QString root();
// A folder for the test's own files (inputs, outputs), created.
QString workFolder();
// Installs the settings root with its keys only: every subkey present and empty.
void installSettingsRoot();
// A fresh installation as a new user has it: the settings root made by the
// installer alone, starting values included, and nothing else.
void installShippedSettings();
// Removes the whole registry, as on a machine where the program was never installed.
void removeSettingsRoot();
}

// Runs the event loop until spy has at least count signals, or the time-out
// passes; answers whether they arrived.
bool waitForSignal(QSignalSpy &spy, int count = 1, int timeoutMs = 30000);

// Runs the event loop until predicate holds or the time-out passes.
template <typename Predicate>
bool waitUntil(Predicate predicate, int timeoutMs = 30000);

// Delivers every event already queued for this thread, and what those post in
// turn: each round posts a marker at the end of the queue and runs the loop
// until the marker comes up. Once a job's worker has ended, counts read after
// this include every signal it queued, so a test can tell that a second,
// stray one never came.
void flushEvents(int rounds = 3);

#include "support/TestEnvironment.inl"
