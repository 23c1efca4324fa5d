#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tessal {

// One worker thread running submitted work in submission order.
class SerialQueue {
  public:
    explicit SerialQueue(std::string label);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // The one queue with this label in the process, created on first use.
    static SerialQueue& named(const std::string& label);
    // A function that hands work to the named queue, for code that takes "where to run" as a
    // parameter (tests give it one that runs at once).
    static std::function<void(std::function<void()>)> submitter(const std::string& label);

    const std::string& label() const { return label_; }
    void async(std::function<void()> work);
    // Returns once every piece of work submitted before the call has run.
    void flush();
    // Runs what was submitted, waits for it to finish and refuses (drops) all later work, so
    // nothing runs after the objects it uses are gone. Idempotent.
    void close();
    // Closes every named queue: called at quit, before the platform services go away.
    static void closeAll();
    bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

  private:
    void run();

    std::string label_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> work_;
    bool running_ = false;
    bool closed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tessal
