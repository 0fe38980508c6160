#pragma once

#include "support/AudioFixtures.h"
#include "support/SoundDevices.h"
#include "support/TestEnvironment.h"

#include <QString>

#include <cmath>

namespace Av {

inline QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// A WAV of seconds; mono files hold a pure 440 Hz tone.
inline QString toneWav(const QString &name, double seconds, Fixture::WavSpec spec = {44100, 1, 16})
{
    const QString path = work(name);
    Fixture::writeWav(path, spec, qint64(std::llround(seconds * spec.rate)));
    return path;
}

// Marks the span of a call, so a test can tell an event that arrived inside it.
struct InsideCall {
    bool inside = false;
    bool arrivedInside = false;
    void hit() { arrivedInside = arrivedInside || inside; }
    template <typename Call> auto run(Call call)
    {
        inside = true;
        auto result = call();
        inside = false;
        return result;
    }
};

} // namespace Av
