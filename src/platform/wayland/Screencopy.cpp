#include "Screencopy.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <vector>

#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");

struct Output {
    wl_output* output = nullptr;
    uint32_t globalName = 0;
    QString name;
};

// One output's capture in flight. It keeps the output's name, not the output: an output removed
// while the frames are dispatched is gone from the list by the time they are read.
struct Frame {
    zwlr_screencopy_frame_v1* frame = nullptr;
    QString outputName;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool offered = false, copying = false, yInvert = false, done = false, failed = false;
    void* pixels = MAP_FAILED;
    size_t size = 0;
    wl_buffer* buffer = nullptr;
    ~Frame() {
        if (buffer) wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED) munmap(pixels, size);
        if (frame) zwlr_screencopy_frame_v1_destroy(frame);
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

}  // namespace

struct Screencopy::State {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    zwlr_screencopy_manager_v1* manager = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;

    ~State() {
        for (auto& o : outputs) {
            if (wl_output_get_version(o->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(o->output);
            else
                wl_output_destroy(o->output);
        }
        if (manager) zwlr_screencopy_manager_v1_destroy(manager);
        if (shm) wl_shm_destroy(shm);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }
};

namespace {

void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void outputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void outputDone(void*, wl_output*) {}
void outputScale(void*, wl_output*, int32_t) {}
void outputName(void* data, wl_output*, const char* name) {
    static_cast<Output*>(data)->name = QString::fromUtf8(name);
}
void outputDescription(void*, wl_output*, const char*) {}
const wl_output_listener outputListener{outputGeometry, outputMode, outputDone,
                                        outputScale,    outputName, outputDescription};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    auto* state = static_cast<Screencopy::State*>(data);
    if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        state->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        state->manager = static_cast<zwlr_screencopy_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_screencopy_manager_v1_interface, std::min(version, 3u)));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 4) {
        auto output = std::make_unique<Output>();
        output->globalName = name;
        output->output =
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 4));
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
    static_cast<Frame*>(data)->done = true;
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

// Shared memory for a frame whose buffer was offered; false when there is none to be had.
bool attachBuffer(Frame& f, wl_shm* shm) {
    f.size = size_t(f.stride) * f.height;
    const int fd = memfd_create("tessal-screencopy", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(f.size)) != 0) {
        if (fd >= 0) close(fd);
        return false;
    }
    f.pixels = mmap(nullptr, f.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(f.size));
    close(fd);
    if (f.pixels == MAP_FAILED) {
        wl_shm_pool_destroy(pool);
        return false;
    }
    f.buffer = wl_shm_pool_create_buffer(pool, 0, int32_t(f.width), int32_t(f.height),
                                         int32_t(f.stride), f.format);
    wl_shm_pool_destroy(pool);
    return true;
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

Screencopy::Screencopy(std::unique_ptr<State> state) : state_(std::move(state)) {}
Screencopy::~Screencopy() = default;

std::unique_ptr<Screencopy> Screencopy::open() {
    auto state = std::make_unique<State>();
    state->display = wl_display_connect(nullptr);
    if (!state->display) return nullptr;
    state->registry = wl_display_get_registry(state->display);
    wl_registry_add_listener(state->registry, &registryListener, state.get());
    // Globals, then the outputs' names.
    if (wl_display_roundtrip(state->display) < 0 || wl_display_roundtrip(state->display) < 0)
        return nullptr;
    if (!state->manager || !state->shm || state->outputs.empty()) return nullptr;
    return std::unique_ptr<Screencopy>(new Screencopy(std::move(state)));
}

Result<std::map<QString, QImage>> Screencopy::captureOutputs(bool pointer, int timeoutMs) {
    wl_display* display = state_->display;
    // Outputs added or removed since the last capture.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0)
        return UserError{domain, 2,
                         QCoreApplication::translate("Screencopy", "与合成器的连接已断开。")};
    std::vector<std::unique_ptr<Frame>> frames;
    for (auto& output : state_->outputs) {
        auto f = std::make_unique<Frame>();
        f->outputName = output->name;
        f->frame = zwlr_screencopy_manager_v1_capture_output(state_->manager, pointer ? 1 : 0,
                                                             output->output);
        zwlr_screencopy_frame_v1_add_listener(f->frame, &frameListener, f.get());
        frames.push_back(std::move(f));
    }
    const UserError failure{domain, 3,
                            QCoreApplication::translate("Screencopy", "合成器没有交出屏幕画面。")};
    // The buffer offers arrive first (version 3 ends them with buffer_done; a roundtrip
    // covers every version).
    if (wl_display_roundtrip(display) < 0) return failure;
    for (auto& f : frames) {
        if (f->done || !f->offered) return failure;
        if (!attachBuffer(*f, state_->shm)) return failure;
        zwlr_screencopy_frame_v1_copy(f->frame, f->buffer);
    }
    const Dispatch finished = dispatchUntil(display, timeoutMs, [&] {
        for (auto& f : frames)
            if (!f->done) return false;
        return true;
    });
    if (finished != Dispatch::finished)
        return UserError{
            domain, 12,
            QCoreApplication::translate("Screencopy", "合成器没有在 %1 秒内交出屏幕画面。")
                .arg(timeoutMs / 1000.0, 0, 'g', 3)};
    std::map<QString, QImage> pictures;
    for (auto& f : frames) {
        if (f->failed) return failure;
        QImage image = picture(static_cast<const uchar*>(f->pixels), int(f->width), int(f->height),
                               int(f->stride), f->format, f->yInvert);
        if (image.isNull()) return failure;
        pictures[f->outputName] = std::move(image);
    }
    return pictures;
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
        zwlr_screencopy_frame_v1_copy_with_damage(f.frame, f.buffer);
    else
        zwlr_screencopy_frame_v1_copy(f.frame, f.buffer);
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
    QImage image = picture(static_cast<const uchar*>(f.pixels), int(f.width), int(f.height),
                           int(f.stride), f.format, f.yInvert);
    if (image.isNull()) return failure;
    return image;
}

}  // namespace tessal
