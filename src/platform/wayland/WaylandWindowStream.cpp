#include "WaylandWindowStream.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>
#include <thread>

#include "CompositorWindows.h"
#include "MutterScreenCast.h"
#include "PipeWireStream.h"
#include "PortalPointer.h"
#include "ScreenCastPortal.h"
#include "Screencopy.h"
#include "base/DefaultsStore.h"
#include "base/SerialQueue.h"

namespace tessal {
namespace {

UserError streamError(const QString& reason) {
    return {QStringLiteral("Zelmar"), WindowStreamService::readFailure,
            QCoreApplication::translate("WaylandWindowStream", "无法读取窗口内容：%1").arg(reason)};
}

// Pictures handed to the queue and not yet taken; beyond this the stream waits.
constexpr int kFramesInFlight = 3;

// Where the desktop's lasting answers to the screen-cast dialog are kept: a cast alone, and a
// cast that may also move the pointer (each session kind takes only its own tokens).
const QString kScreenCastTokenKey = QStringLiteral("screenCastRestoreToken");
const QString kRemoteDesktopTokenKey = QStringLiteral("remoteDesktopRestoreToken");
QString tokenKey(bool remoteDesktop) {
    return remoteDesktop ? kRemoteDesktopTokenKey : kScreenCastTokenKey;
}

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

// Frames handed to the queue: while kFramesInFlight wait there, the newest frame made meanwhile
// waits here and follows as soon as one is taken. Shared with the frames posted, which may run
// after the stream is gone.
class FramePoster : public std::enable_shared_from_this<FramePoster> {
  public:
    FramePoster(SerialQueue& queue, std::function<void(const QImage&)> onFrame)
        : queue_(queue), onFrame_(std::move(onFrame)) {}

    // From any thread.
    void post(QImage frame) {
        {
            std::lock_guard lock(mutex_);
            if (count_ >= kFramesInFlight) {
                pending_ = std::move(frame);
                return;
            }
            ++count_;
        }
        send(std::move(frame));
    }
    int inFlight() const { return count_.load(); }
    // Readable once a frame was taken.
    EventFd wake;

  private:
    void send(QImage frame) {
        queue_.async([self = shared_from_this(), frame = std::move(frame)] {
            self->onFrame_(frame);
            std::optional<QImage> next;
            {
                std::lock_guard lock(self->mutex_);
                next.swap(self->pending_);
                if (!next) --self->count_;
            }
            if (next) self->send(std::move(*next));
            self->wake.signal();
        });
    }

    SerialQueue& queue_;
    std::function<void(const QImage&)> onFrame_;
    std::mutex mutex_;
    std::atomic<int> count_{0};
    std::optional<QImage> pending_;
};

// The window's picture of `content.size() × scale` pixels with `part` of an output's picture
// where it lies in it (the whole picture, nearly always).
QImage placed(const OutputPart& where, QImage part) {
    if (where.offset.isNull() && part.size() == where.pictureSize) return part;
    QImage whole(where.pictureSize, QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::black);
    QPainter painter(&whole);
    painter.drawImage(where.offset, part);
    return whole;
}

class WaylandWindowStream final : public WindowStream {
  public:
    WaylandWindowStream(std::unique_ptr<Screencopy> screencopy, QString output, OutputPart part,
                        SerialQueue& queue, std::function<void(const QImage&)> onFrame,
                        std::function<void(const UserError&)> onStop)
        : screencopy_(std::move(screencopy)),
          output_(std::move(output)),
          part_(part),
          queue_(queue),
          onStop_(std::move(onStop)),
          poster_(std::make_shared<FramePoster>(queue, std::move(onFrame))) {
        thread_ = std::thread([this] { run(); });
    }

    ~WaylandWindowStream() override {
        stopping_ = true;
        stop_.signal();
        poster_->wake.signal();
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
            if (poster_->inFlight() >= kFramesInFlight || wait.count() > 0) {
                pollfd fds[2] = {{poster_->wake.fd, POLLIN, 0}, {stop_.fd, POLLIN, 0}};
                const int timeout =
                    poster_->inFlight() >= kFramesInFlight
                        ? -1
                        : int(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()) +
                              1;
                if (poll(fds, 2, timeout) > 0 && (fds[0].revents & POLLIN)) poster_->wake.drain();
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
            poster_->post(placed(part_, std::move(picture).value()));
        }
    }

    void report(const UserError& error) {
        queue_.async([onStop = onStop_, error] { onStop(error); });
    }

    std::unique_ptr<Screencopy> screencopy_;
    QString output_;
    OutputPart part_;
    SerialQueue& queue_;
    std::function<void(const UserError&)> onStop_;
    std::shared_ptr<FramePoster> poster_;
    EventFd stop_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// A window's pixels through the desktop portal's screen cast of the display holding it. The
// session is asked for on a thread of its own (the desktop may ask the user first, for any
// time); a stream given up meanwhile leaves that thread to end the request and the session.
class PortalWindowStream final : public WindowStream {
  public:
    using Source = WaylandWindowStreamService::Source;
    // The token kept for each kind of session: a cast alone, a remote-desktop one.
    struct Tokens {
        QString cast, remoteDesktop;
        QString of(bool remote) const { return remote ? remoteDesktop : cast; }
    };
    using KeepToken = std::function<void(bool remoteDesktop, const QString&)>;

