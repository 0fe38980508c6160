#include "controls/audio/cAudioConverter.h"

#include "controls/audio/AcmCodecs.h"
#include "controls/audio/AudioJob.h"
#include "controls/audio/Mp3WalkCache.h"
#include "controls/audio/WmaCodecs.h"

cAudioConverter::cAudioConverter(QObject *parent)
    : QObject(parent)
    , m_jobs(this, [this](int percent) { emit Progress(percent); }, jobEnding(this))
    , m_walks(std::make_shared<Mp3WalkCache>())
{
}

cAudioConverter::~cAudioConverter()
{
    Terminate();
}

qint32 cAudioConverter::OpenSource(const QString &path)
{
    m_source = describeAudio(path);
    m_sourcePath = m_source ? path : QString();
    return m_source ? 0 : 1;
}

void cAudioConverter::CloseSource()
{
    m_source.reset();
    m_sourcePath.clear();
}

qint32 cAudioConverter::Duration() const
{
    return m_source ? m_source->durationMs32() : 0;
}

qint32 cAudioConverter::SampleRate() const
{
    return m_source ? m_source->sampleRate : 0;
}

qint32 cAudioConverter::Channels() const
{
    return m_source ? m_source->channels : 0;
}

qint32 cAudioConverter::BitsPerSample() const
{
    return m_source ? m_source->bitsPerSample : 0;
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
    const bool described = m_source && path == m_sourcePath;
    m_tags = AudioDecoder::readTags(path, described ? m_source->container : QByteArray());
}

void cAudioConverter::EnumACMTags(
    qint32 formatTag, qint32 sampleRate, qint32 channels, qint32 bitsPerSample, qint32 flags)
{
    // Only PCM sources are described by a format tag here.
    if (formatTag != AcmCodecs::kPcmFormatTag)
        return;
    for (const QString &name : AcmCodecs::tagNames(sampleRate, channels, bitsPerSample, flags))
        emit ACMTagFound(name);
}

void cAudioConverter::EnumACMFormats(const QString &tagName)
{
    if (const AcmCodecs::Tag *tag = AcmCodecs::findTag(tagName))
        for (const AcmCodecs::Format &f : tag->formats)
            emit ACMFormatFound(f.name);
}

qint32 cAudioConverter::WMACodecCount() const
{
    return qint32(WmaCodecs::codecs().size());
}

QString cAudioConverter::WMACodecName(qint32 codec) const
{
    return codec >= 0 && codec < WMACodecCount() ? WmaCodecs::codecs()[codec].name : QString();
}

qint32 cAudioConverter::WMAFormatCount(qint32 codec) const
{
    return codec >= 0 && codec < WMACodecCount() ? qint32(WmaCodecs::formats().size()) : 0;
}

QString cAudioConverter::WMAFormatName(qint32 codec, qint32 format) const
{
    if (format < 0 || format >= WMAFormatCount(codec))
        return {};
    return WmaCodecs::formats()[format].description();
}

std::shared_ptr<AudioJob> cAudioConverter::job(const AudioTags &tags, const QString &source, qint32 rangeStart,
    qint32 rangeLength, const QString &destination) const
{
    const AudioJobItem item{source, rangeStart, rangeLength};
    auto job = std::make_shared<AudioJob>(m_settings, tags, destination, QVector<AudioJobItem>{item});
    job->shareFrameWalks(m_walks);
    return job;
}

void cAudioConverter::Convert()
{
    const Range range = takeRange();
    m_jobs.start(job(m_tags, m_sourceFile, range.start, range.length, m_destFile));
}

void cAudioConverter::ConvertAhead(const QVector<ConversionAhead> &next)
{
    std::vector<std::shared_ptr<EncodingJob>> jobs;
    jobs.reserve(std::size_t(next.size()));
    for (const ConversionAhead &c : next)
        jobs.push_back(job(c.tags, c.source, c.rangeStart, c.rangeLength, c.destination));
    m_jobs.expect(jobs);
}

void cAudioConverter::Abort()
{
    m_jobs.abort();
}

void cAudioConverter::Terminate()
{
    m_jobs.stop();
    m_walks->clear();
    CloseSource();
}
