#include "X11ScreenCapture.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QVariantMap>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "X11Connection.h"
#include "base/QtGeometry.h"
#include "platform/DisplayMapping.h"

namespace tessal {
namespace {

const char* kNoScreen = "无法读取屏幕内容";

// Copies 32-bit pixels into an opaque image: the X server leaves the unused byte undefined.
QImage opaqueImage(const std::uint8_t* data, int width, int height, std::size_t stride) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        auto* dst = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) dst[x] = src[x] | 0xff000000u;
    }
    return image;
}

}  // namespace

X11ScreenCapture::X11ScreenCapture() = default;

X11ScreenCapture::~X11ScreenCapture() {
    releaseSegment();
}

std::vector<DisplayInfo> X11ScreenCapture::displays() {
    return qtDisplays();
}

Result<ShareableContent> X11ScreenCapture::shareableContent() {
    xcb_connection_t* c = x11::connection();
    if (!c || xcb_connection_has_error(c))
        return UserError{"Ostrel", 2, QString::fromUtf8(kNoScreen)};
    ShareableContent content;
    for (const DisplayInfo& d : displays()) content.displayIds << d.id;
    return content;
}

Result<QImage> X11ScreenCapture::screenshot(const DisplayInfo& display, int pixelWidth,
                                            int pixelHeight) {
    xcb_connection_t* c = x11::connection();
    if (!c || pixelWidth <= 0 || pixelHeight <= 0)
        return UserError{"Ostrel", 2, QString::fromUtf8(kNoScreen)};
    // Our own windows were hidden before this; make sure the server has done so.
    x11::sync();
    const int x = display.nativeRect.x();
    const int y = display.nativeRect.y();
    QImage image = shmAvailable_ ? grabShm(x, y, pixelWidth, pixelHeight) : QImage();
    if (image.isNull()) image = grabPlain(x, y, pixelWidth, pixelHeight);
    if (image.isNull() || image.width() != pixelWidth || image.height() != pixelHeight)
        return UserError{"Ostrel", 3, QString::fromUtf8(kNoScreen)};
    return image;
}

bool X11ScreenCapture::ensureSegment(std::size_t bytes) {
    if (shmAddress_ && shmSize_ >= bytes) return true;
    releaseSegment();
    xcb_connection_t* c = x11::connection();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present) return shmAvailable_ = false;
    shmId_ = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmId_ < 0) return shmAvailable_ = false;
    shmAddress_ = shmat(shmId_, nullptr, 0);
    // Marked for removal now so the segment disappears with the process whatever happens.
    shmctl(shmId_, IPC_RMID, nullptr);
    if (shmAddress_ == reinterpret_cast<void*>(-1)) {
        shmAddress_ = nullptr;
        return shmAvailable_ = false;
    }
    segment_ = xcb_generate_id(c);
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_shm_attach_checked(c, segment_, shmId_, 0));
    if (error) {
        std::free(error);
        shmdt(shmAddress_);
        shmAddress_ = nullptr;
        return shmAvailable_ = false;
    }
    shmSize_ = bytes;
    return true;
}

void X11ScreenCapture::releaseSegment() {
    if (!shmAddress_) return;
    if (xcb_connection_t* c = x11::connection()) {
        xcb_shm_detach(c, segment_);
        xcb_flush(c);
    }
    shmdt(shmAddress_);
    shmAddress_ = nullptr;
    shmSize_ = 0;
}

QImage X11ScreenCapture::grabShm(int x, int y, int width, int height) {
    const std::size_t bytes = std::size_t(width) * height * 4;
    if (!ensureSegment(bytes)) return {};
    xcb_connection_t* c = x11::connection();
    auto cookie = xcb_shm_get_image(c, x11::rootWindow(), int16_t(x), int16_t(y), uint16_t(width),
                                    uint16_t(height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment_, 0);
    xcb_generic_error_t* error = nullptr;
    xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(c, cookie, &error);
    std::free(error);
    if (!reply) return {};
    const bool usable = (reply->depth == 24 || reply->depth == 32) && reply->size == bytes;
    std::free(reply);
    if (!usable) return {};
    return opaqueImage(static_cast<const std::uint8_t*>(shmAddress_), width, height,
                       std::size_t(width) * 4);
}

QImage X11ScreenCapture::grabPlain(int x, int y, int width, int height) {
    xcb_connection_t* c = x11::connection();
    auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, x11::rootWindow(), int16_t(x),
                                int16_t(y), uint16_t(width), uint16_t(height), ~0u);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(c, cookie, nullptr);
    if (!reply) return {};
    QImage image;
    const int length = xcb_get_image_data_length(reply);
    if ((reply->depth == 24 || reply->depth == 32) &&
        std::size_t(length) == std::size_t(width) * height * 4)
        image = opaqueImage(xcb_get_image_data(reply), width, height, std::size_t(width) * 4);
    std::free(reply);
    return image;
}

