#include "ScreenCapture.h"

#include <cmath>

#include "ScreenGeometry.h"
#include "platform/ScreenCaptureService.h"

namespace tessal {

Result<std::vector<ScreenSnapshot>> captureScreens(ScreenCaptureService& service, int ownPid,
                                                   bool usingAccessibility) {
    // Region sources for the snapshot's child regions attach here; without one the lookup stays
    // empty and the overlay offers windows only.
    (void)usingAccessibility;

    Result<ShareableContent> content = service.shareableContent();
    if (!content) return content.error();

    const std::vector<WindowTarget> targets = captureWindowTargets(service.windowList(), ownPid);
    const std::vector<DisplayInfo> displays = service.displays();
    std::vector<Rect> frames;
    for (const auto& d : displays) frames.push_back(d.frame);
    const double top = primaryTop(frames);

    std::vector<ScreenSnapshot> snapshots;
    for (const DisplayInfo& display : displays) {
        if (display.id.isEmpty() || !content.value().displayIds.contains(display.id)) continue;
        const int width = static_cast<int>(display.frame.width() * display.scale);
        const int height = static_cast<int>(display.frame.height() * display.scale);
        Result<QImage> image = service.screenshot(display, width, height);
        if (!image) return image.error();

        ScreenSnapshot snapshot;
        snapshot.frame = display.frame;
        snapshot.image = std::move(image).value();
        for (const WindowTarget& target : targets) {
            if (auto local = localWindowRect(target.rect, display.frame, top))
                snapshot.windows.push_back(*local);
        }
        snapshots.push_back(std::move(snapshot));
    }
    if (snapshots.empty()) return UserError{"Ostrel", 1, QStringLiteral("没有可截取的显示器")};
    return snapshots;
}

}  // namespace tessal
