#include "MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include "Clock.h"

namespace tessal {

void QtMainQueue::async(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

std::shared_ptr<WorkItem> QtMainQueue::after(double seconds, std::function<void()> work) {
    auto item = std::make_shared<WorkItem>();
    auto run = [item, work = std::move(work)] {
        if (!item->isCancelled()) work();
    };
    const int ms = seconds <= 0 ? 0 : static_cast<int>(seconds * 1000.0 + 0.5);
    // The timer has to be started on the main thread to fire there.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [ms, run = std::move(run)] { QTimer::singleShot(ms, QCoreApplication::instance(), run); },
        Qt::QueuedConnection);
    return item;
}

QtMainQueue& QtMainQueue::shared() {
    static QtMainQueue queue;
    return queue;
}

void ManualMainQueue::async(std::function<void()> work) {
    after(0, std::move(work));
}

std::shared_ptr<WorkItem> ManualMainQueue::after(double seconds, std::function<void()> work) {
    auto item = std::make_shared<WorkItem>();
    std::lock_guard lock(mutex_);
    entries_.emplace(std::make_pair(clock_.uptime() + std::max(0.0, seconds), sequence_++),
                     Entry{item, std::move(work)});
    return item;
}

void ManualMainQueue::runPending() {
    for (;;) {
        Entry entry;
        {
            std::lock_guard lock(mutex_);
            if (entries_.empty() || entries_.begin()->first.first > clock_.uptime()) return;
            entry = std::move(entries_.begin()->second);
            entries_.erase(entries_.begin());
        }
        if (!entry.item->isCancelled()) entry.work();
    }
}

void ManualMainQueue::advance(double seconds) {
    const double end = clock_.uptime() + seconds;
    for (;;) {
        double due;
        {
            std::lock_guard lock(mutex_);
            if (entries_.empty() || entries_.begin()->first.first > end) break;
            due = entries_.begin()->first.first;
        }
        if (due > clock_.uptime()) clock_.set(due);
        runPending();
    }
    clock_.set(end);
    runPending();
}

std::size_t ManualMainQueue::pendingCount() const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& [key, entry] : entries_) n += entry.item->isCancelled() ? 0 : 1;
    return n;
}

}  // namespace tessal
