#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QJsonValue>
#include <QRect>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tessal {

// A window as the compositor places it, in its layout coordinates (logical points, y down; the
// same as Qt's screen geometries on Wayland).
struct CompositorWindow {
    unsigned id = 0;  // the compositor's own, stable while the window lives
    QRect frame;      // decorations included
    QRect content;    // the client's surface
    int pid = 0;      // 0: unknown
    bool focused = false;
    friend bool operator==(const CompositorWindow&, const CompositorWindow&) = default;
};

// Where windows are on compositors that tell a client (each family its own way). Lists hold
// only the windows shown now (current workspaces, not minimised or stashed), front to back.
class CompositorWindows {
  public:
    virtual ~CompositorWindows() = default;
    // Nothing when the compositor does not answer in time or answers nonsense.
    virtual std::optional<std::vector<CompositorWindow>> windows() = 0;
    // Gives the keyboard to window `id`; false where the compositor cannot be asked or refused.
    virtual bool focus(unsigned id) {
        (void)id;
        return false;
    }
    // Keeps our window titled `title` (of process `pid`) floating above the others on every
    // workspace at `frame`'s position (layout points), never focused on its own; asked before
    // the window is shown and again once it is. False where the compositor cannot be asked.
    virtual bool keepPanel(int pid, const QString& title, const QRect& frame) {
        (void)pid, (void)title, (void)frame;
        return false;
    }
    // Whether keepPanel can be asked at all here.
    virtual bool placesPanels() const { return false; }
    // Where the pointer is (layout points), where the compositor tells a client; nothing where
    // it does not, or does not answer in time.
    virtual std::optional<QPoint> pointer() { return std::nullopt; }
};

// The pointer's place as the last report that listed the windows gave it. A capture asks for the
// pointer right after the windows: that report answers, and the compositor is asked once.
class RecentPointer {
  public:
    void keep(std::optional<QPoint> pointer) {
        std::lock_guard lock(mutex_);
        pointer_ = pointer;
        keptAt_ = std::chrono::steady_clock::now();
    }
    // The place kept less than half a second ago (itself maybe nothing); nothing when none was.
    std::optional<std::optional<QPoint>> fresh() const {
        std::lock_guard lock(mutex_);
        if (keptAt_ && std::chrono::steady_clock::now() - *keptAt_ < std::chrono::milliseconds(500))
            return pointer_;
        return std::nullopt;
    }
    // The fresh place, else the one `list` (which keeps one when it answers) gives now.
    template <typename List>
    std::optional<QPoint> orFrom(const List& list) {
        if (const auto kept = fresh()) return *kept;
        if (!list()) return std::nullopt;
        return fresh().value_or(std::nullopt);
    }

  private:
    mutable std::mutex mutex_;
    std::optional<QPoint> pointer_;
    std::optional<std::chrono::steady_clock::time_point> keptAt_;
};

// The provider for the running compositor, chosen from the environment (SWAYSOCK or I3SOCK
// for sway and i3-compatible compositors, HYPRLAND_INSTANCE_SIGNATURE for Hyprland, a Plasma
// session whose KWin is on `bus`, a GNOME session whose Shell runs Tessal's extension); null
// where none is known.
std::unique_ptr<CompositorWindows> compositorWindowsFromEnvironment(
    const QDBusConnection& bus = QDBusConnection::sessionBus());

// A rectangle or a point as a compositor reports it in JSON: [x, y, width, height] or [x, y],
// finite numbers within a million points. Fractional places (fractional scales) are rounded:
// a rectangle's edges to the nearest, a point to the pixel it lies in. Nothing for anything else.
std::optional<QRect> compositorRect(const QJsonValue& value);
std::optional<QPoint> compositorPoint(const QJsonValue& value);

// A window as a compositor's report gives it: the content kept within the frame (a surface's
// rectangle holds the shadows of a window that draws its own decorations), a pid that is not
// one taken as unknown.
CompositorWindow reportedWindow(unsigned id, const QRect& frame, const QRect& content,
                                const QJsonValue& pid, bool focused);

// Window-list entries (see WindowKey) for `windows`, whose coordinates become window-list
// points: from `primaryTopLeft` (the primary display's top-left in layout coordinates).
QVariantList windowListEntries(const std::vector<CompositorWindow>& windows, QPoint primaryTopLeft);

// One request and its reply on a compositor's Unix socket, within `timeoutMs` altogether.
// `complete` says whether the bytes read so far are the whole reply; the end of the stream
// also ends it. Nothing on any failure: no socket, a refusal, the time box, more than
// `maximumBytes`.
std::optional<QByteArray> exchangeOnSocket(const QString& path, const QByteArray& request,
                                           const std::function<bool(const QByteArray&)>& complete,
                                           int timeoutMs, qsizetype maximumBytes = 32 << 20);

}  // namespace tessal
