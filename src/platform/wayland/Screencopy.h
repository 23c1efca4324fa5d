#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
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
    // With `pointer`, the compositor draws the pointer into the pictures.
    Result<std::map<QString, QImage>> captureOutputs(bool pointer = false, int timeoutMs = 2000);
    // One picture of `region` (points, relative to the output named `outputName`) at the
    // output's pixel size. With `afterDamage` the compositor answers once something there
    // changed, however long that takes; a readable `wakeFd` ends the wait early with a null
    // picture.
    Result<QImage> captureRegion(const QString& outputName, const QRect& region, bool afterDamage,
                                 int wakeFd);

    // One frame's shared-memory pixels (`format` a wl_shm format) as a premultiplied picture,
    // upright; null for a format or layout it cannot read.
    static QImage picture(const uchar* pixels, int width, int height, int stride,
                          std::uint32_t format, bool yInverted);

    struct State;  // the connection and its globals

  private:
    explicit Screencopy(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace tessal
