#include "WaylandWindowStream.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "CompositorWindows.h"
#include "Screencopy.h"
#include "base/SerialQueue.h"

namespace tessal {
namespace {

UserError streamError(const QString& reason) {
    return {QStringLiteral("Zelmar"), WindowStreamService::readFailure,
            QCoreApplication::translate("WaylandWindowStream", "无法读取窗口内容：%1").arg(reason)};
}

// Pictures handed to the queue and not yet taken; beyond this the stream waits.
constexpr int kFramesInFlight = 3;

struct EventFd {
    EventFd() : fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~EventFd() {
        if (fd >= 0) close(fd);
    }
    void signal() const {
        const std::uint64_t one = 1;
        (void)!write(fd, &one, sizeof one);
    }
    void drain() const {
        std::uint64_t count;
        (void)!read(fd, &count, sizeof count);
    }
    const int fd;
};

// Shared with the frames posted, which may run after the stream is gone.
struct Flight {
    std::atomic<int> count{0};
    EventFd wake;
};

class WaylandWindowStream final : public WindowStream {
  public:
    WaylandWindowStream(std::unique_ptr<Screencopy> screencopy, QString output, OutputPart part,
                        SerialQueue& queue, std::function<void(const QImage&)> onFrame,
                        std::function<void(const UserError&)> onStop)
        : screencopy_(std::move(screencopy)),
          output_(std::move(output)),
          part_(part),
          queue_(queue),
          onFrame_(std::move(onFrame)),
          onStop_(std::move(onStop)),
          flight_(std::make_shared<Flight>()) {
        thread_ = std::thread([this] { run(); });
    }

    ~WaylandWindowStream() override {
        stopping_ = true;
        stop_.signal();
        flight_->wake.signal();
        thread_.join();
    }

  private:
    using Clock = std::chrono::steady_clock;

    void run() {
        const auto interval = std::chrono::microseconds(1'000'000 / 60);
        Clock::time_point last = Clock::now() - std::chrono::seconds(1);
        bool first = true;
        while (!stopping_) {
            const auto wait = interval - (Clock::now() - last);
            if (flight_->count.load() >= kFramesInFlight || wait.count() > 0) {
                pollfd fds[2] = {{flight_->wake.fd, POLLIN, 0}, {stop_.fd, POLLIN, 0}};
                const int timeout =
                    flight_->count.load() >= kFramesInFlight
                        ? -1
                        : int(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()) +
                              1;
                if (poll(fds, 2, timeout) > 0 && (fds[0].revents & POLLIN)) flight_->wake.drain();
                continue;
            }
            last = Clock::now();
            // The first picture at once; later ones only once something changed.
            Result<QImage> picture =
                screencopy_->captureRegion(output_, part_.region, !first, stop_.fd);
            if (stopping_) return;
            if (!picture) return report(streamError(picture.error().message));
            if (picture.value().isNull()) continue;
            first = false;
            post(place(std::move(picture).value()));
        }
    }

    // The output's part where it lies in the window's picture (all of it, nearly always).
    QImage place(QImage part) const {
        if (part_.offset.isNull() && part.size() == part_.pictureSize) return part;
        QImage whole(part_.pictureSize, QImage::Format_ARGB32_Premultiplied);
        whole.fill(Qt::black);
        QPainter painter(&whole);
        painter.drawImage(part_.offset, part);
        return whole;
    }

    void post(const QImage& frame) {
        ++flight_->count;
        queue_.async([onFrame = onFrame_, frame, flight = flight_] {
            onFrame(frame);
            --flight->count;
            flight->wake.signal();
        });
    }

    void report(const UserError& error) {
        queue_.async([onStop = onStop_, error] { onStop(error); });
    }

    std::unique_ptr<Screencopy> screencopy_;
    QString output_;
    OutputPart part_;
    SerialQueue& queue_;
    std::function<void(const QImage&)> onFrame_;
    std::function<void(const UserError&)> onStop_;
    std::shared_ptr<Flight> flight_;
    EventFd stop_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace

OutputPart outputPart(const QRect& content, const QRect& output, double scale) {
    const QRect shown = content.intersected(output);
    if (shown.isEmpty() || scale <= 0) return {};
    const QPoint offset = shown.topLeft() - content.topLeft();
    return {shown.translated(-output.topLeft()),
            QPoint(int(std::lround(offset.x() * scale)), int(std::lround(offset.y() * scale))),
            QSize(int(std::lround(content.width() * scale)),
                  int(std::lround(content.height() * scale)))};
}

WaylandWindowStreamService::WaylandWindowStreamService() = default;
WaylandWindowStreamService::~WaylandWindowStreamService() = default;

bool WaylandWindowStreamService::available() {
    return Screencopy::open() != nullptr;
}

Result<std::unique_ptr<WindowStream>> WaylandWindowStreamService::start(
    unsigned window, SerialQueue& queue, std::function<void(const QImage&)> onFrame,
    std::function<void(const UserError&)> onStop) {
    if (!windowsChosen_) {
        windows_ = compositorWindowsFromEnvironment();
        windowsChosen_ = true;
    }
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    std::optional<std::vector<CompositorWindow>> listed;
    if (windows_) listed = windows_->windows();
    QRect content;
    if (listed && !listed->empty()) {
        for (const CompositorWindow& w : *listed)
            if (w.id == window) content = w.content;
        if (content.isEmpty())
            return streamError(QCoreApplication::translate("WaylandWindowStream", "窗口已关闭"));
    } else {
        // The displays stand for windows, primary first.
        QList<QScreen*> ordered = screens;
        if (primary) ordered.removeAll(primary), ordered.prepend(primary);
        if (window == 0 || window > unsigned(ordered.size()))
            return streamError(QCoreApplication::translate("WaylandWindowStream", "显示器已断开"));
        content = ordered[int(window - 1)]->geometry();
    }
    // The output showing most of the window.
    QScreen* best = nullptr;
    long long bestArea = 0;
    for (QScreen* screen : screens) {
        const QRect shown = screen->geometry().intersected(content);
        const long long area = 1ll * shown.width() * shown.height();
        if (area > bestArea) bestArea = area, best = screen;
    }
    if (!best)
        return streamError(
            QCoreApplication::translate("WaylandWindowStream", "窗口不在任何显示器上"));
    const OutputPart part = outputPart(content, best->geometry(), best->devicePixelRatio());
    std::unique_ptr<Screencopy> screencopy = Screencopy::open();
    if (!screencopy)
        return streamError(
            QCoreApplication::translate("WaylandWindowStream", "合成器不提供 wlr-screencopy"));
    return std::unique_ptr<WindowStream>(new WaylandWindowStream(
        std::move(screencopy), best->name(), part, queue, std::move(onFrame), std::move(onStop)));
}

}  // namespace tessal
