#pragma once

namespace tessal {

// Uptime in seconds from a monotonic source. Throttles and timeouts read time only through a
// Clock so tests can drive it.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double uptime() const = 0;
};

class SystemClock final : public Clock {
  public:
    double uptime() const override;
    static SystemClock& shared();
};

class ManualClock final : public Clock {
  public:
    explicit ManualClock(double start = 1000.0) : now_(start) {}
    double uptime() const override { return now_; }
    void advance(double seconds) { now_ += seconds; }
    void set(double seconds) { now_ = seconds; }

  private:
    double now_;
};

}  // namespace tessal
