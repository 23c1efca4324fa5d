#include "Screencopy.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");

// The overlay's dimming: black at 40 %, premultiplied.
constexpr std::uint32_t kShadePixel = 0x66000000;

struct Output {
    wl_output* output = nullptr;
    uint32_t globalName = 0;
    QString name;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
};

// Shared memory the compositor copies a frame into.
struct ShmBuffer {
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    void* pixels = MAP_FAILED;
    size_t size = 0;
    wl_buffer* buffer = nullptr;
    ~ShmBuffer() {
        if (buffer) wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED) munmap(pixels, size);
    }
    bool fits(uint32_t f, uint32_t w, uint32_t h, uint32_t s) const {
        return format == f && width == w && height == h && stride == s;
    }
};

struct Curtain;

// One output's capture in flight. It keeps the output's name, not the output: an output removed
// while the frames are dispatched is gone from the list by the time they are read.
struct Frame {
    zwlr_screencopy_frame_v1* frame = nullptr;
    QString outputName;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool offered = false, yInvert = false, done = false, failed = false;
    ShmBuffer* buffer = nullptr;       // owned here or by the connection's reused ones
    std::unique_ptr<ShmBuffer> owned;  // a buffer for this frame alone
    Curtain* curtain = nullptr;        // where the picture is shown once it arrives
    ~Frame() {
        if (frame) zwlr_screencopy_frame_v1_destroy(frame);
    }
};

// A frozen output: a layer surface showing a picture's buffer as it is, under a subsurface that
// dims it with one scaled pixel. Neither takes input, so the pointer and clicks reach what lies
// beneath, as they do before any capture overlay is up.
struct Curtain {
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    wp_viewport* viewport = nullptr;
    wl_surface* shadeSurface = nullptr;
    wl_subsurface* shade = nullptr;
    wp_viewport* shadeViewport = nullptr;
    QString outputName;
    ShmBuffer* buffer = nullptr;  // the picture, once it has arrived
    bool yInvert = false;
    int32_t width = 0, height = 0;
    bool configured = false, shown = false, closed = false;
    ~Curtain() {
        if (shadeViewport) wp_viewport_destroy(shadeViewport);
        if (shade) wl_subsurface_destroy(shade);
        if (shadeSurface) wl_surface_destroy(shadeSurface);
        if (viewport) wp_viewport_destroy(viewport);
        if (layer) zwlr_layer_surface_v1_destroy(layer);
        if (surface) wl_surface_destroy(surface);
    }
};

QImage::Format qtFormat(uint32_t format) {
    switch (format) {
        case WL_SHM_FORMAT_XRGB8888:
            return QImage::Format_RGB32;
        case WL_SHM_FORMAT_ARGB8888:
            return QImage::Format_ARGB32;
        case WL_SHM_FORMAT_XBGR8888:
            return QImage::Format_RGBX8888;
        case WL_SHM_FORMAT_ABGR8888:
            return QImage::Format_RGBA8888;
        default:
            return QImage::Format_Invalid;
    }
}

// A buffer in shared memory of its own, mapped.
std::unique_ptr<ShmBuffer> createBuffer(wl_shm* shm, uint32_t format, uint32_t width,
                                        uint32_t height, uint32_t stride) {
    auto b = std::make_unique<ShmBuffer>();
    b->format = format, b->width = width, b->height = height, b->stride = stride;
    b->size = size_t(stride) * height;
    const int fd = memfd_create("tessal-screencopy", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(b->size)) != 0) {
        if (fd >= 0) close(fd);
        return nullptr;
    }
    b->pixels = mmap(nullptr, b->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(b->size));
    close(fd);
    if (b->pixels == MAP_FAILED) {
        wl_shm_pool_destroy(pool);
        return nullptr;
    }
    b->buffer = wl_shm_pool_create_buffer(pool, 0, int32_t(width), int32_t(height), int32_t(stride),
                                          format);
    wl_shm_pool_destroy(pool);
    return b;
}

}  // namespace

