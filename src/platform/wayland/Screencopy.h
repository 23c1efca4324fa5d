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
    // Null when there is no Wayland display or it does not offer screencopy. Without `pictures`:
    // a connection for freezeOutputs, where the compositor offers what it needs and perhaps no
    // screencopy.
    static std::unique_ptr<Screencopy> open(bool pictures = true);
    ~Screencopy();

    // Every output's picture at its own pixel size, by output name ("HEADLESS-1", "DP-1").
    // With `pointer`, the compositor draws the pointer into the pictures.
    Result<std::map<QString, QImage>> captureOutputs(bool pointer = false, int timeoutMs = 2000);

    // captureOutputs in two steps: the request returns at once (the compositor answers at its
    // next frame), takeOutputs waits for the answers. With `freeze`, each output also shows its
    // picture, dimmed, in front of the windows from the moment it arrives until releaseFrozen()
    // or the next request, where the compositor offers layer surfaces and viewports. False when
    // the connection is broken.
    bool requestOutputs(bool pointer, bool freeze);
    bool requested(bool pointer) const;
    Result<std::map<QString, QImage>> takeOutputs(int timeoutMs = 2000);
    void releaseFrozen();
    // Frozen outputs for pictures taken elsewhere (the desktop's portal): each output's surface
    // is configured now, and shown once showFrozen hands it its picture, the `part` (pixels) of
    // `picture` that shows the output, scaled to the output. False where they cannot be shown.
    bool freezeOutputs();
    void showFrozen(const QString& outputName, const QImage& picture, const QRect& part);
    // How many frozen outputs are on the screen.
    int frozenOutputs() const;

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

    // The `part` of `picture` (inside it) as XRGB8888 rows of the part's width, into `xrgb`.
    static void copyRows(const QImage& picture, const QRect& part, uchar* xrgb);

    struct State;  // the connection and its globals

  private:
    explicit Screencopy(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace tessal
