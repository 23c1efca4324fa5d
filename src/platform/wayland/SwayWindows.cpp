#include "SwayWindows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>

namespace tessal {
namespace {

constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicSize = sizeof magic - 1;
constexpr qsizetype headerSize = magicSize + 8;
constexpr quint32 getTree = 4;

quint32 headerWord(const QByteArray& bytes, qsizetype at) {
    quint32 value;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    return value;
}

// The payload's length once the header is in; -1 before, or for a header that is not one.
qsizetype payloadLength(const QByteArray& reply) {
    if (reply.size() < headerSize || !reply.startsWith(magic)) return -1;
    return qsizetype(headerWord(reply, magicSize));
}

QRect rectOf(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    return QRect(o.value("x").toInt(), o.value("y").toInt(), o.value("width").toInt(),
                 o.value("height").toInt());
}

struct Found {
    std::vector<CompositorWindow> fullscreen, floating, tiled;
};

// A view: a container with a client (a Wayland app_id or an X11 window), shown now.
void collect(const QJsonObject& node, bool floating, Found& found) {
    const QString type = node.value("type").toString();
    if (type == QLatin1String("workspace") && node.value("name").toString() == "__i3_scratch")
        return;
    const bool view = (type == QLatin1String("con") || type == QLatin1String("floating_con")) &&
                      (node.value("app_id").isString() || node.value("window").isDouble());
    if (view && node.value("visible").toBool()) {
        CompositorWindow w;
        w.id = unsigned(node.value("id").toDouble());
        const QRect rect = rectOf(node.value("rect"));
        const QRect inner = rectOf(node.value("window_rect"));
        // The title bar sits above the container's rectangle, which holds border and client.
        const int title = std::max(0, rectOf(node.value("deco_rect")).height());
        w.frame = rect.adjusted(0, -title, 0, 0);
        w.content = inner.isEmpty() ? rect : inner.translated(rect.topLeft());
        w.pid = std::max(0, node.value("pid").toInt());
        w.focused = node.value("focused").toBool();
        if (!w.frame.isEmpty()) {
            if (node.value("fullscreen_mode").toInt() != 0)
                found.fullscreen.push_back(w);
            else
                (floating ? found.floating : found.tiled).push_back(w);
        }
    }
    for (const QJsonValue& child : node.value("nodes").toArray())
        collect(child.toObject(), floating, found);
    // Drawn in order, so the last floating window is the one in front.
    const QJsonArray floatingNodes = node.value("floating_nodes").toArray();
    for (auto it = floatingNodes.end(); it != floatingNodes.begin();)
        collect((*--it).toObject(), true, found);
}

}  // namespace

QByteArray swayMessage(quint32 type, const QByteArray& payload) {
    QByteArray message(magic, magicSize);
    const quint32 length = quint32(payload.size());
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&type), sizeof type);
    return message + payload;
}

std::optional<std::vector<CompositorWindow>> swayWindowsFromTree(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument tree = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !tree.isObject() ||
        tree.object().value("type").toString() != QLatin1String("root"))
        return std::nullopt;
    Found found;
    collect(tree.object(), false, found);
    std::vector<CompositorWindow> windows = std::move(found.fullscreen);
    windows.insert(windows.end(), found.floating.begin(), found.floating.end());
    windows.insert(windows.end(), found.tiled.begin(), found.tiled.end());
    return windows;
}

SwayWindows::SwayWindows(QString socketPath, int timeoutMs)
    : socketPath_(std::move(socketPath)), timeoutMs_(timeoutMs) {}

std::optional<std::vector<CompositorWindow>> SwayWindows::windows() {
    const auto reply = exchangeOnSocket(
        socketPath_, swayMessage(getTree),
        [](const QByteArray& bytes) {
            const qsizetype length = payloadLength(bytes);
            return length >= 0 && bytes.size() >= headerSize + length;
        },
        timeoutMs_);
    if (!reply) return std::nullopt;
    const qsizetype length = payloadLength(*reply);
    if (length < 0 || reply->size() != headerSize + length ||
        headerWord(*reply, magicSize + 4) != getTree)
        return std::nullopt;
    return swayWindowsFromTree(reply->mid(headerSize));
}

namespace {

constexpr quint32 runCommand = 0;

// A criteria value matching exactly `text` (sway reads it as a regular expression inside double
// quotes; a quote in it matches any character, since sway has no escape for one).
QString exactly(const QString& text) {
    QString pattern = QStringLiteral("^");
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            pattern += QLatin1Char('.');
        else if (QStringLiteral("\\^$.|?*+()[]{}").contains(c))
            pattern += QLatin1Char('\\'), pattern += c;
        else
            pattern += c;
    }
    return pattern + QLatin1Char('$');
}

}  // namespace

bool swayCommandSucceeded(const QByteArray& json) {
    const QJsonDocument reply = QJsonDocument::fromJson(json);
    if (!reply.isArray() || reply.array().isEmpty()) return false;
    for (const QJsonValue& each : reply.array())
        if (!each.toObject().value("success").toBool()) return false;
    return true;
}

QByteArray swayPanelCriteria(int pid, const QString& title) {
    return QStringLiteral("[pid=%1 title=\"%2\"]").arg(pid).arg(exactly(title)).toUtf8();
}

bool SwayWindows::command(const QByteArray& text) {
    const auto reply = exchangeOnSocket(
        socketPath_, swayMessage(runCommand, text),
        [](const QByteArray& bytes) {
            const qsizetype length = payloadLength(bytes);
            return length >= 0 && bytes.size() >= headerSize + length;
        },
        timeoutMs_);
    if (!reply) return false;
    const qsizetype length = payloadLength(*reply);
    return length >= 0 && reply->size() == headerSize + length &&
           headerWord(*reply, magicSize + 4) == runCommand &&
           swayCommandSucceeded(reply->mid(headerSize));
}

bool SwayWindows::focus(unsigned id) {
    return command(QByteArray("[con_id=") + QByteArray::number(id) + "] focus");
}

bool SwayWindows::keepPanel(int pid, const QString& title, const QRect& frame) {
    const QByteArray criteria = swayPanelCriteria(pid, title);
    // Never focused when it maps (once per window title: the rule stays).
    if (!ruled_.contains(criteria)) {
        ruled_.insert(criteria);
        command("no_focus " + criteria);
    }
    // Floating (a tiled one would push the others aside, the window being captured among them),
    // on every workspace, no border of sway's, where it belongs; a window not mapped yet gets a
    // rule that does the same when it maps, so that it never shows anywhere else.
    const QByteArray place =
        "floating enable, sticky enable, border none, move absolute position " +
        QByteArray::number(frame.x()) + " " + QByteArray::number(frame.y());
    // The rule's commands in quotes: sway splits a command line at its commas, and would run
    // all but the first on whatever window has the focus.
    return command(criteria + " " + place) ||
           command("for_window " + criteria + " \"" + place + "\"");
}

}  // namespace tessal
