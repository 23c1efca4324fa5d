#include "CaptureCountdown.h"

#include <cmath>

#include "base/Clock.h"
#include "base/MainQueue.h"

namespace tessal {

CaptureCountdown::CaptureCountdown(MainQueue& mainQueue, const Clock& clock)
    : mainQueue_(mainQueue), clock_(clock) {}

CaptureCountdown::~CaptureCountdown() {
    if (next_) next_->cancel();
}

bool CaptureCountdown::start(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0 || seconds > maximumSeconds) return false;
    if (next_) next_->cancel();
    deadline_ = clock_.uptime() + seconds;
    if (onTick) onTick(secondsLeft());
    scheduleNext();
    return true;
}

bool CaptureCountdown::cancel() {
    if (!deadline_) return false;
    if (next_) next_->cancel();
    next_.reset();
    deadline_.reset();
    if (onCancelled) onCancelled();
    return true;
}

int CaptureCountdown::secondsLeft() const {
    if (!deadline_) return 0;
    // A hair of tolerance: a timer that fires a microsecond early must not show one second more.
    return std::max(0, int(std::ceil(*deadline_ - clock_.uptime() - 1e-6)));
}

void CaptureCountdown::scheduleNext() {
    const double left = *deadline_ - clock_.uptime();
    // The next whole second of what is left, or the end.
    const double step = left - std::ceil(left - 1e-6) + 1.0;
    const double wait = left <= 1.0 + 1e-6 ? std::max(0.0, left) : step;
    std::weak_ptr<bool> alive = alive_;
    next_ = mainQueue_.after(wait, [this, alive] {
        if (alive.expired() || !deadline_) return;
        if (*deadline_ - clock_.uptime() <= 1e-6) {
            deadline_.reset();
            next_.reset();
            if (onFinished) onFinished();
            return;
        }
        if (onTick) onTick(secondsLeft());
        scheduleNext();
    });
}

std::optional<double> parseCaptureDelay(const QString& text) {
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > CaptureCountdown::maximumSeconds)
        return std::nullopt;
    return seconds;
}

}  // namespace tessal
