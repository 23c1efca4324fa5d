#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "app/ExitStatus.h"
#include "base/geometry.h"

class QCommandLineParser;

namespace tessal {

// What the command line asks for.
struct Command {
    enum class Kind {
        run,
        capture,      // interactive, in the running Tessal
        captureFull,  // a still taken without the interface (--full, --region or a window)
        listWindows,
        edit,
        history,
        preferences,
        regions,
        stitch,
        ocr,
        version,
        help,  // `text` goes to standard output: help, completions, the manual page
        usageError
    };
    // captureFull: which window the still is of.
    enum class WindowSource { none, number, active, underPointer };
    Kind kind = Kind::run;
    QString output;              // captureFull: the PNG to write, "-" standard output, empty
                                 // none; edit: the image to open
    int display = 0;             // captureFull: index in the display list, primary first
    double delay = 0;            // capture, captureFull: seconds before the picture is taken
    bool lastRegion = false;     // capture: open with the last copied, saved or pinned region
    std::optional<Rect> region;  // captureFull, capture: a part of the display, display-local
                                 // points, y up (capture: the selection it opens with)
    WindowSource windowSource = WindowSource::none;
    unsigned windowNumber = 0;    // WindowSource::number: as --list-windows prints it
    bool clipboard = false;       // captureFull: onto the clipboard, held by the running Tessal
    bool pin = false;             // captureFull: pinned by the running Tessal where it was taken
    bool editStill = false;       // captureFull: opened in the running Tessal's editor
    bool printGeometry = false;   // captureFull: print the rectangle taken
    bool pointer = false;         // captureFull: the pointer drawn in where it is
    bool acceptOnSelect = false;  // capture: the first completed selection is copied as by Return
    std::optional<Rect> window;   // regions: the window, screen-local points
    std::optional<Size> screen;   // regions: the display's size in points (default: the image's)
    QStringList frames;           // stitch: the frames in order
    bool horizontal = false;      // stitch: --axis horizontal
    bool automaticCrop = true;    // stitch: --no-auto-crop turns it off
    QStringList languages;        // ocr: --lang, in order (empty: all it reads)
    QString error;                // usageError: what was wrong
    QString text;                 // help: what to print
    QString verb;                 // usageError: the verb whose help follows the error
};

// One option of a verb: the parser, the help, the completions and the manual page read it.
struct CommandOption {
    enum class Value { none, text, file, choice };
    QStringList names;  // one-letter names first: {"o", "output"}
    QString valueName;  // empty for a flag
    QString description;
    Value value = Value::none;
    QStringList choices;  // Value::choice
    bool list = false;    // Value::choice: several, separated by commas
};

// One verb: its options, its help and what it asks for.
struct CommandVerb {
    QString name;        // empty: the program without a verb
    QString synopsis;    // the arguments after the verb, as in the help's first line
    QString summary;     // one sentence
    QString positional;  // the name of its arguments that are not options, empty for none
    int minimumPositional = 0;
    int maximumPositional = 0;  // -1: any number
    std::vector<CommandOption> options;
    // Turns parsed arguments into the request; returns a usage error for bad combinations.
    std::function<Command(const QCommandLineParser&)> interpret;
};

// Every verb in the order the help lists them, texts in the current language.
std::vector<CommandVerb> commandVerbs();

// Parses the arguments after the program name.
Command parseCommandLine(const QStringList& arguments);

// The arguments of an interactive capture (`kind` capture) that parse back into it, for the
// running Tessal.
QStringList captureArguments(const Command& capture);

// An image file, upright, or nothing with a short reason in `error` (never empty then).
QImage readImage(const QString& path, QString* error);

}  // namespace tessal
