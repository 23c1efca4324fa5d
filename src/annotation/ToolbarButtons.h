#pragma once

#include <QAbstractButton>
#include <QColor>

namespace tessal {

// A flat button that lights up under the pointer: red or green for buttons of those tints,
// the accent colour otherwise.
class HoverButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit HoverButton(QWidget* parent = nullptr);
    QColor tint;  // invalid: the label colour
    bool hovered() const { return hovered_; }

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void drawHover(QPainter& painter);

  private:
    bool hovered_ = false;
};

// An icon, optionally with its shortcut written underneath; toggled for tools.
class ToolbarIconButton : public HoverButton {
    Q_OBJECT
  public:
    ToolbarIconButton(const QString& icon, const QString& hint, QWidget* parent = nullptr);
    void setIconName(const QString& icon);
    const QString& iconName() const { return icon_; }
    const QString& shortcutHint() const { return hint_; }
    bool indicatesSelection = false;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString icon_;
    QString hint_;
};

class ColorSwatchButton final : public HoverButton {
    Q_OBJECT
  public:
    ColorSwatchButton(const QColor& color, QWidget* parent = nullptr);
    QColor color;
    QSize sizeHint() const override { return {22, 30}; }

  protected:
    void paintEvent(QPaintEvent*) override;
};

class StrokeWidthButton final : public HoverButton {
    Q_OBJECT
  public:
    StrokeWidthButton(const QString& name, double width, QWidget* parent = nullptr);
    double strokeWidth;
    QSize sizeHint() const override { return {24, 30}; }

  protected:
    void paintEvent(QPaintEvent*) override;
};

// One of our icons, drawn in a colour.
QPixmap tintedIcon(const QString& name, const QColor& colour, double size, double devicePixelRatio);

}  // namespace tessal
