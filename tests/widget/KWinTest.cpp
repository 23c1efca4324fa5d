// KWin's own interfaces against a KWin of ours on a private D-Bus daemon: the window list that a
// script loaded through /Scripting reports (KWin 5 and 6 object paths, a KWin that never
// answers, reports that are not ones, windows not shown now), and screenshots through
// ScreenShot2 (pictures written to a pipe as described or not, refusals, the portal after one).
#include <gtest/gtest.h>

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <mutex>
#include <thread>

#include "PrivateSessionBus.h"
#include "platform/ScreenCaptureService.h"
#include "platform/wayland/GnomeShellWindows.h"
#include "platform/wayland/KWinScreenShot.h"
#include "platform/wayland/KWinWindows.h"
#include "platform/wayland/SwayWindows.h"
#include "platform/wayland/WaylandScreenCapture.h"

using namespace tessal;

namespace {

// What the KWin of the test does with the script calls.
struct Behaviour {
    int version = 5;                   // where the script's object lives: /N or /Scripting/ScriptN
    bool loads = true;                 // false: loadScript is never answered
    int scriptId = 7;                  // < 0: KWin could not load it
    bool runs = true;                  // false: run is never answered (nor the script run)
    std::optional<QByteArray> report;  // what the script reports; nothing: it never reports
};

// What KWin's ScreenShot2 does with CaptureScreen.
struct Shot {
    QString error;  // an error reply of this name instead
    QVariantMap results;
    QByteArray bytes;    // written to the pipe after the reply
    bool closes = true;  // false: the pipe is kept open
};

class FakeKWin final : public QDBusVirtualObject {
  public:
    explicit FakeKWin(QString address) : address_(std::move(address)) {
        moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            this,
            [this] {
                bus_ = std::make_unique<QDBusConnection>(
                    QDBusConnection::connectToBus(address_, QStringLiteral("kwin")));
                bus_->registerService(KWinWindows::service);
                bus_->registerService(KWinScreenShot::service);
                bus_->registerVirtualObject("/", this, QDBusConnection::SubPath);
            },
            Qt::BlockingQueuedConnection);
    }
    ~FakeKWin() override {
        QMetaObject::invokeMethod(
            this,
            [this] {
                // Released with an answer: a name dropped with the connection alone may still
                // be owned when the next check asks the bus.
                bus_->unregisterService(KWinWindows::service);
                bus_->unregisterService(KWinScreenShot::service);
                bus_->unregisterObject("/", QDBusConnection::UnregisterTree);
                if (writer_.joinable()) writer_.join();
                for (int fd : open_) close(fd);
                bus_.reset();
                QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
            },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    void behave(Behaviour behaviour) {
        std::lock_guard lock(mutex_);
        behaviour_ = std::move(behaviour);
        loaded_.clear(), unloaded_.clear(), scriptFile_.clear(), script_.clear();
    }
    QStringList loaded() const {
        std::lock_guard lock(mutex_);
        return loaded_;
    }
    // The unloading is not awaited by the caller: it arrives soon after.
    QStringList unloaded() const {
        for (int i = 0; i < 50; ++i) {
            {
                std::lock_guard lock(mutex_);
                if (std::all_of(loaded_.begin(), loaded_.end(),
                                [this](const QString& name) { return unloaded_.contains(name); }))
                    break;
            }
            QThread::msleep(10);
        }
        std::lock_guard lock(mutex_);
        return unloaded_;
    }
    QString scriptFile() const {
        std::lock_guard lock(mutex_);
        return scriptFile_;
    }
    QByteArray script() const {
        std::lock_guard lock(mutex_);
        return script_;
    }
    void shoot(Shot shot) {
        std::lock_guard lock(mutex_);
        shot_ = std::move(shot);
        screens_.clear();
    }
    QStringList screens() const {
        std::lock_guard lock(mutex_);
        return screens_;
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::lock_guard lock(mutex_);
        const QString scripting = "org.kde.kwin.Scripting";
        if (message.path() == "/Scripting" && message.interface() == scripting &&
            message.member() == "loadScript") {
            if (!behaviour_.loads) return true;
            const QString file = message.arguments().value(0).toString();
            scriptFile_ = file;
            loaded_ << message.arguments().value(1).toString();
            connection.send(message.createReply(behaviour_.scriptId));
            return true;
        }
        if (message.path() == "/Scripting" && message.interface() == scripting &&
            message.member() == "unloadScript") {
            unloaded_ << message.arguments().value(0).toString();
            connection.send(message.createReply(true));
            return true;
        }
        if (message.path() == "/org/kde/KWin/ScreenShot2" && message.member() == "CaptureScreen") {
            screens_ << message.arguments().value(0).toString();
            if (!shot_.error.isEmpty()) {
                connection.send(message.createErrorReply(shot_.error, "refused"));
                return true;
            }
            const int fd =
                dup(message.arguments().value(2).value<QDBusUnixFileDescriptor>().fileDescriptor());
            connection.send(message.createReply(shot_.results));
            if (writer_.joinable()) writer_.join();
            writer_ = std::thread([fd, shot = shot_] {
                qsizetype sent = 0;
                while (sent < shot.bytes.size()) {
                    const ssize_t n = write(fd, shot.bytes.constData() + sent,
                                            std::size_t(shot.bytes.size() - sent));
                    if (n <= 0) break;
                    sent += n;
                }
                if (shot.closes) close(fd);
            });
            if (!shot_.closes) open_ << fd;
            return true;
        }
        const QString own = behaviour_.version >= 6
                                ? QStringLiteral("/Scripting/Script%1").arg(behaviour_.scriptId)
                                : QStringLiteral("/%1").arg(behaviour_.scriptId);
        if (message.path() == own && message.interface() == "org.kde.kwin.Script" &&
            message.member() == "run") {
            if (!behaviour_.runs) return true;
            // KWin reads the file when the script runs.
            QFile file(scriptFile_);
            if (file.open(QIODevice::ReadOnly)) script_ = file.readAll();
            static const QRegularExpression target(
                R"re(callDBus\("([^"]+)",\s*"([^"]+)",\s*"([^"]+)",\s*"([^"]+)")re");
            const QRegularExpressionMatch m = target.match(QString::fromUtf8(script_));
            if (behaviour_.report && m.hasMatch()) {
                QDBusMessage report = QDBusMessage::createMethodCall(m.captured(1), m.captured(2),
                                                                     m.captured(3), m.captured(4));
                report << QString::fromUtf8(*behaviour_.report);
                connection.send(report);
            }
            connection.send(message.createReply());
            return true;
        }
        connection.send(message.createErrorReply(QDBusError::UnknownObject, message.path()));
        return true;
    }

  private:
    QString address_;
    QThread thread_;
    std::unique_ptr<QDBusConnection> bus_;
    mutable std::mutex mutex_;
    Behaviour behaviour_;
    QStringList loaded_, unloaded_;
    QString scriptFile_;
    QByteArray script_;
    Shot shot_;
    QStringList screens_;
    std::thread writer_;
    QList<int> open_;
};

class KWinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        address = startPrivateSessionBus(daemon, QDir(configDir.path()));
        ASSERT_FALSE(address.isEmpty()) << "dbus-daemon is needed for this test";
        kwin = std::make_unique<FakeKWin>(address);
    }
    void TearDown() override {
        kwin.reset();
        QDBusConnection::disconnectFromBus("client");
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection client() { return QDBusConnection::connectToBus(address, "client"); }

    QTemporaryDir configDir;
    QProcess daemon;
    QString address;
    std::unique_ptr<FakeKWin> kwin;
};

// A window as the script reports it.
QString window(const char* uuid, double stacking, QRectF frame, QRectF content, int pid,
               const char* more = "") {
    return QStringLiteral(R"({"id": "%1", "stacking": %2, "frame": [%3, %4, %5, %6],
        "content": [%7, %8, %9, %10], "pid": %11, "minimized": false, "active": false,
        "desktops": [], "activities": [] %12})")
        .arg(uuid)
        .arg(stacking)
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height())
        .arg(content.x())
        .arg(content.y())
        .arg(content.width())
        .arg(content.height())
        .arg(pid)
        .arg(more);
}

