#pragma once

#include <QRect>
#include <QString>
#include <memory>

#include "platform/WindowStreamService.h"

namespace tessal {

class CompositorWindows;

// A window's pixels on wlroots compositors: the part of its output that shows the window's
// content, through wlr-screencopy without the pointer, each picture after the compositor saw a
// change there (copy_with_damage), at most 60 a second and while fewer than three wait on the
// queue, on a connection and thread of its own. What covers the window is in the pictures: the
// compositor gives no window's own content. Windows are the compositor's (CompositorWindows);
// where it lists none, window N is the Nth display (primary first), as the window list says.
class WaylandWindowStreamService final : public WindowStreamService {
  public:
    WaylandWindowStreamService();
    ~WaylandWindowStreamService() override;
    bool showsCoveringWindows() const override { return true; }
    Result<std::unique_ptr<WindowStream>> start(
        unsigned window, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
        std::function<void(const UserError& error)> onStop) override;

    // Whether the compositor offers what streaming needs.
    static bool available();

  private:
    std::unique_ptr<CompositorWindows> windows_;
    bool windowsChosen_ = false;
};

// What a stream reads of one output: the rectangle of `output` (its layout geometry, points)
// that `content` covers, relative to the output, and where that part lies in the window's
// picture of `content.size() × scale` pixels. Empty when the content is on another output.
struct OutputPart {
    QRect region;       // output-local points
    QPoint offset;      // in the window's picture, pixels
    QSize pictureSize;  // the window's whole picture, pixels
};
OutputPart outputPart(const QRect& content, const QRect& output, double scale);

}  // namespace tessal
