// The AT-SPI adapter against peers on a private D-Bus daemon: an application that never answers
// its accessibility calls cannot hold a region query beyond the query's budget, and the next
// query, for another application, is answered.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <mutex>

#include "base/Clock.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "regions/AccessibleChildRegions.h"

using namespace tessal;

namespace {

struct PeerReference {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& a, const PeerReference& r) {
    a.beginStructure();
    a << r.service << r.path;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, PeerReference& r) {
    a.beginStructure();
    a >> r.service >> r.path;
    a.endStructure();
    return a;
}

}  // namespace

Q_DECLARE_METATYPE(PeerReference)

namespace {

const QString kRoot = QStringLiteral("/org/a11y/atspi/accessible/root");

// Answers every call on one connection through a function; no answer = the peer hangs.
class Peer final : public QDBusVirtualObject {
  public:
    using Answer = std::function<std::optional<QDBusMessage>(const QDBusMessage&)>;
    explicit Peer(Answer answer) : answer_(std::move(answer)) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (auto reply = answer_(message)) {
            connection.send(*reply);
        } else {
            message.setDelayedReply(true);  // and never reply
        }
        return true;
    }

  private:
    Answer answer_;
};

QVariant references(const QList<PeerReference>& list) {
    return QVariant::fromValue(list);
}

QDBusMessage extents(const QDBusMessage& m, int x, int y, int w, int h) {
    QDBusArgument box;
    box.beginStructure();
    box << x << y << w << h;
    box.endStructure();
    return m.createReply(QVariant::fromValue(box));
}

// The peers live on a thread of their own, so the test thread can block in its calls.
class PeerWorld {
  public:
    explicit PeerWorld(QString address) : address_(std::move(address)) {
        context_.moveToThread(&thread_);
        thread_.start();
        run([this] { build(); });
    }
    ~PeerWorld() {
        run([this] {
            for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
            peers_.clear();
        });
        thread_.quit();
        thread_.wait();
    }
    // The registry lists this application only.
    void listOnly(const QString& service) {
        std::lock_guard lock(mutex_);
        listed_ = service;
    }

  private:
    void run(const std::function<void()>& f) {
        QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection);
    }
    QDBusConnection connect(const QString& name) {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }
    void serve(QDBusConnection connection, const QString& service, const QString& path,
               Peer::Answer answer) {
        peers_.push_back(std::make_unique<Peer>(std::move(answer)));
        connection.registerService(service);
        connection.registerVirtualObject(path, peers_.back().get(), QDBusConnection::SubPath);
    }
    void build() {
        // The accessibility bus launcher and the registry: the bus is this same daemon.
        QDBusConnection launcher = connect("launcher");
        serve(launcher, "org.a11y.Bus", "/org/a11y/bus", [this](const QDBusMessage& m) {
            if (m.member() == "GetAddress") return std::optional(m.createReply(address_));
            return std::optional(m.createReply(QVariant::fromValue(QDBusVariant(true))));
        });
        QDBusConnection registry = connect("registry");
        serve(registry, "org.a11y.atspi.Registry", kRoot, [this](const QDBusMessage& m) {
            std::lock_guard lock(mutex_);
            return std::optional(m.createReply(references({{listed_, QDBusObjectPath(kRoot)}})));
        });
        // An application that never answers anything.
        QDBusConnection hung = connect("hung");
        serve(hung, "test.hung", kRoot, [](const QDBusMessage&) { return std::nullopt; });
        // An application with one window at (100, 100, 300, 200) pixels.
        QDBusConnection good = connect("good");
        serve(good, "test.good", kRoot, [](const QDBusMessage& m) -> std::optional<QDBusMessage> {
            const bool window = m.path().endsWith("/window");
            if (m.member() == "GetChildren")
                return m.createReply(references(
                    window
                        ? QList<PeerReference>{}
                        : QList<PeerReference>{{"test.good", QDBusObjectPath(kRoot + "/window")}}));
            if (m.member() == "GetExtents" && window) return extents(m, 100, 100, 300, 200);
            if (m.member() == "GetAccessibleAtPoint")
                return m.createReply(QVariant::fromValue(
                    PeerReference{"", QDBusObjectPath("/org/a11y/atspi/null")}));
            return m.createErrorReply(QDBusError::UnknownMethod, "no");
        });
        // An application whose replies have the wrong types everywhere.
        QDBusConnection odd = connect("odd");
        serve(odd, "test.odd", kRoot, [](const QDBusMessage& m) -> std::optional<QDBusMessage> {
            if (m.member() == "GetChildren") return m.createReply(QStringLiteral("nonsense"));
            if (m.member() == "GetExtents") {
                QDBusArgument box;
                box.beginStructure();
                box << QStringLiteral("x") << QStringLiteral("y");
                box.endStructure();
                return m.createReply(QVariant::fromValue(box));
            }
            if (m.member() == "GetAccessibleAtPoint") return m.createReply(42);
            return m.createReply(QVariant::fromValue(QDBusVariant(QStringLiteral("parent?"))));
        });
        // An application that quits in the middle of the walk: it answers the first call for its
        // windows with one window, then leaves the bus.
        QDBusConnection leaving = connect("leaving");
        serve(leaving, "test.leaving", kRoot,
              [this](const QDBusMessage& m) -> std::optional<QDBusMessage> {
                  QMetaObject::invokeMethod(
                      &context_, [] { QDBusConnection::disconnectFromBus("leaving"); },
                      Qt::QueuedConnection);
                  return m.createReply(
                      references({{"test.leaving", QDBusObjectPath(kRoot + "/window")}}));
              });
    }

    QString address_;
    QThread thread_;
    QObject context_;
    QStringList names_;
    std::vector<std::unique_ptr<Peer>> peers_;
    std::mutex mutex_;
    QString listed_ = "test.hung";
};

}  // namespace

