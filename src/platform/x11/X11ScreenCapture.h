#pragma once

#include <xcb/shm.h>

#include <cstddef>
#include <cstdint>
#include <map>

#include "platform/ScreenCaptureService.h"

namespace tessal {

// Screenshots of the root window through MIT-SHM (plain GetImage where shared memory is not
// available), the frozen still a capture starts with, and the window list from EWMH.
class X11ScreenCapture final : public ScreenCaptureService {
  public:
    X11ScreenCapture();
    ~X11ScreenCapture() override;

    std::vector<DisplayInfo> displays() override;
    Result<ShareableContent> shareableContent() override;
    Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth, int pixelHeight) override;
    QVariantList windowList() override;
    bool preflight() override { return true; }
    std::optional<PointerImage> pointerImage() override;
    void warmUp() override;
    // Each display's picture is requested first; then a dimmed copy made inside the server is
    // shown in a window of its own (a "curtain") above everything. Keys typed meanwhile wait
    // for the overlay that takes the keyboard (x11::holdKeyboard) until the release.
    void freezeDisplays(const std::vector<DisplayInfo>& displays) override;
    void releaseFrozenDisplays() override;
    void drawOnFrozenDisplay(const Rect& displayFrame, QPoint offset,
                             const QImage& pixels) override;

  private:
    // A picture requested by freezeDisplays, read by screenshot.
    struct PendingGrab {
        QString displayId;
        QSize size;
        std::size_t offset = 0;  // into the shared segment
        xcb_shm_get_image_cookie_t cookie{};
    };
    QImage takePendingGrab(const QString& displayId, int width, int height);
    // Asks for every display's picture into the shared segment (pending_); false when there is
    // no segment for them.
    bool requestPictures(const std::vector<DisplayInfo>& displays);
    void takeDownCurtains();
    std::uint32_t rootPictureFormat();
    void putUpCurtainsInPlace(const std::vector<QRect>& rects, std::uint32_t format);
    void putUpComposedCurtains(const std::vector<QRect>& rects, std::uint32_t format);
    std::uint32_t createCurtain(const QRect& rect, std::uint32_t background);
    bool compositingManagerRunning();

    bool ensureSegment(std::size_t bytes);
    void releaseSegment();
    QImage grabShm(int x, int y, int width, int height);
    QImage grabPlain(int x, int y, int width, int height);

    std::uint32_t segment_ = 0;
    int shmId_ = -1;
    void* shmAddress_ = nullptr;
    std::size_t shmSize_ = 0;
    bool shmAvailable_ = true;
    std::vector<PendingGrab> pending_;
    std::vector<std::uint32_t> curtains_;
    // Each display's last still, written again by the next capture once no session holds it:
    // fresh memory costs a page fault every 4 KiB, several times the copy itself.
    std::map<QString, QImage> stills_;
    std::vector<Rect> curtainFrames_;  // the frame of each curtain's display
    bool segmentBeingRead_ = false;    // a picture put from the segment may not be read yet
    std::uint32_t pictureFormat_ = 0;
    bool renderChecked_ = false;
};

}  // namespace tessal
