#include "LongCaptureLayout.h"

#include <algorithm>

namespace tessal {

LongCapturePlacement longCaptureLayout(const Rect& region, const Rect& screen, Size toolbar,
                                       Size preview) {
    const Rect a = screen.insetBy(8, 8);
    double ty = region.minY() - toolbar.height - 8;
    double tx =
        std::min(a.maxX() - toolbar.width, std::max(region.maxX() - toolbar.width, a.minX()));
    if (ty < a.minY()) {
        ty = region.maxY() + 8;
        if (ty + toolbar.height > a.maxY()) {
            // Neither below nor above: beside the region, level with its bottom, where it fits;
            // over it only where nothing else is left (where frames are read from the screen,
            // a window over the region is in every one of them).
            ty = std::min(std::max(region.minY(), a.minY()), a.maxY() - toolbar.height);
            if (region.minX() - 8 - toolbar.width >= a.minX())
                tx = region.minX() - 8 - toolbar.width;
            else if (region.maxX() + 8 + toolbar.width <= a.maxX())
                tx = region.maxX() + 8;
            else
                ty = a.minY();
        }
    }

    double px = region.maxX() + 12;
    if (px + preview.width > a.maxX()) {
        px = region.minX() - preview.width - 12;
        if (px < a.minX()) px = a.maxX() - preview.width;
    }
    const double py =
        std::min(a.maxY() - preview.height, std::max(region.maxY() - preview.height, a.minY()));
    return {Rect(tx, ty, toolbar.width, toolbar.height),
            Rect(px, py, preview.width, preview.height)};
}

}  // namespace tessal