    PortalWindowStream(Source source, QRect content, QRect display, Tokens tokens,
                       SerialQueue& queue, std::function<void(const QImage&)> onFrame,
                       std::function<void(const UserError&)> onStop, KeepToken keepToken,
                       std::shared_ptr<PortalRemote> remote, QList<QPointer<QThread>>& negotiations)
        : shared_(std::make_shared<Shared>()) {
        shared_->source = source;
        shared_->content = content;
        shared_->display = display;
        shared_->queue = &queue;
        shared_->poster = std::make_shared<FramePoster>(queue, std::move(onFrame));
        shared_->onStop = std::move(onStop);
        shared_->remote = std::move(remote);
        QThread* thread =
            QThread::create([shared = shared_, tokens = std::move(tokens),
                             keepToken = std::move(keepToken)] { run(shared, tokens, keepToken); });
        thread->setObjectName(QStringLiteral("tessal-screencast"));
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        negotiations.removeAll(nullptr);
        negotiations.append(thread);
        thread->start();
    }

    ~PortalWindowStream() override {
        std::unique_ptr<PipeWireStream> pipewire;
        std::function<void()> closeSession;
        {
            std::lock_guard lock(shared_->mutex);
            shared_->stopping = true;
            if (shared_->context)
                QMetaObject::invokeMethod(shared_->context,
                                          [portal = shared_->portal] { portal->cancel(); });
            pipewire = std::move(shared_->pipewire);
            closeSession = std::move(shared_->closeSession);
        }
        pipewire.reset();
        if (closeSession) closeSession();
    }

  private:
    struct Shared {
        std::mutex mutex;
        bool stopping = false;
        QObject* context = nullptr;  // lives on the portal's thread while it asks
        ScreenCastPortal* portal = nullptr;
        std::unique_ptr<PipeWireStream> pipewire;
        std::function<void()> closeSession;
        WaylandWindowStreamService::Source source;
        QRect content, display;
        SerialQueue* queue = nullptr;
        std::shared_ptr<FramePoster> poster;
        std::function<void(const UserError&)> onStop;
        std::shared_ptr<PortalRemote> remote;

        void report(const UserError& error) {
            qWarning("screen cast: %s", qPrintable(error.message));
            std::lock_guard lock(mutex);
            if (!stopping) queue->async([onStop = onStop, error] { onStop(error); });
        }
    };

    static void run(const std::shared_ptr<Shared>& shared, const Tokens& tokens,
                    const KeepToken& keepToken) {
        QObject context;
        ScreenCastPortal portal(QDBusConnection::sessionBus());
        {
            std::lock_guard lock(shared->mutex);
            if (shared->stopping) return;
            shared->context = &context;
            shared->portal = &portal;
        }
        // GNOME's own service where it answers (no dialog), else the portal.
        const QDBusConnection bus = QDBusConnection::sessionBus();
        bool gnome = shared->source == Source::desktop && MutterScreenCast::available(bus);
        const auto openGnome = [&]() -> Result<ScreenCastPortal::Cast> {
            // Only the window's part of the display, on the user's PipeWire daemon.
            const QRect area = shared->content.intersected(shared->display);
            Result<MutterScreenCast::Cast> mutter = MutterScreenCast::open(bus, area);
            if (!mutter) return mutter.error();
            return ScreenCastPortal::Cast{-1, mutter.value().node, area, mutter.value().session,
                                          QString()};
        };
        // The portal's session may also turn the wheel for automatic scrolling, where the
        // desktop offers that (GNOME's own service does it apart).
        const auto openPortal = [&] {
            const bool withPointer = shared->remote && ScreenCastPortal::offersPointer(bus);
            return portal.open(tokens.of(withPointer), withPointer);
        };
        Result<ScreenCastPortal::Cast> cast = gnome ? openGnome() : openPortal();
        if (gnome && !cast) {
            // A GNOME that refuses its own service to us still offers the portal.
            qWarning("screen cast: %s", qPrintable(cast.error().message));
            gnome = false;
            cast = openPortal();
        }
        {
            std::lock_guard lock(shared->mutex);
            shared->context = nullptr;
            shared->portal = nullptr;
        }
        if (!cast) return shared->report(streamError(cast.error().message));
        const ScreenCastPortal::Cast& c = cast.value();
        const std::shared_ptr<PortalRemote> remote = c.pointer ? shared->remote : nullptr;
        const auto closeSession = [gnome, bus, remote, session = c.session] {
            if (remote) remote->withdraw(session);
            if (gnome)
                MutterScreenCast::close(bus, session);
            else
                ScreenCastPortal::close(bus, session);
        };
        if (!c.restoreToken.isEmpty() && keepToken) keepToken(c.remoteDesktop, c.restoreToken);
        const QRect display = c.logical.isEmpty() ? shared->display : c.logical;
        if (remote) remote->publish({c.session, c.node, display, c.pointerInFrames});
        const auto abandon = [&](const UserError& error) {
            if (c.pipewireFd >= 0) ::close(c.pipewireFd);
            closeSession();
            shared->report(error);
        };
        if (!display.intersects(shared->content))
            return abandon(streamError(QCoreApplication::translate(
                "WaylandWindowStream", "共享的显示器上没有要截取的区域，请选择它所在的显示器")));
        const auto pixels = [display](const QRect& points, QSize whole) {
            return screenCastPixels(points, display, whole);
        };
        const QRect content = shared->content, shown = content.intersected(display);
        QString failure;
        auto pipewire = PipeWireStream::open(
            c.pipewireFd, c.node, [pixels, shown](QSize whole) { return pixels(shown, whole); },
            [poster = shared->poster, pixels, content](PipeWireStream::Frame frame) {
                const QRect window = pixels(content, frame.wholeSize);
                poster->post(
                    placed({QRect(), frame.part.topLeft() - window.topLeft(), window.size()},
                           std::move(frame.picture)));
            },
            [weak = std::weak_ptr<Shared>(shared)](const QString& why) {
                if (auto s = weak.lock()) s->report(streamError(why));
            },
            &failure);
        {
            std::lock_guard lock(shared->mutex);
            if (pipewire && !shared->stopping) {
                shared->pipewire = std::move(pipewire);
                shared->closeSession = closeSession;
                return;
            }
        }
        // Given up meanwhile, or PipeWire refused (its callbacks may still wait for the lock).
        pipewire.reset();
        closeSession();
        if (!failure.isEmpty()) shared->report(streamError(failure));
    }

