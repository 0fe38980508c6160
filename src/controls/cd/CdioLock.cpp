#include "controls/cd/CdioLock.h"

#include <QtGlobal>

#include <cdio/cdio.h>
#include <cdio/logging.h>

namespace {

std::recursive_mutex &cdioMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

// libcdio's own handler ends the process on any error it logs, such as an
// image file it cannot parse; our callers report failures themselves. It
// runs under the lock, and touches nothing but Qt's thread-safe warning
// output, so it is safe whichever thread logs.
void logCdio(cdio_log_level_t level, const char *message)
{
    if (level >= CDIO_LOG_ASSERT)
        qWarning("libcdio: %s", message ? message : "");
}

void initCdio()
{
    // Fills the library's driver table and replaces the handler before any
    // thread makes its first call.
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_log_set_handler(logCdio);
        cdio_init();
    });
}

} // namespace

namespace cd {

CdioLock::CdioLock()
{
    initCdio();
    m_lock = std::unique_lock<std::recursive_mutex>(cdioMutex());
}

} // namespace cd
