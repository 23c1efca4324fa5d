#include "X11ScreenCapture.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVariantMap>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "X11Connection.h"
#include "base/QtGeometry.h"
#include "platform/DisplayMapping.h"

namespace tessal {
namespace {

const char* kNoScreen = QT_TRANSLATE_NOOP("X11ScreenCapture", "无法读取屏幕内容");
// The overlay's shade: black at 40 %.
constexpr std::uint16_t kShadeAlpha = 0x6666;

// Copies 32-bit pixels into an opaque image: the X server leaves the unused byte undefined.
// Into `image` when it is that size and held by nobody else.
QImage opaqueImage(const std::uint8_t* data, int width, int height, std::size_t stride,
                   QImage& image) {
    if (!image.isDetached() || image.size() != QSize(width, height) ||
        image.format() != QImage::Format_RGB32)
        image = QImage(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        auto* dst = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) dst[x] = src[x] | 0xff000000u;
    }
    return image;
}

QImage opaqueImage(const std::uint8_t* data, int width, int height, std::size_t stride) {
    QImage fresh;
    return opaqueImage(data, width, height, stride, fresh);
}

}  // namespace

X11ScreenCapture::X11ScreenCapture() = default;

X11ScreenCapture::~X11ScreenCapture() {
    releaseFrozenDisplays();
    releaseSegment();
}

std::vector<DisplayInfo> X11ScreenCapture::displays() {
    return qtDisplays();
}

Result<ShareableContent> X11ScreenCapture::shareableContent() {
    xcb_connection_t* c = x11::connection();
    if (!c || xcb_connection_has_error(c))
        return UserError{"Ostrel", 2, QCoreApplication::translate("X11ScreenCapture", kNoScreen)};
    ShareableContent content;
    for (const DisplayInfo& d : displays()) content.displayIds << d.id;
    return content;
}

Result<QImage> X11ScreenCapture::screenshot(const DisplayInfo& display, int pixelWidth,
                                            int pixelHeight) {
    xcb_connection_t* c = x11::connection();
    if (!c || pixelWidth <= 0 || pixelHeight <= 0)
        return UserError{"Ostrel", 2, QCoreApplication::translate("X11ScreenCapture", kNoScreen)};
    if (!pending_.empty() || !curtains_.empty()) {
        QImage frozen = takePendingGrab(display.id, pixelWidth, pixelHeight);
        if (!frozen.isNull()) return frozen;
        // Not frozen with the others (or its picture failed): the curtains would be in it. Once
        // they are gone, the windows they covered need a moment to repaint.
        const bool covered = !curtains_.empty();
        takeDownCurtains();
        if (covered) {
            x11::sync();
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        }
    }
    // Our own windows were hidden before this; make sure the server has done so.
    x11::sync();
    const int x = display.nativeRect.x();
    const int y = display.nativeRect.y();
    QImage image = shmAvailable_ ? grabShm(x, y, pixelWidth, pixelHeight) : QImage();
    if (image.isNull()) image = grabPlain(x, y, pixelWidth, pixelHeight);
    if (image.isNull() || image.width() != pixelWidth || image.height() != pixelHeight)
        return UserError{"Ostrel", 3, QCoreApplication::translate("X11ScreenCapture", kNoScreen)};
    return image;
}

std::optional<PointerImage> X11ScreenCapture::pointerImage() {
    xcb_connection_t* c = x11::connection();
    if (!c) return std::nullopt;
    // XFixes answers nothing until a client has said which version it speaks.
    xcb_xfixes_query_version_reply_t* version = xcb_xfixes_query_version_reply(
        c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr);
    if (!version) return std::nullopt;
    std::free(version);
    xcb_xfixes_get_cursor_image_reply_t* reply =
        xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr);
    if (!reply) return std::nullopt;
    std::optional<PointerImage> pointer;
    const int count = xcb_xfixes_get_cursor_image_cursor_image_length(reply);
    if (reply->width > 0 && reply->height > 0 && count == int(reply->width) * reply->height) {
        // ARGB with premultiplied alpha, one 32-bit value per pixel, as Qt stores it.
        QImage image(reply->width, reply->height, QImage::Format_ARGB32_Premultiplied);
        const std::uint32_t* pixels = xcb_xfixes_get_cursor_image_cursor_image(reply);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(image.scanLine(y), pixels + std::size_t(y) * reply->width,
                        std::size_t(reply->width) * 4);
        pointer =
            PointerImage{std::move(image), QPoint(reply->x - reply->xhot, reply->y - reply->yhot)};
    }
    std::free(reply);
    return pointer;
}