const char* editorId = "{1b4e28ba-2fa1-11d2-883f-0016d3cca427}";

// Desktop 2 of activity "work": an editor behind a focused terminal (listed in the other
// order), a window on every desktop, one on desktop 1, a minimised one, one of another activity
// and one of both activities (its surface with shadows around the frame, as KWin 5 tells it).
QByteArray recordedReport() {
    const QStringList windows{
        window(editorId, 3, QRectF(100, 50, 800, 600), QRectF(102, 80, 796, 568), 40,
               R"(, "desktops": ["2"])"),
        window("{6fa459ea-ee8a-3ca4-894e-db77e160355e}", 8, QRectF(300.4, 200.6, 500, 400),
               QRectF(304, 230, 492, 366), 41, R"(, "active": true, "desktops": ["1", "2"])"),
        window("{9b2c3a1e-0000-4000-8000-000000000001}", 1, QRectF(0, 0, 1280, 40),
               QRectF(0, 0, 1280, 40), 42),
        window("{9b2c3a1e-0000-4000-8000-000000000002}", 9, QRectF(10, 10, 200, 200),
               QRectF(10, 10, 200, 200), 43, R"(, "desktops": ["1"])"),
        window("{9b2c3a1e-0000-4000-8000-000000000003}", 10, QRectF(10, 10, 200, 200),
               QRectF(10, 10, 200, 200), 44, R"(, "minimized": true)"),
        window("{9b2c3a1e-0000-4000-8000-000000000004}", 11, QRectF(10, 10, 200, 200),
               QRectF(10, 10, 200, 200), 45, R"(, "activities": ["play"])"),
        window("{9b2c3a1e-0000-4000-8000-000000000005}", 5, QRectF(600, 400, 300, 200),
               QRectF(580, 390, 330, 240), 0, R"(, "activities": ["play", "work"])"),
    };
    return QStringLiteral(
               R"({"desktop": "2", "activity": "work", "pointer": [640.6, 360.2], "windows": [%1]})")
        .arg(windows.join(','))
        .toUtf8();
}

}  // namespace

