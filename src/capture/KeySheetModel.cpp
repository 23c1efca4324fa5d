#include "KeySheetModel.h"

#include <limits>

#include "annotation/ToolbarModel.h"

namespace tessal::KeySheetModel {

std::vector<Column> columns() {
    auto s = [](const char* text) { return QString::fromUtf8(text); };
    Column choosing{s("选择区域"),
                    {{s("拖动"), s("框选区域")},
                     {s("单击"), s("选取高亮的窗口或区域")},
                     {s("滚轮"), s("在窗口与其中的区域间切换")},
                     {s("空格"), s("只选整个窗口")},
                     {s("⌥C"), s("复制指针处的颜色")},
                     {s("Esc / 右键"), s("退出截图")}}};
    Column editing{s("选定之后"),
                   {{s("方向键"), s("移动选区 1 像素，⇧ 10 像素")},
                    {s("按住空格"), s("拖动选区")},
                    {s("滚轮"), s("调整粗细或字号")},
                    {s("回车 / ⌃C"), s("复制")},
                    {s("⌃S"), s("保存")},
                    {s("⌃P"), s("贴图")},
                    {s("⇧C"), s("识别并复制文字")},
                    {s("⌃Z / ⇧⌃Z"), s("撤销 / 重做")},
                    {s("Delete"), s("删除所选标注")},
                    {s("右键"), s("重新选择")},
                    {s("Esc"), s("退出截图")}}};
    Column tools{s("工具"), {}};
    for (const int index : toolbarVisualOrder)
        tools.entries.push_back({QString::fromUtf8(toolbarTools[index].letter),
                                 QString::fromUtf8(toolbarTools[index].title)});
    tools.entries.push_back({s("F1 / ?"), s("显示或隐藏本说明")});
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
