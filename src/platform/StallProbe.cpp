#include "platform/StallProbe.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QWindow>

#include <chrono>
#include <time.h>

namespace {

const QEvent::Type kTick = static_cast<QEvent::Type>(QEvent::registerEventType());
// Waits shorter than this are no stall worth a line.
constexpr qint64 kReportNs = 10'000'000;

} // namespace

std::unique_ptr<StallProbe> StallProbe::fromEnvironment()
{
    const QByteArray path = qgetenv("SONVALE_STALL_PROBE");
    if (path.isEmpty() || !QCoreApplication::instance())
        return nullptr;
    std::FILE *report = std::fopen(path.constData(), "a");
    if (!report)
        return nullptr;
    return std::make_unique<StallProbe>(report);
}

StallProbe::StallProbe(std::FILE *report)
    : m_report(report)
{
    QCoreApplication::instance()->installEventFilter(this);
    m_watcher = std::thread([this] { watch(); });
}

StallProbe::~StallProbe()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_served.notify_all();
    m_watcher.join();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    std::fclose(m_report);
}

qint64 StallProbe::nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void StallProbe::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_postedNs = nowNs();
        QCoreApplication::postEvent(this, new QEvent(kTick), Qt::HighEventPriority);
        m_served.wait(lock, [this] { return m_stop || m_postedNs == 0; });
        m_served.wait_for(lock, std::chrono::milliseconds(1), [this] { return m_stop; });
    }
}

bool StallProbe::event(QEvent *event)
{
    if (event->type() != kTick)
        return QObject::event(event);
    const qint64 now = nowNs();
    qint64 waited = 0;
    {
        const std::lock_guard lock(m_mutex);
        waited = now - m_postedNs;
        m_postedNs = 0;
    }
    m_served.notify_all();
    if (waited >= kReportNs)
        write("stall %lld %lld\n", now, waited / 1000);
    return true;
}

bool StallProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_shown && event->type() == QEvent::Expose) {
        auto *window = qobject_cast<QWindow *>(watched);
        if (window && window->isExposed()) {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->windowHandle() == window && qobject_cast<QMainWindow *>(w)) {
                    m_shown = true;
                    write("shown %lld\n", nowNs());
                    break;
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void StallProbe::write(const char *format, qint64 a, qint64 b)
{
    std::fprintf(m_report, format, static_cast<long long>(a), static_cast<long long>(b));
    std::fflush(m_report);
}