TEST_F(KWinTest, TheScriptReportsTheWindowsShownNowFrontToBack) {
    for (int version : {5, 6}) {
        SCOPED_TRACE(version);
        kwin->behave({version, true, 7, true, recordedReport()});
        KWinWindows kwinWindows(client(), 1000);
        const auto windows = kwinWindows.windows();
        ASSERT_TRUE(windows);
        ASSERT_EQ(windows->size(), 4u);
        const CompositorWindow& terminal = (*windows)[0];
        EXPECT_EQ(terminal.frame, QRect(300, 201, 500, 400)) << "edges rounded";
        EXPECT_EQ(terminal.content, QRect(304, 230, 492, 366));
        EXPECT_EQ(terminal.pid, 41);
        EXPECT_TRUE(terminal.focused);
        EXPECT_EQ((*windows)[1].pid, 0) << "the window of both activities, stacked below";
        EXPECT_EQ((*windows)[1].content, QRect(600, 400, 300, 200)) << "its shadows are not its";
        const CompositorWindow& editor = (*windows)[2];
        EXPECT_EQ(editor.frame, QRect(100, 50, 800, 600));
        EXPECT_EQ(editor.content, QRect(102, 80, 796, 568));
        EXPECT_FALSE(editor.focused);
        EXPECT_EQ((*windows)[3].pid, 42) << "the window on every desktop, at the bottom";
        std::set<unsigned> ids;
        for (const CompositorWindow& w : *windows) ids.insert(w.id);
        EXPECT_EQ(ids.size(), 4u) << "each window its own number";

        // The pointer comes with the list, in the pixel it lies in, and asks KWin nothing more.
        EXPECT_EQ(kwinWindows.pointer(), QPoint(640, 360));

        // The script was loaded from a file of ours, tells KWin where to report, is unloaded
        // under the name it was loaded with, and its file is gone.
        ASSERT_EQ(kwin->loaded().size(), 1);
        EXPECT_TRUE(kwin->unloaded().contains(kwin->loaded().value(0)));
        EXPECT_TRUE(kwin->script().contains(client().baseService().toUtf8()));
        EXPECT_FALSE(QFile::exists(kwin->scriptFile()));

        // The same window keeps its number from one query to the next.
        const QByteArray alone =
            QStringLiteral(R"({"desktop": "1", "activity": "", "windows": [%1]})")
                .arg(window(editorId, 0, QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10), 40))
                .toUtf8();
        kwin->behave({version, true, 8, true, alone});
        const auto again = kwinWindows.windows();
        ASSERT_TRUE(again);
        ASSERT_EQ(again->size(), 1u);
        EXPECT_EQ(again->front().id, editor.id);
        EXPECT_FALSE(kwinWindows.pointer()) << "a report without the pointer";

        // Asked first, the pointer loads the script itself.
        kwin->behave({version, true, 9, true, recordedReport()});
        KWinWindows pointerFirst(client(), 1000);
        EXPECT_EQ(pointerFirst.pointer(), QPoint(640, 360));
        EXPECT_EQ(kwin->loaded().size(), 1);
    }
}

