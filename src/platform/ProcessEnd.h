#pragma once

// Ends the process once its own objects are gone, without the libraries'
// exit-time teardown. Qt Multimedia 6.4 leaves the sound server then, and it
// does so without holding its sound loop's lock while that loop's thread is
// still serving the connection: a process that ever listed or opened a sound
// device could abort or crash after all its work was done and saved.
// Everything the program keeps is written as it changes, so nothing that
// teardown would have done is lost.
[[noreturn]] void endProcess(int code);
