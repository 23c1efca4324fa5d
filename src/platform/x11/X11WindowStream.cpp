#include "X11WindowStream.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "base/SerialQueue.h"

#include <QCoreApplication>

namespace tessal {
namespace {

UserError streamError(const char* reason) {
    return {QStringLiteral("Zelmar"), X11WindowStreamService::readFailure,
            QCoreApplication::translate("X11WindowStream", "无法读取窗口内容：%1")
                .arg(QCoreApplication::translate("X11WindowStream", reason))};
}

// Pictures handed to the queue and not yet taken by the receiver. Beyond this the stream stops
// grabbing (the change stays pending) until the receiver catches up: at 4K one picture is 33 MB,
// and a receiver slower than the window would otherwise let them pile up without limit.
constexpr int kFramesInFlight = 3;

// What the stream's thread shares with the frames it posted, which may run after the stream is
// gone: the count in flight and the descriptor that wakes the thread when it drops.
struct Flight {
    explicit Flight(int fd) : wake(fd) {}
    ~Flight() { close(wake); }
    void signal() const {
        const std::uint64_t one = 1;
        (void)!write(wake, &one, sizeof one);
    }
    std::atomic<int> count{0};
    const int wake;
};

// A window that others covered until it was redirected: its first picture is taken this long after
// the last change its owner made once the stream ran, and never later than this.
constexpr auto kFirstSettle = std::chrono::milliseconds(20);
constexpr auto kFirstLatest = std::chrono::milliseconds(500);

// The windows inside a window whose exposures the stream hears of, at most.
constexpr int kMostInnerWindows = 512;

constexpr const char* kGone = QT_TRANSLATE_NOOP("X11WindowStream", "窗口已关闭");

class X11WindowStream final : public WindowStream {
  public:
    X11WindowStream(xcb_connection_t* c, xcb_window_t window, std::uint8_t damageEvent,
                    xcb_damage_damage_t damage, int wake, SerialQueue& queue,
                    std::function<void(const QImage&)> onFrame,
                    std::function<void(const UserError&)> onStop)
        : c_(c),
          window_(window),
          damageEvent_(damageEvent),
          queue_(queue),
          onFrame_(std::move(onFrame)),
          onStop_(std::move(onStop)),
          damage_(damage),
          flight_(std::make_shared<Flight>(wake)) {
        thread_ = std::thread([this] { run(); });
    }

    ~X11WindowStream() override {
        stopping_ = true;
        flight_->signal();
        thread_.join();
        xcb_damage_destroy(c_, damage_);
        xcb_composite_unredirect_window(c_, window_, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        xcb_flush(c_);
        xcb_disconnect(c_);
    }

  private:
    using Clock = std::chrono::steady_clock;

    void run() {
        const Clock::time_point started = Clock::now();
        bool pending = true;  // the first picture without waiting for a change
        // Where other windows covered this one until it was redirected, its new picture holds
        // nothing (black) until its owner paints those parts again, as the server asks it to
        // (the exposures came before the redirection's answer, so they are queued already). The
        // first picture then waits for that painting to end.
        bool first = true, exposed = false, queuedAtStart = true;
        std::optional<Clock::time_point> lastChange;
        Clock::time_point last = started - std::chrono::seconds(1);
        const auto interval = std::chrono::microseconds(1'000'000 / 60);
        pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {flight_->wake, POLLIN, 0}};
        bool mapped = true;
        while (!stopping_) {
            bool gone = false;
            while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
                const int type = event->response_type & 0x7f;
                if (type == damageEvent_ + XCB_DAMAGE_NOTIFY) {
                    pending = true;
                    // Emptied at once, the damage is told again at the owner's next stroke, so the
                    // wait ends once the painting has been quiet. The damage queued when the
                    // stream starts (the whole window, told as the damage was made) is not that
                    // painting.
                    if (first && exposed) {
                        if (!queuedAtStart) lastChange = Clock::now();
                        xcb_damage_subtract(c_, damage_, XCB_NONE, XCB_NONE);
                        xcb_flush(c_);
                    }
                }
                if (type == XCB_EXPOSE) exposed = true;
                if (type == XCB_DESTROY_NOTIFY) gone = true;
                // Minimised or moved to another desktop: nothing to read until it is back, and
                // then its content is read again at once.
                if (type == XCB_UNMAP_NOTIFY) mapped = false;
                if (type == XCB_MAP_NOTIFY) mapped = pending = true;
                std::free(event);
            }
            queuedAtStart = false;
            if (gone) {
                report(streamError(kGone));
                return;
            }
            if (xcb_connection_has_error(c_)) {
                report(
                    streamError(QT_TRANSLATE_NOOP("X11WindowStream", "与显示服务器的连接已断开")));
                return;
            }
            int timeout = -1;
            if (first && exposed) {
                const auto now = Clock::now();
                const Clock::time_point ready =
                    lastChange ? std::min(*lastChange + kFirstSettle, started + kFirstLatest)
                               : started + kFirstLatest;
                if (now < ready) {
                    timeout =
                        int(std::chrono::ceil<std::chrono::milliseconds>(ready - now).count());
                    if (poll(fds, 2, timeout) > 0 && (fds[1].revents & POLLIN)) drainWake();
                    continue;
                }
                pending = true;
            }
            first = false;
            // While the receiver is behind, the change stays pending and the thread sleeps until
            // a picture is taken.
            if (pending && mapped && flight_->count.load() < kFramesInFlight) {
                const auto now = Clock::now();
                if (now - last >= interval) {
                    xcb_damage_subtract(c_, damage_, XCB_NONE, XCB_NONE);
                    pending = false;
                    last = now;
                    if (!grab()) return;
                    continue;
                }
                timeout = int(std::chrono::duration_cast<std::chrono::milliseconds>(interval -
                                                                                    (now - last))
                                  .count()) +
                          1;
            }
            if (poll(fds, 2, timeout) > 0 && (fds[1].revents & POLLIN)) drainWake();
        }
    }

