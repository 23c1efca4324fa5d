#pragma once

#include "platform/AccessibilityService.h"

namespace tessal {

// Accessibility over AT-SPI: trusted when the accessibility bus answers and reports itself
// enabled (org.a11y.Status.IsEnabled on the session bus).
class AtspiAccessibility final : public AccessibilityService {
  public:
    explicit AtspiAccessibility(int timeoutMs = 250) : timeoutMs_(timeoutMs) {}
    bool isTrusted() override;
    bool requestTrust() override;

  private:
    int timeoutMs_;
};

}  // namespace tessal
