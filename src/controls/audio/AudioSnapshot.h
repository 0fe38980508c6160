#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// A short window of the sound being played, as the graphs analyse it.
struct AudioSnapshot {
    int sampleRate = 0;
    std::vector<float> mono; // -1 to 1, oldest first
    float peakLeft = 0; // 0 to 1
    float peakRight = 0;
};

// The player hands its sound to the graphs as one 32-bit value (the window
// passes it on without looking at it), so the value is a ticket for a
// snapshot kept here. Only the most recent snapshots are kept; an old or
// unknown ticket, and 0, find nothing.
namespace AudioSnapshots {
qint32 publish(std::shared_ptr<const AudioSnapshot> snapshot);
std::shared_ptr<const AudioSnapshot> find(qint32 ticket);
} // namespace AudioSnapshots
