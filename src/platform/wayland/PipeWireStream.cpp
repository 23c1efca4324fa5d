#include "PipeWireStream.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <mutex>

namespace tessal {

namespace {

QImage::Format qtFormat(spa_video_format format) {
    switch (format) {
        case SPA_VIDEO_FORMAT_BGRx:
            return QImage::Format_RGB32;
        case SPA_VIDEO_FORMAT_BGRA:
            return QImage::Format_ARGB32;
        case SPA_VIDEO_FORMAT_RGBx:
            return QImage::Format_RGBX8888;
        case SPA_VIDEO_FORMAT_RGBA:
            return QImage::Format_RGBA8888;
        default:
            return QImage::Format_Invalid;
    }
}

}  // namespace

struct PipeWireStream::State {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    spa_hook coreListener{};
    spa_hook streamListener{};
    Crop crop;
    std::function<void(Frame)> onFrame;
    std::function<void(const QString&)> onStop;
    std::atomic<bool> stopped{false};
    bool streamed = false;
    spa_video_info_raw format{};

    // Told once, and never while the stream is being taken down.
    void stop(const QString& why) {
        if (!stopped.exchange(true) && onStop) onStop(why);
    }

    void paramChanged(uint32_t id, const spa_pod* param) {
        if (id != SPA_PARAM_Format || !param) return;
        spa_video_info_raw raw{};
        if (spa_format_video_raw_parse(param, &raw) < 0 ||
            qtFormat(raw.format) == QImage::Format_Invalid)
            return stop(
                QCoreApplication::translate("PipeWireStream", "屏幕共享的画面格式无法读取。"));
        format = raw;
        // Buffers the program can read: shared memory, never GPU buffers only.
        uint8_t storage[256];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
        const spa_pod* buffers = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
        pw_stream_update_params(stream, &buffers, 1);
    }

    void process() {
        // The newest frame only: older ones waiting are already out of date.
        pw_buffer* newest = nullptr;
        while (pw_buffer* next = pw_stream_dequeue_buffer(stream)) {
            if (newest) pw_stream_queue_buffer(stream, newest);
            newest = next;
        }
        if (!newest) return;
        const spa_buffer* buffer = newest->buffer;
        if (buffer->n_datas > 0) {
            const spa_data& data = buffer->datas[0];
            const QSize whole(int(format.size.width), int(format.size.height));
            const qint64 stride = data.chunk->stride == 0 ? whole.width() * 4 : data.chunk->stride;
            const qint64 offset = data.maxsize ? data.chunk->offset % data.maxsize : 0;
            // Every row whole inside the buffer; a layout that is not is skipped.
            const bool readable =
                data.data && data.chunk->size > 0 &&
                !(data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) && stride >= whole.width() * 4 &&
                offset + stride * (whole.height() - 1) + whole.width() * 4 <= qint64(data.maxsize);
            if (readable && !whole.isEmpty()) {
                const QRect part = crop(whole).intersected(QRect(QPoint(), whole));
                if (!part.isEmpty()) {
                    const uchar* pixels = static_cast<const uchar*>(data.data) + offset +
                                          part.y() * stride + part.x() * 4;
                    const QImage view(pixels, part.width(), part.height(), qsizetype(stride),
                                      qtFormat(format.format));
                    onFrame(
                        {view.convertToFormat(QImage::Format_ARGB32_Premultiplied), part, whole});
                }
            }
        }
        pw_stream_queue_buffer(stream, newest);
    }

