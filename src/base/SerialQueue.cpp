#include "SerialQueue.h"

#include <pthread.h>
#include <map>
#include <memory>

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

SerialQueue& SerialQueue::named(const std::string& label) {
    static std::mutex registryMutex;
    static std::map<std::string, std::unique_ptr<SerialQueue>> registry;
    std::lock_guard lock(registryMutex);
    auto& slot = registry[label];
    if (!slot) slot = std::make_unique<SerialQueue>(label);
    return *slot;
}

void SerialQueue::async(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void SerialQueue::flush() {
    if (isCurrent()) return;  // Waiting on ourselves would never end.
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
        }
        next();
    }
}

}  // namespace tessal
