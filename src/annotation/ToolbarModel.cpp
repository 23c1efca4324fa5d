#include "ToolbarModel.h"

#include <cmath>

#include "NamedColors.h"

namespace tessal {

const std::array<ToolbarTool, 11> toolbarTools = {{
    {"移动选区", "tool-move", "tool.move", "H"},
    {"选择标注", "tool-select", "tool.select", "V"},
    {"矩形", "tool-rectangle", "tool.rectangle", "R"},
    {"箭头", "tool-arrow", "tool.arrow", "A"},
    {"手绘", "tool-pen", "tool.pen", "P"},
    {"文字", "tool-text", "tool.text", "T"},
    {"圆形", "tool-ellipse", "tool.ellipse", "O"},
    {"马赛克", "tool-mosaic", "tool.mosaic", "M"},
    {"模糊", "tool-blur", "tool.blur", "B"},
    {"编号", "tool-number", "tool.number", "N"},
    {"高亮", "tool-highlight", "tool.highlight", "L"},
}};

const std::array<int, 11> toolbarVisualOrder = {0, 1, 2, 6, 3, 4, 5, 7, 8, 9, 10};

const std::array<ToolbarAction, 8> toolbarActions = {{
    {ToolbarActionId::recognizeText, "action.ocr", "识别文字", "action-ocr", "",
     "识别文字 · ⇧C 快速复制文字", ActionTint::label},
    {ToolbarActionId::longCapture, "action.long-capture", "长截图", "action-long", "",
     "长截图 · 选择滚动内容区域后缓慢向下滚动", ActionTint::label},
    {ToolbarActionId::undo, "action.undo", "撤销", "action-undo", "⌃Z", "撤销 · ⌃Z",
     ActionTint::label},
    {ToolbarActionId::redo, "action.redo", "重做", "action-redo", "", "重做", ActionTint::label},
    {ToolbarActionId::pin, "action.pin", "贴图", "action-pin", "⌃P", "贴图 · ⌃P",
     ActionTint::label},
    {ToolbarActionId::save, "action.save", "保存", "action-save", "⌃S", "保存 · ⌃S",
     ActionTint::label},
    {ToolbarActionId::close, "action.close", "关闭", "action-close", "", "关闭 · Esc",
     ActionTint::red},
    {ToolbarActionId::copy, "action.copy", "复制", "action-copy", "⌃C", "复制 · ⌃C",
     ActionTint::green},
}};

std::array<Swatch, 6> toolbarSwatches() {
    return {{{"红色", NamedColor::systemRed()},
             {"黄色", NamedColor::systemYellow()},
             {"绿色", NamedColor::systemGreen()},
             {"蓝色", NamedColor::systemBlue()},
             {"白色", QColor(Qt::white)},
             {"黑色", QColor(Qt::black)}}};
}

const std::array<WidthChoice, 3> toolbarWidths = {{{"细线", 1.5}, {"中线", 3}, {"粗线", 6}}};

std::optional<Tool> toolForIndex(int index) {
    return index >= 2 ? toolFromRaw(index - 2) : std::nullopt;
}

ToolbarContext toolbarContext(int activeTool, std::optional<Tool> selected, MosaicMode mode) {
    ToolbarContext c;
    c.styleRow = selected || activeTool >= 2;
    const std::optional<Tool> t = selected ? selected : toolForIndex(activeTool);
    c.fontGroup = t == Tool::text || t == Tool::number;
    c.mosaicControl = t == Tool::mosaic;
    c.colorGroup = !(t == Tool::mosaic || t == Tool::blur);
    c.widthLabel = t == Tool::mosaic || t == Tool::blur;
    if (t == Tool::blur) {
        c.widthLabelText = QStringLiteral("模糊强度");
        c.widthTooltips = {QStringLiteral("低强度"), QStringLiteral("中强度"),
                           QStringLiteral("高强度")};
    } else if (t == Tool::mosaic && mode == MosaicMode::rectangle) {
        c.widthLabelText = QStringLiteral("颗粒大小");
        c.widthTooltips = {QStringLiteral("小颗粒"), QStringLiteral("中颗粒"),
                           QStringLiteral("大颗粒")};
    } else if (t == Tool::mosaic) {
        c.widthLabelText = QStringLiteral("笔刷大小");
        const char* names[] = {"小号笔刷", "中号笔刷", "大号笔刷"};
        for (int i = 0; i < 3; ++i) {
            const int diameter = int(std::max(10 * toolbarWidths[i].width, 18.0));
            c.widthTooltips[i] =
                QStringLiteral("%1 · %2 pt").arg(QString::fromUtf8(names[i])).arg(diameter);
        }
    } else {
        for (int i = 0; i < 3; ++i)
            c.widthTooltips[i] = QStringLiteral("%1 · %2 pt")
                                     .arg(QString::fromUtf8(toolbarWidths[i].name))
                                     .arg(toolbarWidths[i].width, 0, 'f', 1);
    }
    return c;
}

std::optional<ToolbarShortcut> toolbarShortcut(const KeyPress& press) {
    if (press.command || press.option || press.control) return std::nullopt;
    const QString key = keyCharacters(press.keyCode).toUpper();
    for (int i = 0; i < int(toolbarTools.size()); ++i)
        if (key == QString::fromUtf8(toolbarTools[i].letter)) return ToolbarShortcut{i, false};
    if (!press.shift) return std::nullopt;
    if (press.keyCode == KeyCode::c) return ToolbarShortcut{std::nullopt, true};
    static const std::pair<const char*, Tool> digits[] = {
        {"1", Tool::rectangle}, {"3", Tool::arrow},  {"4", Tool::number}, {"5", Tool::pen},
        {"6", Tool::highlight}, {"7", Tool::mosaic}, {"8", Tool::text}};
    for (const auto& [digit, tool] : digits)
        if (key == QLatin1String(digit)) return ToolbarShortcut{ToolbarIndex::of(tool), false};
    return std::nullopt;
}

bool sameSwatchColor(const QColor& a, const QColor& b) {
    if (!a.isValid() || !b.isValid()) return false;
    const QColor x = a.toRgb(), y = b.toRgb();
    const double d = std::abs(x.redF() - y.redF()) + std::abs(x.greenF() - y.greenF()) +
                     std::abs(x.blueF() - y.blueF()) + std::abs(x.alphaF() - y.alphaF());
    return d < 0.01;
}

}  // namespace tessal
