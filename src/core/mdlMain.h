#pragma once

#include <QString>

// The program's entry, the start-up sequence and the size text of a total.
namespace mdlMain {
// Runs the start-up, then the event loop; answers the process exit code.
int Main();

// The size text of a byte total ("0", "999", "0.98 KB", "1.00 MB"; empty for a negative count).
QString FormatByteSize(qint64 bytes);
}
