#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QThread>
#include <memory>

#include "platform/WindowStreamService.h"

namespace tessal {

class CompositorWindows;
class PortalRemote;

// A window's pixels on Wayland: the part of its output that shows the window's content. What
// covers the window is in the pictures: no compositor gives a window's own content.
// - wlroots compositors: wlr-screencopy without the pointer, each picture after the compositor
//   saw a change there (copy_with_damage), at most 60 a second and while fewer than three wait
//   on the queue, on a connection and thread of its own;
// - elsewhere: the window's part of the screen through GNOME's own screen-cast service (which
//   asks nothing), or the desktop portal's screen cast of the display holding the window (KDE
//   and others; the desktop asks the user once, and its answer is kept in the defaults for later
//   sessions), over PipeWire. Where the portal's remote-desktop sessions may move a pointer, the
//   cast is one of those, published to `remote` for automatic scrolling while it lives.
// Windows are the compositor's (CompositorWindows); where it lists none, window N is the Nth
// display (primary first), as the window list says.
class WaylandWindowStreamService final : public WindowStreamService {
  public:
    // desktop: GNOME's own screen-cast service where it answers, else the portal.
    enum class Source { screencopy, portal, desktop };
    // TESSAL_SCREENCAST=screencopy|portal|desktop, else screencopy where the compositor offers
    // it, else desktop.
    static Source sourceFromEnvironment();

    explicit WaylandWindowStreamService(Source source = sourceFromEnvironment(),
                                        std::shared_ptr<PortalRemote> remote = nullptr);
    ~WaylandWindowStreamService() override;
    bool showsCoveringWindows() const override { return true; }
    void useDefaults(DefaultsStore& defaults) override;
    Result<std::unique_ptr<WindowStream>> start(
        unsigned window, SerialQueue& queue, std::function<void(const QImage& frame)> onFrame,
        std::function<void(const UserError& error)> onStop) override;

  private:
    Source source_;
    std::shared_ptr<PortalRemote> remote_;
    std::unique_ptr<CompositorWindows> windows_;
    bool windowsChosen_ = false;
    DefaultsStore* defaults_ = nullptr;
    // The threads asking the desktop for screen-cast sessions.
    QList<QPointer<QThread>> negotiations_;
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

// The pixels of a screen cast's frame of `whole` pixels, showing `display` (layout points), that
// show `points` (layout points): the frame's own scale, whatever the display's, with edges
// rounded to whole pixels the same way for every rectangle, so that parts cut from one frame
// line up.
QRect screenCastPixels(const QRect& points, const QRect& display, QSize whole);

}  // namespace tessal
