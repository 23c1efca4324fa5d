#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <optional>

#include "Mark.h"
#include "platform/KeyCodes.h"

namespace tessal {

// The toolbar's tools by index: 0 moves the selection, 1 selects marks, 2…10 are the drawing
// tools (Tool raw value + 2).
namespace ToolbarIndex {
constexpr int move = 0;
constexpr int select = 1;
constexpr int of(Tool tool) {
    return int(tool) + 2;
}
}  // namespace ToolbarIndex

struct ToolbarTool {
    const char* title;
    const char* icon;
    const char* identifier;
    const char* letter;
};
extern const std::array<ToolbarTool, 11> toolbarTools;
// Left to right on screen.
extern const std::array<int, 11> toolbarVisualOrder;

enum class ActionTint { label, red, green };
// The toolbar's actions, in their order on screen. Code refers to them by these, never by title.
enum class ToolbarActionId { recognizeText, longCapture, undo, redo, pin, save, close, copy };
struct ToolbarAction {
    ToolbarActionId id;
    const char* identifier;  // object name, for tests and accessibility tools
    const char* title;
    const char* icon;
    const char* hint;     // the key shown under the icon (Qt's portable notation), empty for none
    const char* tooltip;  // %1 stands for the key
    ActionTint tint;
};
extern const std::array<ToolbarAction, 8> toolbarActions;

struct Swatch {
    const char* name;
    QColor color;
};
std::array<Swatch, 6> toolbarSwatches();
struct WidthChoice {
    const char* name;
    double width;
};
extern const std::array<WidthChoice, 3> toolbarWidths;

// The titles and names above are translation sources of the context "ToolbarModel".
QString toolbarText(const char* source);
// The action's key in the desktop's notation, and its tooltip with that key.
QString actionHint(const ToolbarAction& action);
QString actionTooltip(const ToolbarAction& action);

// The tool a toolbar index draws with, if it is a drawing tool.
std::optional<Tool> toolForIndex(int index);

// What the style row shows for the active tool and the selected mark's tool.
struct ToolbarContext {
    bool styleRow = true;
    bool fontGroup = false;
    bool mosaicControl = false;
    bool colorGroup = true;
    bool widthLabel = false;
    QString widthLabelText;
    std::array<QString, 3> widthTooltips;
};
ToolbarContext toolbarContext(int activeTool, std::optional<Tool> selectedTool, MosaicMode mode);

// A key press the toolbar acts on: a tool index, or the "recognise and copy" request.
struct ToolbarShortcut {
    std::optional<int> tool;
    bool recognizeAndCopy = false;
};
std::optional<ToolbarShortcut> toolbarShortcut(const KeyPress& press);

// Whether two colours are the same swatch (sRGB components within 0.01 in sum).
bool sameSwatchColor(const QColor& a, const QColor& b);

}  // namespace tessal
