#include "ScreenCapture.h"

#include <QPainter>
#include <cmath>

#include "ScreenGeometry.h"
#include "platform/ScreenCaptureService.h"
#include "regions/AccessibleChildRegions.h"
#include "regions/ChildRegionResolver.h"

#include <QCoreApplication>

namespace tessal {

Result<std::vector<ScreenSnapshot>> captureScreens(ScreenCaptureService& service, int ownPid,
                                                   const ChildRegionSources& sources,
                                                   bool withPointer) {
    // Before the pictures are taken: a display server may draw the pointer into them itself.
    const bool pointerDrawn = service.setPointerInScreenshots(withPointer);
    const std::optional<PointerImage> pointer =
        withPointer && !pointerDrawn ? service.pointerImage() : std::nullopt;
    Result<ShareableContent> content = service.shareableContent();
    if (!content) return content.error();

    const std::vector<WindowTarget> targets = captureWindowTargets(service.windowList(), ownPid);
    // The frontmost window under the pointer, where the platform tells where it is.
    std::optional<std::size_t> pointed;
    if (const std::optional<Point> at = service.pointerInWindowList()) {
        const auto under = std::find_if(targets.begin(), targets.end(), [&](const WindowTarget& t) {
            return t.rect.contains(*at);
        });
        if (under != targets.end()) pointed = std::size_t(under - targets.begin());
    }
    const std::vector<DisplayInfo> displays = service.displays();
    std::vector<Rect> frames;
    for (const auto& d : displays) frames.push_back(d.frame);
    const double top = primaryTop(frames);

    std::vector<ScreenSnapshot> snapshots;
    for (const DisplayInfo& display : displays) {
        if (display.id.isEmpty() || !content.value().displayIds.contains(display.id)) continue;
        // Rounded: a fractional scale's product lands a hair below the whole pixel count.
        const int width = static_cast<int>(std::lround(display.frame.width() * display.scale));
        const int height = static_cast<int>(std::lround(display.frame.height() * display.scale));
        Result<QImage> image = service.screenshot(display, width, height);
        if (!image) return image.error();

        ScreenSnapshot snapshot;
        snapshot.frame = display.frame;
        snapshot.image = std::move(image).value();
        if (pointer) drawPointer(snapshot.image, display.nativeRect, *pointer);
        std::vector<WindowTarget> local;
        for (std::size_t t = 0; t < targets.size(); ++t) {
            const WindowTarget& target = targets[t];
            if (auto rect = localWindowRect(target.rect, display.frame, top)) {
                if (target.focused) snapshot.focusedWindow = snapshot.windows.size();
                if (pointed == t) snapshot.pointedWindow = snapshot.windows.size();
                snapshot.windows.push_back(*rect);
                local.push_back({*rect, target.pid});
            }
        }
        if (sources.worker && sources.clock) {
            AccessibilityLookup lookup;
            if (sources.accessibility) {
                lookup = [service = sources.accessibility, clock = sources.clock,
                          screen = display.frame, top](int pid, Point point, const Rect& window) {
                    return accessibleChildRegions(*service, *clock, pid, point, screen, top,
                                                  window);
                };
            }
            auto resolver =
                ChildRegionResolver::create(snapshot.image, display.frame, std::move(local),
                                            *sources.worker, std::move(lookup), *sources.clock);
            snapshot.childRegions = [resolver](int index, Point point) {
                return resolver->regions(index, point);
            };
        }
        snapshots.push_back(std::move(snapshot));
    }
    if (snapshots.empty())
        return UserError{"Ostrel", 1,
                         QCoreApplication::translate("ScreenCapture", "没有可截取的显示器")};
    return snapshots;
}

void drawPointer(QImage& displayImage, const QRect& nativeRect, const PointerImage& pointer) {
    const QRect place(pointer.topLeft, pointer.image.size());
    if (pointer.image.isNull() || !place.intersects(nativeRect)) return;
    QPainter painter(&displayImage);
    painter.drawImage(place.topLeft() - nativeRect.topLeft(), pointer.image);
}

}  // namespace tessal
