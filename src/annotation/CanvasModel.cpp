#include "CanvasModel.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

#include "NamedColors.h"
#include "base/Clock.h"
#include "platform/KeyCodes.h"

namespace tessal {

// One undo step: the marks and the selection before and after a change. Restoring whole
// states keeps the stacking order exact whatever the change was.
class CanvasEdit final : public QUndoCommand {
  public:
    CanvasEdit(CanvasModel* canvas, std::weak_ptr<bool> alive, CanvasModel::State before,
               CanvasModel::State after)
        : canvas_(canvas),
          alive_(std::move(alive)),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override {
        if (!alive_.expired()) canvas_->apply(before_);
    }
    void redo() override {
        // The change is already made when the step is recorded.
        if (first_) {
            first_ = false;
            return;
        }
        if (!alive_.expired()) canvas_->apply(after_);
    }

  private:
    CanvasModel* canvas_;
    std::weak_ptr<bool> alive_;
    CanvasModel::State before_;
    CanvasModel::State after_;
    bool first_ = true;
};

namespace {

constexpr double kArrowEndpointReach = 8;
constexpr double kHandleReach = 7;
constexpr double kWheelInterval = 0.12;
constexpr double kMinimumDraft = 2;

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

const SelectionHandle kHandleOrder[] = {SelectionHandle::bottomLeft,  SelectionHandle::bottom,
                                        SelectionHandle::bottomRight, SelectionHandle::right,
                                        SelectionHandle::topRight,    SelectionHandle::top,
                                        SelectionHandle::topLeft,     SelectionHandle::left};

}  // namespace

CanvasModel::CanvasModel(QImage image, int pixelWidth, int pixelHeight, QUndoStack* undo,
                         const Clock& clock)
    : image_(std::move(image)),
      pixelWidth_(std::max(1, pixelWidth)),
      pixelHeight_(std::max(1, pixelHeight)),
      undo_(undo),
      clock_(clock) {
    ink = NamedColor::systemRed();
    const double s = std::min({1100.0 / pixelWidth_, 720.0 / pixelHeight_, 1.0});
    size_ = {pixelWidth_ * s, pixelHeight_ * s};
}

CanvasModel::~CanvasModel() {
    *alive_ = false;
}

std::unique_ptr<CanvasModel> CanvasModel::renderingCopy() const {
    auto copy = std::make_unique<CanvasModel>(image_, pixelWidth_, pixelHeight_, nullptr, clock_);
    copy->size_ = size_;
    copy->origin_ = origin_;
    copy->marks_ = marks_;
    copy->marksVersion_ = marksVersion_;
    // Images and paths are shared, not copied; either side detaches when it changes them.
    copy->cache_ = cache_;
    copy->strokes_ = strokes_;
    return copy;
}

void CanvasModel::setImage(QImage image, int pixelWidth, int pixelHeight) {
    image_ = std::move(image);
    pixelWidth_ = std::max(1, pixelWidth);
    pixelHeight_ = std::max(1, pixelHeight);
    cache_ = {};
    ++marksVersion_;
}

const Mark* CanvasModel::selectedMark() const {
    if (!selected_ || *selected_ < 0 || *selected_ >= int(marks_.size())) return nullptr;
    return &marks_[*selected_];
}

void CanvasModel::changed() {
    if (onChanged) onChanged();
}

void CanvasModel::clearDraft() {
    draft_.reset();
    changed();
}

Point CanvasModel::annotationPoint(Point v) const {
    auto clamp = [](double value, double hi) {
        return std::isfinite(value) ? std::clamp(value, 0.0, hi) : 0.0;
    };
    return {clamp(v.x, size_.width) + origin_.x, clamp(v.y, size_.height) + origin_.y};
}

// --- undo

void CanvasModel::record(State before, State after) {
    if (!undo_) return;
    undo_->push(new CanvasEdit(this, alive_, std::move(before), std::move(after)));
}

void CanvasModel::apply(const State& s) {
    markDrag_.reset();
    resizeHandle_.reset();
    arrowEndpoint_.reset();
    draft_.reset();
    marks_ = s.marks;
    ++marksVersion_;
    selected_ = s.selected;
    changed();
    if (onStyleChange) onStyleChange();
}

void CanvasModel::restore(const Mark& mark) {
    State before = state();
    before.selected.reset();
    marks_.push_back(mark);
    ++marksVersion_;
    selected_ = mark.isMosaicBrush() && brushPainting()
                    ? std::nullopt
                    : std::optional<int>(int(marks_.size()) - 1);
    record(before, state());
    changed();
}

void CanvasModel::removeLastMark() {
    if (marks_.empty()) return;
    State before = state();
    marks_.pop_back();
    ++marksVersion_;
    selected_.reset();
    record(before, state());
    changed();
}

void CanvasModel::replaceMark(int index, const Mark& mark) {
    if (index < 0 || index >= int(marks_.size())) return;
    State before = state();
    before.selected = index;
    marks_[index] = mark;
    ++marksVersion_;
    selected_ = index;
    record(before, state());
    changed();
}

void CanvasModel::removeMark(int index) {
    if (index < 0 || index >= int(marks_.size())) return;
    State before = state();
    before.selected = index;
    marks_.erase(marks_.begin() + index);
    ++marksVersion_;
    selected_.reset();
    record(before, state());
    changed();
}

// --- mouse

void CanvasModel::mouseDown(Point viewPoint, int clickCount) {
    commitText();
    const Point p = annotationPoint(viewPoint);

    if (brushPainting()) {
        draft_.reset();
        markDrag_.reset();
        resizeHandle_.reset();
        arrowEndpoint_.reset();
        selected_.reset();
        draft_ = Mark{Tool::mosaic, {p}, ink, strokeWidth, true, 1, QString(), 24};
        changed();
        return;
    }
    if (clickCount >= 2) {
        draft_.reset();
        markDrag_.reset();
        for (int i = int(marks_.size()) - 1; i >= 0; --i) {
            if (marks_[i].tool == Tool::text && marks_[i].hitTest(p)) {
                beginText(marks_[i].points.empty() ? p : marks_[i].points.front(), i);
                return;
            }
        }
        if (onCopy) onCopy();
        return;
    }
    draft_.reset();
    markDrag_.reset();
    resizeHandle_.reset();
    arrowEndpoint_.reset();

    if (const Mark* mark = selectedMark()) {
        if (mark->tool == Tool::arrow) {
            for (int i = 0; i < int(mark->points.size()); ++i) {
                if (distance(mark->points[i], p) <= kArrowEndpointReach) {
                    arrowEndpoint_ = i;
                    markDrag_ = Drag{*selected_, p, *mark};
                    return;
                }
            }
        }
        if (mark->canResize()) {
            for (SelectionHandle h : kHandleOrder) {
                const auto point = mark->handlePoint(h);
                if (point && distance(*point, p) <= kHandleReach) {
                    resizeHandle_ = h;
                    markDrag_ = Drag{*selected_, p, *mark};
                    return;
                }
            }
        }
    }
    for (int i = int(marks_.size()) - 1; i >= 0; --i) {
        const Mark& m = marks_[i];
        bool hit = m.hitTest(p);
        if (!hit && (m.tool == Tool::rectangle || m.tool == Tool::ellipse) &&
            (selected_ == i || selectionOnly))
            hit = m.path().contains(QPointF(p.x, p.y));
        if (hit) {
            selectMark(i);
            markDrag_ = Drag{i, p, m};
            return;
        }
    }
    selectMark(std::nullopt);
    if (selectionOnly) return;
    if (tool == Tool::text) {
        beginText(p, std::nullopt);
        return;
    }
    draft_ =
        Mark{tool, {p, p}, ink, strokeWidth, false, nextMarkerNumber(marks_), QString(), fontSize};
    changed();
}

void CanvasModel::mouseDragged(Point viewPoint, bool shift) {
    const Point p = annotationPoint(viewPoint);
    if (markDrag_) {
        const Mark& o = markDrag_->original;
        Mark next = o;
        if (arrowEndpoint_) {
            if (*arrowEndpoint_ < int(next.points.size())) next.points[*arrowEndpoint_] = p;
        } else if (!resizeHandle_) {
            for (Point& q : next.points) q = q + (p - markDrag_->start);
        } else {
            const Rect b = o.bounds();
            const bool lock = o.tool == Tool::text || o.tool == Tool::number || shift;
            const Rect r = adjusted(*resizeHandle_, b, p - markDrag_->start, visibleRect(), lock);
            if (o.tool == Tool::text || o.tool == Tool::number) {
                double size = o.fontSize;
                if (b.height() >= 1) size = o.fontSize * r.height() / b.height();
                next.fontSize = std::clamp(size, 10.0, 96.0);
                next.points = {o.tool == Tool::number ? Point{r.midX(), r.midY()} : r.origin};
            } else {
                next.points = {r.origin, {r.maxX(), r.maxY()}};
            }
        }
        if (markDrag_->index < int(marks_.size())) marks_[markDrag_->index] = next;
        changed();
        return;
    }
    if (draft_) {
        Mark& d = *draft_;
        if (d.tool == Tool::pen || d.tool == Tool::highlight || d.isMosaicBrush()) {
            if (d.points.empty() || !(d.points.back() == p)) d.points.push_back(p);
        } else if (d.tool == Tool::number) {
            d.points = {p};
        } else if (d.points.size() >= 2) {
            d.points[1] = shift ? constrainedEndpoint(d.points[0], p, d.tool, visibleRect()) : p;
        }
        changed();
    }
}

void CanvasModel::mouseUp(Point viewPoint, bool shift) {
    mouseDragged(viewPoint, shift);
    if (!markDrag_) {
        if (draft_ && !draft_->points.empty()) {
            const Mark d = *draft_;
            const Point first = d.points.front();
            bool keep;
            if (d.isMosaicBrush() || d.tool == Tool::number) {
                keep = true;
            } else if (d.tool == Tool::pen || d.tool == Tool::highlight) {
                keep = std::any_of(d.points.begin(), d.points.end(),
                                   [&](Point q) { return distance(q, first) > kMinimumDraft; });
            } else {
                keep = distance(d.points.back(), first) > kMinimumDraft;
            }
            draft_.reset();
            if (keep) {
                restore(d);
                if (onStyleChange) onStyleChange();
            }
        }
        draft_.reset();
        changed();
        return;
    }
    const Drag drag = *markDrag_;
    markDrag_.reset();
    resizeHandle_.reset();
    arrowEndpoint_.reset();
    if (drag.index < int(marks_.size())) {
        const Mark now = marks_[drag.index];
        if (!(now.points == drag.original.points && now.fontSize == drag.original.fontSize)) {
            State before = state();
            before.marks[drag.index] = drag.original;
            before.selected = drag.index;
            selected_ = drag.index;
            record(before, state());
        }
    }
    selectMark(drag.index);
}

// --- keys and wheel

bool CanvasModel::keyDown(int keyCode, bool shift) {
    const Mark* mark = selectedMark();
    if (!mark || textField_) return false;
    if (keyCode == KeyCode::deleteKey || keyCode == KeyCode::forwardDelete) {
        removeMark(*selected_);
        if (onStyleChange) onStyleChange();
        return true;
    }
    if (keyCode < KeyCode::left || keyCode > KeyCode::up) return false;
    const double step = shift ? 10 : 1;
    const double dx = step * size_.width / pixelWidth_;
    const double dy = step * size_.height / pixelHeight_;
    Point delta;
    switch (keyCode) {
        case KeyCode::left:
            delta = {-dx, 0};
            break;
        case KeyCode::right:
            delta = {dx, 0};
            break;
        case KeyCode::down:
            delta = {0, -dy};
            break;
        default:
            delta = {0, dy};
            break;
    }
    Mark moved = *mark;
    for (Point& q : moved.points) q = q + delta;
    replaceMark(*selected_, moved);
    return true;
}

bool CanvasModel::scrollWheel(double deltaY) {
    if (selectionOnly || textField_ || deltaY == 0 || !std::isfinite(deltaY)) return false;
    const double now = clock_.uptime();
    if (now - lastWheelChange_ < kWheelInterval) return true;  // swallowed
    lastWheelChange_ = now;
    adjustStyleByWheel(deltaY);
    return true;
}

void CanvasModel::adjustStyleByWheel(double d) {
    if (d == 0 || !std::isfinite(d)) return;
    const Mark* mark = selectedMark();
    const Tool deciding = mark ? mark->tool : tool;
    if (deciding == Tool::text || deciding == Tool::number) {
        applyFontSize(fontSize + (d > 0 ? 2 : -2));
        return;
    }
    static const double steps[] = {1.5, 3, 6};
    double next;
    if (d > 0) {
        next = 6;
        for (double s : steps)
            if (s > strokeWidth) {
                next = s;
                break;
            }
    } else {
        next = 1.5;
        for (double s : steps)
            if (s < strokeWidth) next = s;
    }
    applyStyle(std::nullopt, next);
}

// --- style

void CanvasModel::applyStyle(std::optional<QColor> color, std::optional<double> width) {
    if (color) ink = *color;
    if (width) strokeWidth = *width;
    if (const Mark* mark = selectedMark();
        mark && (mark->color != ink || mark->width != strokeWidth)) {
        Mark next = *mark;
        next.color = ink;
        next.width = strokeWidth;
        replaceMark(*selected_, next);
    }
    changed();
    if (onStyleChange) onStyleChange();
}

void CanvasModel::applyFontSize(double size) {
    if (!std::isfinite(size)) return;
    fontSize = std::clamp(size, 10.0, 96.0);
    if (textField_) textChanged(textField_->text);
    if (const Mark* mark = selectedMark();
        mark && (mark->tool == Tool::text || mark->tool == Tool::number) &&
        mark->fontSize != fontSize) {
        Mark next = *mark;
        next.fontSize = fontSize;
        replaceMark(*selected_, next);
    }
    changed();
    if (onStyleChange) onStyleChange();
}

void CanvasModel::selectMark(std::optional<int> index) {
    if (index && *index >= 0 && *index < int(marks_.size())) {
        selected_ = index;
        const Mark& m = marks_[*index];
        ink = m.color;
        strokeWidth = m.width;
        if (m.tool == Tool::text || m.tool == Tool::number) fontSize = m.fontSize;
    } else {
        selected_.reset();
    }
    changed();
    if (onStyleChange) onStyleChange();
}

bool CanvasModel::cancelInteraction() {
    if (!draft_ && !markDrag_) return false;
    if (markDrag_ && markDrag_->index < int(marks_.size()))
        marks_[markDrag_->index] = markDrag_->original;
    draft_.reset();
    markDrag_.reset();
    resizeHandle_.reset();
    arrowEndpoint_.reset();
    changed();
    if (onStyleChange) onStyleChange();
    return true;
}

// --- text

QFont CanvasModel::fieldFont() const {
    Mark probe;
    probe.tool = Tool::text;
    probe.width = strokeWidth;
    probe.fontSize = fontSize;
    return probe.textFont();
}

void CanvasModel::beginText(Point p, std::optional<int> index) {
    textIndex_ = index;
    selectMark(index);
    const Mark* mark = index ? selectedMark() : nullptr;
    const double h = mark ? mark->bounds().height() : fontSize * 1.25;
    Rect frame;
    frame.origin.x = std::min(std::max(size_.width - 160, 0.0), p.x - origin_.x);
    frame.origin.y = std::max(std::min(size_.height - h, p.y - origin_.y), 0.0);
    frame.size = {std::min(size_.width, 320.0), h};
    const QString text = mark ? mark->text : QString();
    textField_ = TextField{frame, text};
    if (mark) textField_->frame = fieldFrameFor(text, frame);
    if (onTextField) onTextField();
    changed();
}

Rect CanvasModel::fieldFrameFor(const QString& text, Rect frame) const {
    const Size measured = measureText(text, fieldFont());
    const double height = std::max(fontSize * 1.25, measured.height);
    const double width =
        std::min(std::max(measured.width + 8, 160.0), std::max(size_.width - frame.minX(), 1.0));
    const double top = frame.maxY();
    return {frame.minX(), std::max(top - height, 0.0), width, height};
}

void CanvasModel::textChanged(const QString& text) {
    if (!textField_) return;
    textField_->text = text;
    textField_->frame = fieldFrameFor(text, textField_->frame);
    if (onTextField) onTextField();
}

void CanvasModel::commitText() {
    if (!textField_) return;
    const TextField field = *textField_;
    const std::optional<int> index = textIndex_;
    textField_.reset();
    textIndex_.reset();
    if (onTextField) onTextField();
    const Size measured = measureText(field.text, fieldFont());
    const Point at{field.frame.minX() + origin_.x,
                   field.frame.maxY() - measured.height + origin_.y};
    if (!field.text.trimmed().isEmpty()) {
        const Mark mark{Tool::text, {at}, ink, strokeWidth, false, 1, field.text, fontSize};
        if (index)
            replaceMark(*index, mark);
        else
            restore(mark);
    } else if (index) {
        removeMark(*index);
    }
    changed();
    if (onStyleChange) onStyleChange();
}

void CanvasModel::cancelText() {
    if (!textField_) return;
    textField_.reset();
    textIndex_.reset();
    if (onTextField) onTextField();
    changed();
}

}  // namespace tessal
