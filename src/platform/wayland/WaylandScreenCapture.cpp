#include "WaylandScreenCapture.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QUrl>
#include <QVariantMap>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "CompositorWindows.h"
#include "KWinScreenShot.h"
#include "PortalRequest.h"
#include "Screencopy.h"
#include "WaylandSocket.h"
#include "platform/DisplayMapping.h"

namespace tessal {

namespace {

const QString domain = QStringLiteral("Ostrel");

QRect desktopLogicalRect() {
    QRect united;
    for (QScreen* screen : QGuiApplication::screens()) united |= screen->geometry();
    return united;
}

}  // namespace

namespace {

// The pixels of a desktop picture that show `display`.
QRect displayPart(const QImage& desktop, const QRect& desktopLogical, const QRect& display) {
    const double sx = double(desktop.width()) / desktopLogical.width();
    const double sy = double(desktop.height()) / desktopLogical.height();
    return QRect(qRound((display.x() - desktopLogical.x()) * sx),
                 qRound((display.y() - desktopLogical.y()) * sy), qRound(display.width() * sx),
                 qRound(display.height() * sy));
}

}  // namespace

QImage cutDisplay(const QImage& desktop, const QRect& desktopLogical, const QRect& display,
                  QSize pixelSize) {
    if (desktop.isNull() || desktopLogical.isEmpty() || !desktopLogical.contains(display))
        return {};
    const QRect source = displayPart(desktop, desktopLogical, display);
    QImage part = desktop.copy(source).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (part.size() != pixelSize)
        part = part.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return part;
}

WaylandScreenCapture::WaylandScreenCapture(QDBusConnection bus, int timeoutMs, Source source)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs), source_(source) {}

WaylandScreenCapture::~WaylandScreenCapture() = default;

WaylandScreenCapture::Source WaylandScreenCapture::sourceFromEnvironment() {
    const QString chosen = qEnvironmentVariable("TESSAL_SCREENSHOT");
    if (chosen == QLatin1String("portal")) return Source::portal;
    if (chosen == QLatin1String("screencopy")) return Source::screencopy;
    return Source::automatic;
}

std::vector<DisplayInfo> WaylandScreenCapture::displays() {
    std::vector<DisplayInfo> all = qtDisplays();
    // Qt rounds a fractional output scale up to a whole one; the compositor's picture has the
    // output's own pixels, whose ratio to the logical size is the real scale. Qt also cuts the
    // logical size to whole points (1600 px at 1.5 are 1066.67), so the ratio is taken to the
    // nearest 1/120, the step in which Wayland states fractional scales.
    for (DisplayInfo& d : all)
        if (auto it = outputs_.find(d.id);
            it != outputs_.end() && !it->second.isNull() && d.frame.width() > 0)
            d.scale = std::max(1.0, std::round(it->second.width() / d.frame.width() * 120) / 120);
    return all;
}

Result<ShareableContent> WaylandScreenCapture::shareableContent() {
    desktop_ = QImage();
    outputs_.clear();
    ShareableContent content;
    const std::vector<DisplayInfo> all = displays();
    for (const DisplayInfo& d : all) content.displayIds << d.id;
    if (source_ != Source::portal) {
        if (screencopy()) {
            auto pictures = screencopy_->requested(pointer_)
                                ? screencopy_->takeOutputs()
                                : screencopy_->captureOutputs(pointer_);
            // Every display must have its picture (an output may have come or gone).
            bool complete = bool(pictures);
            for (const DisplayInfo& d : all)
                complete = complete && pictures.value().count(d.id) > 0;
            if (complete) {
                outputs_ = std::move(pictures).value();
                return content;
            }
            if (source_ == Source::screencopy)
                return pictures ? UserError{domain, 3,
                                            QCoreApplication::translate(
                                                "WaylandScreenCapture",
                                                "合成器交出的画面与显示器不符。")}
                                : pictures.error();
            screencopy_.reset();
            screencopyOpened_ = false;
        } else if (source_ == Source::screencopy) {
            return UserError{
                domain, 2,
                QCoreApplication::translate("WaylandScreenCapture",
                                            "合成器不提供 wlr-screencopy，无法直接截取屏幕。")};
        }
    }
    if (source_ == Source::automatic && kwinPictures(all)) return content;
    if (auto failed = portalPicture()) return *failed;
    return content;
}