    void stateChanged(pw_stream_state state, const char* error) {
        if (state == PW_STREAM_STATE_STREAMING) streamed = true;
        if (state == PW_STREAM_STATE_ERROR)
            stop(QCoreApplication::translate("PipeWireStream", "屏幕共享出错：%1")
                     .arg(QString::fromUtf8(error ? error : "")));
        else if (state == PW_STREAM_STATE_UNCONNECTED && streamed)
            stop(QCoreApplication::translate("PipeWireStream", "桌面结束了屏幕共享。"));
    }
};

namespace {

pw_stream_events makeStreamEvents() {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = [](void* data, pw_stream_state, pw_stream_state state,
                              const char* error) {
        static_cast<PipeWireStream::State*>(data)->stateChanged(state, error);
    };
    events.param_changed = [](void* data, uint32_t id, const spa_pod* param) {
        static_cast<PipeWireStream::State*>(data)->paramChanged(id, param);
    };
    events.process = [](void* data) { static_cast<PipeWireStream::State*>(data)->process(); };
    return events;
}
const pw_stream_events streamEvents = makeStreamEvents();

pw_core_events makeCoreEvents() {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    // Errors of the core object itself end the connection.
    events.error = [](void* data, uint32_t id, int, int, const char* message) {
        if (id == PW_ID_CORE)
            static_cast<PipeWireStream::State*>(data)->stop(
                QCoreApplication::translate("PipeWireStream", "屏幕共享的 PipeWire 连接断开：%1")
                    .arg(QString::fromUtf8(message ? message : "")));
    };
    return events;
}
const pw_core_events coreEvents = makeCoreEvents();

}  // namespace

PipeWireStream::PipeWireStream(std::unique_ptr<State> state) : state_(std::move(state)) {}

PipeWireStream::~PipeWireStream() {
    State& s = *state_;
    s.stopped = true;
    if (s.loop) pw_thread_loop_lock(s.loop);
    if (s.stream) pw_stream_destroy(s.stream);
    if (s.core) pw_core_disconnect(s.core);
    if (s.loop) {
        pw_thread_loop_unlock(s.loop);
        pw_thread_loop_stop(s.loop);
    }
    if (s.context) pw_context_destroy(s.context);
    if (s.loop) pw_thread_loop_destroy(s.loop);
}

std::unique_ptr<PipeWireStream> PipeWireStream::open(int pipewireFd, quint32 node, Crop crop,
                                                     std::function<void(Frame)> onFrame,
                                                     std::function<void(const QString&)> onStop,
                                                     QString* error) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
    auto state = std::make_unique<State>();
    state->crop = std::move(crop);
    state->onFrame = std::move(onFrame);
    state->onStop = std::move(onStop);
    State& s = *state;
    std::unique_ptr<PipeWireStream> stream(new PipeWireStream(std::move(state)));
    const auto failed = [&](const QString& why) {
        if (error) *error = why;
        return nullptr;
    };
    s.loop = pw_thread_loop_new("tessal-cast", nullptr);
    if (!s.loop) {
        if (pipewireFd >= 0) close(pipewireFd);
        return failed(QCoreApplication::translate("PipeWireStream", "无法启动 PipeWire。"));
    }
    s.context = pw_context_new(pw_thread_loop_get_loop(s.loop), nullptr, 0);
    if (!s.context || pw_thread_loop_start(s.loop) < 0) {
        if (pipewireFd >= 0) close(pipewireFd);
        return failed(QCoreApplication::translate("PipeWireStream", "无法启动 PipeWire。"));
    }
    pw_thread_loop_lock(s.loop);
    // Takes the descriptor, also when it fails; without one, the user's PipeWire daemon.
    s.core = pipewireFd >= 0 ? pw_context_connect_fd(s.context, pipewireFd, nullptr, 0)
                             : pw_context_connect(s.context, nullptr, 0);
    if (!s.core) {
        pw_thread_loop_unlock(s.loop);
        return failed(
            QCoreApplication::translate("PipeWireStream", "无法连接屏幕共享的 PipeWire 服务。"));
    }
    pw_core_add_listener(s.core, &s.coreListener, &coreEvents, &s);
    s.stream = pw_stream_new(s.core, "tessal-long-capture",
                             pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                               "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (!s.stream) {
        pw_thread_loop_unlock(s.loop);
        return failed(
            QCoreApplication::translate("PipeWireStream", "无法连接屏幕共享的 PipeWire 服务。"));
    }
    pw_stream_add_listener(s.stream, &s.streamListener, &streamEvents, &s);

    // Raw frames in the four layouts the program reads, any size, up to 60 a second.
    uint8_t storage[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    spa_rectangle size = SPA_RECTANGLE(1920, 1080), minSize = SPA_RECTANGLE(1, 1),
                  maxSize = SPA_RECTANGLE(16384, 16384);
    spa_fraction rate = SPA_FRACTION(60, 1), minRate = SPA_FRACTION(0, 1),
                 maxRate = SPA_FRACTION(60, 1);
    const spa_pod* formats = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx,
                               SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &minSize, &maxSize),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &minRate, &maxRate)));
    const int connected = pw_stream_connect(
        s.stream, PW_DIRECTION_INPUT, node,
        // Never moved to another source (a camera) once the cast's own node goes away.
        pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                        PW_STREAM_FLAG_DONT_RECONNECT),
        &formats, 1);
    pw_thread_loop_unlock(s.loop);
    if (connected < 0)
        return failed(QCoreApplication::translate("PipeWireStream", "无法连接屏幕共享的画面流。"));
    return stream;
}

}  // namespace tessal
