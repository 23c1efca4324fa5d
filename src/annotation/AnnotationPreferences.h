#pragma once

#include <QColor>

#include "Mark.h"

namespace tessal {

class CanvasModel;
class DefaultsStore;

// The annotation style remembered between sessions. Each stored value is checked on its own:
// a damaged one falls back to its default without touching the others.
struct AnnotationPreferences {
    QColor color;
    double width = 3;
    double fontSize = 24;
    MosaicMode mosaicMode = MosaicMode::brush;

    static AnnotationPreferences load(const DefaultsStore& defaults);
    void save(DefaultsStore& defaults) const;

    // The style a canvas is drawing with, and setting it on one.
    static AnnotationPreferences of(const CanvasModel& canvas);
    void applyTo(CanvasModel& canvas) const;
};

}  // namespace tessal
