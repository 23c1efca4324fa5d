#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
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

  private:
    std::vector<QDBusPendingCall> pending_;
};

}  // namespace tessal
