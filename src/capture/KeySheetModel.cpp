#include "KeySheetModel.h"

#include <QCoreApplication>
#include <limits>

#include "annotation/ToolbarModel.h"

namespace tessal::KeySheetModel {

std::vector<Column> columns() {
    // Keys in Qt's portable notation, shown in the desktop's.
    auto k = [](const char* keys) { return nativeKeys(keys); };
    Column choosing{QCoreApplication::translate("KeySheetModel", "选择区域"),
                    {{QCoreApplication::translate("KeySheetModel", "拖动"),
                      QCoreApplication::translate("KeySheetModel", "框选区域")},
                     {QCoreApplication::translate("KeySheetModel", "单击"),
                      QCoreApplication::translate("KeySheetModel", "选取高亮的窗口或区域")},
                     {QCoreApplication::translate("KeySheetModel", "滚轮"),
                      QCoreApplication::translate("KeySheetModel", "在窗口与其中的区域间切换")},
                     {QCoreApplication::translate("KeySheetModel", "空格"),
                      QCoreApplication::translate("KeySheetModel", "只选整个窗口")},
                     {k("Alt+C"), QCoreApplication::translate("KeySheetModel", "复制指针处的颜色")},
                     {QCoreApplication::translate("KeySheetModel", "Esc / 右键"),
                      QCoreApplication::translate("KeySheetModel", "退出截图")}}};
    Column editing{
        QCoreApplication::translate("KeySheetModel", "选定之后"),
        {{QCoreApplication::translate("KeySheetModel", "方向键"),
          QCoreApplication::translate("KeySheetModel", "移动选区 1 像素，%1 10 像素")
              .arg(nativeModifier("Shift"))},
         {QCoreApplication::translate("KeySheetModel", "按住空格"),
          QCoreApplication::translate("KeySheetModel", "拖动选区")},
         {QCoreApplication::translate("KeySheetModel", "滚轮"),
          QCoreApplication::translate("KeySheetModel", "调整粗细或字号")},
         {QCoreApplication::translate("KeySheetModel", "回车 / %1").arg(k("Ctrl+C")),
          QCoreApplication::translate("KeySheetModel", "复制")},
         {k("Ctrl+S"), QCoreApplication::translate("KeySheetModel", "保存")},
         {k("Ctrl+P"), QCoreApplication::translate("KeySheetModel", "贴图")},
         {k("Shift+C"), QCoreApplication::translate("KeySheetModel", "识别并复制文字")},
         {QStringLiteral("%1 / %2").arg(k("Ctrl+Z"), k("Ctrl+Shift+Z")),
          QCoreApplication::translate("KeySheetModel", "撤销 / 重做")},
         {QStringLiteral("Delete"), QCoreApplication::translate("KeySheetModel", "删除所选标注")},
         {QCoreApplication::translate("KeySheetModel", "右键"),
          QCoreApplication::translate("KeySheetModel", "重新选择")},
         {QStringLiteral("Esc"), QCoreApplication::translate("KeySheetModel", "退出截图")}}};
    Column tools{QCoreApplication::translate("KeySheetModel", "工具"), {}};
    for (const int index : toolbarVisualOrder)
        tools.entries.push_back({QString::fromUtf8(toolbarTools[index].letter),
                                 toolbarText(toolbarTools[index].title)});
    tools.entries.push_back({QStringLiteral("F1 / ?"),
                             QCoreApplication::translate("KeySheetModel", "显示或隐藏本说明")});
    return {choosing, editing, tools};
}

bool isToggle(const KeyPress& press) {
    if (press.control || press.option || press.command) return false;
    if (press.keyCode == KeyCode::f1) return !press.shift;
    return press.keyCode == KeyCode::slash && press.shift;
}

Rect frame(Size size, const Rect& bounds, const std::vector<Rect>& avoid) {
    constexpr double inset = 16;
    const double left = bounds.minX() + inset, right = bounds.maxX() - inset - size.width;
    const double bottom = bounds.minY() + inset, top = bounds.maxY() - inset - size.height;
    const Rect corners[] = {{left, bottom, size.width, size.height},
                            {right, bottom, size.width, size.height},
                            {left, top, size.width, size.height},
                            {right, top, size.width, size.height}};
    Rect best = corners[0];
    double least = std::numeric_limits<double>::infinity();
    for (const Rect& corner : corners) {
        double covered = 0;
        for (const Rect& r : avoid) {
            const Rect overlap = corner.intersected(r);
            // Touching edges are no overlap; a sliver still counts.
            if (!overlap.isNull() && overlap.width() > 0 && overlap.height() > 0)
                covered += overlap.width() * overlap.height() + 1;
        }
        if (covered == 0) return corner;
        if (covered < least) {
            least = covered;
            best = corner;
        }
    }
    return best;
}

}  // namespace tessal::KeySheetModel
