#include "ScreenGeometry.h"

#include <QMetaType>
#include <QVariantMap>
#include <cmath>

#include "platform/ScreenCaptureService.h"

namespace tessal {
namespace {

// A value reads as a number only when it holds one; strings and Booleans do not.
std::optional<double> numberField(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Float:
        case QMetaType::Double: {
            const double d = value.toDouble();
            if (std::isnan(d)) return std::nullopt;
            return d;
        }
        default:
            return std::nullopt;
    }
}

std::optional<Rect> rectField(const QVariant& value) {
    if (value.typeId() != QMetaType::QVariantMap) return std::nullopt;
    const QVariantMap map = value.toMap();
    const auto x = numberField(map.value("x"));
    const auto y = numberField(map.value("y"));
    const auto w = numberField(map.value("width"));
    const auto h = numberField(map.value("height"));
    if (!x || !y || !w || !h) return std::nullopt;
    return Rect(*x, *y, *w, *h);
}

}  // namespace

std::vector<WindowTarget> captureWindowTargets(const QVariantList& windowList, int excludedPid) {
    std::vector<WindowTarget> targets;
    for (const QVariant& item : windowList) {
        if (item.typeId() != QMetaType::QVariantMap) continue;
        const QVariantMap entry = item.toMap();

        const auto pid = numberField(entry.value(WindowKey::pid));
        if (!pid || *pid < 1 || *pid > 2147483647.0 || static_cast<int>(*pid) == excludedPid)
            continue;
        const auto layer = numberField(entry.value(WindowKey::layer));
        if (!layer || *layer != 0) continue;
        if (entry.contains(WindowKey::alpha)) {
            const auto alpha = numberField(entry.value(WindowKey::alpha));
            if (alpha && *alpha <= 0) continue;
        }
        const auto bounds = rectField(entry.value(WindowKey::bounds));
        if (!bounds || !(bounds->size.width >= 30) || !(bounds->size.height >= 30)) continue;
        if (!std::isfinite(bounds->minX()) || !std::isfinite(bounds->minY())) continue;

        targets.push_back({*bounds, static_cast<int>(*pid)});
    }
    return targets;
}

}  // namespace tessal
