#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

namespace tessal {

// Starts `daemon` as a session bus of the test's own that activates nothing (the machine's own
// services must not answer for a test's fakes), its configuration written into `folder`. Its
// address, or empty when dbus-daemon cannot be started.
inline QString startPrivateSessionBus(QProcess& daemon, const QDir& folder) {
    QFile config(folder.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)) return {};
    config.write(
        "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
        "<auth>EXTERNAL</auth><policy context=\"default\">"
        "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
        "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
    config.close();
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1"), QStringLiteral("--nopidfile")});
    if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000)) return {};
    return QString::fromUtf8(daemon.readLine()).trimmed();
}

}  // namespace tessal
