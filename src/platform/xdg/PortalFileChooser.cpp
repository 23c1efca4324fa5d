#include "PortalFileChooser.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QFile>
#include <QUrl>

#include "platform/wayland/PortalRequest.h"

namespace tessal::portal {

// The portal's filter list, a(sa(us)): a name and its rules, 0 = a glob pattern.
struct FilterRule {
    uint kind = 0;
    QString pattern;
};
struct Filter {
    QString name;
    QList<FilterRule> rules;
};

QDBusArgument& operator<<(QDBusArgument& argument, const FilterRule& rule) {
    argument.beginStructure();
    argument << rule.kind << rule.pattern;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, FilterRule& rule) {
    argument.beginStructure();
    argument >> rule.kind >> rule.pattern;
    argument.endStructure();
    return argument;
}
QDBusArgument& operator<<(QDBusArgument& argument, const Filter& filter) {
    argument.beginStructure();
    argument << filter.name << filter.rules;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, Filter& filter) {
    argument.beginStructure();
    argument >> filter.name >> filter.rules;
    argument.endStructure();
    return argument;
}

}  // namespace tessal::portal

Q_DECLARE_METATYPE(tessal::portal::FilterRule)
Q_DECLARE_METATYPE(tessal::portal::Filter)

namespace tessal {

FileChooser::Answer PortalFileChooser::save(const SaveRequest& request) {
    qDBusRegisterMetaType<portal::FilterRule>();
    qDBusRegisterMetaType<QList<portal::FilterRule>>();
    qDBusRegisterMetaType<portal::Filter>();
    qDBusRegisterMetaType<QList<portal::Filter>>();

    const portal::Filter filter{request.filterName, {{0, request.pattern}}};
    QVariantMap options{
        {QStringLiteral("accept_label"), request.acceptLabel},
        {QStringLiteral("modal"), true},
        {QStringLiteral("current_name"), request.name},
        {QStringLiteral("filters"), QVariant::fromValue(QList<portal::Filter>{filter})},
        {QStringLiteral("current_filter"), QVariant::fromValue(filter)},
    };
    // A byte string with its terminating NUL, as the portal expects a path.
    if (!request.folder.isEmpty())
        options.insert(QStringLiteral("current_folder"),
                       QByteArray(QFile::encodeName(request.folder)).append('\0'));

    PortalRequest portalRequest(bus_, callTimeoutMs_, PortalRequest::noAnswerLimit);
    const Result<PortalRequest::Answer> answer =
        portalRequest.call(QStringLiteral("org.freedesktop.portal.FileChooser"),
                           QStringLiteral("SaveFile"), {QString(), request.title}, options);
    if (!answer) return {};
    if (answer.value().response == PortalRequest::cancelled) return {Outcome::cancelled, {}};
    if (answer.value().response != PortalRequest::success) return {};
    const QVariant uris = answer.value().results.value(QStringLiteral("uris"));
    const QStringList list = uris.canConvert<QDBusArgument>()
                                 ? qdbus_cast<QStringList>(uris.value<QDBusArgument>())
                                 : uris.toStringList();
    // Outside a sandbox the portal hands back the place itself; anything else is not a file
    // this process can write.
    const QUrl url(list.value(0));
    if (list.size() != 1 || !url.isLocalFile() || url.toLocalFile().isEmpty()) return {};
    return {Outcome::chosen, url.toLocalFile()};
}

}  // namespace tessal
