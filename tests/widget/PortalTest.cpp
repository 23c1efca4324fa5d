// The Wayland backend's portal calls against a portal of ours on a private D-Bus daemon: the
// Request object path the portal derives from the caller and the handle token, the three
// response codes, a portal that never answers, no portal at all; the desktop picture cut into
// displays; the GlobalShortcuts session.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <mutex>

#include "PrivateSessionBus.h"
#include "annotation/SavePanel.h"
#include "base/DefaultsStore.h"
#include "platform/wayland/PortalPointer.h"
#include "platform/wayland/PortalRequest.h"
#include "platform/wayland/ScreenCastPortal.h"
#include "platform/wayland/Screencopy.h"
#include "platform/wayland/WaylandHotKeys.h"
#include "platform/wayland/WaylandScreenCapture.h"
#include "platform/xdg/PortalFileChooser.h"

using namespace tessal;

// One entry of a screen cast's "streams" (ua{sv}).
struct CastStream {
    uint node = 0;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(CastStream)
QDBusArgument& operator<<(QDBusArgument& argument, const CastStream& stream) {
    argument.beginStructure();
    argument << stream.node << stream.properties;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, CastStream& stream) {
    argument.beginStructure();
    argument >> stream.node >> stream.properties;
    argument.endStructure();
    return argument;
}

namespace {

// An a{sv} argument as it arrives from the bus.
QVariantMap mapArgument(const QVariant& value) {
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

// One portal method's behaviour: the response code and results, or no response at all.
struct Behaviour {
    int response = 0;
    QVariantMap results;
    bool answers = true;
    bool replies = true;  // false: the method call itself is never answered
    int answerAfterMs = 0;
    bool oldHandle = false;  // the request object named as portals before 0.9 named it
};

// xdg-desktop-portal as far as these tests need it, on its own thread and connection.
class FakePortal final : public QDBusVirtualObject {
  public:
    explicit FakePortal(QString address) : address_(std::move(address)) {
        moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            this,
            [this] {
                bus_ = std::make_unique<QDBusConnection>(
                    QDBusConnection::connectToBus(address_, QStringLiteral("portal")));
                bus_->registerService(PortalRequest::service);
                // With the request objects below it, which can be closed.
                bus_->registerVirtualObject(PortalRequest::path, this, QDBusConnection::SubPath);
            },
            Qt::BlockingQueuedConnection);
    }
    ~FakePortal() override {
        QMetaObject::invokeMethod(
            this,
            [this] {
                bus_->unregisterObject(PortalRequest::path);
                bus_->unregisterService(PortalRequest::service);
                bus_.reset();
                QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
            },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    void behave(const QString& method, Behaviour behaviour) {
        std::lock_guard lock(mutex_);
        behaviours_[method] = std::move(behaviour);
    }
    QStringList calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    QVariantList lastArguments() const {
        std::lock_guard lock(mutex_);
        return last_;
    }
    // Sends a signal of the portal's GlobalShortcuts interface.
    void activate(const QString& session, const QString& id) {
        QMetaObject::invokeMethod(
            this,
            [=, this] {
                QDBusMessage signal = QDBusMessage::createSignal(
                    PortalRequest::path, "org.freedesktop.portal.GlobalShortcuts", "Activated");
                signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1)
                       << QVariantMap();
                bus_->send(signal);
            },
            Qt::BlockingQueuedConnection);
    }

    // A property of one of the portal's interfaces ("org.freedesktop.portal.ScreenCast.version").
    void setProperty(const QString& name, const QVariant& value) {
        std::lock_guard lock(mutex_);
        properties_[name] = value;
    }
    // The request objects closed, in order.
    QStringList closedRequests() const {
        std::lock_guard lock(mutex_);
        return closed_;
    }
    // Each input event (RemoteDesktop's Notify… methods), in order: the method's name, the
    // session's path, then the arguments after the options.
    QList<QVariantList> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    // The D-Bus signature of each input event, in order.
    QStringList eventSignatures() const {
        std::lock_guard lock(mutex_);
        return eventSignatures_;
    }
    // Input events are answered with an error from now on.
    void refuseEvents() {
        std::lock_guard lock(mutex_);
        refusesEvents_ = true;
    }
    // The options of every call of `member`, in order.
    QList<QVariantMap> optionsOf(const QString& member) const {
        std::lock_guard lock(mutex_);
        return options_.value(member);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() == "org.freedesktop.DBus.Properties") {
            std::lock_guard lock(mutex_);
            const QString name = message.arguments().value(0).toString() + "." +
                                 message.arguments().value(1).toString();
            if (properties_.contains(name)) {
                connection.send(
                    message.createReply(QVariant::fromValue(QDBusVariant(properties_[name]))));
                return true;
            }
            const bool known = behaviours_.contains(message.arguments().value(0).toString());
            connection.send(known ? message.createReply(QVariant::fromValue(QDBusVariant(1u)))
                                  : message.createErrorReply(QDBusError::UnknownInterface, "no"));
            return true;
        }
        if (message.interface() == "org.freedesktop.portal.Session") {
            std::lock_guard lock(mutex_);
            calls_ << "Session." + message.member();
            return true;
        }
        if (message.member() == "OpenPipeWireRemote") {
            std::lock_guard lock(mutex_);
            calls_ << message.member();
            QFile null("/dev/null");
            null.open(QIODevice::ReadOnly);
            connection.send(
                message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(null.handle()))));
            return true;
        }
        if (message.member().startsWith("Notify")) {
            std::lock_guard lock(mutex_);
            QVariantList event = message.arguments().mid(2);
            event.prepend(message.arguments().value(0).value<QDBusObjectPath>().path());
            event.prepend(message.member());
            events_ << event;
            eventSignatures_ << message.signature();
            connection.send(refusesEvents_
                                ? message.createErrorReply(QDBusError::AccessDenied, "no")
                                : message.createReply());
            return true;
        }
        if (message.interface() == "org.freedesktop.portal.Request") {
            std::lock_guard lock(mutex_);
            calls_ << message.member();
            closed_ << message.path();
            connection.send(message.createReply());
            return true;
        }
        Behaviour behaviour;
        {
            std::lock_guard lock(mutex_);
            calls_ << message.member();
            last_ = message.arguments();
            options_[message.member()] << mapArgument(message.arguments().last());
            const QString key = message.interface() + "." + message.member();
            if (!behaviours_.contains(key) && !behaviours_.contains(message.interface())) {
                connection.send(message.createErrorReply(QDBusError::UnknownMethod, "no"));
                return true;
            }
            behaviour = behaviours_.value(key, behaviours_.value(message.interface()));
        }
        if (!behaviour.replies) return true;
        // The request object is named after the caller and its handle token.
        const QVariantMap options = mapArgument(message.arguments().last());
        QString sender = message.service().mid(1).replace('.', '_');
        const QString handle =
            behaviour.oldHandle
                ? "/org/freedesktop/portal/desktop/request/" + QString::number(++serial_)
                : "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                      options.value("handle_token").toString();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        if (behaviour.answers) {
            QDBusMessage response =
                QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response");
            response << uint(behaviour.response) << behaviour.results;
            // As the user answers a dialog: late, and never once the request is closed.
            QTimer::singleShot(behaviour.answerAfterMs, this, [this, connection, handle, response] {
                std::lock_guard lock(mutex_);
                if (!closed_.contains(handle)) QDBusConnection(connection).send(response);
            });
        }
        return true;
    }

  private:
    QString address_;
    QThread thread_;
    std::unique_ptr<QDBusConnection> bus_;
    mutable std::mutex mutex_;
    QMap<QString, Behaviour> behaviours_;
    QMap<QString, QVariant> properties_;
    QMap<QString, QList<QVariantMap>> options_;
    QStringList calls_;
    QStringList closed_;
    QList<QVariantList> events_;
    QStringList eventSignatures_;
    bool refusesEvents_ = false;
    int serial_ = 0;
    QVariantList last_;
};

class PortalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        address = startPrivateSessionBus(daemon, QDir(configDir.path()));
        ASSERT_FALSE(address.isEmpty()) << "dbus-daemon is needed for this test";
        if (withPortal()) portal = std::make_unique<FakePortal>(address);
    }
    void TearDown() override {
        portal.reset();
        QDBusConnection::disconnectFromBus("client");
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection client() { return QDBusConnection::connectToBus(address, "client"); }
    virtual bool withPortal() const { return true; }

    QTemporaryDir configDir;
    QProcess daemon;
    QString address;
    std::unique_ptr<FakePortal> portal;
};

}  // namespace

TEST_F(PortalTest, RequestsGetTheirResponseOrAClearError) {
    const QString screenshot = "org.freedesktop.portal.Screenshot";
    PortalRequest request(client(), 400);
    struct Case {
        Behaviour behaviour;
        int response;  // -1: an error instead
        int errorCode;
    };
    const std::vector<Case> cases = {
        {{0, {{"uri", "file:///tmp/x.png"}}, true}, PortalRequest::success, 0},
        {{1, {}, true}, PortalRequest::cancelled, 0},
        {{2, {}, true}, PortalRequest::failed, 0},
        {{0, {}, false}, -1, 12},
        {{0, {{"uri", "file:///tmp/y.png"}}, true, true, 100, true}, PortalRequest::success, 0},
    };
    for (const Case& c : cases) {
        portal->behave(screenshot, c.behaviour);
        QElapsedTimer timer;
        timer.start();
        const auto answer = request.call(screenshot, "Screenshot", {QString()}, {});
        if (c.response >= 0) {
            ASSERT_TRUE(answer) << answer.error().message.toStdString();
            EXPECT_EQ(answer.value().response, c.response);
            EXPECT_EQ(answer.value().results, c.behaviour.results);
            EXPECT_LT(timer.elapsed(), 300);
        } else {
            ASSERT_FALSE(answer);
            EXPECT_EQ(answer.error().code, c.errorCode);
            EXPECT_EQ(answer.error().message, "桌面门户没有在 0.4 秒内回应。");
            EXPECT_GE(timer.elapsed(), 390);
        }
    }
    // Tokens differ from call to call, and the options are passed on.
    EXPECT_NE(PortalRequest::newToken(), PortalRequest::newToken());
    portal->behave(screenshot, {0, {}, true});
    ASSERT_TRUE(request.call(screenshot, "Screenshot", {QString()}, {{"interactive", false}}));
    EXPECT_EQ(mapArgument(portal->lastArguments().value(1)).value("interactive"), false);
    // An interface the portal does not offer, and no portal at all: the message names what to
    // install (a wlroots portal without an Access backend offers no Screenshot).
    const auto missing = request.call("org.freedesktop.portal.Nothing", "Call", {}, {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, 10);
    EXPECT_TRUE(missing.error().message.contains("Nothing"))
        << missing.error().message.toStdString();
}

// A session without xdg-desktop-portal at all.
class NoPortalTest : public PortalTest {
  protected:
    bool withPortal() const override { return false; }
};

TEST_F(NoPortalTest, TheMessageNamesWhatToInstall) {
    PortalRequest request(client(), 400);
    const auto answer =
        request.call("org.freedesktop.portal.Screenshot", "Screenshot", {QString()}, {});
    ASSERT_FALSE(answer);
    EXPECT_EQ(answer.error().code, 10);
    EXPECT_TRUE(answer.error().message.startsWith("找不到桌面门户服务"))
        << answer.error().message.toStdString();
    EXPECT_TRUE(answer.error().message.contains("xdg-desktop-portal-gnome"));
}

TEST_F(PortalTest, AMissingScreenshotInterfaceNamesTheBackendToInstall) {
    PortalRequest request(client(), 400);
    portal->behave("org.freedesktop.portal.ScreenCast", {0, {}, true});
    const auto answer =
        request.call("org.freedesktop.portal.Screenshot", "Screenshot", {QString()}, {});
    ASSERT_FALSE(answer);
    EXPECT_EQ(answer.error().code, 10);
    EXPECT_TRUE(answer.error().message.startsWith("桌面没有提供截图门户"));
    EXPECT_TRUE(answer.error().message.contains("xdg-desktop-portal-gtk"));
}

TEST_F(PortalTest, TheDesktopPictureIsReadOnceAndCutIntoDisplays) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Screenshot.png");
    QImage desktop(200, 100, QImage::Format_RGB32);
    desktop.fill(Qt::red);
    desktop.save(file);
    portal->behave("org.freedesktop.portal.Screenshot",
                   {0, {{"uri", QUrl::fromLocalFile(file).toString()}}, true});
    WaylandScreenCapture capture(client(), 400);
    const auto content = capture.shareableContent();
    ASSERT_TRUE(content) << content.error().message.toStdString();
    EXPECT_FALSE(QFile::exists(file)) << "the portal's file is removed once read";
    EXPECT_TRUE(capture.preflight());

    portal->behave("org.freedesktop.portal.Screenshot", {1, {}, true});
    const auto refused = capture.shareableContent();
    ASSERT_FALSE(refused);
    EXPECT_FALSE(capture.preflight()) << "a refusal is the missing permission";
    portal->behave("org.freedesktop.portal.Screenshot",
                   {0, {{"uri", "file:///nonexistent.png"}}, true});
    const auto unreadable = capture.shareableContent();
    ASSERT_FALSE(unreadable);
    EXPECT_EQ(unreadable.error().message, "无法读取桌面门户返回的截图。");
}

