#pragma once

#include <functional>
#include <vector>

// A fresh installation as the program starts on it: the settings root made
// by the installer alone, read by the options window and the audio format
// window, which publish their values process-wide. Those values are given
// back when the object goes, so the next test starts from what it had; the
// test's own tear-down unloads the two windows.
class FreshInstall {
public:
    FreshInstall();
    ~FreshInstall();
    FreshInstall(const FreshInstall &) = delete;
    FreshInstall &operator=(const FreshInstall &) = delete;

private:
    std::vector<std::function<void()>> m_restore;
};
