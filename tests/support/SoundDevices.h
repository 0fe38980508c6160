#pragma once

#include <QMediaDevices>
#include <gtest/gtest.h>

// The test script starts a sound server with a null sink and source, so
// every run has one output and one input device. A test that needs them
// asserts it; without them it fails and says why, rather than passing
// untested.
inline ::testing::AssertionResult haveOutput()
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no sound output device: the test sound server is not running";
}

inline ::testing::AssertionResult haveInput()
{
    if (!QMediaDevices::audioInputs().isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no sound input device: the test sound server is not running";
}

// Hides the sound devices from the controls for one scope.
struct NoDevices {
    NoDevices() { qputenv("SONVALE_AUDIO_DEVICES", "none"); }
    ~NoDevices() { qunsetenv("SONVALE_AUDIO_DEVICES"); }
    NoDevices(const NoDevices &) = delete;
    NoDevices &operator=(const NoDevices &) = delete;
};
