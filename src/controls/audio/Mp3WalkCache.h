#pragma once

#include "controls/audio/Mp3FrameWalk.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

// The frame walks of the sources a job control copies frames from, kept
// while the control works on them: the parts of one split, made one call
// after another and several at once, walk their source once between them.
// A walk serves while its file keeps the size and modification time it was
// taken at; the few newest are kept, and the control clears them when its
// job ends. Any thread may ask; a walk under way for one file is waited
// for, not taken twice.
class Mp3WalkCache {
public:
    Mp3WalkCache() = default;
    Mp3WalkCache(const Mp3WalkCache &) = delete;
    Mp3WalkCache &operator=(const Mp3WalkCache &) = delete;

    // path's walk, taken now unless a kept one still serves; nullptr when
    // abort was raised during the walk.
    std::shared_ptr<const Mp3FrameWalk> walk(const QString &path, const std::atomic<bool> &abort);
    void clear();

private:
    struct Slot {
        std::mutex walking;
        std::shared_ptr<const Mp3FrameWalk> walk;
    };
    struct Entry {
        QString path;
        qint64 size;
        QDateTime modified;
        std::shared_ptr<Slot> slot;
    };

    std::mutex m_mutex;
    std::deque<Entry> m_entries; // newest first
};