void X11ScreenCapture::warmUp() {
    windowList();  // its atoms
    rootPictureFormat();
    compositingManagerRunning();
    // Every display's picture once, into the shared segment and the image kept for it: each
    // fresh page costs 15–20 µs on first touch (on both sides of the segment), which at 1080p is
    // over 30 ms the first capture's still would otherwise wait for.
    if (!pending_.empty() || !curtains_.empty() || !shmAvailable_) return;
    const std::vector<DisplayInfo> all = displays();
    if (!requestPictures(all)) return;
    for (const DisplayInfo& d : all)
        takePendingGrab(d.id, d.nativeRect.width(), d.nativeRect.height());
    for (const PendingGrab& grab : pending_)
        xcb_discard_reply(x11::connection(), grab.cookie.sequence);
    pending_.clear();
}

bool X11ScreenCapture::requestPictures(const std::vector<DisplayInfo>& displays) {
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    std::size_t total = 0;
    for (const DisplayInfo& d : displays)
        total += std::size_t(d.nativeRect.width()) * d.nativeRect.height() * 4;
    if (!c || !screen || total == 0 || !ensureSegment(total)) return false;
    std::size_t offset = 0;
    for (const DisplayInfo& d : displays) {
        const QRect r = d.nativeRect;
        if (r.isEmpty()) continue;
        PendingGrab grab{d.id, r.size(), offset, {}};
        grab.cookie = xcb_shm_get_image(c, screen->root, int16_t(r.x()), int16_t(r.y()),
                                        uint16_t(r.width()), uint16_t(r.height()), ~0u,
                                        XCB_IMAGE_FORMAT_Z_PIXMAP, segment_, uint32_t(offset));
        pending_.push_back(grab);
        offset += std::size_t(r.width()) * r.height() * 4;
    }
    return true;
}

void X11ScreenCapture::freezeDisplays(const std::vector<DisplayInfo>& displays) {
    // A hold the shortcut's press began goes on: its keys are this capture's.
    takeDownCurtains();
    x11::holdKeyboard();
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    // Only screens whose pictures can be read at all (24 or 32 bits) are frozen.
    if (!c || !screen || !shmAvailable_ || displays.empty() ||
        (screen->root_depth != 24 && screen->root_depth != 32))
        return;
    const std::uint32_t format = rootPictureFormat();
    if (!format) return;
    // Also waits until the server has hidden our own windows, as it was asked before this.
    const bool composited = compositingManagerRunning();

    // The pictures first: the server answers in order, so they show the displays before any
    // curtain is up. Their answers are read later, by screenshot().
    if (!requestPictures(displays)) return;

    // The dimming matches the overlay's: black at 40 % over the display.
    std::vector<QRect> rects;
    for (const DisplayInfo& d : displays) {
        if (d.nativeRect.isEmpty()) continue;
        rects.push_back(d.nativeRect);
        curtainFrames_.push_back(d.frame);
    }
    if (composited)
        putUpComposedCurtains(rects, format);
    else
        putUpCurtainsInPlace(rects, format);
    xcb_flush(c);
}

// Without a compositing manager a window whose background is None keeps what the screen showed
// where it was mapped; darkening that in place is one pass over the screen.
void X11ScreenCapture::putUpCurtainsInPlace(const std::vector<QRect>& rects, std::uint32_t format) {
    xcb_connection_t* c = x11::connection();
    for (const QRect& r : rects) {
        const xcb_window_t curtain = createCurtain(r, XCB_BACK_PIXMAP_NONE);
        const xcb_render_picture_t picture = xcb_generate_id(c);
        xcb_render_create_picture(c, picture, curtain, format, 0, nullptr);
        const xcb_rectangle_t all{0, 0, uint16_t(r.width()), uint16_t(r.height())};
        xcb_render_fill_rectangles(c, XCB_RENDER_PICT_OP_OVER, picture,
                                   xcb_render_color_t{0, 0, 0, kShadeAlpha}, 1, &all);
        xcb_render_free_picture(c, picture);
    }
}

