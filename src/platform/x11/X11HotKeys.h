#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <map>

#include "platform/HotKeyService.h"

namespace tessal {

// Hot keys as passive grabs on the root window, taken on Qt's own connection so the presses
// arrive through Qt's event dispatch.
class X11HotKeys final : public HotKeyService, public QAbstractNativeEventFilter {
  public:
    X11HotKeys();
    ~X11HotKeys() override;

    int registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey(int reference) override;
    void releaseHeldKeys() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct Grab {
        std::uint8_t keycode;
        std::uint16_t mask;
    };
    void ungrab(const Grab& grab);

    std::map<int, Grab> grabs_;
    int nextReference_ = 1;
};

}  // namespace tessal
