#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tessal {

class Clock;
class MainQueue;
class WorkItem;

// The wait of a delayed capture: the seconds left are announced on the start and at every whole
// second, the end once the full delay has passed. Starting again replaces the running wait.
class CaptureCountdown {
  public:
    // The longest delay offered (a timer, not an alarm clock).
    static constexpr double maximumSeconds = 60;

    CaptureCountdown(MainQueue& mainQueue, const Clock& clock);
    ~CaptureCountdown();

    // `seconds` within (0, maximumSeconds]; others are refused (false) and change nothing.
    bool start(double seconds);
    // Ends the wait without its end; false when none was running.
    bool cancel();
    bool running() const { return deadline_.has_value(); }
    // Whole seconds left, rounded up (0 when not running).
    int secondsLeft() const;

    std::function<void(int secondsLeft)> onTick;
    std::function<void()> onFinished;
    // Called after a cancel.
    std::function<void()> onCancelled;

  private:
    void scheduleNext();

    MainQueue& mainQueue_;
    const Clock& clock_;
    std::optional<double> deadline_;
    std::shared_ptr<WorkItem> next_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A delay as written on the command line: seconds from 0 to the maximum, fractions allowed.
std::optional<double> parseCaptureDelay(const QString& text);

}  // namespace tessal
