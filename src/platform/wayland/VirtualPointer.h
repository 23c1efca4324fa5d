#pragma once

#include <QRect>
#include <memory>
#include <optional>

namespace tessal {

// A pointer of our own that turns other programs' wheels, by whatever the compositor offers.
class WheelPointer {
  public:
    virtual ~WheelPointer() = default;
    // Moves to `at`, turns the wheel `notches` times (positive: down or right), and moves to
    // `park`; layout coordinates, `layout` the rectangle all outputs span. False when the
    // compositor's connection broke.
    virtual bool scroll(QPoint at, int notches, bool horizontal, QPoint park,
                        const QRect& layout) = 0;
    // Gets ready for turns coming soon, without waiting.
    virtual void prepare() {}
};

// On wlroots compositors (zwlr_virtual_pointer_manager_v1), on a connection of its own, alive
// as long as this object: clients take a pointer's events only once the seat has one, so one
// made per wheel turn would lose its first events. A turn is sent as one batch, so the
// compositor handles all of it before it draws again and the pointer is never shown at `at`.
class VirtualPointer final : public WheelPointer {
  public:
    // Null when there is no Wayland display or it offers no virtual pointers.
    static std::unique_ptr<VirtualPointer> open();
    ~VirtualPointer() override;

    bool scroll(QPoint at, int notches, bool horizontal, QPoint park, const QRect& layout) override;

    struct State;

  private:
    explicit VirtualPointer(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Where to leave the pointer after a wheel turn: outside `keepClear` with the pointer's picture
// (`cursor` about its hot spot, which a client's cursor may have anywhere: a text beam's is in
// its middle) clear of it, inside `within` where that fits, else anywhere in
// `output`; the corner of `output` farthest from `keepClear` when nothing fits. Layout
// coordinates; `at` is where the wheel turned.
QPoint parkingPoint(const QRect& keepClear, const QRect& within, const QRect& output, QPoint at,
                    const QMargins& cursor = QMargins(40, 40, 40, 40));

}  // namespace tessal
