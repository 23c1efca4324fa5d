#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>
#include <vector>

#include "base/UserError.h"
#include "base/geometry.h"

namespace tessal {

// One display as the system lists it.
struct DisplayInfo {
    QString id;          // matches ShareableContent::displayIds
    Rect frame;          // global coordinates, points
    Rect visibleFrame;   // the frame less panels and docks, global coordinates
    double scale = 1.0;  // device pixels per point
    QRect nativeRect;    // device pixels on the root window
};

// The pointer as the display server shows it: its picture (device pixels) and where the
// picture's top-left corner lies on the root window (device pixels), hot spot accounted for.
struct PointerImage {
    QImage image;
    QPoint topLeft;
};

struct ShareableContent {
    QStringList displayIds;
};

// Keys of one window-list entry. Entries come from outside the program, so any field may be
// missing or of the wrong type; readers check each one.
namespace WindowKey {
inline constexpr const char* number = "number";
inline constexpr const char* pid = "pid";
inline constexpr const char* layer = "layer";
inline constexpr const char* alpha = "alpha";
inline constexpr const char* bounds =
    "bounds";  // map with x, y, width, height (window-list points)
// The part the window's own content stream shows (bounds less decorations), same form.
inline constexpr const char* content = "content";
// True on the window that has the keyboard focus, where the list says so.
inline constexpr const char* focused = "focused";
}  // namespace WindowKey

// Screen pixels and the window list.
class ScreenCaptureService {
  public:
    virtual ~ScreenCaptureService() = default;

    // The system's displays, primary first.
    virtual std::vector<DisplayInfo> displays() = 0;
    // Which displays can be captured now; fails when the screen cannot be read at all.
    virtual Result<ShareableContent> shareableContent() = 0;
    // One still image of the whole display, exactly pixelWidth × pixelHeight, without cursor.
    virtual Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth,
                                      int pixelHeight) = 0;
    // Visible windows front to back, in window-list coordinates.
    virtual QVariantList windowList() = 0;
    // Where the pointer is, in window-list coordinates, where the platform tells it before the
    // pointer enters a window of ours (on Wayland only some compositors do); nothing elsewhere.
    virtual std::optional<Point> pointerInWindowList() { return std::nullopt; }
    // Whether capturing the screen is allowed, without asking the user.
    virtual bool preflight() = 0;

    // Whether the screenshots taken from the next shareableContent() on show the pointer. A
    // display server that draws it into the picture itself is asked to, and true comes back;
    // false: pointerImage() is drawn in by the caller.
    virtual bool setPointerInScreenshots(bool on) { return (void)on, false; }
    // The pointer's picture now; nothing where it cannot be read.
    virtual std::optional<PointerImage> pointerImage() { return std::nullopt; }

    // Told while shareableContent() waits for the user to answer the desktop's question whether
    // Tessal may take screenshots (GNOME asks before the first one, and its dialog waits): true
    // once the wait has lasted a moment, false when it ends. Meanwhile the program's windows take
    // user input, and cancelAwaitingUser() ends the wait: the desktop withdraws its question and
    // shareableContent() fails with code `cancelledByUser`, which nobody needs to be told about.
    std::function<void(bool awaiting)> onAwaitingUser;
    virtual void cancelAwaitingUser() {}
    static constexpr int cancelledByUser = 14;

    // Looks up, while the program is idle, what the first capture would otherwise wait for
    // (names and formats the display server knows things by). Holds no picture memory.
    virtual void warmUp() { windowList(); }

    // Puts every display, as it is now and dimmed, in front of everything at once, before any
    // picture is read: the user sees the capture begin while the overlays are still being made.
    // Screenshots taken meanwhile show the displays as they were frozen, without the dimming.
    // The still stays until releaseFrozenDisplays. By default there is nothing to put up and the
    // overlays appear when they are ready.
    virtual void freezeDisplays(const std::vector<DisplayInfo>& displays) { (void)displays; }
    virtual void releaseFrozenDisplays() {}
    // Draws `pixels` onto the still of the display whose frame is `displayFrame`, with their
    // top-left corner `offset` device pixels inside it: the overlay's first frame around the
    // window under the pointer, up before the overlay has painted itself. Nothing without a still.
    virtual void drawOnFrozenDisplay(const Rect& displayFrame, QPoint offset,
                                     const QImage& pixels) {
        (void)displayFrame, (void)offset, (void)pixels;
    }
};

}  // namespace tessal