Screencopy* WaylandScreenCapture::screencopy() {
    if (!screencopyOpened_) {
        screencopy_ = Screencopy::open();
        screencopyOpened_ = true;
    }
    return screencopy_.get();
}

void WaylandScreenCapture::freezeDisplays(const std::vector<DisplayInfo>&) {
    if (source_ != Source::portal && screencopy()) {
        screencopy_->requestOutputs(pointer_, true);
        return;
    }
    // The portal's picture is shown where it arrives too.
    if (source_ == Source::screencopy) return;
    if (!freezerOpened_) {
        freezer_ = Screencopy::open(false);
        freezerOpened_ = true;
    }
    if (freezer_) freezer_->freezeOutputs();
}

void WaylandScreenCapture::releaseFrozenDisplays() {
    if (screencopy_) screencopy_->releaseFrozen();
    if (freezer_) freezer_->releaseFrozen();
}

bool WaylandScreenCapture::kwinPictures(const std::vector<DisplayInfo>& all) {
    if (!kwinChecked_) {
        kwinOffered_ = KWinScreenShot::available(bus_);
        kwinChecked_ = true;
    }
    if (!kwinOffered_) return false;
    KWinScreenShot kwin(bus_, timeoutMs_);
    std::map<QString, QImage> pictures;
    for (const DisplayInfo& d : all) {
        bool refused = false;
        auto picture = kwin.captureScreen(d.id, pointer_, &refused);
        if (!picture) {
            // Without a desktop entry granting the interface, KWin refuses every time.
            kwinOffered_ = !refused;
            return false;
        }
        pictures[d.id] = std::move(picture).value();
    }
    outputs_ = std::move(pictures);
    return true;
}

std::optional<UserError> WaylandScreenCapture::portalPicture() {
    // The call has its time box; the answer may come only after the desktop asked the user
    // whether we may take screenshots (GNOME does on the first one), which takes what it takes.
    // One question at a time: a capture asked for while the user is still being asked (user
    // input and D-Bus requests go on meanwhile) would raise a second dialog.
    if (request_)
        return UserError{domain, 4,
                         QCoreApplication::translate("WaylandScreenCapture",
                                                     "桌面仍在等待对上一次截图请求的回答。")};
    PortalRequest request(bus_, timeoutMs_, PortalRequest::noAnswerLimit);
    request.onAwaitingUser = [this](bool awaiting) {
        if (onAwaitingUser) onAwaitingUser(awaiting);
    };
    request_ = &request;
    const auto answer = request.call(
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"),
        {QString()}, {{QStringLiteral("interactive"), false}, {QStringLiteral("modal"), false}});
    request_ = nullptr;
    if (!answer && answer.error().code == PortalRequest::closedCode)
        return UserError{domain, cancelledByUser,
                         QCoreApplication::translate("WaylandScreenCapture", "截图已取消。")};
    if (!answer) return answer.error();
    if (answer.value().response != PortalRequest::success) {
        refused_ = true;
        return UserError{
            domain, 1,
            answer.value().response == PortalRequest::cancelled
                ? QCoreApplication::translate("WaylandScreenCapture", "截图请求被取消。")
                : QCoreApplication::translate("WaylandScreenCapture", "桌面门户拒绝了截图请求。")};
    }
    refused_ = false;
    const QUrl uri(answer.value().results.value(QStringLiteral("uri")).toString());
    const QString file = uri.toLocalFile();
    QImageReader reader(file);
    reader.setAutoTransform(false);
    // Into the last picture's memory where it is of the same size and format: fresh memory costs
    // a page fault every 4 KiB. A picture that cannot be read whole is none.
    if (!reader.read(&portalPicture_)) portalPicture_ = QImage();
    desktop_ = portalPicture_;
    // The portal saved the picture for us alone; it is read now and would only pile up.
    if (!file.isEmpty()) QFile::remove(file);
    if (desktop_.isNull())
        return UserError{
            domain, 3,
            QCoreApplication::translate("WaylandScreenCapture", "无法读取桌面门户返回的截图。")};
    desktopLogical_ = desktopLogicalRect();
    if (freezer_ && !desktopLogical_.isEmpty())
        for (QScreen* screen : QGuiApplication::screens())
            if (desktopLogical_.contains(screen->geometry()))
                freezer_->showFrozen(screen->name(), desktop_,
                                     displayPart(desktop_, desktopLogical_, screen->geometry()));
    return std::nullopt;
}

