#include "KWinWindows.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

namespace tessal {

const QString KWinWindows::service = QStringLiteral("org.kde.KWin");

namespace {

const QString reportInterface = QStringLiteral("local.ostrel.KWinWindows");

// KWin 5 names desktops by number and each window's by `desktop` (-1: all); KWin 6 has desktop
// objects with string ids and `desktops` lists. Both are reported as lists of strings, empty for
// all desktops, and visibility is decided by the reader.
constexpr char scriptBody[] = R"JS(
(function () {
    var report;
    try {
        var all = typeof workspace.windowList === "function" ? workspace.windowList()
                                                             : workspace.clientList();
        var current = workspace.currentDesktop;
        var numbered = typeof current === "number";
        var rect = function (g) { return g ? [g.x, g.y, g.width, g.height] : null; };
        var desktopsOf = function (w) {
            if (w.onAllDesktops) return [];
            if (numbered) return w.desktop > 0 ? [String(w.desktop)] : [];
            var ids = [], list = w.desktops || [];
            for (var i = 0; i < list.length; ++i) ids.push(String(list[i].id));
            return ids;
        };
        var order = workspace.stackingOrder || [];
        var windows = [];
        for (var i = 0; i < all.length; ++i) {
            var w = all[i];
            // Not windows one would pick: the desktop, panels, popups and passing notices.
            if (w.deleted || w.desktopWindow || w.dock || w.popupWindow || w.tooltip ||
                w.notification || w.criticalNotification || w.onScreenDisplay || w.splash ||
                w.appletPopup)
                continue;
            windows.push({
                id: String(w.internalId),
                stacking: typeof w.stackingOrder === "number" ? w.stackingOrder
                                                              : order.indexOf(w),
                frame: rect(w.frameGeometry),
                content: rect(w.clientGeometry || w.bufferGeometry || w.frameGeometry),
                pid: w.pid,
                minimized: !!w.minimized,
                active: !!w.active,
                desktops: desktopsOf(w),
                activities: (w.activities || []).map(String)
            });
        }
        var cursor = workspace.cursorPos;
        report = {
            desktop: current === null || current === undefined ? ""
                     : String(numbered ? current : current.id),
            activity: String(workspace.currentActivity || ""),
            pointer: cursor ? [cursor.x, cursor.y] : null,
            windows: windows
        };
    } catch (e) {
        report = {error: String(e)};
    }
    callDBus(TARGET, "local.ostrel.KWinWindows", "report", JSON.stringify(report));
})();
)JS";

// Receives the script's report.
class ReportReceiver final : public QDBusVirtualObject {
  public:
    explicit ReportReceiver(QEventLoop& loop) : loop_(loop) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != reportInterface || message.member() != QLatin1String("report") ||
            message.signature() != QLatin1String("s")) {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, QString()));
            return true;
        }
        {
            std::lock_guard lock(mutex_);
            if (!report_) report_ = message.arguments().value(0).toString().toUtf8();
        }
        connection.send(message.createReply());
        QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
        return true;
    }
    std::optional<QByteArray> report() const {
        std::lock_guard lock(mutex_);
        return report_;
    }

  private:
    QEventLoop& loop_;
    mutable std::mutex mutex_;
    std::optional<QByteArray> report_;
};

std::optional<QStringList> stringsFrom(const QJsonValue& value) {
    if (!value.isArray()) return std::nullopt;
    QStringList strings;
    for (const QJsonValue& v : value.toArray()) {
        if (!v.isString()) return std::nullopt;
        strings << v.toString();
    }
    return strings;
}

// The id KWin gives a window, a UUID, folded into the 32 bits of a window number.
unsigned numberOf(const QUuid& id) {
    const QByteArray bytes = id.toRfc4122();
    unsigned folded = 0;
    for (int i = 0; i < bytes.size(); ++i) folded ^= unsigned(quint8(bytes[i])) << (8 * (i % 4));
    return folded ? folded : 1;
}

}  // namespace

QByteArray kwinWindowsScript(const QString& busName, const QString& path) {
    // The bus name and path become two JSON strings, hence two script string literals.
    const QByteArray target =
        QJsonDocument(QJsonArray{busName, path}).toJson(QJsonDocument::Compact);
    return QByteArray(scriptBody).replace("TARGET", target.mid(1, target.size() - 2));
}

std::optional<QPoint> kwinPointerFromReport(const QByteArray& json) {
    return compositorPoint(QJsonDocument::fromJson(json).object().value("pointer"));
}

