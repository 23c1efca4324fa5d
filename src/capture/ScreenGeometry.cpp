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

std::vector<WindowListEntry> parseWindowList(const QVariantList& windowList) {
    std::vector<WindowListEntry> entries;
    for (const QVariant& item : windowList) {
        if (item.typeId() != QMetaType::QVariantMap) continue;
        const QVariantMap map = item.toMap();
        WindowListEntry entry;
        if (const auto number = numberField(map.value(WindowKey::number));
            number && *number >= 0 && *number <= 4294967295.0)
            entry.number = static_cast<unsigned>(*number);
        if (const auto pid = numberField(map.value(WindowKey::pid));
            pid && *pid >= 1 && *pid <= 2147483647.0)
            entry.pid = static_cast<int>(*pid);
        entry.layer = numberField(map.value(WindowKey::layer));
        if (map.contains(WindowKey::alpha)) entry.alpha = numberField(map.value(WindowKey::alpha));
        for (auto [key, field] : {std::pair{WindowKey::bounds, &entry.bounds},
                                  std::pair{WindowKey::content, &entry.content}}) {
            const auto rect = rectField(map.value(key));
            if (rect && std::isfinite(rect->minX()) && std::isfinite(rect->minY()) &&
                std::isfinite(rect->width()) && std::isfinite(rect->height()))
                *field = rect;
        }
        const QVariant focused = map.value(WindowKey::focused);
        entry.focused = focused.typeId() == QMetaType::Bool && focused.toBool();
        entries.push_back(entry);
    }
    return entries;
}

std::vector<WindowTarget> captureWindowTargets(const QVariantList& windowList, int excludedPid) {
    std::vector<WindowTarget> targets;
    for (const WindowListEntry& entry : parseWindowList(windowList)) {
        if (!entry.pid || *entry.pid == excludedPid) continue;
        if (!entry.layer || *entry.layer != 0) continue;
        if (entry.alpha && *entry.alpha <= 0) continue;
        const auto& bounds = entry.bounds;
        if (!bounds || !(bounds->size.width >= 30) || !(bounds->size.height >= 30)) continue;
        targets.push_back({*bounds, *entry.pid, entry.focused, entry.number.value_or(0)});
    }
    return targets;
}

}  // namespace tessal