// The screenshot's answer waits as long as the desktop asks the user (GNOME asks on the first
// one, in a dialog that waits for any time); only the call itself has a time limit. While the
// answer is awaited the program is told so, and can withdraw the request.
TEST_F(PortalTest, TheScreenshotAnswerIsAwaitedUntilTheUserAnswersOrCancels) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Screenshot.png");
    const QString screenshot = "org.freedesktop.portal.Screenshot";
    struct Case {
        const char* name;
        Behaviour behaviour;
        int cancelAfterMs;  // < 0: the wait is not cancelled
        int portalLeavesAfterMs;
        int errorCode;  // 0: the picture is taken
        QString message;
        std::vector<bool> awaiting;  // what the program is told, in order
        bool closed;                 // the Request was closed
    };
    const Case cases[] = {
        {"answered within a moment", {0, {}, true}, -1, -1, 0, {}, {}, false},
        {"answered after the call's own time limit",
         {0, {}, true, true, 1500},
         -1,
         -1,
         0,
         {},
         {true, false},
         false},
        {"cancelled meanwhile",
         {0, {}, false},
         300,
         -1,
         ScreenCaptureService::cancelledByUser,
         "截图已取消。",
         {true, false},
         true},
        {"the portal leaves meanwhile",
         {0, {}, false},
         -1,
         1500,
         13,
         "桌面门户在回应之前退出了。",
         {true, false},
         false},
        // Closed too: a portal that takes the call late then raises no dialog for it.
        {"the call never taken",
         {0, {}, false, false},
         -1,
         -1,
         12,
         "桌面门户没有在 0.4 秒内回应。",
         {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage desktop(200, 100, QImage::Format_RGB32);
        desktop.fill(Qt::green);
        desktop.save(file);
        Behaviour behaviour = c.behaviour;
        behaviour.results = {{"uri", QUrl::fromLocalFile(file).toString()}};
        portal->behave(screenshot, behaviour);
        const qsizetype closesBefore = portal->calls().count("Close");
        WaylandScreenCapture capture(client(), 400);
        std::vector<bool> awaiting;
        std::optional<UserError> meanwhile;
        capture.onAwaitingUser = [&](bool on) {
            awaiting.push_back(on);
            // A second capture asked for meanwhile would raise a second dialog.
            if (on) {
                const auto second = capture.shareableContent();
                meanwhile = second ? UserError{} : second.error();
            }
            if (on && c.cancelAfterMs >= 0)
                QTimer::singleShot(c.cancelAfterMs, [&] { capture.cancelAwaitingUser(); });
        };
        if (c.portalLeavesAfterMs >= 0)
            QTimer::singleShot(c.portalLeavesAfterMs, [this] { portal.reset(); });
        QElapsedTimer timer;
        timer.start();
        const auto content = capture.shareableContent();
        if (c.errorCode == 0) {
            ASSERT_TRUE(content) << content.error().message.toStdString();
            EXPECT_GE(timer.elapsed(), c.behaviour.answerAfterMs);
        } else {
            ASSERT_FALSE(content);
            EXPECT_EQ(content.error().code, c.errorCode);
            EXPECT_EQ(content.error().message, c.message);
            EXPECT_LT(timer.elapsed(), 3000);
        }
        EXPECT_EQ(awaiting, c.awaiting);
        EXPECT_EQ(meanwhile.value_or(UserError{}).message,
                  c.awaiting.empty() ? QString() : "桌面仍在等待对上一次截图请求的回答。");
        EXPECT_TRUE(capture.preflight()) << "nobody refused";
        if (!portal) {
            portal = std::make_unique<FakePortal>(address);
            continue;
        }
        // The request is closed without waiting for the portal's reply.
        const auto closed = [&] { return portal->calls().count("Close") > closesBefore; };
        for (QElapsedTimer closing; c.closed && !closed();) {
            if (!closing.isValid()) closing.start();
            if (closing.elapsed() > 2000) break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(closed(), c.closed);
        // A new request after a cancelled one is not cancelled before it starts.
        if (c.closed) {
            portal->behave(screenshot, {0, {{"uri", QUrl::fromLocalFile(file).toString()}}, true});
            desktop.save(file);
            EXPECT_TRUE(capture.shareableContent());
        }
        portal.reset();  // and a fresh one for the next case, with nothing called yet
        portal = std::make_unique<FakePortal>(address);
    }
}

TEST(WaylandDisplays, CutAtMixedScales) {
    // Two displays side by side: 100 × 50 at scale 1 and 100 × 50 logical at scale 2, in a
    // picture made at the larger scale (400 × 100).
    QImage desktop(400, 100, QImage::Format_RGB32);
    desktop.fill(Qt::blue);
    for (int y = 0; y < 100; ++y)
        for (int x = 200; x < 400; ++x) desktop.setPixelColor(x, y, QColor(0, (x - 200), y));
    const QRect layout(0, 0, 200, 50);
    const QImage left = cutDisplay(desktop, layout, QRect(0, 0, 100, 50), QSize(100, 50));
    ASSERT_EQ(left.size(), QSize(100, 50));
    EXPECT_EQ(left.pixelColor(50, 25), QColor(Qt::blue));
    const QImage right = cutDisplay(desktop, layout, QRect(100, 0, 100, 50), QSize(200, 100));
    ASSERT_EQ(right.size(), QSize(200, 100));
    EXPECT_EQ(right.pixelColor(37, 61), QColor(0, 37, 61)) << "pixel for pixel at scale 2";
    // A display the picture does not show (it appeared after the picture was taken).
    EXPECT_TRUE(cutDisplay(desktop, layout, QRect(200, 0, 100, 50), QSize(100, 50)).isNull());
    EXPECT_TRUE(cutDisplay(QImage(), layout, QRect(0, 0, 100, 50), QSize(100, 50)).isNull());
}

TEST(WaylandDisplays, CutFromADesktopWhoseOriginIsNotZero) {
    // The desktop spans x −100 … 200 and y −40 … 60 (a display left of and above the primary
    // one); its picture starts at that corner. Each display's part is found from there.
    QImage desktop(300, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x) desktop.setPixelColor(x, y, QColor(x % 256, y, x / 256));
    const QRect layout(-100, -40, 300, 100);
    struct Case {
        QRect display;
        QPoint firstPixel;  // in the desktop's picture
    };
    const Case cases[] = {{QRect(-100, -40, 100, 50), {0, 0}},
                          {QRect(0, 0, 200, 60), {100, 40}},
                          {QRect(50, 10, 100, 30), {150, 50}}};
    for (const Case& c : cases) {
        const QImage part = cutDisplay(desktop, layout, c.display, c.display.size());
        ASSERT_EQ(part.size(), c.display.size());
        EXPECT_EQ(part.convertToFormat(QImage::Format_RGB32),
                  desktop.copy(QRect(c.firstPixel, c.display.size())))
            << c.display.x() << "," << c.display.y();
    }
}

TEST(WaylandDisplays, ScreencopyFramesReadUpright) {
    // Four rows of 2 × 4 pixels in wl_shm formats, stride padded to 12 bytes.
    const std::uint32_t argb8888 = 0, xrgb8888 = 1, abgr8888 = 0x34324241, yuv = 0x56595559;
    const QRgb rows[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 99, 199)};
    struct Case {
        std::uint32_t format;
        bool yInverted;
    };
    for (const Case& c : {Case{xrgb8888, false}, Case{xrgb8888, true}, Case{argb8888, true},
                          Case{abgr8888, false}, Case{abgr8888, true}}) {
        std::vector<uchar> buffer(12 * 4, 0xee);
        for (int y = 0; y < 4; ++y) {
            const QRgb colour = rows[c.yInverted ? 3 - y : y];
            for (int x = 0; x < 2; ++x) {
                uchar* p = &buffer[y * 12 + x * 4];
                // Little-endian words: ARGB8888 and XRGB8888 are B, G, R, A in memory; ABGR8888
                // is R, G, B, A.
                const bool rgbOrder = c.format == abgr8888;
                p[0] = uchar(rgbOrder ? qRed(colour) : qBlue(colour));
                p[1] = uchar(qGreen(colour));
                p[2] = uchar(rgbOrder ? qBlue(colour) : qRed(colour));
                p[3] = 0xff;
            }
        }
        const QImage image = Screencopy::picture(buffer.data(), 2, 4, 12, c.format, c.yInverted);
        ASSERT_EQ(image.size(), QSize(2, 4)) << c.format << " " << c.yInverted;
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(image.pixel(1, y), rows[y])
                << "row " << y << ", format " << c.format << ", inverted " << c.yInverted;
    }
    std::vector<uchar> buffer(12 * 4);
    EXPECT_TRUE(Screencopy::picture(buffer.data(), 2, 4, 12, yuv, false).isNull());
    EXPECT_TRUE(Screencopy::picture(buffer.data(), 4, 4, 12, xrgb8888, false).isNull())
        << "a stride shorter than a row";
    EXPECT_TRUE(Screencopy::picture(nullptr, 2, 4, 12, xrgb8888, false).isNull());
}

TEST(WaylandDisplays, FrozenOutputsGetTheirPartOfThePortalsPicture) {
    // A 7 × 5 picture, every pixel its own colour, in the formats a PNG reads as; each part is
    // written as XRGB8888 rows of its own width.
    QImage source(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) source.setPixel(x, y, qRgb(30 * x, 40 * y, 200 - 20 * x));
    const QRect parts[] = {QRect(0, 0, 7, 5), QRect(3, 2, 4, 3), QRect(1, 1, 2, 1)};
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_ARGB32,
          QImage::Format_RGB888, QImage::Format_RGBX8888}) {
        const QImage picture = source.convertToFormat(format);
        for (const QRect& part : parts) {
            // Filled, so that a row left out shows.
            std::vector<std::uint32_t> rows(std::size_t(part.width() * part.height()), 0xdeadbeef);
            Screencopy::copyRows(picture, part, reinterpret_cast<uchar*>(rows.data()));
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x)
                    EXPECT_EQ(rows[std::size_t(y * part.width() + x)] & 0xffffffu,
                              source.pixel(part.x() + x, part.y() + y) & 0xffffffu)
                        << "format " << format << ", part at " << part.x() << "," << part.y()
                        << ", pixel " << x << "," << y;
        }
    }
}

