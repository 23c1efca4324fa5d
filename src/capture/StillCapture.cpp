#include "StillCapture.h"

#include "ScreenCapture.h"
#include "base/ScreenCoordinates.h"

namespace tessal {

namespace {

QString rectText(const Rect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

UserError error(StillCaptureError code, const QString& message) {
    return {QString::fromLatin1(stillCaptureDomain), code, message};
}

}  // namespace

Result<StillCapture> takeStill(ScreenCaptureService& service, int ownPid, int display,
                               std::optional<Rect> region, bool withPointer) {
    Result<std::vector<ScreenSnapshot>> snapshots =
        captureScreens(service, ownPid, {}, withPointer);
    if (!snapshots) return error(stillFailed, snapshots.error().message);
    if (display < 0 || display >= int(snapshots.value().size()))
        return error(stillBadInput, QStringLiteral("no display %1 (there are %2)")
                                        .arg(display)
                                        .arg(snapshots.value().size()));
    const ScreenSnapshot& snapshot = snapshots.value()[std::size_t(display)];
    const Rect whole(0, 0, snapshot.frame.width(), snapshot.frame.height());
    StillCapture still{snapshot.image, whole, false};
    if (!region) return still;
    const Rect inside = region->intersected(whole);
    if (inside.isEmpty())
        return error(stillBadInput,
                     QStringLiteral("the region %1 lies off display %2 (%3 × %4 points)")
                         .arg(rectText(*region))
                         .arg(display)
                         .arg(whole.width())
                         .arg(whole.height()));
    still.taken = inside;
    still.clipped = inside != *region;
    still.image = snapshot.image.copy(pixelCrop(inside, whole.size, snapshot.image.size()));
    return still;
}

std::optional<std::pair<int, Rect>> displayOfRegion(const std::vector<Rect>& displayFrames,
                                                    const Rect& globalRegion) {
    std::optional<std::pair<int, Rect>> best;
    double bestArea = 0;
    for (std::size_t i = 0; i < displayFrames.size(); ++i) {
        const Rect overlap = globalRegion.intersected(displayFrames[i]);
        const double area = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            const Rect& frame = displayFrames[i];
            best = {int(i),
                    Rect(globalRegion.minX() - frame.minX(), globalRegion.minY() - frame.minY(),
                         globalRegion.width(), globalRegion.height())};
        }
    }
    return best;
}

}  // namespace tessal
