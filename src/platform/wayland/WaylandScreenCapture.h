#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QRect>
#include <map>
#include <memory>
#include <optional>

#include "platform/ScreenCaptureService.h"

namespace tessal {

// The screen on Wayland, where a client sees no other client's pixels: each output's picture
// through wlr-screencopy where the compositor offers it (wlroots compositors) or through KWin's
// own screenshot interface where KWin grants it (Plasma), else one screenshot of the whole
// desktop through the xdg-desktop-portal Screenshot interface (non-interactive), cut into
// displays by their Qt geometries. Windows come from the compositor where it tells
// (CompositorWindows); elsewhere each display is offered as one window, so the image analysis
// still proposes the panels and windows it sees.
class CompositorWindows;
class PortalRequest;
class Screencopy;

class WaylandScreenCapture final : public ScreenCaptureService {
  public:
    // Where the pictures come from: screencopy or KWin's interface where the compositor offers
    // it, else the portal (`automatic`); or one of them only (TESSAL_SCREENSHOT=portal|screencopy,
    // for comparing).
    enum class Source { automatic, portal, screencopy };

    explicit WaylandScreenCapture(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  int timeoutMs = 15'000, Source source = sourceFromEnvironment());
    ~WaylandScreenCapture() override;
    static Source sourceFromEnvironment();

    std::vector<DisplayInfo> displays() override;
    // Takes the desktop picture that the screenshots of this capture are cut from.
    Result<ShareableContent> shareableContent() override;
    Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth, int pixelHeight) override;
    QVariantList windowList() override;
    std::optional<Point> pointerInWindowList() override;
    // False after the portal refused a screenshot, until one is granted again.
    bool preflight() override { return !refused_; }
    // screencopy draws the pointer itself; the portal's pictures never show it.
    bool setPointerInScreenshots(bool on) override {
        pointer_ = on;
        return on && source_ != Source::portal;
    }
    void cancelAwaitingUser() override;
    // Each output's picture is requested at once and shown dimmed in front of the windows the
    // moment it arrives, where the compositor offers screencopy and layer surfaces.
    void freezeDisplays(const std::vector<DisplayInfo>& displays) override;
    void releaseFrozenDisplays() override;

  private:
    QDBusConnection bus_;
    int timeoutMs_;
    // Takes the desktop picture through the portal; the failure, if any.
    std::optional<UserError> portalPicture();
    // Takes each display's picture through KWin's screenshot interface where KWin offers it to
    // us; false (and the portal is asked) where it does not.
    bool kwinPictures(const std::vector<DisplayInfo>& all);
    Screencopy* screencopy();

    Source source_;
    std::unique_ptr<Screencopy> screencopy_;
    bool screencopyOpened_ = false;
    std::unique_ptr<Screencopy> freezer_;  // the portal's pictures, frozen on the outputs
    bool freezerOpened_ = false;
    bool pointer_ = false;
    std::map<QString, QImage> outputs_;  // this capture's pictures from screencopy
    QImage desktop_;                     // or from the portal
    QImage portalPicture_;               // the memory the portal's pictures are read into
    QRect desktopLogical_;
    bool refused_ = false;
    PortalRequest* request_ = nullptr;  // while the portal's answer is awaited
    int compositorPid_ = 0;
    // The compositor's window list, chosen from the environment when first asked for.
    CompositorWindows* compositorWindows();
    std::unique_ptr<CompositorWindows> compositorWindows_;
    bool compositorWindowsChosen_ = false;
    bool kwinChecked_ = false;
    bool kwinOffered_ = false;
};

// The part of a desktop picture (covering `desktopLogical`, in Qt's logical coordinates) that
// shows `display`, at exactly `pixelSize`. Pictures made at another scale than the display's
// are resampled. Null when the display lies outside the picture.
QImage cutDisplay(const QImage& desktop, const QRect& desktopLogical, const QRect& display,
                  QSize pixelSize);

}  // namespace tessal