    std::shared_ptr<Shared> shared_;
};

}  // namespace

QRect screenCastPixels(const QRect& points, const QRect& display, QSize whole) {
    const double sx = double(whole.width()) / display.width();
    const double sy = double(whole.height()) / display.height();
    const QRect r = points.translated(-display.topLeft());
    const int left = int(std::lround(r.left() * sx)), top = int(std::lround(r.top() * sy));
    return QRect(left, top, int(std::lround((r.right() + 1) * sx)) - left,
                 int(std::lround((r.bottom() + 1) * sy)) - top);
}

OutputPart outputPart(const QRect& content, const QRect& output, double scale) {
    const QRect shown = content.intersected(output);
    if (shown.isEmpty() || scale <= 0) return {};
    const QPoint offset = shown.topLeft() - content.topLeft();
    return {shown.translated(-output.topLeft()),
            QPoint(int(std::lround(offset.x() * scale)), int(std::lround(offset.y() * scale))),
            QSize(int(std::lround(content.width() * scale)),
                  int(std::lround(content.height() * scale)))};
}

WaylandWindowStreamService::WaylandWindowStreamService(Source source,
                                                       std::shared_ptr<PortalRemote> remote)
    : source_(source), remote_(std::move(remote)) {}
WaylandWindowStreamService::~WaylandWindowStreamService() {
    // A session still being asked for when the program quits: its stream is gone and has
    // cancelled it; the thread only closes what it opened.
    for (const QPointer<QThread>& thread : std::as_const(negotiations_))
        if (thread) thread->wait(QDeadlineTimer(3000));
}

WaylandWindowStreamService::Source WaylandWindowStreamService::sourceFromEnvironment() {
    const QString chosen = qEnvironmentVariable("TESSAL_SCREENCAST");
    if (chosen == QLatin1String("portal")) return Source::portal;
    if (chosen == QLatin1String("desktop")) return Source::desktop;
    if (chosen == QLatin1String("screencopy")) return Source::screencopy;
    return Screencopy::open() ? Source::screencopy : Source::desktop;
}

void WaylandWindowStreamService::useDefaults(DefaultsStore& defaults) {
    defaults_ = &defaults;
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
    if (source_ != Source::screencopy) {
        // The desktop's answer stands for later sessions; each session's token serves once.
        DefaultsStore* defaults = defaults_;
        const auto kept = [defaults](bool remoteDesktop) {
            return defaults ? defaults->stringValue(tokenKey(remoteDesktop)).value_or(QString())
                            : QString();
        };
        auto keep = [defaults](bool remoteDesktop, const QString& next) {
            if (defaults)
                QMetaObject::invokeMethod(qApp, [defaults, next, name = tokenKey(remoteDesktop)] {
                    defaults->set(name, next);
                });
        };
        return std::unique_ptr<WindowStream>(new PortalWindowStream(
            source_, content, best->geometry(), {kept(false), kept(true)}, queue,
            std::move(onFrame), std::move(onStop), std::move(keep), remote_, negotiations_));
    }
    const OutputPart part = outputPart(content, best->geometry(), best->devicePixelRatio());
    std::unique_ptr<Screencopy> screencopy = Screencopy::open();
    if (!screencopy)
        return streamError(
            QCoreApplication::translate("WaylandWindowStream", "合成器不提供 wlr-screencopy"));
    return std::unique_ptr<WindowStream>(new WaylandWindowStream(
        std::move(screencopy), best->name(), part, queue, std::move(onFrame), std::move(onStop)));
}

}  // namespace tessal
