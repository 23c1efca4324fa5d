#include <gtest/gtest.h>

#include <QApplication>

#include "app/Resources.h"

namespace {

// The offscreen platform reports every raise and keyboard grab it cannot do; that is expected.
void quietOffscreen(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (type != QtDebugMsg) fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    tessal::initResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
