#include "platform/ProcessEnd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// A library whose exit-time teardown fails can no longer turn a finished run
// into a crash, and what the process wrote through the C library's buffers
// still reaches its file.
TEST(ProcessEnd, TheCodeStandsNoExitTeardownRunsAndBufferedTextIsKept)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::atexit([] { std::abort(); });
            std::fputs("kept", stderr);
            endProcess(7);
        },
        ::testing::ExitedWithCode(7), "kept$");
}
