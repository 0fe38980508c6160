#include "controls/audio/cAudioJoin.h"

#include <memory>

cAudioJoin::cAudioJoin(QObject *parent)
    : QObject(parent)
{
}

cAudioJoin::~cAudioJoin()
{
    Terminate();
}

qint32 cAudioJoin::FileCount() const
{
    return qint32(m_files.size());
}

void cAudioJoin::AddFile(const QString &path, qint32 start, qint32 length)
{
    m_files.append(AudioJobItem{path, start, length});
}

void cAudioJoin::RemoveFile(qint32 index)
{
    if (index >= 1 && index <= m_files.size())
        m_files.removeAt(index - 1);
}

QString cAudioJoin::GetFile(qint32 index, qint32 &start, qint32 &length) const
{
    if (index < 1 || index > m_files.size())
        return {};
    const AudioJobItem &item = m_files[index - 1];
    start = item.startSeconds;
    length = item.lengthSeconds;
    return item.path;
}

void cAudioJoin::Join()
{
    m_runner.start(
        this, std::make_shared<AudioJob>(m_settings, m_tags, m_destFile, m_files),
        [this](int item, int percent) { emit Progress(item + 1, percent); },
        jobEnding(this));
}

void cAudioJoin::Abort()
{
    m_runner.abort();
}

void cAudioJoin::AbortCleanup()
{
    // The job writes under a temporary name and removes it itself when it
    // stops, so there is nothing left to clean; the Aborted event follows.
    m_runner.abort();
}

void cAudioJoin::Terminate()
{
    m_runner.stop();
}
