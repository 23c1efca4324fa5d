#include "VirtualPointer.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace tessal {

struct VirtualPointer::State {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    ~State() {
        if (pointer) zwlr_virtual_pointer_v1_destroy(pointer);
        if (manager) zwlr_virtual_pointer_manager_v1_destroy(manager);
        if (seat) wl_seat_destroy(seat);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }
};

namespace {

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* state = static_cast<VirtualPointer::State*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !state->seat)
        state->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        state->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

uint32_t milliseconds() {
    using namespace std::chrono;
    return uint32_t(
        duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

VirtualPointer::VirtualPointer(std::unique_ptr<State> state) : state_(std::move(state)) {}
VirtualPointer::~VirtualPointer() = default;

std::unique_ptr<VirtualPointer> VirtualPointer::open() {
    auto state = std::make_unique<State>();
    state->display = wl_display_connect(nullptr);
    if (!state->display) return nullptr;
    state->registry = wl_display_get_registry(state->display);
    wl_registry_add_listener(state->registry, &registryListener, state.get());
    if (wl_display_roundtrip(state->display) < 0 || !state->manager) return nullptr;
    state->pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(state->manager, state->seat);
    if (wl_display_roundtrip(state->display) < 0) return nullptr;
    return std::unique_ptr<VirtualPointer>(new VirtualPointer(std::move(state)));
}

bool VirtualPointer::scroll(QPoint at, int notches, bool horizontal, QPoint park,
                            const QRect& layout) {
    if (layout.isEmpty() || notches == 0) return false;
    zwlr_virtual_pointer_v1* p = state_->pointer;
    const auto moveTo = [&](QPoint point) {
        const QPoint local = point - layout.topLeft();
        zwlr_virtual_pointer_v1_motion_absolute(
            p, milliseconds(), uint32_t(std::clamp(local.x(), 0, layout.width() - 1)),
            uint32_t(std::clamp(local.y(), 0, layout.height() - 1)), uint32_t(layout.width()),
            uint32_t(layout.height()));
        zwlr_virtual_pointer_v1_frame(p);
    };
    moveTo(at);
    // The compositor gives the surface under the pointer its focus only once it has handled the
    // motion; a wheel turn in the same batch would go to the surface left.
    if (wl_display_roundtrip(state_->display) < 0) return false;
    const uint32_t axis =
        horizontal ? WL_POINTER_AXIS_HORIZONTAL_SCROLL : WL_POINTER_AXIS_VERTICAL_SCROLL;
    const int sign = notches > 0 ? 1 : -1;
    // 15 units a notch: what libinput reports for a wheel, and what toolkits expect with it.
    for (int i = 0; i < std::abs(notches); ++i) {
        zwlr_virtual_pointer_v1_axis_source(p, WL_POINTER_AXIS_SOURCE_WHEEL);
        zwlr_virtual_pointer_v1_axis_discrete(p, milliseconds(), axis, wl_fixed_from_int(15 * sign),
                                              sign);
        zwlr_virtual_pointer_v1_frame(p);
    }
    moveTo(park);
    return wl_display_roundtrip(state_->display) >= 0;
}

QPoint parkingPoint(const QRect& keepClear, const QRect& within, const QRect& output, QPoint at,
                    const QMargins& cursor) {
    const auto picture = [&](QPoint p) { return QRect(p, p).marginsAdded(cursor); };
    const QPoint candidates[] = {
        {at.x(), keepClear.bottom() + 1 + cursor.top()},
        {keepClear.right() + 1 + cursor.left(), at.y()},
        {at.x(), keepClear.top() - 1 - cursor.bottom()},
        {keepClear.left() - 1 - cursor.right(), at.y()},
    };
    for (const QRect& area : {within.intersected(output), output}) {
        if (area.isEmpty()) continue;
        for (QPoint p : candidates)
            if (area.contains(picture(p)) && !picture(p).intersects(keepClear)) return p;
    }
    QPoint best = output.topLeft();
    long long farthest = -1;
    for (QPoint corner :
         {output.topLeft(), output.topRight(), output.bottomLeft(), output.bottomRight()}) {
        const QPoint d = corner - keepClear.center();
        const long long distance = 1ll * d.x() * d.x() + 1ll * d.y() * d.y();
        if (distance > farthest) farthest = distance, best = corner;
    }
    return best;
}

}  // namespace tessal