TEST(AtspiDeadline, AnApplicationThatNeverAnswersCannotHoldTheQueryPastItsBudget) {
    qDBusRegisterMetaType<PeerReference>();
    qDBusRegisterMetaType<QList<PeerReference>>();
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1", "--nopidfile"});
    ASSERT_TRUE(daemon.waitForStarted(5000)) << "dbus-daemon is needed for this test";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        PeerWorld world(address);
        AtspiAccessibility service(250, address);
        const Rect screen(0, 0, 1280, 800);
        const Rect window(100, 500, 300, 200);  // screen-local, y up
        QElapsedTimer timer;
        timer.start();
        const auto hung = accessibleChildRegions(service, SystemClock::shared(), int(getpid()),
                                                 {200, 600}, screen, 800, window);
        const double hungSeconds = timer.nsecsElapsed() / 1e9;
        EXPECT_TRUE(hung.empty());
        EXPECT_LE(hungSeconds, 0.65);

        world.listOnly("test.good");
        timer.restart();
        const auto answered = accessibleChildRegions(service, SystemClock::shared(), int(getpid()),
                                                     {200, 600}, screen, 800, window);
        const double answeredSeconds = timer.nsecsElapsed() / 1e9;
        ASSERT_FALSE(answered.empty());
        EXPECT_EQ(answered.front(), window);
        EXPECT_LE(answeredSeconds, 0.65);
        std::printf(
            "[ figures  ] unanswered query ended after %.3f s; the next answered in %.3f s\n",
            hungSeconds, answeredSeconds);

        // Replies of the wrong types, and an application that leaves the bus mid-walk: no
        // regions from them, no crash, and the budget holds.
        for (const char* name : {"test.odd", "test.leaving"}) {
            world.listOnly(name);
            timer.restart();
            const auto regions = accessibleChildRegions(
                service, SystemClock::shared(), int(getpid()), {200, 600}, screen, 800, window);
            EXPECT_TRUE(regions.empty()) << name;
            EXPECT_LE(timer.nsecsElapsed() / 1e9, 0.65) << name;
        }
    }
    daemon.terminate();
    daemon.waitForFinished(2000);
}