struct Screencopy::State {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    zwlr_screencopy_manager_v1* manager = nullptr;
    wl_compositor* compositor = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_viewporter* viewporter = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    // Each output's last buffer, copied into again by the next capture of the same size: fresh
    // memory costs a page fault every 4 KiB, on both sides of the copy.
    std::map<QString, std::unique_ptr<ShmBuffer>> buffers;
    std::unique_ptr<ShmBuffer> shadeBuffer;
    std::vector<std::unique_ptr<Frame>> pending;  // requested, not yet taken
    bool pendingPointer = false;
    std::vector<std::unique_ptr<Curtain>> curtains;

    ~State() {
        pending.clear();
        curtains.clear();
        buffers.clear();
        shadeBuffer.reset();
        for (auto& o : outputs) {
            if (wl_output_get_version(o->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(o->output);
            else
                wl_output_destroy(o->output);
        }
        if (viewporter) wp_viewporter_destroy(viewporter);
        if (layerShell) zwlr_layer_shell_v1_destroy(layerShell);
        if (subcompositor) wl_subcompositor_destroy(subcompositor);
        if (compositor) wl_compositor_destroy(compositor);
        if (manager) zwlr_screencopy_manager_v1_destroy(manager);
        if (shm) wl_shm_destroy(shm);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }
};

namespace {

void outputGeometry(void* data, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t transform) {
    static_cast<Output*>(data)->transform = transform;
}
void outputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void outputDone(void*, wl_output*) {}
void outputScale(void*, wl_output*, int32_t) {}
void outputName(void* data, wl_output*, const char* name) {
    static_cast<Output*>(data)->name = QString::fromUtf8(name);
}
void outputDescription(void*, wl_output*, const char*) {}
const wl_output_listener outputListener{outputGeometry, outputMode, outputDone,
                                        outputScale,    outputName, outputDescription};

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    auto* state = static_cast<Screencopy::State*>(data);
    const auto is = [interface](const wl_interface& i) {
        return std::strcmp(interface, i.name) == 0;
    };
    if (is(wl_shm_interface)) {
        state->shm = bind<wl_shm>(registry, name, wl_shm_interface, 1);
    } else if (is(zwlr_screencopy_manager_v1_interface)) {
        state->manager = bind<zwlr_screencopy_manager_v1>(
            registry, name, zwlr_screencopy_manager_v1_interface, std::min(version, 3u));
    } else if (is(wl_compositor_interface) && version >= 4) {
        state->compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, 4);
    } else if (is(wl_subcompositor_interface)) {
        state->subcompositor =
            bind<wl_subcompositor>(registry, name, wl_subcompositor_interface, 1);
    } else if (is(zwlr_layer_shell_v1_interface)) {
        state->layerShell =
            bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, 1);
    } else if (is(wp_viewporter_interface)) {
        state->viewporter = bind<wp_viewporter>(registry, name, wp_viewporter_interface, 1);
    } else if (is(wl_output_interface) && version >= 4) {
        auto output = std::make_unique<Output>();
        output->globalName = name;
        output->output = bind<wl_output>(registry, name, wl_output_interface, 4);
        wl_output_add_listener(output->output, &outputListener, output.get());
        state->outputs.push_back(std::move(output));
    }
}
void globalRemove(void* data, wl_registry*, uint32_t name) {
    auto& outputs = static_cast<Screencopy::State*>(data)->outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->globalName != name) continue;
        wl_output_release((*it)->output);
        outputs.erase(it);
        return;
    }
}
const wl_registry_listener registryListener{global, globalRemove};