// Whatever KWin does, the answer comes within the time box: a list, or nothing (and the capture
// falls back to the displays); a script that was loaded is unloaded in every case.
TEST_F(KWinTest, AKWinThatFailsGivesNothingWithinTheTimeBox) {
    const QByteArray report = recordedReport();
    struct Case {
        const char* what;
        Behaviour behaviour;
        bool unloads;
    };
    const std::vector<Case> cases{
        {"never loads", {5, false, 7, true, report}, false},
        {"cannot load", {5, true, -1, true, report}, false},
        {"never runs", {5, true, 7, false, report}, true},
        {"runs, never reports", {6, true, 7, true, std::nullopt}, true},
        {"an error instead of a list", {5, true, 7, true, R"({"error": "ReferenceError"})"}, true},
    };
    for (const Case& c : cases) {
        kwin->behave(c.behaviour);
        KWinWindows kwinWindows(client(), 100);
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(kwinWindows.windows()) << c.what;
        EXPECT_LT(timer.elapsed(), 250) << c.what;
        if (c.unloads) {
            for (const QString& name : kwin->loaded())
                EXPECT_TRUE(kwin->unloaded().contains(name)) << c.what;
            EXPECT_FALSE(QFile::exists(kwin->scriptFile())) << c.what;
        }
    }
    // No KWin on the bus at all.
    kwin.reset();
    KWinWindows nobody(client(), 100);
    EXPECT_FALSE(nobody.windows());
}

