#pragma once

#include "controls/cd/BurnDevices.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Everything one audio disc needs, copied from the control when it starts.
struct AudioCdRequest {
    BurnDevice device;
    QStringList files; // source audio files, one track each, in disc order
    qint32 speed = 0; // KB/s; 0 or 65535 for the drive's fastest
    bool closeDisc = true; // false leaves the disc open for another session
};

// Writes audio tracks onto a blank CD in one pass (session at once). First
// every source is decoded and brought to CD audio (44.1 kHz, 16-bit stereo)
// into a cache file; then the cached tracks are written, by libburn onto a
// real drive, or into a BIN/CUE image by the image drive. An image is written
// under temporary names and renamed only when complete; on failure or abort
// nothing is left under either name.
class AudioCdJob {
public:
    enum class Result { Done, Aborted, Failed };
    // Called on the worker thread; tracks count from 1.
    struct Events {
        std::function<void(int track)> caching;
        std::function<void(int percent)> progress; // of the step under way
        std::function<void(int track)> writing;
        std::function<void(int percent, int track)> trackProgress;
        std::function<void()> closingTrack;
        std::function<void()> closingSession;
    };

    explicit AudioCdJob(AudioCdRequest request);

    Result run(const std::atomic<bool> &abort, const Events &events);
    qint32 errorCode() const { return m_code; }
    QString errorText() const { return m_error; }

    // The files the image drive at path writes: path with its suffix
    // replaced by "cue" and "bin".
    static QString cueOf(const QString &path);
    static QString binOf(const QString &path);

    // Whether the file opens as audio the burner can decode.
    static bool isAudio(const QString &path);

private:
    Result fail(qint32 code, const QString &text);
    Result cache(int index, const QString &path, const std::atomic<bool> &abort, const Events &events);
    Result writeImage(const std::atomic<bool> &abort, const Events &events);
    Result writeDisc(const std::atomic<bool> &abort, const Events &events);

    AudioCdRequest m_request;
    QString m_cacheFolder;
    QStringList m_cached; // raw CD audio per track, whole sectors
    QVector<qint64> m_sectors;
    qint32 m_code = 0;
    QString m_error;
};