void WaylandScreenCapture::cancelAwaitingUser() {
    if (request_) request_->cancel();
}

Result<QImage> WaylandScreenCapture::screenshot(const DisplayInfo& display, int pixelWidth,
                                                int pixelHeight) {
    if (auto it = outputs_.find(display.id); it != outputs_.end()) {
        const QSize size(pixelWidth, pixelHeight);
        // A pixel more or less is the cut logical size: the output's own pixels stand.
        if (std::abs(it->second.width() - size.width()) <= 1 &&
            std::abs(it->second.height() - size.height()) <= 1)
            return it->second;
        return it->second.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QRect logical;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == display.id) logical = screen->geometry();
    QImage image = cutDisplay(desktop_, desktopLogical_, logical, QSize(pixelWidth, pixelHeight));
    if (image.isNull())
        return UserError{
            domain, 3,
            QCoreApplication::translate("WaylandScreenCapture",
                                        "截图中没有这个显示器（显示器可能刚刚变化）。")};
    return image;
}

CompositorWindows* WaylandScreenCapture::compositorWindows() {
    if (!compositorWindowsChosen_) {
        compositorWindows_ = compositorWindowsFromEnvironment(bus_);
        compositorWindowsChosen_ = true;
    }
    return compositorWindows_.get();
}

std::optional<Point> WaylandScreenCapture::pointerInWindowList() {
    QScreen* primary = QGuiApplication::primaryScreen();
    CompositorWindows* compositor = compositorWindows();
    if (!compositor || !primary) return std::nullopt;
    const std::optional<QPoint> at = compositor->pointer();
    if (!at) return std::nullopt;
    // Window-list points, as windowListEntries gives the windows.
    const QPoint local = *at - primary->geometry().topLeft();
    return Point(local.x(), local.y());
}

QVariantList WaylandScreenCapture::windowList() {
    if (CompositorWindows* compositor = compositorWindows()) {
        QScreen* primary = QGuiApplication::primaryScreen();
        const std::optional<std::vector<CompositorWindow>> windows = compositor->windows();
        if (primary && windows && !windows->empty())
            return windowListEntries(*windows, primary->geometry().topLeft());
    }
    QVariantList list;
    const std::vector<DisplayInfo> all = displays();
    // Each display's picture is drawn by the compositor, which owns it as a window would.
    if (!compositorPid_) compositorPid_ = compositorPid();
    if (all.empty() || compositorPid_ <= 0) return list;
    const Rect primary = all.front().frame;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Rect& f = all[i].frame;
        // Window-list points: from the primary display's top-left, y down.
        const double x = f.minX() - primary.minX();
        const double y = primary.maxY() - f.maxY();
        const QVariantMap bounds{{"x", x}, {"y", y}, {"width", f.width()}, {"height", f.height()}};
        list << QVariantMap{{WindowKey::number, uint(i + 1)},
                            {WindowKey::pid, qlonglong(compositorPid_)},
                            {WindowKey::layer, 0},
                            {WindowKey::bounds, bounds},
                            {WindowKey::content, bounds}};
    }
    return list;
}

}  // namespace tessal
