#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QThread>
#include <chrono>
#include <vector>

namespace tessal {

// Input events sent to a desktop service without waiting for each answer: a busy compositor
// answers late (GNOME's compositing thread is its main thread). They go in order on the one
// connection, and their answers are looked at when the next events come.
class PostedCalls {
  public:
    void post(const QDBusConnection& bus, const QDBusMessage& message, int timeoutMs) {
        pending_.push_back(bus.asyncCall(message, timeoutMs));
    }
    // False once one of the calls was answered with an error; they are then all forgotten.
    bool allTaken() {
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (!it->isFinished()) {
                ++it;
                continue;
            }
            if (it->isError()) {
                pending_.clear();
                return false;
            }
            it = pending_.erase(it);
        }
        return true;
    }
    void clear() { pending_.clear(); }

    // GNOME adds a remote session's pointer to its seat at the session's first pointer event,
    // on a thread of its own, and drops the events that come before it is there (seen: a
    // session's first turn lost); no answer tells when. Once a session's first event is sent,
    // the events that follow wait until kSeatSettle has passed.
    void firstEventSent() { settled_ = std::chrono::steady_clock::now() + kSeatSettle; }
    void awaitSeat() const {
        const auto early = settled_ - std::chrono::steady_clock::now();
        if (early > std::chrono::steady_clock::duration::zero())
            QThread::msleep(std::chrono::ceil<std::chrono::milliseconds>(early).count());
    }

  private:
    static constexpr std::chrono::milliseconds kSeatSettle{200};
    std::vector<QDBusPendingCall> pending_;
    std::chrono::steady_clock::time_point settled_;
};

}  // namespace tessal
