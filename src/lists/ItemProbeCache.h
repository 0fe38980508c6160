#pragma once

#include "controls/audio/AudioTags.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

// What the probes learnt of audio files, kept in one file beside the lists
// but apart from them (the list file format stays as it is), so that loading
// a list again or starting again reads no audio file whose facts are known.
// An entry holds for a path while the file keeps its size and modification
// time; a changed or missing file is probed again.
//
// The file is read once, by whichever thread first asks for an entry, and
// merged back by save(): under a lock file the entries on disk are read
// again (another instance may have added some), ours go over them and the
// whole is written to a new file that replaces the old one in one step, so
// a reader never sees half a file and no instance loses another's entries.
// A file that is damaged, cut short or of another version is taken as empty
// and is replaced at the next save. Lookups and additions may come from
// several threads at once.
class ItemProbeCache {
public:
    struct Facts {
        bool audio = false;
        qint32 durationMs = 0;
        AudioTags tags;
        bool operator==(const Facts &) const = default;
    };

    explicit ItemProbeCache(QString file);
    ItemProbeCache(const ItemProbeCache &) = delete;
    ItemProbeCache &operator=(const ItemProbeCache &) = delete;

    // The cache file of this user.
    static QString defaultFile();

    // Reads the file now, if no thread has yet, so that the first lookups
    // need not wait for it.
    void preload() { loadOnce(); }
    std::optional<Facts> find(const QString &path, qint64 size, qint64 modifiedNs);
    void put(const QString &path, qint64 size, qint64 modifiedNs, const Facts &facts);
    // Whether anything was put (or a known entry used on another day) since
    // the file was read; only then does save() write.
    bool changed() const;
    // Merges the entries into the file as above; false when it could not be
    // written (the file on disk is then as it was).
    bool save();

    // At most this many entries are kept; the ones used longest ago go first.
    static constexpr int kMaxEntries = 200'000;

private:
    struct Entry {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        quint32 usedDay = 0; // days since 1970 of the last use
        Facts facts;
    };
    using Entries = QHash<QString, Entry>;

    void loadOnce();
    static Entries readFile(const QString &file);
    static QByteArray encode(const Entries &entries);
    static std::optional<Entries> decode(const QByteArray &bytes);

    const QString m_file;
    std::once_flag m_loaded;
    mutable std::mutex m_mutex;
    Entries m_entries;  // guarded by m_mutex
    Entries m_learnt;   // what this run put or used anew, guarded by m_mutex
    quint32 m_today = 0;
};
