#pragma once

// Owning handles for the libcdio and paranoia objects the CD controls use,
// so that no error path leaks a device or a drive.
// Closing a libcdio or paranoia object can log, so it happens under the lock.

#include "controls/cd/CdioLock.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <memory>

namespace cd {

struct CdioDeleter {
    void operator()(CdIo_t *p) const {
        CdioLock lock;
        cdio_destroy(p);
    }
};
// The drive borrows the CdIo_t it was identified on; the Cdio handle owns it.
struct DriveDeleter {
    void operator()(cdrom_drive_t *d) const {
        CdioLock lock;
        cdio_cddap_close_no_free_cdio(d);
    }
};
struct ParanoiaDeleter {
    void operator()(cdrom_paranoia_t *p) const {
        CdioLock lock;
        cdio_paranoia_free(p);
    }
};

using Cdio = std::unique_ptr<CdIo_t, CdioDeleter>;
using Drive = std::unique_ptr<cdrom_drive_t, DriveDeleter>;
using Paranoia = std::unique_ptr<cdrom_paranoia_t, ParanoiaDeleter>;

} // namespace cd