TEST(KWinWindows, ReportsThatAreNotOnesGiveNothing) {
    const QString good = window(editorId, 1, QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10), 4);
    const auto report = [](const QString& windows, const char* desktop = R"("1")") {
        return QStringLiteral(R"({"desktop": %1, "activity": "", "windows": [%2]})")
            .arg(desktop, windows)
            .toUtf8();
    };
    ASSERT_TRUE(kwinWindowsFromReport(report(good)));
    const std::vector<QByteArray> bad{
        "",
        "[]",
        "{\"desktop\": \"1\"",
        R"({"activity": "", "windows": []})",
        report(good, "1"),
        report("7"),
        report(QString(good).replace(editorId, "not a uuid")),
        report(QString(good).replace("[0, 0, 10, 10]", "[0, 0, 10]")),
        report(QString(good).replace("[0, 0, 10, 10]", "[0, \"0\", 10, 10]")),
        report(QString(good).replace("[0, 0, 10, 10]", "[0, 0, -10, 10]")),
        report(QString(good).replace("[0, 0, 10, 10]", "[0, 0, 1e300, 10]")),
        report(QString(good).replace("\"desktops\": []", "\"desktops\": [2]")),
        report(QString(good).replace("\"minimized\": false", "\"minimized\": 0")),
        report(QString(good).replace("\"stacking\": 1", "\"stacking\": null")),
    };
    for (const QByteArray& json : bad) EXPECT_FALSE(kwinWindowsFromReport(json)) << json.data();
    // A pointer that is not one is left out; the windows stay.
    for (const char* pointer : {"null", "[1]", "[1, \"2\"]", "[1e300, 2]", "{\"x\": 1}"}) {
        const QByteArray json =
            QStringLiteral(R"({"desktop": "1", "activity": "", "pointer": %1, "windows": [%2]})")
                .arg(pointer, good)
                .toUtf8();
        EXPECT_TRUE(kwinWindowsFromReport(json)) << json.data();
        EXPECT_FALSE(kwinPointerFromReport(json)) << json.data();
    }
    // A window without a process is still a window.
    const auto noPid =
        kwinWindowsFromReport(report(QString(good).replace("\"pid\": 4", "\"pid\": -1")));
    ASSERT_TRUE(noPid);
    ASSERT_EQ(noPid->size(), 1u);
    EXPECT_EQ(noPid->front().pid, 0);
}

// The report of Tessal's GNOME Shell extension: windows front to back as listed, content within
// the frame, the pointer in the pixel it lies in; a report that is not one gives nothing.
TEST(GnomeShellWindows, TheExtensionsReportGivesWindowsAndThePointer) {
    const QByteArray good = R"({"pointer": [640.5, 360.9], "windows": [
        {"id": 12, "frame": [100, 50, 800, 600], "content": [100, 87, 800, 563], "pid": 40,
         "focused": true},
        {"id": 7, "frame": [0, 0, 300, 200], "content": [-20, -20, 340, 240], "pid": -1,
         "focused": false},
        {"id": 9, "frame": [5, 5, 0, 0], "content": [5, 5, 0, 0], "pid": 3, "focused": false}]})";
    const auto read = gnomeShellReportFrom(good);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->windows.size(), 2u) << "an empty frame is no window to pick";
    EXPECT_EQ(read->windows[0].id, 12u);
    EXPECT_EQ(read->windows[0].frame, QRect(100, 50, 800, 600));
    EXPECT_EQ(read->windows[0].content, QRect(100, 87, 800, 563));
    EXPECT_EQ(read->windows[0].pid, 40);
    EXPECT_TRUE(read->windows[0].focused);
    EXPECT_EQ(read->windows[1].content, QRect(0, 0, 300, 200)) << "shadows are not content";
    EXPECT_EQ(read->windows[1].pid, 0);
    EXPECT_EQ(read->pointer, QPoint(640, 360));
    for (
        const char* bad :
        {"", "[]", R"({"pointer": [1, 2]})",
         R"({"windows": [{"id": 0, "frame": [0, 0, 9, 9], "content": [0, 0, 9, 9], "focused": false}]})",
         R"({"windows": [{"id": 3, "frame": [0, 0, 9], "content": [0, 0, 9, 9], "focused": false}]})",
         R"({"windows": [{"id": 3, "frame": [0, 0, 9, 9], "content": [0, 0, 9, 9]}]})"})
        EXPECT_FALSE(gnomeShellReportFrom(bad)) << bad;
    const auto noPointer = gnomeShellReportFrom(R"({"pointer": null, "windows": []})");
    ASSERT_TRUE(noPointer);
    EXPECT_FALSE(noPointer->pointer);
}

namespace {

// Sets environment variables for one scope, as they were after it.
class Environment {
  public:
    Environment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name)
                                        ? std::optional<QByteArray>(qgetenv(name))
                                        : std::nullopt});
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

  private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

}  // namespace

