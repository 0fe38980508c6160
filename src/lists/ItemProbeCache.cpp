#include "lists/ItemProbeCache.h"

#include "platform/AppPaths.h"
#include "platform/SafeWrite.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <vector>

namespace {

// The file starts with this line, then a version number, the payload's
// length, the payload and a checksum of the payload.
constexpr char kMagic[] = "Sonvale probe cache\n";
constexpr qsizetype kMagicSize = sizeof(kMagic) - 1;
constexpr quint32 kVersion = 1;
constexpr qsizetype kHeaderSize = kMagicSize + 4 + 8;
// A merge waits this long for another instance's merge to end.
constexpr int kLockWaitMs = 5000;

// FNV-1a: enough to tell a damaged or half-written file from a whole one.
quint64 checksum(const char *data, qsizetype size)
{
    quint64 h = 0xcbf29ce484222325ull;
    for (qsizetype i = 0; i < size; ++i) {
        h ^= quint8(data[i]);
        h *= 0x100000001b3ull;
    }
    return h;
}

quint32 today()
{
    return quint32(QDateTime::currentSecsSinceEpoch() / 86400);
}

} // namespace

ItemProbeCache::ItemProbeCache(QString file)
    : m_file(std::move(file))
    , m_today(today())
{
}

QString ItemProbeCache::defaultFile()
{
    return AppPaths::cacheFolder() + QStringLiteral("/probes");
}

void ItemProbeCache::loadOnce()
{
    std::call_once(m_loaded, [this] {
        Entries read = readFile(m_file);
        const std::lock_guard lock(m_mutex);
        m_entries = std::move(read);
    });
}

std::optional<ItemProbeCache::Facts> ItemProbeCache::find(const QString &path, qint64 size, qint64 modifiedNs)
{
    loadOnce();
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (it == m_entries.end() || it->size != size || it->modifiedNs != modifiedNs)
        return std::nullopt;
    if (it->usedDay != m_today) {
        it->usedDay = m_today;
        m_learnt.insert(path, *it);
    }
    return it->facts;
}

void ItemProbeCache::put(const QString &path, qint64 size, qint64 modifiedNs, const Facts &facts)
{
    loadOnce();
    const Entry entry{size, modifiedNs, m_today, facts};
    const std::lock_guard lock(m_mutex);
    m_entries.insert(path, entry);
    m_learnt.insert(path, entry);
}

bool ItemProbeCache::changed() const
{
    const std::lock_guard lock(m_mutex);
    return !m_learnt.isEmpty();
}

bool ItemProbeCache::save()
{
    Entries learnt;
    {
        const std::lock_guard lock(m_mutex);
        learnt = m_learnt;
    }
    if (learnt.isEmpty())
        return true;
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return false;
    QLockFile merging(m_file + QStringLiteral(".lock"));
    if (!merging.tryLock(kLockWaitMs))
        return false;
    Entries merged = readFile(m_file);
    for (auto it = learnt.cbegin(); it != learnt.cend(); ++it)
        merged.insert(it.key(), it.value());
    if (merged.size() > kMaxEntries) {
        std::vector<std::pair<quint32, QString>> byUse;
        byUse.reserve(std::size_t(merged.size()));
        for (auto it = merged.cbegin(); it != merged.cend(); ++it)
            byUse.emplace_back(it->usedDay, it.key());
        const auto cut = byUse.begin() + (qsizetype(byUse.size()) - kMaxEntries);
        std::nth_element(byUse.begin(), cut, byUse.end());
        for (auto it = byUse.begin(); it != cut; ++it)
            merged.remove(it->second);
    }
    if (!SafeWrite::replaceFile(m_file, encode(merged)).isEmpty())
        return false;
    const std::lock_guard lock(m_mutex);
    for (auto it = learnt.cbegin(); it != learnt.cend(); ++it) {
        // Only what nobody put again meanwhile is written for good.
        const auto now = m_learnt.constFind(it.key());
        if (now != m_learnt.cend() && now->size == it->size && now->modifiedNs == it->modifiedNs
            && now->usedDay == it->usedDay && now->facts == it->facts)
            m_learnt.remove(it.key());
    }
    return true;
}

ItemProbeCache::Entries ItemProbeCache::readFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return decode(f.readAll()).value_or(Entries());
}

QByteArray ItemProbeCache::encode(const Entries &entries)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << quint32(entries.size());
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            const Entry &e = it.value();
            const AudioTags &t = e.facts.tags;
            out << it.key() << e.size << e.modifiedNs << e.usedDay << quint8(e.facts.audio ? 1 : 0)
                << e.facts.durationMs << t.album << t.artist << t.comment << t.genre << t.title << t.track << t.year;
        }
    }
    QByteArray head;
    {
        QDataStream out(&head, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kVersion << quint64(payload.size());
    }
    QByteArray sum;
    {
        QDataStream out(&sum, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << checksum(payload.constData(), payload.size());
    }
    return QByteArray(kMagic, kMagicSize) + head + payload + sum;
}

std::optional<ItemProbeCache::Entries> ItemProbeCache::decode(const QByteArray &bytes)
{
    if (bytes.size() < kHeaderSize + 8 || !bytes.startsWith(QByteArray(kMagic, kMagicSize)))
        return std::nullopt;
    QDataStream header(bytes.mid(kMagicSize, 12));
    header.setVersion(QDataStream::Qt_6_0);
    quint32 version = 0;
    quint64 length = 0;
    header >> version >> length;
    if (version != kVersion || length != quint64(bytes.size() - kHeaderSize - 8))
        return std::nullopt;
    const char *payload = bytes.constData() + kHeaderSize;
    QDataStream sum(bytes.right(8));
    sum.setVersion(QDataStream::Qt_6_0);
    quint64 stored = 0;
    sum >> stored;
    if (stored != checksum(payload, qsizetype(length)))
        return std::nullopt;

    QDataStream in(QByteArray::fromRawData(payload, qsizetype(length)));
    in.setVersion(QDataStream::Qt_6_0);
    quint32 count = 0;
    in >> count;
    Entries entries;
    entries.reserve(qsizetype(qMin<quint32>(count, quint32(kMaxEntries))));
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString path;
        Entry e;
        quint8 audio = 0;
        AudioTags &t = e.facts.tags;
        in >> path >> e.size >> e.modifiedNs >> e.usedDay >> audio >> e.facts.durationMs >> t.album >> t.artist
            >> t.comment >> t.genre >> t.title >> t.track >> t.year;
        e.facts.audio = audio != 0;
        entries.insert(path, e);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return entries;
}
