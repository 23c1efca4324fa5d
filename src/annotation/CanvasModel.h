#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "Mark.h"

class QUndoStack;

namespace tessal {

class Clock;

// Everything a Canvas does without being a widget: the marks, the draft being drawn, the
// selected mark and the gestures on it, in-place text editing, keys, wheel steps and styles,
// each change one undo step on the window's undo stack. View points are y up with the origin
// at the canvas's lower-left corner; marks live in annotation coordinates (view + origin).
class CanvasModel {
  public:
    CanvasModel(QImage image, int pixelWidth, int pixelHeight, QUndoStack* undo,
                const Clock& clock);
    ~CanvasModel();
    CanvasModel(const CanvasModel&) = delete;
    CanvasModel& operator=(const CanvasModel&) = delete;

    // --- geometry
    const QImage& image() const { return image_; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    Size size() const { return size_; }
    void setSize(Size size) { size_ = size; }
    Point annotationOrigin() const { return origin_; }
    void setAnnotationOrigin(Point origin) { origin_ = origin; }
    // A new crop of the capture under the same marks (the selection was adjusted).
    void setImage(QImage image, int pixelWidth, int pixelHeight);
    Rect visibleRect() const { return {origin_, size_}; }
    Rect bounds() const { return {0, 0, size_.width, size_.height}; }

    // --- style and mode
    Tool tool = Tool::rectangle;
    MosaicMode mosaicMode = MosaicMode::brush;
    bool selectionOnly = false;
    QColor ink;
    double strokeWidth = 3;
    double fontSize = 24;
    bool brushPainting() const {
        return tool == Tool::mosaic && mosaicMode == MosaicMode::brush && !selectionOnly;
    }

    // --- marks
    const std::vector<Mark>& marks() const { return marks_; }
    const std::optional<Mark>& draft() const { return draft_; }
    void clearDraft();
    std::optional<int> selectedMarkIndex() const { return selected_; }
    const Mark* selectedMark() const;
    bool dragging() const { return markDrag_.has_value(); }
    // The mark a gesture is changing, which alone changes until the gesture ends.
    std::optional<int> draggedIndex() const {
        return markDrag_ ? std::optional<int>(markDrag_->index) : std::nullopt;
    }
    // Changes whenever a mark other than the dragged one or the image changes.
    std::uint64_t marksVersion() const { return marksVersion_; }

    // --- events (view points, y up)
    void mouseDown(Point viewPoint, int clickCount);
    void mouseDragged(Point viewPoint, bool shift);
    void mouseUp(Point viewPoint, bool shift);
    // True when the key was used (delete, arrows on a selected mark).
    bool keyDown(int keyCode, bool shift);
    // True when the wheel changed (or deliberately swallowed) a style step.
    bool scrollWheel(double deltaY);

    // --- host operations
    void applyStyle(std::optional<QColor> color, std::optional<double> width);
    void applyFontSize(double size);
    void adjustStyleByWheel(double delta);
    void selectMark(std::optional<int> index);
    bool cancelInteraction();

    // --- text editing: the view shows a field for `textField()` while it exists
    struct TextField {
        Rect frame;  // view coordinates, y up
        QString text;
    };
    const std::optional<TextField>& textField() const { return textField_; }
    std::optional<int> textIndex() const { return textIndex_; }
    void beginText(Point annotationPoint, std::optional<int> index);
    // The field's text changed: it grows to fit, keeping its top edge.
    void textChanged(const QString& text);
    void commitText();
    void cancelText();
    QFont fieldFont() const;

    // --- callbacks
    std::function<void()> onChanged;      // redraw
    std::function<void()> onStyleChange;  // the toolbar shows the style; the host saves it
    std::function<void()> onCopy;         // double click outside text marks
    std::function<void()> onTextField;    // a field opened, moved or closed

    // The image and committed marks with the renderer's caches, as a model of its own that no
    // window edits: rendered elsewhere (on a worker) while this one goes on or goes away.
    std::unique_ptr<CanvasModel> renderingCopy() const;

    // --- editing primitives (each one undo step)
    void restore(const Mark& mark);
    void removeLastMark();
    void replaceMark(int index, const Mark& mark);
    void removeMark(int index);

    // Privacy pieces rendered for this image, kept by the renderer.
    struct PrivacyCache {
        std::map<QString, QImage> pieces;
        long long pixels = 0;
    };
    PrivacyCache& privacyCache() const { return cache_; }
    // Outlines of round-joined strokes (pen and highlight marks) by shape and width, kept by the
    // renderer: stroking them is what drawing them costs, and the shape rarely changes.
    struct StrokeCache {
        std::map<std::vector<double>, QPainterPath> outlines;
    };
    StrokeCache& strokeCache() const { return strokes_; }

  private:
    struct Drag {
        int index;
        Point start;
        Mark original;
    };
    struct State {
        std::vector<Mark> marks;
        std::optional<int> selected;
    };
    friend class CanvasEdit;

    Point annotationPoint(Point viewPoint) const;
    void changed();
    void record(State before, State after);
    void apply(const State& state);
    State state() const { return {marks_, selected_}; }
    Rect fieldFrameFor(const QString& text, Rect frame) const;

    QImage image_;
    int pixelWidth_;
    int pixelHeight_;
    QUndoStack* undo_;
    const Clock& clock_;
    Size size_;
    Point origin_;
    std::vector<Mark> marks_;
    std::optional<Mark> draft_;
    std::optional<int> selected_;
    std::optional<Drag> markDrag_;
    std::optional<SelectionHandle> resizeHandle_;
    std::optional<int> arrowEndpoint_;
    std::optional<TextField> textField_;
    std::optional<int> textIndex_;
    double lastWheelChange_ = -1e9;
    std::uint64_t marksVersion_ = 0;
    mutable PrivacyCache cache_;
    mutable StrokeCache strokes_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tessal
