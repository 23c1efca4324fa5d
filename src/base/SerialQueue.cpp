#include "SerialQueue.h"

#include <pthread.h>
#include <map>
#include <memory>
#include <vector>

namespace tessal {

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {
    thread_ = std::thread([this] { run(); });
    // Thread names are limited to 15 characters; keep the distinctive end of the label.
    const std::string shortName = label_.size() > 15 ? label_.substr(label_.size() - 15) : label_;
    pthread_setname_np(thread_.native_handle(), shortName.c_str());
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

namespace {

std::mutex registryMutex;
std::map<std::string, std::unique_ptr<SerialQueue>>& registry() {
    static std::map<std::string, std::unique_ptr<SerialQueue>> queues;
    return queues;
}

}  // namespace

SerialQueue& SerialQueue::named(const std::string& label) {
    std::lock_guard lock(registryMutex);
    auto& slot = registry()[label];
    if (!slot) slot = std::make_unique<SerialQueue>(label);
    return *slot;
}

std::function<void(std::function<void()>)> SerialQueue::submitter(const std::string& label) {
    SerialQueue* queue = &named(label);
    return [queue](std::function<void()> work) { queue->async(std::move(work)); };
}

void SerialQueue::closeAll() {
    std::vector<SerialQueue*> queues;
    {
        std::lock_guard lock(registryMutex);
        for (auto& [label, queue] : registry()) queues.push_back(queue.get());
    }
    // Closed one after another: work that hands on to another queue finds it still open or
    // already closed, never half-way.
    for (SerialQueue* queue : queues) queue->close();
}

void SerialQueue::async(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void SerialQueue::close() {
    std::unique_lock lock(mutex_);
    closed_ = true;
    if (isCurrent()) return;  // waiting on ourselves would never end
    idle_.wait(lock, [this] { return work_.empty() && !running_; });
}

void SerialQueue::flush() {
    if (isCurrent()) return;  // Waiting on ourselves would never end.
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;  // closing already waited for everything
    }
    std::mutex doneMutex;
    std::condition_variable doneCondition;
    bool done = false;
    async([&] {
        std::lock_guard lock(doneMutex);
        done = true;
        doneCondition.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneCondition.wait(lock, [&] { return done; });
}

void SerialQueue::run() {
    for (;;) {
        std::function<void()> next;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !work_.empty(); });
            if (work_.empty()) return;  // stopping, and everything submitted has run
            next = std::move(work_.front());
            work_.pop_front();
            running_ = true;
        }
        next();
        {
            std::lock_guard lock(mutex_);
            running_ = false;
        }
        idle_.notify_all();
    }
}

}  // namespace tessal
