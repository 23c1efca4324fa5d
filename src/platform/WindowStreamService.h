#pragma once

#include <QImage>
#include <functional>
#include <memory>

#include "base/UserError.h"

namespace tessal {

class DefaultsStore;
class SerialQueue;

// A running stream of one window's content; stops when destroyed.
class WindowStream {
  public:
    virtual ~WindowStream() = default;
};

// Live frames of one window, independent of what covers it: 32-bit BGRA at the window's pixel
// size, at most 60 a second, only when its content changed, delivered on `queue`. Only a few wait
// there at a time: a change made while `onFrame` is behind is delivered once it catches up.
class WindowStreamService {
  public:
    // The code of a stream's own failures (domain "Zelmar"): the window's content cannot be
    // read, apart from the long capture's own checks (5: moved, resized or closed).
    static constexpr int readFailure = 7;

    virtual ~WindowStreamService() = default;
    // Whether frames show what covers the window (the screen as shown, not the window's own
    // content), our own windows included.
    virtual bool showsCoveringWindows() const { return false; }
    // Where lasting answers of the desktop (a screen-cast permission) are kept.
    virtual void useDefaults(DefaultsStore&) {}
    virtual Result<std::unique_ptr<WindowStream>> start(
        unsigned window, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
        std::function<void(const UserError& error)> onStop) = 0;
};

}  // namespace tessal
