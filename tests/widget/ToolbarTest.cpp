#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "annotation/AnnotationToolbar.h"
#include "annotation/NamedColors.h"
#include "annotation/ToolbarButtons.h"
#include "annotation/ToolbarModel.h"
#include "base/Clock.h"
#include "base/MainQueue.h"

using namespace tessal;

class ToolbarTest : public ::testing::Test {
  protected:
    ManualClock clock;
    ManualMainQueue queue{clock};
};

TEST_F(ToolbarTest, OneRowWhenWideThreeWhenNarrow) {
    AnnotationToolbar wide(1600, queue);
    AnnotationToolbar narrow(400, queue);
    EXPECT_FALSE(wide.compact());
    EXPECT_TRUE(narrow.compact());
    EXPECT_GT(wide.width(), narrow.width());
    EXPECT_GT(narrow.height(), wide.height());
    // Buttons with a hint are 48 high and as wide as the hint needs; "关闭" has none.
    EXPECT_EQ(wide.tool(0)->size(), QSize(30, 48));
    EXPECT_EQ(wide.action(ToolbarActionId::close)->size(), QSize(30, 30));
    EXPECT_EQ(wide.action(ToolbarActionId::undo)->size(), QSize(56, 48));  // "Ctrl+Z"
    EXPECT_EQ(wide.action(ToolbarActionId::undo)->toolTip(), "撤销 · Ctrl+Z");
    EXPECT_EQ(wide.action(ToolbarActionId::recognizeText)->toolTip(),
              "识别文字 · Shift+C 快速复制文字");
    EXPECT_EQ(wide.tool(0)->toolTip(), "移动选区 · H · 按住空格临时移动");
    EXPECT_EQ(wide.tool(2)->toolTip(), "矩形 · R");
    EXPECT_EQ(wide.tool(2)->objectName(), "tool.rectangle");
    EXPECT_EQ(wide.action(ToolbarActionId::copy)->objectName(), "action.copy");
}

TEST_F(ToolbarTest, StyleRowFollowsTheTool) {
    AnnotationToolbar toolbar(1600, queue);
    EXPECT_FALSE(toolbar.styleRow()->isVisibleTo(&toolbar));  // move tool, nothing selected
    toolbar.selectTool(8);                                    // blur
    EXPECT_TRUE(toolbar.styleRow()->isVisibleTo(&toolbar));
    EXPECT_FALSE(toolbar.colorGroup()->isVisibleTo(&toolbar));
    EXPECT_EQ(toolbar.widthLabel()->text(), "模糊强度");
    EXPECT_EQ(toolbar.widths()[0]->toolTip(), "低强度");
    toolbar.selectTool(7);  // mosaic, brush
    EXPECT_EQ(toolbar.widthLabel()->text(), "笔刷大小");
    EXPECT_TRUE(toolbar.mosaicControl()->isVisibleTo(&toolbar));
    EXPECT_EQ(toolbar.widths()[2]->toolTip(), "大号笔刷 · 60 pt");
    toolbar.updateContext(std::nullopt, MosaicMode::rectangle);
    EXPECT_EQ(toolbar.widthLabel()->text(), "颗粒大小");
    toolbar.selectTool(5);  // text
    EXPECT_TRUE(toolbar.fontGroup()->isVisibleTo(&toolbar));
    EXPECT_TRUE(toolbar.colorGroup()->isVisibleTo(&toolbar));
    EXPECT_EQ(toolbar.widths()[1]->toolTip(), "中线 · 3.0 pt");
    toolbar.selectTool(2);
    EXPECT_FALSE(toolbar.fontGroup()->isVisibleTo(&toolbar));
    // Select mode with a text mark selected shows the font group.
    toolbar.selectTool(1);
    toolbar.updateContext(Tool::text, std::nullopt);
    EXPECT_TRUE(toolbar.fontGroup()->isVisibleTo(&toolbar));
}

TEST_F(ToolbarTest, StyleMatchingIsExact) {
    AnnotationToolbar toolbar(1600, queue);
    toolbar.updateStyle(NamedColor::systemBlue(), 6);
    EXPECT_TRUE(toolbar.swatches()[3]->isChecked());
    EXPECT_TRUE(toolbar.widths()[2]->isChecked());
    EXPECT_FALSE(toolbar.widths()[1]->isChecked());
    QColor shade = NamedColor::systemBlue();
    shade.setRedF(shade.redF() + 0.02);
    toolbar.updateStyle(shade, 6.005);
    for (auto* s : toolbar.swatches()) EXPECT_FALSE(s->isChecked());
    EXPECT_TRUE(toolbar.widths()[2]->isChecked());
}

TEST_F(ToolbarTest, ShortcutsRepeatsAndTheFontField) {
    AnnotationToolbar toolbar(1600, queue);
    std::vector<int> tools;
    std::vector<bool> recognitions;
    toolbar.onTool = [&](int i) { tools.push_back(i); };
    toolbar.onOCR = [&](bool copy) { recognitions.push_back(copy); };
    auto key = [](int code, bool shift = false, bool control = false) {
        KeyPress p;
        p.keyCode = code;
        p.shift = shift;
        p.control = control;
        return p;
    };
    EXPECT_TRUE(toolbar.handleShortcut(key(15), false));        // R
    EXPECT_TRUE(toolbar.handleShortcut(key(15, true), false));  // Shift+R
    EXPECT_TRUE(toolbar.handleShortcut(key(15), true));         // a repeat: swallowed only
    EXPECT_FALSE(toolbar.handleShortcut(key(15, false, true), false));
    EXPECT_TRUE(toolbar.handleShortcut(key(21, true), false));   // Shift+4: number
    EXPECT_FALSE(toolbar.handleShortcut(key(19, true), false));  // Shift+2
    EXPECT_FALSE(toolbar.handleShortcut(key(29, true), false));  // Shift+0
    EXPECT_TRUE(toolbar.handleShortcut(key(8, true), false));    // Shift+C
    EXPECT_EQ(tools, (std::vector<int>{2, 2, 9}));
    EXPECT_EQ(recognitions, std::vector<bool>{true});
    EXPECT_EQ(toolbar.activeTool(), 9);

    // While the font field has focus, letters are typing.
    toolbar.show();
    toolbar.selectTool(5);
    QApplication::setActiveWindow(&toolbar);
    toolbar.fontSizeField()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), toolbar.fontSizeField());
    EXPECT_FALSE(toolbar.handleShortcut(key(15), false));
    // A disabled tool's letter is not the toolbar's.
    toolbar.fontSizeField()->clearFocus();
    toolbar.disableTool(ToolbarIndex::move);
    EXPECT_FALSE(toolbar.handleShortcut(key(4), false));  // H
}

TEST_F(ToolbarTest, CopiedFlashLastsOnePointTwoSeconds) {
    AnnotationToolbar toolbar(1600, queue);
    toolbar.flashCopied();
    EXPECT_EQ(toolbar.action(ToolbarActionId::copy)->iconName(), "action-copied");
    EXPECT_EQ(toolbar.action(ToolbarActionId::copy)->accessibleName(), "已复制");
    queue.advance(1.19);
    EXPECT_EQ(toolbar.action(ToolbarActionId::copy)->iconName(), "action-copied");
    queue.advance(0.02);
    EXPECT_EQ(toolbar.action(ToolbarActionId::copy)->iconName(), "action-copy");
}
