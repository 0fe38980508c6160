#include "controls/audio/cAudioConverter.h"

cAudioConverter::cAudioConverter(QObject *parent)
    : QObject(parent)
{
}

cAudioConverter::~cAudioConverter()
{
    Terminate();
}

qint32 cAudioConverter::OpenSource(const QString &path)
{
    auto source = std::make_unique<AudioDecoder>();
    QString error;
    if (!source->open(path, &error)) {
        m_source.reset();
        return 1;
    }
    m_source = std::move(source);
    return 0;
}

void cAudioConverter::CloseSource()
{
    m_source.reset();
}

qint32 cAudioConverter::Duration() const
{
    return m_source ? qint32(qMin<qint64>(m_source->durationMs(), INT32_MAX)) : 0;
}

qint32 cAudioConverter::SampleRate() const
{
    return m_source ? m_source->sampleRate() : 0;
}

qint32 cAudioConverter::Channels() const
{
    return m_source ? m_source->channels() : 0;
}

qint32 cAudioConverter::BitsPerSample() const
{
    return m_source ? m_source->bitsPerSample() : 0;
}

QString cAudioConverter::FormatSeconds(qint32 seconds) const
{
    const qint32 s = qMax(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void cAudioConverter::ReadTags(const QString &path)
{
    m_tags = AudioDecoder::readTags(path);
}

void cAudioConverter::Terminate()
{
    m_source.reset();
}
