#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

#include "base/geometry.h"

namespace tessal {

// What the command line asks for.
struct Command {
    enum class Kind {
        run,
        capture,
        captureFull,
        listWindows,
        edit,
        history,
        preferences,
        regions,
        stitch,
        ocr,
        version,
        help,
        usageError
    };
    Kind kind = Kind::run;
    QString output;              // captureFull: the PNG to write; edit: the image to open
    int display = 0;             // captureFull: index in the display list, primary first
    double delay = 0;            // capture, captureFull: seconds before the picture is taken
    bool lastRegion = false;     // capture: open with the last copied, saved or pinned region
    std::optional<Rect> region;  // captureFull: a part of the display, display-local points, y up
    std::optional<Rect> window;  // regions: the window, screen-local points
    std::optional<Size> screen;  // regions: the display's size in points (default: the image's)
    QStringList frames;          // stitch: the frames in order
    bool horizontal = false;     // stitch: --axis horizontal
    bool automaticCrop = true;   // stitch: --no-auto-crop turns it off
    QStringList languages;       // ocr: --lang, in order (empty: all it reads)
    QString error;               // usageError: what was wrong
};

// Parses the arguments after the program name.
Command parseCommandLine(const QStringList& arguments);
QString usageText();

// An image file, upright, or nothing with a short reason in `error` (never empty then).
QImage readImage(const QString& path, QString* error);

}  // namespace tessal