// The compositor's family comes from the environment; Plasma's only with KWin on the bus.
TEST_F(KWinTest, TheProviderIsChosenFromTheEnvironment) {
    enum Kind { none, sway, kwinScript };
    struct Case {
        const char* sock;
        const char* desktop;
        const char* full;
        bool kwinRunning;
        Kind kind;
    };
    const std::vector<Case> cases{
        {nullptr, nullptr, nullptr, true, none},
        {"/run/sway-ipc.sock", "sway", nullptr, true, sway},
        {nullptr, "KDE", nullptr, true, kwinScript},
        {nullptr, "ubuntu:GNOME", nullptr, true, none},
        {nullptr, "X-Cinnamon:kde", nullptr, true, kwinScript},
        {nullptr, nullptr, "true", true, kwinScript},
        {nullptr, "KDE", nullptr, false, none},
    };
    for (const Case& c : cases) {
        Environment environment{{"SWAYSOCK", c.sock},
                                {"I3SOCK", nullptr},
                                {"HYPRLAND_INSTANCE_SIGNATURE", nullptr},
                                {"XDG_CURRENT_DESKTOP", c.desktop},
                                {"KDE_FULL_SESSION", c.full}};
        if (!c.kwinRunning) kwin.reset();
        const auto chosen = compositorWindowsFromEnvironment(client());
        const std::string what = std::string(c.sock ? c.sock : "-") + " " +
                                 (c.desktop ? c.desktop : "-") + " " + (c.full ? c.full : "-");
        EXPECT_EQ(bool(chosen), c.kind != none) << what;
        EXPECT_EQ(dynamic_cast<SwayWindows*>(chosen.get()) != nullptr, c.kind == sway) << what;
        EXPECT_EQ(dynamic_cast<KWinWindows*>(chosen.get()) != nullptr, c.kind == kwinScript)
            << what;
    }
}

// The capture's window list on Plasma is what KWin's script reports, in window-list points.
TEST_F(KWinTest, TheCaptureListsKWinsWindows) {
    Environment environment{{"SWAYSOCK", nullptr},
                            {"I3SOCK", nullptr},
                            {"HYPRLAND_INSTANCE_SIGNATURE", nullptr},
                            {"XDG_CURRENT_DESKTOP", "KDE"}};
    kwin->behave({6, true, 3, true, recordedReport()});
    WaylandScreenCapture capture(client(), 400, WaylandScreenCapture::Source::automatic);
    const QVariantList list = capture.windowList();
    ASSERT_EQ(list.size(), 4);
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    const QVariantMap terminal = list.front().toMap();
    EXPECT_EQ(terminal.value(WindowKey::pid).toLongLong(), 41);
    EXPECT_TRUE(terminal.value(WindowKey::focused).toBool());
    const QVariantMap bounds = terminal.value(WindowKey::bounds).toMap();
    EXPECT_EQ(QRect(bounds.value("x").toInt(), bounds.value("y").toInt(),
                    bounds.value("width").toInt(), bounds.value("height").toInt()),
              QRect(300, 201, 500, 400).translated(-origin));
}

namespace {

// A picture as KWin describes and writes it: rows of `stride` bytes.
Shot rawShot(const QImage& image, int stride, QImage::Format format) {
    const QImage converted = image.convertToFormat(format);
    const int row = converted.bytesPerLine();
    QByteArray bytes(qsizetype(stride) * image.height(), '\x5a');
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bytes.data() + qsizetype(y) * stride, converted.constScanLine(y),
                    std::size_t(std::min(row, stride)));
    return {QString(),
            {{"type", "raw"},
             {"format", quint32(format)},
             {"width", quint32(image.width())},
             {"height", quint32(image.height())},
             {"stride", quint32(stride)}},
            bytes};
}

QImage testPicture() {
    QImage image(5, 3, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 200));
    return image;
}

}  // namespace