// A compositing manager gives each window storage of its own, undefined until drawn, so the
// darkened display is composed inside the server into a pixmap (the root with everything on it
// through a 60 % mask) that becomes the curtain's background, drawn the moment it is mapped.
void X11ScreenCapture::putUpComposedCurtains(const std::vector<QRect>& rects,
                                             std::uint32_t format) {
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    const uint32_t includeInferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    const xcb_render_picture_t root = xcb_generate_id(c);
    xcb_render_create_picture(c, root, screen->root, format, XCB_RENDER_CP_SUBWINDOW_MODE,
                              &includeInferiors);
    const xcb_render_picture_t mask = xcb_generate_id(c);
    xcb_render_create_solid_fill(c, mask,
                                 xcb_render_color_t{0, 0, 0, uint16_t(0xffff - kShadeAlpha)});
    std::vector<xcb_pixmap_t> stills;
    // Every still is made before the first curtain is up, so none shows another.
    for (const QRect& r : rects) {
        const xcb_pixmap_t still = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, still, screen->root, uint16_t(r.width()),
                          uint16_t(r.height()));
        const xcb_render_picture_t target = xcb_generate_id(c);
        xcb_render_create_picture(c, target, still, format, 0, nullptr);
        xcb_render_composite(c, XCB_RENDER_PICT_OP_SRC, root, mask, target, int16_t(r.x()),
                             int16_t(r.y()), 0, 0, 0, 0, uint16_t(r.width()), uint16_t(r.height()));
        xcb_render_free_picture(c, target);
        stills.push_back(still);
    }
    xcb_render_free_picture(c, mask);
    xcb_render_free_picture(c, root);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        createCurtain(rects[i], stills[i]);
        // The window holds its background; the pixmap goes with it.
        xcb_free_pixmap(c, stills[i]);
    }
}

// A mapped override-redirect window over `rect` that never takes the focus. Pointer events on it
// would propagate to the root, where window managers bind clicks and wheel turns (openbox
// switches desktops on the wheel): nobody selects them on the curtain and it propagates none, so
// a click or wheel turn while it is up reaches nothing.
std::uint32_t X11ScreenCapture::createCurtain(const QRect& rect, std::uint32_t background) {
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    const xcb_window_t curtain = xcb_generate_id(c);
    const uint32_t swallowed = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                               XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_MOTION |
                               XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    // In the order of their bits: back pixmap, override redirect, do-not-propagate mask.
    const uint32_t values[] = {background, 1, swallowed};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, curtain, screen->root, int16_t(rect.x()),
                      int16_t(rect.y()), uint16_t(rect.width()), uint16_t(rect.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_DONT_PROPAGATE,
                      values);
    xcb_map_window(c, curtain);
    curtains_.push_back(curtain);
    return curtain;
}

bool X11ScreenCapture::compositingManagerRunning() {
    xcb_connection_t* c = x11::connection();
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, x11::atom("_NET_WM_CM_S0")), nullptr);
    const bool running = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return running;
}

void X11ScreenCapture::releaseFrozenDisplays() {
    x11::releaseKeyboardHold();
    takeDownCurtains();
}

void X11ScreenCapture::takeDownCurtains() {
    xcb_connection_t* c = x11::connection();
    if (!c) {
        pending_.clear();
        curtains_.clear();
        return;
    }
    for (const PendingGrab& grab : pending_) xcb_discard_reply(c, grab.cookie.sequence);
    pending_.clear();
    for (xcb_window_t curtain : curtains_) xcb_destroy_window(c, curtain);
    if (!curtains_.empty()) xcb_flush(c);
    curtains_.clear();
    curtainFrames_.clear();
}

