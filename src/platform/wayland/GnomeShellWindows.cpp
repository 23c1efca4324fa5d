#include "GnomeShellWindows.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace tessal {

namespace {

const QString path = QStringLiteral("/local/ostrel/ShellWindows");
const QString interface = QStringLiteral("local.ostrel.ShellWindows");

}  // namespace

GnomeShellWindows::GnomeShellWindows(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

bool gnomeShellWindowsOffered(const QDBusConnection& bus) {
    bool gnome = false;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':')))
        gnome = gnome || name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0;
    return gnome && bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(GnomeShellWindows::service).value();
}

std::optional<GnomeShellReport> gnomeShellReportFrom(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject report = document.object();
    if (!report.value("windows").isArray()) return std::nullopt;
    GnomeShellReport read;
    read.pointer = compositorPoint(report.value("pointer"));
    for (const QJsonValue& each : report.value("windows").toArray()) {
        const QJsonObject o = each.toObject();
        const auto frame = compositorRect(o.value("frame"));
        const auto content = compositorRect(o.value("content"));
        const double id = o.value("id").toDouble(-1);
        if (!each.isObject() || !frame || !content || id < 1 || id > 0xffffffffu ||
            id != std::floor(id) || !o.value("focused").isBool())
            return std::nullopt;
        if (frame->isEmpty()) continue;
        read.windows.push_back(reportedWindow(unsigned(id), *frame, *content, o.value("pid"),
                                              o.value("focused").toBool()));
    }
    return read;
}

std::optional<std::vector<CompositorWindow>> GnomeShellWindows::windows() {
    if (!bus_.isConnected()) return std::nullopt;
    const QDBusMessage reply =
        bus_.call(QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("List")),
                  QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().first().userType() != QMetaType::QString)
        return std::nullopt;
    std::optional<GnomeShellReport> read =
        gnomeShellReportFrom(reply.arguments().first().toString().toUtf8());
    if (!read) return std::nullopt;
    pointer_.keep(read->pointer);
    return std::move(read->windows);
}

std::optional<QPoint> GnomeShellWindows::pointer() {
    return pointer_.orFrom([this] { return windows(); });
}

}  // namespace tessal