    void drainWake() {
        std::uint64_t count;
        (void)!read(flight_->wake, &count, sizeof count);
    }

    // One complete picture of the window's own content.
    bool grab() {
        auto geometryReply = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_), nullptr);
        if (!geometryReply) return report(streamError(kGone)), false;
        const int w = geometryReply->width, h = geometryReply->height;
        std::free(geometryReply);
        const xcb_pixmap_t pixmap = xcb_generate_id(c_);
        xcb_generic_error_t* error =
            xcb_request_check(c_, xcb_composite_name_window_pixmap_checked(c_, window_, pixmap));
        if (error) {
            // Unmapped between the event and this request: the map event resumes delivery.
            std::free(error);
            return true;
        }
        xcb_get_image_reply_t* image =
            xcb_get_image_reply(c_,
                                xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0,
                                              std::uint16_t(w), std::uint16_t(h), ~0u),
                                nullptr);
        xcb_free_pixmap(c_, pixmap);
        if (!image) return true;  // resized or unmapped meanwhile: wait for the next change
        QImage frame;
        if (std::size_t(xcb_get_image_data_length(image)) == std::size_t(w) * h * 4) {
            frame = QImage(w, h, QImage::Format_RGB32);
            const std::uint8_t* data = xcb_get_image_data(image);
            for (int y = 0; y < h; ++y) {
                auto* out = reinterpret_cast<std::uint32_t*>(frame.scanLine(y));
                const auto* in =
                    reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * w * 4u);
                for (int x = 0; x < w; ++x) out[x] = in[x] | 0xff000000u;
            }
        }
        std::free(image);
        if (!frame.isNull()) {
            ++flight_->count;
            queue_.async([onFrame = onFrame_, frame, flight = flight_] {
                onFrame(frame);
                --flight->count;
                flight->signal();
            });
        }
        return true;
    }

    void report(const UserError& error) {
        queue_.async([onStop = onStop_, error] { onStop(error); });
    }

    xcb_connection_t* c_;
    xcb_window_t window_;
    std::uint8_t damageEvent_;
    SerialQueue& queue_;
    std::function<void(const QImage&)> onFrame_;
    std::function<void(const UserError&)> onStop_;
    xcb_damage_damage_t damage_ = 0;
    std::shared_ptr<Flight> flight_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// Has the stream told when `window` goes away or is hidden, so that it never waits in silence,
// and of the parts the redirection asks its owner to paint again, in the windows inside it too
// (xterm, Tk, Motif and Java programs draw there). Other clients' selections on these windows are
// theirs; ours ends with our connection.
void listenTo(xcb_connection_t* c, xcb_window_t window) {
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    const std::uint32_t exposure = XCB_EVENT_MASK_EXPOSURE;
    std::vector<xcb_window_t> parents{window};
    for (int seen = 0; !parents.empty() && seen < kMostInnerWindows;) {
        const xcb_window_t parent = parents.back();
        parents.pop_back();
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
        if (!tree) continue;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && seen < kMostInnerWindows;
             ++i, ++seen) {
            xcb_change_window_attributes(c, children[i], XCB_CW_EVENT_MASK, &exposure);
            parents.push_back(children[i]);
        }
        std::free(tree);
    }
}

}  // namespace

Result<std::unique_ptr<WindowStream>> X11WindowStreamService::start(
    unsigned window, SerialQueue& queue, std::function<void(const QImage&)> onFrame,
    std::function<void(const UserError&)> onStop) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (!c || xcb_connection_has_error(c)) {
        if (c) xcb_disconnect(c);
        return streamError(QT_TRANSLATE_NOOP("X11WindowStream", "无法连接显示服务器"));
    }
    auto fail = [c](const char* what) -> Result<std::unique_ptr<WindowStream>> {
        xcb_disconnect(c);
        return streamError(what);
    };
    const xcb_query_extension_reply_t* composite = xcb_get_extension_data(c, &xcb_composite_id);
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!composite || !composite->present || !damage || !damage->present)
        return fail(
            QT_TRANSLATE_NOOP("X11WindowStream", "显示服务器缺少 Composite 或 Damage 扩展"));
    std::free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    listenTo(c, window);
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_composite_redirect_window_checked(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC));
    if (error) {
        std::free(error);
        return fail(QT_TRANSLATE_NOOP("X11WindowStream", "无法重定向该窗口"));
    }
    const xcb_damage_damage_t damageId = xcb_generate_id(c);
    error = xcb_request_check(
        c, xcb_damage_create_checked(c, damageId, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY));
    if (error) {
        std::free(error);
        xcb_composite_unredirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        return fail(kGone);
    }
    xcb_flush(c);
    const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        xcb_damage_destroy(c, damageId);
        xcb_composite_unredirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        return fail(QT_TRANSLATE_NOOP("X11WindowStream", "系统资源不足"));
    }
    return std::unique_ptr<WindowStream>(
        new X11WindowStream(c, window, damage->first_event, damageId, wake, queue,
                            std::move(onFrame), std::move(onStop)));
}

}  // namespace tessal
