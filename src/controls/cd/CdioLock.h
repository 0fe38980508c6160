#pragma once

#include <mutex>

namespace cd {

// libcdio keeps its logging state in unguarded globals and ends the whole
// process when two threads log at the same moment. Every call into libcdio or
// paranoia (opening, reading, closing, ejecting) therefore runs under this one
// process-wide lock. Hold it briefly, a batch of sectors rather than a whole
// track, so that a rip never keeps the drive watch waiting for long.
//
// The lock may be taken again by the thread that holds it: a handle closed
// inside a locked block takes it once more in its deleter.
class CdioLock {
public:
    CdioLock();
    CdioLock(const CdioLock &) = delete;
    CdioLock &operator=(const CdioLock &) = delete;

private:
    std::unique_lock<std::recursive_mutex> m_lock;
};

} // namespace cd
