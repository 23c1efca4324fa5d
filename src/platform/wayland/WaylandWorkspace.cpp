#include "WaylandWorkspace.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "CompositorWindows.h"
#include "MutterPointer.h"
#include "PortalPointer.h"
#include "VirtualPointer.h"
#include "platform/KeyCodes.h"

namespace tessal {
namespace {

// Return, Space and Escape typed into a panel of ours (a tool window; dialogs keep their keys).
class PanelKeys final : public QObject, public KeyTap {
  public:
    explicit PanelKeys(std::function<void(int, bool)> onKey) : onKey_(std::move(onKey)) {
        qApp->installEventFilter(this);
    }
    ~PanelKeys() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || window->type() != Qt::Tool) return false;
        const auto& key = *static_cast<QKeyEvent*>(event);
        const KeyPress press = keyPressFromEvent(key);
        if (press.control || press.option || press.command) return false;
        const int code = press.keyCode == KeyCode::keypadEnter ? KeyCode::returnKey : press.keyCode;
        if (code != KeyCode::returnKey && code != KeyCode::space && code != KeyCode::escape)
            return false;
        // Taken before the focused button would act on it too.
        if (event->type() == QEvent::ShortcutOverride) return event->accept(), true;
        onKey_(code, key.isAutoRepeat());
        return true;
    }

  private:
    std::function<void(int, bool)> onKey_;
};

QRect layoutRect() {
    QRect united;
    for (QScreen* screen : QGuiApplication::screens()) united |= screen->geometry();
    return united;
}

QPoint primaryTopLeft() {
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().topLeft() : QPoint();
}

QRect layoutFromWindowList(const Rect& r) {
    return QRect(int(std::floor(r.minX())), int(std::floor(r.minY())), int(std::ceil(r.width())),
                 int(std::ceil(r.height())))
        .translated(primaryTopLeft());
}

}  // namespace

WaylandWorkspace::WaylandWorkspace(std::unique_ptr<CompositorWindows> windows, int ownPid,
                                   std::shared_ptr<const PortalRemote> remote)
    : windows_(std::move(windows)), ownPid_(ownPid), remote_(std::move(remote)) {}
WaylandWorkspace::~WaylandWorkspace() = default;

bool WaylandWorkspace::grabInput(QWindow* window) {
    if (!window) return false;
    window->requestActivate();
    return true;
}

WindowOwner WaylandWorkspace::frontmost() {
    if (!windows_) return {};
    const auto listed = windows_->windows();
    if (!listed) return {};
    for (const CompositorWindow& w : *listed)
        if (w.focused) return {w.pid, w.id};
    return {};
}

bool WaylandWorkspace::activate(const WindowOwner& owner) {
    if (!windows_ || !owner.window) return false;
    return windows_->focus(owner.window);
}

WheelPointer* WaylandWorkspace::wheel() {
    // The pointer the user let the long capture's own screen cast move comes before a session
    // of GNOME's, which would be a second one beside it; it is published only once that cast
    // runs, so a pointer chosen before is chosen again then. Nothing found is not remembered.
    const bool portalPublished = remote_ && remote_->current();
    if (pointerKind_ == PointerKind::gnome && portalPublished) pointer_.reset();
    if (!pointer_) {
        pointer_ = VirtualPointer::open();
        pointerKind_ = PointerKind::virtualPointer;
        if (!pointer_ && portalPublished) {
            pointer_ = std::make_unique<PortalPointer>(QDBusConnection::sessionBus(), remote_);
            pointerKind_ = PointerKind::portal;
        }
        if (!pointer_) {
            pointer_ = MutterPointer::open(QDBusConnection::sessionBus(), layoutRect());
            pointerKind_ = PointerKind::gnome;
        }
    }
    return pointer_.get();
}

void WaylandWorkspace::prepareScrolling() {
    if (WheelPointer* pointer = wheel()) pointer->prepare();
}

bool WaylandWorkspace::postScroll(const ScrollRequest& request) {
    if (!wheel() || request.notches == 0) return false;
    const QPoint origin = primaryTopLeft();
    const QPoint at(int(std::floor(request.point.x)) + origin.x(),
                    int(std::floor(request.point.y)) + origin.y());
    QRect output;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().contains(at)) output = screen->geometry();
    if (output.isEmpty()) return false;
    const QPoint park = parkingPoint(
        request.keepClear.isEmpty() ? QRect(at, at) : layoutFromWindowList(request.keepClear),
        request.parkWithin.isEmpty() ? QRect() : layoutFromWindowList(request.parkWithin), output,
        at);
    if (pointer_->scroll(at, request.notches, request.horizontal, park, layoutRect())) return true;
    pointer_.reset();
    return false;
}

std::unique_ptr<KeyTap> WaylandWorkspace::tapKeys(const WindowOwner&,
                                                  std::function<void(int, bool)> onKey) {
    return std::make_unique<PanelKeys>(std::move(onKey));
}

bool WaylandWorkspace::placesPanels() const {
    return windows_ && windows_->placesPanels();
}

void WaylandWorkspace::keepPanel(QWindow* window, const QRect& frame) {
    if (!windows_ || !window) return;
    const auto place = [this, pid = ownPid_, frame](QWindow* w) {
        windows_->keepPanel(pid, w->title(), frame);
    };
    place(window);
    // The compositor places a window only once it is mapped, which follows its first frame.
    QPointer<QWindow> guarded(window);
    for (int delay : {60, 250, 700})
        QTimer::singleShot(delay, window, [guarded, place] {
            if (guarded && guarded->isVisible()) place(guarded);
        });
}

}  // namespace tessal