void X11ScreenCapture::drawOnFrozenDisplay(const Rect& displayFrame, QPoint offset,
                                           const QImage& pixels) {
    xcb_connection_t* c = x11::connection();
    const auto it = std::find(curtainFrames_.begin(), curtainFrames_.end(), displayFrame);
    if (!c || it == curtainFrames_.end() || pixels.isNull() || offset.x() < 0 || offset.y() < 0)
        return;
    const xcb_window_t curtain = curtains_[std::size_t(it - curtainFrames_.begin())];
    const QImage image = pixels.convertToFormat(QImage::Format_RGB32);
    const std::size_t rowBytes = std::size_t(image.width()) * 4;
    const std::size_t bytes = rowBytes * std::size_t(image.height());
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, curtain, 0, nullptr);
    const std::uint8_t depth = x11::screen()->root_depth;
    // Through the shared segment when it is free (every picture read) and large enough: the
    // server reads it in place.
    if (pending_.empty() && shmAddress_ && bytes <= shmSize_) {
        if (std::exchange(segmentBeingRead_, false)) x11::sync();
        auto* dst = static_cast<std::uint8_t*>(shmAddress_);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(dst + std::size_t(y) * rowBytes, image.constScanLine(y), rowBytes);
        xcb_shm_put_image(c, curtain, gc, uint16_t(image.width()), uint16_t(image.height()), 0, 0,
                          uint16_t(image.width()), uint16_t(image.height()), int16_t(offset.x()),
                          int16_t(offset.y()), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
        segmentBeingRead_ = true;
    } else {
        // Else in bands that fit a request without the big-requests extension.
        const int band = std::max(1, int(200000 / std::max<std::size_t>(rowBytes, 1)));
        for (int y = 0; y < image.height(); y += band) {
            const int rows = std::min(band, image.height() - y);
            QImage part = image.copy(0, y, image.width(), rows);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, curtain, gc, uint16_t(image.width()),
                          uint16_t(rows), int16_t(offset.x()), int16_t(offset.y() + y), 0, depth,
                          uint32_t(rowBytes * std::size_t(rows)), part.constBits());
        }
    }
    xcb_free_gc(c, gc);
    xcb_flush(c);
}

QImage X11ScreenCapture::takePendingGrab(const QString& displayId, int width, int height) {
    auto it = std::find_if(pending_.begin(), pending_.end(),
                           [&](const PendingGrab& g) { return g.displayId == displayId; });
    if (it == pending_.end()) return {};
    const PendingGrab grab = *it;
    pending_.erase(it);
    xcb_connection_t* c = x11::connection();
    xcb_generic_error_t* error = nullptr;
    xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(c, grab.cookie, &error);
    std::free(error);
    if (!reply) return {};
    const std::size_t bytes = std::size_t(width) * height * 4;
    const bool usable = (reply->depth == 24 || reply->depth == 32) && reply->size == bytes &&
                        grab.size == QSize(width, height);
    std::free(reply);
    if (!usable) return {};
    return opaqueImage(static_cast<const std::uint8_t*>(shmAddress_) + grab.offset, width, height,
                       std::size_t(width) * 4, stills_[displayId]);
}

// RENDER's format for the root window's visual, found once; 0 when the server has no RENDER.
std::uint32_t X11ScreenCapture::rootPictureFormat() {
    if (renderChecked_) return pictureFormat_;
    renderChecked_ = true;
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_render_id);
    if (!screen || !ext || !ext->present) return 0;
    xcb_render_query_version_reply_t* version = xcb_render_query_version_reply(
        c, xcb_render_query_version(c, XCB_RENDER_MAJOR_VERSION, XCB_RENDER_MINOR_VERSION),
        nullptr);
    const bool solidFill = version && (version->major_version > 0 || version->minor_version >= 10);
    std::free(version);
    if (!solidFill) return 0;
    xcb_render_query_pict_formats_reply_t* formats =
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (!formats) return 0;
    for (auto s = xcb_render_query_pict_formats_screens_iterator(formats); s.rem;
         xcb_render_pictscreen_next(&s))
        for (auto d = xcb_render_pictscreen_depths_iterator(s.data); d.rem;
             xcb_render_pictdepth_next(&d))
            for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem;
                 xcb_render_pictvisual_next(&v))
                if (v.data->visual == screen->root_visual) pictureFormat_ = v.data->format;
    std::free(formats);
    return pictureFormat_;
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
    std::vector<std::pair<qsizetype, xcb_window_t>> withoutPid;
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
        if (!pid.empty() && pid[0] > 0)
            entry.insert(WindowKey::pid, qlonglong(pid[0]));
        else
            withoutPid.push_back({list.size(), p.window});
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
    // Several toolkits set no _NET_WM_PID; the server still knows a local client's process.
    std::vector<xcb_window_t> windows;
    for (const auto& [index, window] : withoutPid) windows.push_back(window);
    const std::vector<int> owners = x11::clientPids(windows);
    for (size_t i = 0; i < withoutPid.size(); ++i) {
        if (owners[i] <= 0) continue;
        QVariantMap entry = list[withoutPid[i].first].toMap();
        entry.insert(WindowKey::pid, qlonglong(owners[i]));
        list[withoutPid[i].first] = entry;
    }
    return list;
}

}  // namespace tessal
