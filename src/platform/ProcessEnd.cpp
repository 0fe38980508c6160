#include "platform/ProcessEnd.h"

#include <cstdio>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

void endProcess(int code)
{
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The leak check normally runs at exit, which is skipped here.
    __lsan_do_leak_check();
#endif
    ::_exit(code);
}