TEST_F(KWinTest, ScreenShotsAreTakenAsDescribedOrNotAtAll) {
    const QImage picture = testPicture();
    const Shot good = rawShot(picture, 24, QImage::Format_RGBA8888_Premultiplied);
    const auto changed = [&good](const char* key, const QVariant& value) {
        Shot shot = good;
        shot.results[key] = value;
        return shot;
    };
    Shot shorter = good, longer = good, open = good;
    shorter.bytes.chop(1);
    longer.bytes.append('x');
    open.closes = false;
    struct Case {
        const char* what;
        Shot shot;
        bool taken;
        bool refused = false;
    };
    const std::vector<Case> cases{
        {"rows with padding", good, true},
        {"rows without", rawShot(picture, 20, QImage::Format_ARGB32), true},
        {"refused", {"org.kde.KWin.ScreenShot2.Error.NoAuthorized", {}, {}}, false, true},
        {"no such screen", {"org.kde.KWin.ScreenShot2.Error.InvalidScreen", {}, {}}, false},
        {"a byte short", shorter, false},
        {"a byte more", longer, false},
        {"rows narrower than the width", changed("stride", 16u), false},
        {"taller than the bytes", changed("height", 4u), false},
        {"no format", changed("format", 0u), false},
        {"an unknown format", changed("format", 999u), false},
        {"a palette format", changed("format", quint32(QImage::Format_Indexed8)), false},
        {"not raw", changed("type", "png"), false},
        {"no width", changed("width", "five"), false},
        {"the pipe kept open", open, false},
    };
    for (const Case& c : cases) {
        kwin->shoot(c.shot);
        KWinScreenShot screenShot(client(), 400);
        QElapsedTimer timer;
        timer.start();
        bool refused = !c.refused;
        const auto taken = screenShot.captureScreen("Virtual-1", false, &refused);
        EXPECT_LT(timer.elapsed(), 600) << c.what;
        EXPECT_EQ(kwin->screens(), QStringList{"Virtual-1"}) << c.what;
        EXPECT_EQ(refused, c.refused) << c.what;
        ASSERT_EQ(bool(taken), c.taken) << c.what;
        if (taken) {
            EXPECT_EQ(taken.value(), picture) << c.what;
        } else {
            EXPECT_FALSE(taken.error().message.isEmpty()) << c.what;
        }
    }
}

// On Plasma the capture takes each display's picture from KWin; after a refusal it asks the
// portal (none here), and KWin no more.
TEST_F(KWinTest, TheCaptureTakesKWinsPicturesAndThePortalAfterARefusal) {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    {
        const QImage picture = testPicture();
        kwin->shoot(rawShot(picture, 20, QImage::Format_ARGB32));
        WaylandScreenCapture capture(client(), 400, WaylandScreenCapture::Source::automatic);
        const auto content = capture.shareableContent();
        ASSERT_TRUE(content) << content.error().message.toStdString();
        const std::vector<DisplayInfo> displays = capture.displays();
        ASSERT_FALSE(displays.empty());
        EXPECT_EQ(kwin->screens().size(), qsizetype(displays.size()));
        EXPECT_EQ(kwin->screens().value(0), displays.front().id);
        const auto shot = capture.screenshot(displays.front(), 5, 3);
        ASSERT_TRUE(shot);
        EXPECT_EQ(shot.value(), picture);

        kwin->shoot({"org.kde.KWin.ScreenShot2.Error.NoAuthorized", {}, {}});
        WaylandScreenCapture refused(client(), 400, WaylandScreenCapture::Source::automatic);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto failed = refused.shareableContent();
            ASSERT_FALSE(failed);
            EXPECT_EQ(failed.error().code, 10) << "the portal's answer";
        }
        EXPECT_EQ(kwin->screens().size(), 1) << "KWin is not asked again";

        // Where the portal is asked for, KWin is not.
        kwin->shoot(rawShot(picture, 20, QImage::Format_ARGB32));
        WaylandScreenCapture portal(client(), 400, WaylandScreenCapture::Source::portal);
        EXPECT_FALSE(portal.shareableContent());
        EXPECT_TRUE(kwin->screens().isEmpty());
    }
    if (desktop.isNull())
        qunsetenv("XDG_CURRENT_DESKTOP");
    else
        qputenv("XDG_CURRENT_DESKTOP", desktop);
}
