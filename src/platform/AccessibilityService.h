#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "base/geometry.h"

namespace tessal {

// One element of an application's accessibility tree. Two elements are the same when both
// parts are equal.
struct AccessibleElement {
    QString service;
    QString path;
    friend bool operator==(const AccessibleElement&, const AccessibleElement&) = default;
};

// While one of these lives, every blocking call of an accessibility service made from the same
// thread gives up at `uptime` (seconds of the system uptime) at the latest, whatever its own
// timeout: a query's budget covers all of its calls, so one application that never answers
// cannot hold the accessibility worker beyond it.
class AccessibilityDeadline {
  public:
    explicit AccessibilityDeadline(double uptime);
    ~AccessibilityDeadline();
    AccessibilityDeadline(const AccessibilityDeadline&) = delete;
    AccessibilityDeadline& operator=(const AccessibilityDeadline&) = delete;
    // The deadline in force on this thread, if any.
    static std::optional<double> current();

  private:
    std::optional<double> previous_;
};

// The desktop's accessibility service. Element calls may block while the other application
// answers; each gives up after its own timeout, or earlier at the thread's deadline.
class AccessibilityService {
  public:
    virtual ~AccessibilityService() = default;
    // Whether accessibility is on for this session; cheap, never asks the user.
    virtual bool isTrusted() = 0;
    // Turns accessibility on where the desktop allows it; returns the resulting trust.
    virtual bool requestTrust() = 0;

    virtual std::optional<AccessibleElement> application(int pid) = 0;
    // The application's top-level windows.
    virtual std::vector<AccessibleElement> windows(const AccessibleElement& application) = 0;
    // The deepest element at a point (top-left-origin global points).
    virtual std::optional<AccessibleElement> elementAt(const AccessibleElement& application,
                                                       Point point) = 0;
    virtual std::optional<AccessibleElement> parent(const AccessibleElement& element) = 0;
    // The element's frame in top-left-origin global points.
    virtual std::optional<Rect> frame(const AccessibleElement& element) = 0;
    // The first `limit` children.
    virtual std::vector<AccessibleElement> children(const AccessibleElement& element,
                                                    int limit) = 0;
    // Readies an application's tree for queries (best effort).
    virtual void prepare(const AccessibleElement& application) = 0;
    // The display layout changed or a capture starts; called on the main thread.
    virtual void refreshDisplays() {}
};

}  // namespace tessal
