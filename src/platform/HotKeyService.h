#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace tessal {

// System-wide hot keys. Key codes and modifier bits use the hot-key encoding: Command 256,
// Shift 512, Option 2048, Control 4096.
class HotKeyService {
  public:
    virtual ~HotKeyService() = default;

    // Returns a positive reference, or 0 when the combination cannot be registered (held by
    // another program, or an unknown key).
    virtual int registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) = 0;
    virtual void unregisterHotKey(int reference) = 0;
    // Why this desktop offers no system-wide hot keys at all (what the user can do instead);
    // empty when it does.
    virtual QString unavailableReason() const { return {}; }

    // Where the desktop allows, keys typed after a hot key's press wait for the capture it
    // starts (whose overlay takes the keyboard); a press that starts none lets them go here.
    virtual void releaseHeldKeys() {}

    // Called on the main thread with the reference of the pressed hot key.
    std::function<void(int reference)> onPressed;
};

}  // namespace tessal
