#include "LastRegion.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <cmath>

#include "base/DefaultsStore.h"
#include "platform/ScreenCaptureService.h"

namespace tessal::LastRegion {

QString arrangement(const std::vector<DisplayInfo>& displays) {
    QStringList parts;
    for (const DisplayInfo& d : displays)
        parts << QStringLiteral("%1@%2,%3,%4x%5")
                     .arg(d.id)
                     .arg(d.frame.minX())
                     .arg(d.frame.minY())
                     .arg(d.frame.width())
                     .arg(d.frame.height());
    return parts.join(';');
}

void remember(DefaultsStore& defaults, const std::vector<DisplayInfo>& displays,
              const Rect& region) {
    if (displays.empty() || region.width() <= 0 || region.height() <= 0) return;
    const QString name = arrangement(displays);
    QJsonArray kept;
    // Newest last; this arrangement's old entry goes, and the oldest beyond the limit.
    for (const QJsonValue& entry : defaults.value(key).toArray())
        if (entry.toObject().value("arrangement").toString() != name) kept.append(entry);
    kept.append(QJsonObject{{"arrangement", name},
                            {"x", region.minX()},
                            {"y", region.minY()},
                            {"width", region.width()},
                            {"height", region.height()}});
    while (kept.size() > arrangementsKept) kept.removeFirst();
    defaults.set(key, kept);
}

std::optional<Placement> place(const DefaultsStore& defaults,
                               const std::vector<DisplayInfo>& displays, QString* why) {
    auto refuse = [why](const QString& reason) -> std::optional<Placement> {
        if (why) *why = reason;
        return std::nullopt;
    };
    const QString name = arrangement(displays);
    std::optional<Rect> region;
    for (const QJsonValue& entry : defaults.value(key).toArray()) {
        const QJsonObject o = entry.toObject();
        if (o.value("arrangement").toString() != name) continue;
        const double x = o.value("x").toDouble(NAN), y = o.value("y").toDouble(NAN);
        const double w = o.value("width").toDouble(NAN), h = o.value("height").toDouble(NAN);
        if (std::isfinite(x) && std::isfinite(y) && std::isfinite(w) && std::isfinite(h) && w > 0 &&
            h > 0)
            region = Rect(x, y, w, h);
    }
    if (!region)
        return refuse(
            QCoreApplication::translate("LastRegion",
                                        "这组显示器上还没有截过图：先截一次图（复制、保存或贴图），"
                                        "之后就能重复它的区域。"));
    for (std::size_t i = 0; i < displays.size(); ++i)
        if (displays[i].frame.contains(*region))
            return Placement{
                i, region->offsetBy(-displays[i].frame.minX(), -displays[i].frame.minY())};
    return refuse(QCoreApplication::translate(
        "LastRegion",
        "上次的区域已不在任何一个显示器之内（显示器的排列或分辨率变了）。"
        "请重新框选。"));
}

std::optional<Placement> placeOnDisplay(const std::vector<DisplayInfo>& displays, int display,
                                        const Rect& local, QString* why) {
    if (display < 0 || display >= int(displays.size())) {
        if (why)
            *why = QCoreApplication::translate("LastRegion",
                                               "没有序号为 %1 的显示器（显示器共 %2 个）")
                       .arg(display)
                       .arg(displays.size());
        return std::nullopt;
    }
    const Rect& frame = displays[std::size_t(display)].frame;
    const Rect inside = local.intersected(Rect(0, 0, frame.width(), frame.height()));
    if (inside.isEmpty()) {
        if (why)
            *why =
                QCoreApplication::translate("LastRegion", "这个区域不在显示器 %1 上").arg(display);
        return std::nullopt;
    }
    return Placement{std::size_t(display), inside};
}

}  // namespace tessal::LastRegion
