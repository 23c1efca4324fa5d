#pragma once

#include <QImage>
#include <QString>
#include <map>
#include <memory>

#include "base/UserError.h"

namespace tessal {

// The fast path on wlroots compositors (sway and others): each output's pixels through the
// wlr-screencopy protocol, without the pointer, on a connection of our own. No dialog, no
// file, no permission step.
class Screencopy {
  public:
    // Null when there is no Wayland display or it does not offer screencopy.
    static std::unique_ptr<Screencopy> open();
    ~Screencopy();

    // Every output's picture at its own pixel size, by output name ("HEADLESS-1", "DP-1").
    Result<std::map<QString, QImage>> captureOutputs(int timeoutMs = 2000);

    struct State;  // the connection and its globals

  private:
    explicit Screencopy(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace tessal