// Shows the curtain once it is configured and its picture has arrived, whichever comes last.
void showCurtain(Curtain& c) {
    if (c.shown || c.closed || !c.configured || !c.buffer) return;
    wl_surface_attach(c.surface, c.buffer->buffer, 0, 0);
    // Y-inverted: the buffer holds the bottom row first.
    wl_surface_set_buffer_transform(
        c.surface, c.yInvert ? WL_OUTPUT_TRANSFORM_FLIPPED_180 : WL_OUTPUT_TRANSFORM_NORMAL);
    wl_surface_damage_buffer(c.surface, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(c.surface);
    c.shown = true;
}

void frameBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
                 uint32_t height, uint32_t stride) {
    auto* f = static_cast<Frame*>(data);
    // The first shared-memory format we can read is the one used.
    if (f->offered || qtFormat(format) == QImage::Format_Invalid) return;
    f->offered = true;
    f->format = format;
    f->width = width;
    f->height = height;
    f->stride = stride;
}
void frameFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
    static_cast<Frame*>(data)->yInvert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}
void frameReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
    auto* f = static_cast<Frame*>(data);
    f->done = true;
    if (!f->curtain || !f->buffer) return;
    f->curtain->buffer = f->buffer;
    f->curtain->yInvert = f->yInvert;
    showCurtain(*f->curtain);
}
void frameFailed(void* data, zwlr_screencopy_frame_v1*) {
    auto* f = static_cast<Frame*>(data);
    f->failed = true;
    f->done = true;
}
void frameDamage(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void frameDmabuf(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {}
void frameBufferDone(void*, zwlr_screencopy_frame_v1*) {}
const zwlr_screencopy_frame_v1_listener frameListener{
    frameBuffer, frameFlags, frameReady, frameFailed, frameDamage, frameDmabuf, frameBufferDone};

void curtainConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                      uint32_t height) {
    auto* c = static_cast<Curtain*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (width == 0 || height == 0 || c->configured) return;
    c->width = int32_t(width), c->height = int32_t(height);
    wp_viewport_set_destination(c->viewport, c->width, c->height);
    wp_viewport_set_destination(c->shadeViewport, c->width, c->height);
    // The subsurface's state is applied with its parent's next commit, the one with the picture.
    wl_surface_commit(c->shadeSurface);
    c->configured = true;
    showCurtain(*c);
}
void curtainClosed(void* data, zwlr_layer_surface_v1*) {
    static_cast<Curtain*>(data)->closed = true;
}
const zwlr_layer_surface_v1_listener curtainListener{curtainConfigure, curtainClosed};

enum class Dispatch { finished, timedOut, broken, woken };

// Dispatches until `finished`, the time is up (a negative `timeoutMs`: never) or `wakeFd`
// (when not negative) becomes readable.
template <typename Finished>
Dispatch dispatchUntil(wl_display* display, int timeoutMs, Finished finished, int wakeFd = -1) {
    QElapsedTimer timer;
    timer.start();
    while (!finished()) {
        if (wl_display_dispatch_pending(display) < 0) return Dispatch::broken;
        if (finished()) break;
        wl_display_flush(display);
        const int left = timeoutMs < 0 ? -1 : timeoutMs - int(timer.elapsed());
        if (timeoutMs >= 0 && left <= 0) return Dispatch::timedOut;
        if (wl_display_prepare_read(display) != 0) continue;
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int ready = poll(fds, wakeFd >= 0 ? 2 : 1, left);
        if (ready <= 0 || !(fds[0].revents & POLLIN)) {
            wl_display_cancel_read(display);
            if (ready > 0 && (fds[1].revents & POLLIN)) return Dispatch::woken;
            if (ready > 0) return Dispatch::broken;
            return Dispatch::timedOut;
        }
        if (wl_display_read_events(display) < 0) return Dispatch::broken;
    }
    return Dispatch::finished;
}

// The buffer a frame whose buffer was offered is copied into: `reused` where it fits, else a
// new one (kept in `reused` when given); false when there is no memory to be had.
bool attachBuffer(Frame& f, wl_shm* shm, std::unique_ptr<ShmBuffer>* reused = nullptr) {
    if (reused && *reused && (*reused)->fits(f.format, f.width, f.height, f.stride)) {
        f.buffer = reused->get();
        return true;
    }
    auto b = createBuffer(shm, f.format, f.width, f.height, f.stride);
    if (!b) return false;
    f.buffer = b.get();
    if (reused)
        *reused = std::move(b);
    else
        f.owned = std::move(b);
    return true;
}

bool canFreeze(const Screencopy::State& s) {
    return s.compositor && s.subcompositor && s.layerShell && s.viewporter && s.shm;
}

// A curtain over `output`, configured while its picture is on its way; null where it cannot be
// shown upright.
Curtain* addCurtain(Screencopy::State& s, const Output& output) {
    if (output.transform != WL_OUTPUT_TRANSFORM_NORMAL) return nullptr;
    if (!s.shadeBuffer) {
        s.shadeBuffer = createBuffer(s.shm, WL_SHM_FORMAT_ARGB8888, 1, 1, 4);
        if (!s.shadeBuffer) return nullptr;
        *static_cast<std::uint32_t*>(s.shadeBuffer->pixels) = kShadePixel;
    }
    auto c = std::make_unique<Curtain>();
    c->outputName = output.name;
    c->surface = wl_compositor_create_surface(s.compositor);
    c->shadeSurface = wl_compositor_create_surface(s.compositor);
    wl_region* none = wl_compositor_create_region(s.compositor);
    wl_surface_set_input_region(c->surface, none);
    wl_surface_set_input_region(c->shadeSurface, none);
    wl_region_destroy(none);
    c->shade = wl_subcompositor_get_subsurface(s.subcompositor, c->shadeSurface, c->surface);
    c->viewport = wp_viewporter_get_viewport(s.viewporter, c->surface);
    c->shadeViewport = wp_viewporter_get_viewport(s.viewporter, c->shadeSurface);
    wl_surface_attach(c->shadeSurface, s.shadeBuffer->buffer, 0, 0);
    wl_surface_damage_buffer(c->shadeSurface, 0, 0, 1, 1);
    // Above the windows, below a fullscreen one: the capture's own overlays cover it once they
    // are up.
    c->layer =
        zwlr_layer_shell_v1_get_layer_surface(s.layerShell, c->surface, output.output,
                                              ZWLR_LAYER_SHELL_V1_LAYER_TOP, "local.ostrel.frozen");
    zwlr_layer_surface_v1_add_listener(c->layer, &curtainListener, c.get());
    zwlr_layer_surface_v1_set_anchor(
        c->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                      ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Over panels too.
    zwlr_layer_surface_v1_set_exclusive_zone(c->layer, -1);
    wl_surface_commit(c->surface);
    s.curtains.push_back(std::move(c));
    return s.curtains.back().get();
}

}  // namespace

QImage Screencopy::picture(const uchar* pixels, int width, int height, int stride,
                           std::uint32_t format, bool yInverted) {
    const QImage::Format qt = qtFormat(format);
    if (!pixels || qt == QImage::Format_Invalid || width <= 0 || height <= 0 || stride < width * 4)
        return {};
    const QImage view(pixels, width, height, stride, qt);
    QImage image = view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Y-inverted: the buffer holds the bottom row first.
    if (yInverted) image.mirror(false, true);
    return image;
}

void Screencopy::copyRows(const QImage& picture, const QRect& part, uchar* xrgb) {
    // Rows as they are where the picture's pixels are already 32-bit with the colour in the low
    // 24 bits; else converted.
    const bool direct = picture.format() == QImage::Format_RGB32 ||
                        picture.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage rows = direct ? picture : picture.copy(part).convertToFormat(QImage::Format_RGB32);
    const QPoint origin = direct ? part.topLeft() : QPoint(0, 0);
    const std::size_t rowBytes = std::size_t(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(xrgb + std::size_t(y) * rowBytes,
                    rows.constScanLine(origin.y() + y) + std::size_t(origin.x()) * 4, rowBytes);
}

Screencopy::Screencopy(std::unique_ptr<State> state) : state_(std::move(state)) {}
Screencopy::~Screencopy() = default;

std::unique_ptr<Screencopy> Screencopy::open(bool pictures) {
    auto state = std::make_unique<State>();
    state->display = wl_display_connect(nullptr);
    if (!state->display) return nullptr;
    state->registry = wl_display_get_registry(state->display);
    wl_registry_add_listener(state->registry, &registryListener, state.get());
    // Globals, then the outputs' names.
    if (wl_display_roundtrip(state->display) < 0 || wl_display_roundtrip(state->display) < 0)
        return nullptr;
    if (!state->shm || state->outputs.empty()) return nullptr;
    if (pictures ? !state->manager : !canFreeze(*state)) return nullptr;
    return std::unique_ptr<Screencopy>(new Screencopy(std::move(state)));
}

Result<std::map<QString, QImage>> Screencopy::captureOutputs(bool pointer, int timeoutMs) {
    if (!requestOutputs(pointer, false))
        return UserError{domain, 2,
                         QCoreApplication::translate("Screencopy", "与合成器的连接已断开。")};
    return takeOutputs(timeoutMs);
}

bool Screencopy::requestOutputs(bool pointer, bool freeze) {
    State& s = *state_;
    // The frozen outputs show the buffers that are copied into again.
    releaseFrozen();
    wl_display* display = s.display;
    // Outputs added or removed since the last capture.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) return false;
    s.pendingPointer = pointer;
    for (auto& output : s.outputs) {
        auto f = std::make_unique<Frame>();
        f->outputName = output->name;
        f->frame =
            zwlr_screencopy_manager_v1_capture_output(s.manager, pointer ? 1 : 0, output->output);
        zwlr_screencopy_frame_v1_add_listener(f->frame, &frameListener, f.get());
        s.pending.push_back(std::move(f));
    }
    // The buffer offers arrive first (version 3 ends them with buffer_done; a roundtrip
    // covers every version).
    if (wl_display_roundtrip(display) < 0) return false;
    for (auto& f : s.pending) {
        // Left for takeOutputs to report.
        if (f->done || !f->offered || !attachBuffer(*f, s.shm, &s.buffers[f->outputName])) {
            f->failed = true;
            continue;
        }
        zwlr_screencopy_frame_v1_copy(f->frame, f->buffer->buffer);
    }
    if (freeze && canFreeze(s)) {
        for (std::size_t i = 0; i < s.pending.size(); ++i)
            if (!s.pending[i]->failed) s.pending[i]->curtain = addCurtain(s, *s.outputs[i]);
    }
    wl_display_flush(display);
    return true;
}

bool Screencopy::freezeOutputs() {
    State& s = *state_;
    releaseFrozen();
    if (!canFreeze(s)) return false;
    // Outputs added or removed since the last capture.
    if (wl_display_roundtrip(s.display) < 0 || wl_display_roundtrip(s.display) < 0) return false;
    for (auto& output : s.outputs) addCurtain(s, *output);
    wl_display_flush(s.display);
    return true;
}

void Screencopy::showFrozen(const QString& outputName, const QImage& picture, const QRect& part) {
    State& s = *state_;
    const auto it = std::find_if(s.curtains.begin(), s.curtains.end(), [&](const auto& c) {
        return c->outputName == outputName && !c->buffer;
    });
    const QRect source = part & picture.rect();
    if (it == s.curtains.end() || source.isEmpty()) return;
    Curtain& c = **it;
    const auto width = uint32_t(source.width()), height = uint32_t(source.height());
    std::unique_ptr<ShmBuffer>& buffer = s.buffers[outputName];
    if (!buffer || !buffer->fits(WL_SHM_FORMAT_XRGB8888, width, height, width * 4))
        buffer = createBuffer(s.shm, WL_SHM_FORMAT_XRGB8888, width, height, width * 4);
    if (!buffer) return;
    copyRows(picture, source, static_cast<uchar*>(buffer->pixels));
    c.buffer = buffer.get();
    c.yInvert = false;
    // The configure came while the picture was being taken; it is read now.
    dispatchUntil(s.display, 100, [&] { return c.configured || c.closed; });
    showCurtain(c);
    wl_display_flush(s.display);
}

bool Screencopy::requested(bool pointer) const {
    return !state_->pending.empty() && state_->pendingPointer == pointer;
}

Result<std::map<QString, QImage>> Screencopy::takeOutputs(int timeoutMs) {
    State& s = *state_;
    std::vector<std::unique_ptr<Frame>> frames = std::move(s.pending);
    s.pending.clear();
    const UserError failure{domain, 3,
                            QCoreApplication::translate("Screencopy", "合成器没有交出屏幕画面。")};
    if (frames.empty()) return failure;
    const Dispatch finished = dispatchUntil(s.display, timeoutMs, [&] {
        for (auto& f : frames)
            if (!f->done && !f->failed) return false;
        return true;
    });
    // One still waiting for its configure would show up late.
    for (auto it = s.curtains.begin(); it != s.curtains.end();)
        it = (*it)->shown ? std::next(it) : s.curtains.erase(it);
    wl_display_flush(s.display);
    if (finished != Dispatch::finished)
        return UserError{
            domain, 12,
            QCoreApplication::translate("Screencopy", "合成器没有在 %1 秒内交出屏幕画面。")
                .arg(timeoutMs / 1000.0, 0, 'g', 3)};
    std::map<QString, QImage> pictures;
    for (auto& f : frames) {
        if (f->failed) return failure;
        QImage image = picture(static_cast<const uchar*>(f->buffer->pixels), int(f->width),
                               int(f->height), int(f->stride), f->format, f->yInvert);
        if (image.isNull()) return failure;
        pictures[f->outputName] = std::move(image);
    }
    return pictures;
}

void Screencopy::releaseFrozen() {
    // Pictures not taken by now belong to no capture.
    state_->pending.clear();
    if (state_->curtains.empty()) return;
    state_->curtains.clear();
    wl_display_flush(state_->display);
}

int Screencopy::frozenOutputs() const {
    int shown = 0;
    for (const auto& c : state_->curtains) shown += c->shown ? 1 : 0;
    return shown;
}

Result<QImage> Screencopy::captureRegion(const QString& outputName, const QRect& region,
                                         bool afterDamage, int wakeFd) {
    wl_display* display = state_->display;
    const UserError gone{domain, 2,
                         QCoreApplication::translate("Screencopy", "与合成器的连接已断开。")};
    if (wl_display_dispatch_pending(display) < 0) return gone;
    wl_output* output = nullptr;
    for (auto& o : state_->outputs)
        if (o->name == outputName) output = o->output;
    if (!output)
        return UserError{domain, 13, QCoreApplication::translate("Screencopy", "显示器已断开。")};
    Frame f;
    f.outputName = outputName;
    f.frame = zwlr_screencopy_manager_v1_capture_output_region(
        state_->manager, 0, output, region.x(), region.y(), region.width(), region.height());
    zwlr_screencopy_frame_v1_add_listener(f.frame, &frameListener, &f);
    const UserError failure{domain, 3,
                            QCoreApplication::translate("Screencopy", "合成器没有交出屏幕画面。")};
    if (wl_display_roundtrip(display) < 0) return gone;
    if (f.done || !f.offered || !attachBuffer(f, state_->shm)) return failure;
    // copy_with_damage came with version 2.
    if (afterDamage && zwlr_screencopy_manager_v1_get_version(state_->manager) >= 2)
        zwlr_screencopy_frame_v1_copy_with_damage(f.frame, f.buffer->buffer);
    else
        zwlr_screencopy_frame_v1_copy(f.frame, f.buffer->buffer);
    switch (dispatchUntil(
        display, -1, [&] { return f.done; }, wakeFd)) {
        case Dispatch::finished:
            break;
        case Dispatch::woken:
            return QImage();
        default:
            return gone;
    }
    if (f.failed) return failure;
    QImage image = picture(static_cast<const uchar*>(f.buffer->pixels), int(f.width), int(f.height),
                           int(f.stride), f.format, f.yInvert);
    if (image.isNull()) return failure;
    return image;
}

}  // namespace tessal