QVariantList X11ScreenCapture::windowList() {
    QVariantList list;
    xcb_connection_t* c = x11::connection();
    if (!c) return list;
    const xcb_window_t root = x11::rootWindow();
    const std::vector<DisplayMapping> mappings = currentDisplayMappings();

    const xcb_atom_t typeAtom = x11::atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t stateAtom = x11::atom("_NET_WM_STATE");
    const xcb_atom_t desktopAtom = x11::atom("_NET_WM_DESKTOP");
    const xcb_atom_t pidAtom = x11::atom("_NET_WM_PID");
    const xcb_atom_t opacityAtom = x11::atom("_NET_WM_WINDOW_OPACITY");
    const xcb_atom_t extentsAtom = x11::atom("_NET_FRAME_EXTENTS");
    const xcb_atom_t hidden = x11::atom("_NET_WM_STATE_HIDDEN");
    const xcb_atom_t above = x11::atom("_NET_WM_STATE_ABOVE");
    const xcb_atom_t typeDesktop = x11::atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    const xcb_atom_t typeDock = x11::atom("_NET_WM_WINDOW_TYPE_DOCK");
    const std::vector<xcb_atom_t> popupTypes = {
        x11::atom("_NET_WM_WINDOW_TYPE_NOTIFICATION"),  x11::atom("_NET_WM_WINDOW_TYPE_TOOLTIP"),
        x11::atom("_NET_WM_WINDOW_TYPE_MENU"),          x11::atom("_NET_WM_WINDOW_TYPE_POPUP_MENU"),
        x11::atom("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"), x11::atom("_NET_WM_WINDOW_TYPE_SPLASH"),
        x11::atom("_NET_WM_WINDOW_TYPE_COMBO"),         x11::atom("_NET_WM_WINDOW_TYPE_DND")};

    const auto currentDesktop = x11::cardinalProperty(root, x11::atom("_NET_CURRENT_DESKTOP"), 1);
    const auto stacking =
        x11::cardinalProperty(root, x11::atom("_NET_CLIENT_LIST_STACKING"), 1u << 16);

    // Every request goes out before the first answer is read: one round trip, not dozens.
    struct Pending {
        xcb_window_t window;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t desktop, states, types, extents, pid, opacity;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t position;
    };
    std::vector<Pending> pending;
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        const xcb_window_t w = *it;
        pending.push_back(
            {w, xcb_get_window_attributes(c, w), x11::requestProperty(w, desktopAtom, 1),
             x11::requestProperty(w, stateAtom, 64), x11::requestProperty(w, typeAtom, 16),
             x11::requestProperty(w, extentsAtom, 4), x11::requestProperty(w, pidAtom, 1),
             x11::requestProperty(w, opacityAtom, 1), xcb_get_geometry(c, w),
             xcb_translate_coordinates(c, w, root, 0, 0)});
    }
    for (const Pending& p : pending) {
        // Every reply is collected, used or not, so none is left queued on the connection.
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, p.attributes, nullptr);
        const auto desktop = x11::cardinalReply(p.desktop);
        const auto states = x11::cardinalReply(p.states);
        const auto types = x11::cardinalReply(p.types);
        const auto extents = x11::cardinalReply(p.extents);
        const auto pid = x11::cardinalReply(p.pid);
        const auto opacity = x11::cardinalReply(p.opacity);
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, p.geometry, nullptr);
        xcb_translate_coordinates_reply_t* position =
            xcb_translate_coordinates_reply(c, p.position, nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        QRect native;
        if (geometry && position)
            native = QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
        std::free(attributes);
        std::free(geometry);
        std::free(position);
        if (!viewable || native.isNull()) continue;  // unmapped, or gone since the list was read

        if (!desktop.empty() && !currentDesktop.empty() && desktop[0] != 0xffffffffu &&
            desktop[0] != currentDesktop[0])
            continue;
        if (std::find(states.begin(), states.end(), hidden) != states.end()) continue;
        if (std::find(types.begin(), types.end(), typeDesktop) != types.end()) continue;

        int layer = 0;
        if (std::find(states.begin(), states.end(), above) != states.end()) layer = 3;
        if (std::find(types.begin(), types.end(), typeDock) != types.end()) layer = 20;
        for (xcb_atom_t t : popupTypes)
            if (std::find(types.begin(), types.end(), t) != types.end()) layer = 25;
        const Rect content = windowListRectFromNative(native, mappings);
        if (extents.size() == 4)
            native.adjust(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));

        const Rect points = windowListRectFromNative(native, mappings);
        QVariantMap entry;
        entry.insert(WindowKey::number, uint(p.window));
        entry.insert(WindowKey::layer, layer);
        if (!pid.empty()) entry.insert(WindowKey::pid, qlonglong(pid[0]));
        if (!opacity.empty()) entry.insert(WindowKey::alpha, opacity[0] / 4294967295.0);
        entry.insert(WindowKey::bounds, QVariantMap{{"x", points.minX()},
                                                    {"y", points.minY()},
                                                    {"width", points.width()},
                                                    {"height", points.height()}});
        entry.insert(WindowKey::content, QVariantMap{{"x", content.minX()},
                                                     {"y", content.minY()},
                                                     {"width", content.width()},
                                                     {"height", content.height()}});
        list.append(entry);
    }
    return list;
}

}  // namespace tessal