TEST_F(PortalTest, AScreenCastSessionFollowsTheDesktopsAnswersAndKeepsItsToken) {
    qDBusRegisterMetaType<CastStream>();
    qDBusRegisterMetaType<QList<CastStream>>();
    const QString cast = "org.freedesktop.portal.ScreenCast.";
    const QString session = "/org/freedesktop/portal/desktop/session/1_1/cast";
    portal->setProperty(cast + "AvailableCursorModes", 7u);
    portal->setProperty(cast + "version", 4u);
    portal->behave(cast + "CreateSession", {0, {{"session_handle", session}}, true});
    portal->behave(cast + "SelectSources", {0, {}, true});
    const QVariantMap started = {
        {"streams", QVariant::fromValue(QList<CastStream>{
                        {42, {{"position", QPoint(1280, 0)}, {"size", QSize(800, 600)}}}})},
        {"restore_token", "token-1"}};
    portal->behave(cast + "Start", {0, started, true});

    ScreenCastPortal screenCast(client(), 400);
    auto opened = screenCast.open(QString());
    ASSERT_TRUE(opened) << opened.error().message.toStdString();
    EXPECT_EQ(opened.value().node, 42u);
    EXPECT_EQ(opened.value().logical, QRect(1280, 0, 800, 600));
    EXPECT_EQ(opened.value().session, session);
    EXPECT_EQ(opened.value().restoreToken, "token-1");
    EXPECT_GE(opened.value().pipewireFd, 0);
    ::close(opened.value().pipewireFd);
    // One monitor, without the pointer, the permission kept until revoked.
    QVariantMap sources = portal->optionsOf("SelectSources").last();
    EXPECT_EQ(sources.value("types").toUInt(), 1u);
    EXPECT_EQ(sources.value("cursor_mode").toUInt(), 1u);
    EXPECT_EQ(sources.value("persist_mode").toUInt(), 2u);
    EXPECT_FALSE(sources.contains("restore_token"));
    // The next session asks with the token; a portal before version 4 knows no tokens.
    ASSERT_TRUE(screenCast.open("token-1"));
    EXPECT_EQ(portal->optionsOf("SelectSources").last().value("restore_token"), "token-1");
    portal->setProperty(cast + "version", 3u);
    ASSERT_TRUE(screenCast.open("token-1"));
    sources = portal->optionsOf("SelectSources").last();
    EXPECT_FALSE(sources.contains("restore_token") || sources.contains("persist_mode"));

    // Declined, refused, or no stream: a clear error, and the session is closed.
    struct Case {
        Behaviour start;
        int code;
    };
    for (const Case& c : std::vector<Case>{
             {{1, {}, true}, 20}, {{2, {}, true}, 21}, {{0, {{"restore_token", "t"}}, true}, 21}}) {
        portal->behave(cast + "Start", c.start);
        const int closes = int(portal->calls().count("Session.Close"));
        auto refused = screenCast.open(QString());
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().code, c.code) << refused.error().message.toStdString();
        EXPECT_FALSE(refused.error().message.isEmpty());
        QElapsedTimer timer;
        timer.start();
        while (portal->calls().count("Session.Close") == closes && timer.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(portal->calls().count("Session.Close"), closes + 1);
    }

    // A dialog the user never answers waits past any time limit, until the capture is given
    // up: the request and the session are then closed.
    portal->behave(cast + "Start", {0, started, false});
    const int closes = int(portal->calls().count("Session.Close"));
    QTimer::singleShot(700, [&] { screenCast.cancel(); });
    QElapsedTimer timer;
    timer.start();
    auto abandoned = screenCast.open(QString());
    ASSERT_FALSE(abandoned);
    EXPECT_EQ(abandoned.error().code, PortalRequest::closedCode);
    EXPECT_GE(timer.elapsed(), 650);
    while (portal->calls().count("Session.Close") == closes && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(portal->calls().count("Session.Close"), closes + 1);
    EXPECT_TRUE(portal->calls().contains("Close"));

    // A CreateSession given up (no answer in time, or cancelled) has its request closed: the
    // portal then closes the session it would open when the late answer came, where it would
    // otherwise stay open until Tessal quits. One refused needs nothing closed.
    portal->behave(cast + "Start", {0, started, true});
    const QString sender = client().baseService().mid(1).replace('.', '_');
    struct Creation {
        Behaviour create;
        bool giveUp;
        int code;
    };
    for (const Creation& c :
         std::vector<Creation>{{{2, {}, true}, false, 21},
                               {{0, {}, true}, false, 21},  // no handle
                               {{0, {}, false}, false, 12},
                               {{0, {}, false}, true, PortalRequest::closedCode}}) {
        portal->behave(cast + "CreateSession", c.create);
        if (c.giveUp) QTimer::singleShot(100, [&] { screenCast.cancel(); });
        auto failed = screenCast.open(QString());
        ASSERT_FALSE(failed);
        EXPECT_EQ(failed.error().code, c.code) << failed.error().message.toStdString();
        const QString request =
            "/org/freedesktop/portal/desktop/request/" + sender + "/" +
            portal->optionsOf("CreateSession").last().value("handle_token").toString();
        for (timer.start(); !portal->closedRequests().contains(request) && timer.elapsed() < 1000;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(portal->closedRequests().contains(request), !c.create.answers)
            << request.toStdString();
    }
}

// Where the portal may move a pointer, the cast is a remote-desktop session: its devices are
// chosen with the permission kept, the screen without it, and it starts as a remote desktop.
TEST_F(PortalTest, ARemoteDesktopSessionCastsTheScreenAndMayMoveThePointer) {
    qDBusRegisterMetaType<CastStream>();
    qDBusRegisterMetaType<QList<CastStream>>();
    const QString cast = "org.freedesktop.portal.ScreenCast.";
    const QString remote = "org.freedesktop.portal.RemoteDesktop.";
    const QString session = "/org/freedesktop/portal/desktop/session/1_1/remote";
    portal->setProperty(cast + "AvailableCursorModes", 7u);
    portal->setProperty(cast + "version", 4u);
    portal->setProperty(remote + "version", 2u);
    portal->setProperty(remote + "AvailableDeviceTypes", 7u);
    EXPECT_TRUE(ScreenCastPortal::offersPointer(client()));
    portal->behave(remote + "CreateSession", {0, {{"session_handle", session}}, true});
    portal->behave(remote + "SelectDevices", {0, {}, true});
    portal->behave(cast + "SelectSources", {0, {}, true});
    const QVariant streams = QVariant::fromValue(
        QList<CastStream>{{42, {{"position", QPoint(1280, 0)}, {"size", QSize(800, 600)}}}});
    portal->behave(remote + "Start",
                   {0, {{"streams", streams}, {"devices", 2u}, {"restore_token", "r-1"}}, true});

    ScreenCastPortal screenCast(client(), 400);
    auto opened = screenCast.open("r-0", true);
    ASSERT_TRUE(opened) << opened.error().message.toStdString();
    EXPECT_TRUE(opened.value().pointer);
    EXPECT_TRUE(opened.value().remoteDesktop);
    EXPECT_FALSE(opened.value().pointerInFrames);
    EXPECT_EQ(opened.value().session, session);
    EXPECT_EQ(opened.value().node, 42u);
    EXPECT_EQ(opened.value().restoreToken, "r-1");
    ::close(opened.value().pipewireFd);
    const QVariantMap devices = portal->optionsOf("SelectDevices").last();
    EXPECT_EQ(devices.value("types"), QVariant(2u));
    EXPECT_EQ(devices.value("persist_mode"), QVariant(2u));
    EXPECT_EQ(devices.value("types").userType(), QMetaType::UInt);
    EXPECT_EQ(devices.value("persist_mode").userType(), QMetaType::UInt);
    EXPECT_EQ(devices.value("restore_token"), "r-0");
    const QVariantMap sources = portal->optionsOf("SelectSources").last();
    EXPECT_EQ(sources.value("cursor_mode").toUInt(), 1u);
    EXPECT_FALSE(sources.contains("persist_mode") || sources.contains("restore_token"));

    // The user let the screen be cast but not the pointer be moved.
    portal->behave(remote + "Start", {0, {{"streams", streams}, {"devices", 0u}}, true});
    auto castOnly = screenCast.open(QString(), true);
    ASSERT_TRUE(castOnly);
    EXPECT_FALSE(castOnly.value().pointer);
    EXPECT_TRUE(castOnly.value().remoteDesktop) << "its token is a remote desktop's still";
    ::close(castOnly.value().pipewireFd);
    // Devices refused: a clear error, and the session is closed.
    portal->behave(remote + "SelectDevices", {2, {}, true});
    const int closes = int(portal->calls().count("Session.Close"));
    auto refused = screenCast.open(QString(), true);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, 21);
    QElapsedTimer timer;
    for (timer.start(); portal->calls().count("Session.Close") == closes && timer.elapsed() < 2000;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(portal->calls().count("Session.Close"), closes + 1);
    // A portal without pointers for remote desktops casts the screen alone.
    portal->setProperty(remote + "AvailableDeviceTypes", 1u);
    EXPECT_FALSE(ScreenCastPortal::offersPointer(client()));
}

// The wheel turns through the published session: the pointer placed in the stream's own points,
// the discrete steps, then parked where the frames show the pointer; nothing without a session,
// off its display, or once the portal refused one of its events.
TEST_F(PortalTest, ThePortalPointerTurnsTheWheelThroughThePublishedSession) {
    QString session = "/org/freedesktop/portal/desktop/session/1_1/remote";
    const auto remote = std::make_shared<PortalRemote>();
    PortalPointer pointer(client(), remote);
    const QRect layout(0, 0, 2080, 900);
    EXPECT_FALSE(pointer.scroll(QPoint(1380, 100), 1, false, QPoint(1900, 500), layout));
    remote->publish({session, 42, QRect(1280, 0, 800, 600)});
    const auto settled = [&](int count) {
        QElapsedTimer timer;
        for (timer.start(); portal->events().size() < count && timer.elapsed() < 2000;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return portal->events();
    };
    // The session's first event adds its pointer; the turn waits until the desktop has it.
    pointer.prepare();
    QElapsedTimer turn;
    turn.start();
    ASSERT_TRUE(pointer.scroll(QPoint(1380, 100), 2, false, QPoint(1900, 500), layout));
    EXPECT_GE(turn.elapsed(), 150);
    QList<QVariantList> events = settled(4);
    ASSERT_EQ(events.size(), 4);
    EXPECT_EQ(events[0], (QVariantList{"NotifyPointerMotion", session, 0.0, 0.0}));
    EXPECT_EQ(events[1], (QVariantList{"NotifyPointerMotionAbsolute", session, 42u, 100.0, 100.0}));
    EXPECT_EQ(events[2], (QVariantList{"NotifyPointerAxisDiscrete", session, 0u, 2}));
    EXPECT_EQ(events[3], (QVariantList{"NotifyPointerMotionAbsolute", session, 42u, 620.0, 500.0}));
    // As the portal declares them: a numeric type of another width is refused there.
    EXPECT_EQ(portal->eventSignatures(),
              (QStringList{"oa{sv}dd", "oa{sv}udd", "oa{sv}ui", "oa{sv}udd"}));
    // Backwards and sideways; a parking place off the display leaves the pointer where it is.
    ASSERT_TRUE(pointer.scroll(QPoint(1300, 20), -1, true, QPoint(10, 10), layout));
    events = settled(6);
    ASSERT_EQ(events.size(), 6);
    EXPECT_EQ(events[5], (QVariantList{"NotifyPointerAxisDiscrete", session, 1u, -1}));
    EXPECT_FALSE(pointer.scroll(QPoint(100, 100), 1, false, QPoint(1900, 500), layout))
        << "off the cast display";
    // A cast whose frames leave the pointer out: a session of its own, not parked.
    const QString hidden = session + "2";
    remote->publish({hidden, 43, QRect(1280, 0, 800, 600), false});
    ASSERT_TRUE(pointer.scroll(QPoint(1380, 100), 1, false, QPoint(1900, 500), layout));
    events = settled(9);
    ASSERT_EQ(events.size(), 9);
    EXPECT_EQ(events[6], (QVariantList{"NotifyPointerMotion", hidden, 0.0, 0.0}));
    EXPECT_EQ(events[8], (QVariantList{"NotifyPointerAxisDiscrete", hidden, 0u, 1}));
    // Refused events: the turn after them reports the pointer lost.
    portal->refuseEvents();
    ASSERT_TRUE(pointer.scroll(QPoint(1380, 100), 1, false, QPoint(1900, 500), layout));
    settled(11);
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_FALSE(pointer.scroll(QPoint(1380, 100), 1, false, QPoint(1900, 500), layout));
    session = hidden;
    // Withdrawing another session leaves this one; withdrawn (its cast ended), it turns nothing.
    remote->withdraw("/some/other/session");
    EXPECT_TRUE(remote->current());
    remote->withdraw(session);
    EXPECT_FALSE(pointer.scroll(QPoint(1380, 100), 1, false, QPoint(1900, 500), layout));
}

TEST_F(PortalTest, GlobalShortcutsBindCaptureAndReportItsActivation) {
    {
        WaylandHotKeys without(client(), 400);
        EXPECT_FALSE(without.unavailableReason().isEmpty()) << "no GlobalShortcuts portal here";
        EXPECT_EQ(without.registerHotKey(18, 4096), 0);
    }
    const QString session = "/org/freedesktop/portal/desktop/session/1_1/tessal";
    portal->behave("org.freedesktop.portal.GlobalShortcuts",
                   {0, {{"session_handle", session}}, true});
    WaylandHotKeys hotKeys(client(), 400);
    EXPECT_TRUE(hotKeys.unavailableReason().isEmpty());
    int pressed = 0;
    hotKeys.onPressed = [&](int) { ++pressed; };
    const int reference = hotKeys.registerHotKey(18, 4096 | 512);
    ASSERT_GT(reference, 0);
    EXPECT_EQ(portal->calls().mid(portal->calls().size() - 2),
              (QStringList{"CreateSession", "BindShortcuts"}));
    EXPECT_EQ(WaylandHotKeys::trigger(18, 4096 | 512), "CTRL+SHIFT+1");
    portal->activate(session, "capture");
    portal->activate("/elsewhere", "capture");
    QElapsedTimer timer;
    timer.start();
    while (pressed == 0 && timer.elapsed() < 2000) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(pressed, 1);
}

// The save dialog: the desktop's chooser where the portal offers one and answers, Qt's own
// dialog where it does not (no interface, an error, no file to write, a request it never takes,
// a portal that leaves before answering); a cancel saves nothing and shows no other dialog.
TEST_F(PortalTest, TheSaveDialogIsTheDesktopsWhereOneAnswers) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    const QString pictures = dir.filePath("Pictures");
    QDir().mkpath(pictures);
    const QString chooser = "org.freedesktop.portal.FileChooser";
    const auto uris = [](const QString& uri) { return QVariantMap{{"uris", QStringList{uri}}}; };
    // What the fallback dialog is given, and what it returns with the extension added.
    const QString qtTyped = dir.filePath("from-qt");
    const QString qtChoice = qtTyped + ".png";
    QFile(dir.filePath("taken.png")).open(QIODevice::WriteOnly);
    struct Case {
        const char* name;
        std::optional<Behaviour> behaviour;  // nothing: the portal has no FileChooser
        bool portalLeaves;
        std::optional<QString> path;
        bool qtDialog;
    };
    const Case cases[] = {
        {"no chooser", std::nullopt, false, qtChoice, true},
        {"chosen", Behaviour{0, uris(QUrl::fromLocalFile(dir.filePath("a.png")).toString())}, false,
         dir.filePath("a.png"), false},
        {"bare name", Behaviour{0, uris(QUrl::fromLocalFile(dir.filePath("b")).toString())}, false,
         dir.filePath("b.png"), false},
        {"bare name of an existing file",
         Behaviour{0, uris(QUrl::fromLocalFile(dir.filePath("taken")).toString())}, false,
         dir.filePath("taken"), false},
        {"cancelled", Behaviour{1, {}}, false, std::nullopt, false},
        {"error", Behaviour{2, {}}, false, qtChoice, true},
        {"not a file", Behaviour{0, uris("https://example.org/x.png")}, false, qtChoice, true},
        {"request never taken", Behaviour{0, {}, false, false}, false, qtChoice, true},
        {"portal leaves", Behaviour{0, {}, false}, true, qtChoice, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.behaviour) portal->behave(chooser, *c.behaviour);
        PortalFileChooser desktop(client(), 300);
        bool qtDialogShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                qtDialogShown = true;
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(qtTyped);
                static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
            }
        });
        watch.start(20);
        if (c.portalLeaves) QTimer::singleShot(200, [this] { portal.reset(); });
        QElapsedTimer timer;
        timer.start();
        const std::optional<QString> path =
            runSavePanel(defaults, &desktop, pictures, dir.filePath("home"));
        EXPECT_EQ(path.value_or("(none)").toStdString(), c.path.value_or("(none)").toStdString());
        EXPECT_EQ(qtDialogShown, c.qtDialog);
        EXPECT_LT(timer.elapsed(), 3000);
        if (!portal) portal = std::make_unique<FakePortal>(address);
    }
    // What the portal was asked: the title, the proposed name, the folder as a NUL-terminated
    // byte string, PNG as the one filter.
    portal->behave(chooser, Behaviour{1, {}});
    PortalFileChooser desktop(client(), 300);
    runSavePanel(defaults, &desktop, pictures, dir.filePath("home"));
    const QVariantList arguments = portal->lastArguments();
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments[1].toString(), "保存截图");
    const QVariantMap options = mapArgument(arguments[2]);
    EXPECT_EQ(options.value("current_folder").toByteArray(), QFile::encodeName(pictures) + '\0');
    EXPECT_TRUE(options.value("current_name").toString().endsWith(".png"));
    EXPECT_EQ(options.value("accept_label").toString(), "保存");
    const QDBusArgument filters = options.value("filters").value<QDBusArgument>();
    EXPECT_EQ(filters.currentSignature(), "a(sa(us))");
}
