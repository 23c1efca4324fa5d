#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ScreenCaptureService.h"

namespace tessal {

// Screenshots of the root window through MIT-SHM (plain GetImage where shared memory is not
// available) and the window list from EWMH.
class X11ScreenCapture final : public ScreenCaptureService {
  public:
    X11ScreenCapture();
    ~X11ScreenCapture() override;

    std::vector<DisplayInfo> displays() override;
    Result<ShareableContent> shareableContent() override;
    Result<QImage> screenshot(const DisplayInfo& display, int pixelWidth, int pixelHeight) override;
    QVariantList windowList() override;
    bool preflight() override { return true; }

  private:
    bool ensureSegment(std::size_t bytes);
    void releaseSegment();
    QImage grabShm(int x, int y, int width, int height);
    QImage grabPlain(int x, int y, int width, int height);

    std::uint32_t segment_ = 0;
    int shmId_ = -1;
    void* shmAddress_ = nullptr;
    std::size_t shmSize_ = 0;
    bool shmAvailable_ = true;
};

}  // namespace tessal
