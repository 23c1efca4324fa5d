#include "AnnotationPreferences.h"

#include <QJsonArray>
#include <QJsonObject>

#include "CanvasModel.h"
#include "NamedColors.h"
#include "base/DefaultsStore.h"

namespace tessal {
namespace {

const QString kColor = QStringLiteral("annotationColor");
const QString kWidth = QStringLiteral("annotationWidth");
const QString kFontSize = QStringLiteral("annotationFontSize");
const QString kMosaicMode = QStringLiteral("annotationMosaicMode");

}  // namespace

AnnotationPreferences AnnotationPreferences::load(const DefaultsStore& defaults) {
    AnnotationPreferences p;
    p.color = NamedColor::systemRed();
    const QJsonValue colour = defaults.value(kColor);
    if (colour.isArray()) {
        const QJsonArray c = colour.toArray();
        const bool numbers =
            c.size() == 4 &&
            std::all_of(c.begin(), c.end(), [](const QJsonValue& v) { return v.isDouble(); });
        if (numbers) {
            auto unit = [](double v) { return std::clamp(v, 0.0, 1.0); };
            p.color = QColor::fromRgbF(unit(c[0].toDouble()), unit(c[1].toDouble()),
                                       unit(c[2].toDouble()), unit(c[3].toDouble()));
        }
    }
    if (const auto width = defaults.numberValue(kWidth);
        width && (*width == 1.5 || *width == 3 || *width == 6))
        p.width = *width;
    if (const auto size = defaults.numberValue(kFontSize); size && *size >= 10 && *size <= 96)
        p.fontSize = *size;
    if (const auto mode = defaults.numberValue(kMosaicMode); mode && *mode == 1)
        p.mosaicMode = MosaicMode::rectangle;
    return p;
}

AnnotationPreferences AnnotationPreferences::of(const CanvasModel& canvas) {
    return {canvas.ink, canvas.strokeWidth, canvas.fontSize, canvas.mosaicMode};
}

void AnnotationPreferences::applyTo(CanvasModel& canvas) const {
    canvas.ink = color;
    canvas.strokeWidth = width;
    canvas.fontSize = fontSize;
    canvas.mosaicMode = mosaicMode;
}

void AnnotationPreferences::save(DefaultsStore& defaults) const {
    QJsonObject values{
        {kWidth, width}, {kFontSize, fontSize}, {kMosaicMode, static_cast<int>(mosaicMode)}};
    // A colour that cannot be expressed in sRGB leaves the stored colour as it was.
    const QColor srgb = color.toRgb();
    if (srgb.isValid())
        values.insert(kColor, QJsonArray{srgb.redF(), srgb.greenF(), srgb.blueF(), srgb.alphaF()});
    defaults.set(values);
}

}  // namespace tessal
