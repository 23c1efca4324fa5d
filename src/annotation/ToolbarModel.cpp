#include "ToolbarModel.h"

#include <cmath>

#include "NamedColors.h"

#include <QCoreApplication>

namespace tessal {

const std::array<ToolbarTool, 11> toolbarTools = {{
    {QT_TRANSLATE_NOOP("ToolbarModel", "移动选区"), "tool-move", "tool.move", "H"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "选择标注"), "tool-select", "tool.select", "V"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "矩形"), "tool-rectangle", "tool.rectangle", "R"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "箭头"), "tool-arrow", "tool.arrow", "A"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "手绘"), "tool-pen", "tool.pen", "P"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "文字"), "tool-text", "tool.text", "T"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "圆形"), "tool-ellipse", "tool.ellipse", "O"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "马赛克"), "tool-mosaic", "tool.mosaic", "M"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "模糊"), "tool-blur", "tool.blur", "B"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "编号"), "tool-number", "tool.number", "N"},
    {QT_TRANSLATE_NOOP("ToolbarModel", "高亮"), "tool-highlight", "tool.highlight", "L"},
}};

const std::array<int, 11> toolbarVisualOrder = {0, 1, 2, 6, 3, 4, 5, 7, 8, 9, 10};

const std::array<ToolbarAction, 8> toolbarActions = {{
    {ToolbarActionId::recognizeText, "action.ocr", QT_TRANSLATE_NOOP("ToolbarModel", "识别文字"),
     "action-ocr", "", QT_TRANSLATE_NOOP("ToolbarModel", "识别文字 · %1 快速复制文字"),
     ActionTint::label},
    {ToolbarActionId::longCapture, "action.long-capture",
     QT_TRANSLATE_NOOP("ToolbarModel", "长截图"), "action-long", "",
     QT_TRANSLATE_NOOP("ToolbarModel", "长截图 · 选择滚动内容区域后缓慢向下滚动"),
     ActionTint::label},
    {ToolbarActionId::undo, "action.undo", QT_TRANSLATE_NOOP("ToolbarModel", "撤销"), "action-undo",
     "Ctrl+Z", QT_TRANSLATE_NOOP("ToolbarModel", "撤销 · %1"), ActionTint::label},
    {ToolbarActionId::redo, "action.redo", QT_TRANSLATE_NOOP("ToolbarModel", "重做"), "action-redo",
     "", QT_TRANSLATE_NOOP("ToolbarModel", "重做"), ActionTint::label},
    {ToolbarActionId::pin, "action.pin", QT_TRANSLATE_NOOP("ToolbarModel", "贴图"), "action-pin",
     "Ctrl+P", QT_TRANSLATE_NOOP("ToolbarModel", "贴图 · %1"), ActionTint::label},
    {ToolbarActionId::save, "action.save", QT_TRANSLATE_NOOP("ToolbarModel", "保存"), "action-save",
     "Ctrl+S", QT_TRANSLATE_NOOP("ToolbarModel", "保存 · %1"), ActionTint::label},
    {ToolbarActionId::close, "action.close", QT_TRANSLATE_NOOP("ToolbarModel", "关闭"),
     "action-close", "", QT_TRANSLATE_NOOP("ToolbarModel", "关闭 · Esc"), ActionTint::red},
    {ToolbarActionId::copy, "action.copy", QT_TRANSLATE_NOOP("ToolbarModel", "复制"), "action-copy",
     "Ctrl+C", QT_TRANSLATE_NOOP("ToolbarModel", "复制 · %1"), ActionTint::green},
}};

std::array<Swatch, 6> toolbarSwatches() {
    return {{{QT_TRANSLATE_NOOP("ToolbarModel", "红色"), NamedColor::systemRed()},
             {QT_TRANSLATE_NOOP("ToolbarModel", "黄色"), NamedColor::systemYellow()},
             {QT_TRANSLATE_NOOP("ToolbarModel", "绿色"), NamedColor::systemGreen()},
             {QT_TRANSLATE_NOOP("ToolbarModel", "蓝色"), NamedColor::systemBlue()},
             {QT_TRANSLATE_NOOP("ToolbarModel", "白色"), QColor(Qt::white)},
             {QT_TRANSLATE_NOOP("ToolbarModel", "黑色"), QColor(Qt::black)}}};
}

const std::array<WidthChoice, 3> toolbarWidths = {{{QT_TRANSLATE_NOOP("ToolbarModel", "细线"), 1.5},
                                                   {QT_TRANSLATE_NOOP("ToolbarModel", "中线"), 3},
                                                   {QT_TRANSLATE_NOOP("ToolbarModel", "粗线"), 6}}};

QString toolbarText(const char* source) {
    return QCoreApplication::translate("ToolbarModel", source);
}

QString actionHint(const ToolbarAction& action) {
    return nativeKeys(action.hint);
}

QString actionTooltip(const ToolbarAction& action) {
    const QString tip = toolbarText(action.tooltip);
    if (action.id == ToolbarActionId::recognizeText) return tip.arg(nativeKeys("Shift+C"));
    return tip.contains(QLatin1String("%1")) ? tip.arg(actionHint(action)) : tip;
}

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
        c.widthLabelText = QCoreApplication::translate("ToolbarModel", "模糊强度");
        c.widthTooltips = {QCoreApplication::translate("ToolbarModel", "低强度"),
                           QCoreApplication::translate("ToolbarModel", "中强度"),
                           QCoreApplication::translate("ToolbarModel", "高强度")};
    } else if (t == Tool::mosaic && mode == MosaicMode::rectangle) {
        c.widthLabelText = QCoreApplication::translate("ToolbarModel", "颗粒大小");
        c.widthTooltips = {QCoreApplication::translate("ToolbarModel", "小颗粒"),
                           QCoreApplication::translate("ToolbarModel", "中颗粒"),
                           QCoreApplication::translate("ToolbarModel", "大颗粒")};
    } else if (t == Tool::mosaic) {
        c.widthLabelText = QCoreApplication::translate("ToolbarModel", "笔刷大小");
        const char* names[] = {QT_TRANSLATE_NOOP("ToolbarModel", "小号笔刷"),
                               QT_TRANSLATE_NOOP("ToolbarModel", "中号笔刷"),
                               QT_TRANSLATE_NOOP("ToolbarModel", "大号笔刷")};
        for (int i = 0; i < 3; ++i) {
            const int diameter = int(std::max(10 * toolbarWidths[i].width, 18.0));
            c.widthTooltips[i] =
                QStringLiteral("%1 · %2 pt").arg(toolbarText(names[i])).arg(diameter);
        }
    } else {
        for (int i = 0; i < 3; ++i)
            c.widthTooltips[i] = QStringLiteral("%1 · %2 pt")
                                     .arg(toolbarText(toolbarWidths[i].name))
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
