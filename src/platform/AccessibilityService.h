#pragma once

namespace tessal {

// The desktop's accessibility service.
class AccessibilityService {
  public:
    virtual ~AccessibilityService() = default;
    // Whether accessibility is on for this session; cheap, never asks the user.
    virtual bool isTrusted() = 0;
    // Turns accessibility on where the desktop allows it; returns the resulting trust.
    virtual bool requestTrust() = 0;
};

}  // namespace tessal
