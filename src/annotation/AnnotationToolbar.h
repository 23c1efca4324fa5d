#pragma once

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "Mark.h"
#include "ToolbarModel.h"
#include "platform/KeyCodes.h"

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QLabel;
class QLineEdit;

namespace tessal {

class ColorSwatchButton;
class MainQueue;
class StrokeWidthButton;
class ToolbarIconButton;

// The floating panel of tools, actions and the style row. It keeps no annotation state: it
// reports presses and shows the style its host feeds back.
class AnnotationToolbar final : public QWidget {
    Q_OBJECT
  public:
    AnnotationToolbar(double availableWidth, MainQueue& mainQueue, QWidget* parent = nullptr);

    void selectTool(int index);
    void updateContext(std::optional<Tool> selectedTool, std::optional<MosaicMode> mosaicMode);
    void updateStyle(const QColor& color, double width);
    // True when the key press was the toolbar's.
    bool handleShortcut(const KeyPress& press, bool isRepeat);
    void flashCopied();
    // `reason`, when given, replaces the buttons' tooltips to say why they are off.
    void disableActions(std::initializer_list<ToolbarActionId> ids, const QString& reason = {});
    void disableTool(int index);
    void setFontSize(double size);

    int activeTool() const { return activeTool_; }
    MosaicMode mosaicMode() const { return mosaicMode_; }
    bool compact() const { return compact_; }
    ToolbarIconButton* tool(int index) const { return tools_[index]; }
    ToolbarIconButton* action(ToolbarActionId id) const;
    bool actionEnabled(ToolbarActionId id) const;
    QLabel* widthLabel() const { return widthLabel_; }
    QWidget* fontGroup() const { return fontGroup_; }
    QWidget* colorGroup() const { return colorGroup_; }
    QWidget* mosaicControl() const { return mosaicControl_; }
    QWidget* styleRow() const { return styleRow_; }
    QLineEdit* fontSizeField() const { return fontSizeField_; }
    const std::vector<ColorSwatchButton*>& swatches() const { return colors_; }
    const std::vector<StrokeWidthButton*>& widths() const { return widths_; }

    std::function<void()> onLayoutChange;
    std::function<void(int)> onTool;
    std::function<void(MosaicMode)> onMosaicMode;
    std::function<void(QColor)> onColor;
    std::function<void(double)> onWidth;
    std::function<void(double)> onFontSize;
    // A press of any action but text recognition.
    std::function<void(ToolbarActionId)> onAction;
    // Text recognition; true when the recognised text is to be copied at once (Shift+C).
    std::function<void(bool copy)> onOCR;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    void relayout();

    MainQueue& mainQueue_;
    int activeTool_ = 0;
    MosaicMode mosaicMode_ = MosaicMode::brush;
    bool compact_ = false;
    std::vector<ToolbarIconButton*> tools_;
    std::vector<ToolbarIconButton*> actions_;
    std::vector<ColorSwatchButton*> colors_;
    std::vector<StrokeWidthButton*> widths_;
    QWidget* styleRow_ = nullptr;
    QWidget* colorGroup_ = nullptr;
    QWidget* colorDivider_ = nullptr;
    QWidget* fontGroup_ = nullptr;
    QWidget* mosaicControl_ = nullptr;
    std::vector<QAbstractButton*> mosaicSegments_;
    QLabel* widthLabel_ = nullptr;
    QLineEdit* fontSizeField_ = nullptr;
};

}  // namespace tessal