std::optional<std::vector<CompositorWindow>> kwinWindowsFromReport(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject report = document.object();
    if (!report.value("windows").isArray() || !report.value("desktop").isString() ||
        !report.value("activity").isString())
        return std::nullopt;
    const QString desktop = report.value("desktop").toString();
    const QString activity = report.value("activity").toString();
    struct Stacked {
        double stacking;
        CompositorWindow window;
    };
    std::vector<Stacked> shown;
    for (const QJsonValue& each : report.value("windows").toArray()) {
        const QJsonObject o = each.toObject();
        const QUuid id(o.value("id").toString());
        const auto frame = compositorRect(o.value("frame"));
        const auto content = compositorRect(o.value("content"));
        const auto desktops = stringsFrom(o.value("desktops"));
        const auto activities = stringsFrom(o.value("activities"));
        if (!each.isObject() || id.isNull() || !frame || !content || !desktops || !activities ||
            !o.value("stacking").isDouble() || !o.value("minimized").isBool())
            return std::nullopt;
        if (o.value("minimized").toBool() || frame->isEmpty()) continue;
        if (!desktops->isEmpty() && !desktops->contains(desktop)) continue;
        if (!activities->isEmpty() && !activity.isEmpty() && !activities->contains(activity))
            continue;
        // KWin 5 tells only the surface's rectangle, shadows included.
        shown.push_back({o.value("stacking").toDouble(),
                         reportedWindow(numberOf(id), *frame, *content, o.value("pid"),
                                        o.value("active").toBool())});
    }
    // KWin counts its stacking order from the bottom.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Stacked& a, const Stacked& b) { return a.stacking > b.stacking; });
    std::vector<CompositorWindow> windows;
    for (const Stacked& s : shown) windows.push_back(s.window);
    return windows;
}

KWinWindows::KWinWindows(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

bool kwinOffers(const QDBusConnection& bus, const QString& service) {
    bool plasma = !qEnvironmentVariableIsEmpty("KDE_FULL_SESSION");
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':')))
        plasma = plasma || name.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0;
    return plasma && bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(service).value();
}

std::optional<std::vector<CompositorWindow>> KWinWindows::windows() {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    const auto left = [&deadline] {
        return int(std::max<qint64>(
            1, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                   .count()));
    };
    if (!bus_.isConnected()) return std::nullopt;

    static std::atomic<unsigned> queries{0};
    const QString token =
        QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(++queries);
    const QString path = QStringLiteral("/local/ostrel/KWinWindows/q") + token;
    QEventLoop loop;
    ReportReceiver receiver(loop);
    if (!bus_.registerVirtualObject(path, &receiver)) return std::nullopt;
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/tessal-kwin-XXXXXX.js"));
    const QByteArray script = kwinWindowsScript(bus_.baseService(), path);
    if (!file.open() || file.write(script) != script.size() || !file.flush()) {
        bus_.unregisterObject(path);
        return std::nullopt;
    }

    const QString name = QStringLiteral("tessal-windows-") + token;
    const auto call = [this, &left](const QString& object, const QString& interface,
                                    const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, object, interface, method);
        message.setArguments(arguments);
        return bus_.call(message, QDBus::Block, left());
    };
    const QDBusMessage loaded =
        call(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
             QStringLiteral("loadScript"), {file.fileName(), name});
    bool numbered = false;
    const int id = loaded.arguments().value(0).toInt(&numbered);
    if (loaded.type() == QDBusMessage::ReplyMessage && numbered && id >= 0) {
        // KWin 6 puts each script under /Scripting, KWin 5 at the top.
        const QString runInterface = QStringLiteral("org.kde.kwin.Script");
        const QDBusMessage ran = call(QStringLiteral("/Scripting/Script%1").arg(id), runInterface,
                                      QStringLiteral("run"), {});
        if (ran.type() == QDBusMessage::ErrorMessage && !receiver.report() && left() > 1)
            call(QStringLiteral("/%1").arg(id), runInterface, QStringLiteral("run"), {});
        if (!receiver.report() && left() > 1) {
            QTimer::singleShot(left(), &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
    }
    // Whatever came of it (a late load included), the script goes; the answer is not awaited.
    QDBusMessage unload = QDBusMessage::createMethodCall(service, QStringLiteral("/Scripting"),
                                                         QStringLiteral("org.kde.kwin.Scripting"),
                                                         QStringLiteral("unloadScript"));
    unload << name;
    bus_.send(unload);
    bus_.unregisterObject(path);
    const auto report = receiver.report();
    if (!report) return std::nullopt;
    std::optional<std::vector<CompositorWindow>> windows = kwinWindowsFromReport(*report);
    if (windows) pointer_.keep(kwinPointerFromReport(*report));
    return windows;
}

std::optional<QPoint> KWinWindows::pointer() {
    // A second script is loaded only when none reported just before.
    return pointer_.orFrom([this] { return windows(); });
}

}  // namespace tessal
