#pragma once

// What a freshly started program holds in its process-wide variables: the
// options, the audio format settings, the edition table, the offered
// destination formats, the shared file-dialog record, the closing flag and
// the environment the program reads. The test main remembers it once before
// the first test and puts it back before every test, so no test sees what
// another left behind; nothing else calls these.
namespace FreshState {
// Takes the values as they stand now; called once, before any test runs.
void remember();
// Puts every remembered value back.
void restore();
}
