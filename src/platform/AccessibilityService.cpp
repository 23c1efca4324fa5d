#include "AccessibilityService.h"

#include <algorithm>

namespace tessal {
namespace {
thread_local std::optional<double> threadDeadline;
}

AccessibilityDeadline::AccessibilityDeadline(double uptime) : previous_(threadDeadline) {
    threadDeadline = previous_ ? std::min(*previous_, uptime) : uptime;
}

AccessibilityDeadline::~AccessibilityDeadline() {
    threadDeadline = previous_;
}

std::optional<double> AccessibilityDeadline::current() {
    return threadDeadline;
}

}  // namespace tessal
