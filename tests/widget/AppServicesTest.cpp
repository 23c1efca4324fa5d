#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include "ScriptedAlerts.h"
#include "app/AppServices.h"
#include "app/UpdateMenuItems.h"
#include "app/UpdateStatusPanel.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/MainQueue.h"
#include "platform/fake/FakePlatform.h"
#include "platform/xdg/AutostartLoginItem.h"
#include "services/LegacyApplicationNotice.h"
#include "services/UpdateSource.h"

using namespace tessal;

namespace {

// Answers fetches and preparations when the test says so.
class FakeUpdateSource final : public UpdateSource {
  public:
    UpdateConfiguration config = [] {
        UpdateConfiguration c;
        c.cdnHost = "cdn.tessal.example";
        c.productSite = "https://tessal.example";
        c.architecture = "x86_64";
        c.earlierNames = {"Ostrel", "TessalShot"};
        return c;
    }();
    std::optional<Result<AppRelease>> feed;
    std::optional<Result<PreparedUpdate>> preparation;  // nothing: the preparation waits
    std::function<void(Result<PreparedUpdate>)> pendingPreparation;
    std::optional<UserError> installFailure;
    int fetches = 0, preparations = 0, installs = 0;

    const UpdateConfiguration& configuration() const override { return config; }
    void fetchLatest(std::function<void(Result<AppRelease>)> done) override {
        ++fetches;
        done(*feed);
    }
    void prepare(const AppRelease&, std::function<void(Result<PreparedUpdate>)> done) override {
        ++preparations;
        if (preparation)
            done(*preparation);
        else
            pendingPreparation = std::move(done);
    }
    std::optional<UserError> install(const PreparedUpdate&) override {
        ++installs;
        return installFailure;
    }
};

AppRelease release(const QString& version) {
    AppRelease r;
    r.version = version;
    r.downloadURL = QUrl("https://cdn.tessal.example/app/tessal/update/tessal-" + version +
                         "-linux-x86_64.tar.gz");
    r.notes = "更快的截图。";
    r.minimumSystemVersion = "2.36.0";
    r.architecture = "x86_64";
    r.size = 10;
    r.sha256 = QString(64, 'a');
    return r;
}

void writeBundle(const QString& path, const QString& identifier) {
    QDir().mkpath(path);
    QFile file(path + "/manifest.json");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"identifier", identifier}}).toJson());
}

}  // namespace

class AppServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        QDir().mkpath(dir.filePath("opt"));
    }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }

    AppServices& make(bool channel = true, QString bundle = {}) {
        if (bundle.isNull()) bundle = dir.filePath("opt/Tessal.bundle");
        services = std::make_unique<AppServices>(AppServicesEnvironment{defaults,
                                                                        queue,
                                                                        alerts,
                                                                        workspace,
                                                                        loginItem,
                                                                        source,
                                                                        [] {},
                                                                        [this] { ++terminated; },
                                                                        "0.7.1",
                                                                        "Tessal",
                                                                        channel,
                                                                        bundle,
                                                                        "2.36.0",
                                                                        {dir.filePath("opt")}});
        services->canPresent = [this] { return presentable; };
        return *services;
    }
    QStringList titles() const {
        QStringList list;
        for (const AlertSpec& a : alerts.shown) list << a.message;
        return list;
    }
    PreparedUpdate prepared(const QString& version) {
        return {release(version), dir.filePath("opt/Tessal.bundle"),
                dir.filePath("opt/.morrin-update-X")};
    }

    QTemporaryDir dir;
    DefaultsStore defaults{dir.filePath("defaults.json")};
    ManualClock clock;
    ManualMainQueue queue{clock};
    ScriptedAlerts alerts;
    FakeWorkspace workspace;
    FakeLoginItem loginItem;
    FakeUpdateSource source;
    std::unique_ptr<AppServices> services;
    bool presentable = true;
    int terminated = 0;
};

TEST_F(AppServicesTest, ChannelOffIsSilentAutomaticallyAndSaysSoOnRequest) {
    AppServices& s = make(false);
    s.start();
    queue.advance(AppServices::checkInterval + 1);
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(source.fetches, 0);
    s.check(true);
    ASSERT_EQ(titles(), QStringList{"更新通道尚未上线"});
    EXPECT_EQ(alerts.shown[0].informative,
              "当前构建未启用更新检测，请从Tessal官网下载支持检查更新的新版本。");
    EXPECT_EQ(alerts.shown[0].buttons, QStringList{"知道了"});
}

TEST_F(AppServicesTest, FeedAnswersAreReportedOnlyWhenAsked) {
    AppServices& s = make();
    source.feed = Result<AppRelease>(UserError{"tessal.network", 3, "找不到更新服务器。"});
    s.check(false);
    EXPECT_TRUE(alerts.shown.empty());
    s.check(true);
    source.feed = release("0.7.1");
    s.check(false);
    s.check(true);
    AppRelease newer = release("0.8.0");
    newer.minimumSystemVersion = "2.99.0";
    source.feed = newer;
    s.check(false);
    s.check(true);
    ASSERT_EQ(titles(), (QStringList{"暂时无法检查更新", "已是最新版本", "需要更新系统"}));
    EXPECT_EQ(alerts.shown[0].informative, "找不到更新服务器。\n请稍后通过“检查更新”重试。");
    EXPECT_EQ(alerts.shown[1].informative, "Tessal 0.7.1");
    EXPECT_EQ(alerts.shown[2].informative, "新版本需要 glibc 2.99.0 或更新版本的系统。");
    EXPECT_FALSE(s.isChecking());
    // Automatic checks switched off: timers do not fetch.
    defaults.set(AppServices::automaticChecksKey, false);
    const int fetches = source.fetches;
    s.check(false);
    EXPECT_EQ(source.fetches, fetches);
}

TEST_F(AppServicesTest, AReadyUpdateIsOfferedAutomaticallyOncePerVersionAndOnRequestEveryTime) {
    AppServices& s = make();
    s.start();
    source.feed = release("0.7.2");
    source.preparation = prepared("0.7.2");
    alerts.answers = {1, 1, 1};  // "稍后"
    queue.advance(30.0);         // the first automatic check
    ASSERT_TRUE(s.ready());
    ASSERT_EQ(titles(), QStringList{"Tessal 0.7.2 更新已就绪"});
    EXPECT_EQ(alerts.shown[0].informative,
              "更快的截图。\n\n重启后自动安装，偏好和截图历史会保留。");
    EXPECT_EQ(alerts.shown[0].buttons, (QStringList{"重启并更新", "稍后"}));
    EXPECT_EQ(defaults.stringValue(AppServices::lastNotifiedKey), "0.7.2");
    queue.advance(AppServices::presentationInterval * 3);
    s.check(false);
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(source.preparations, 1) << "a ready update is not fetched again";
    s.check(true);
    s.check(true);
    EXPECT_EQ(alerts.shown.size(), 3u);
    EXPECT_EQ(terminated, 0);
    EXPECT_EQ(source.installs, 0);

    // While a capture is open the restart is not offered, only advised.
    presentable = false;
    s.check(true);
    s.check(false);
    EXPECT_EQ(titles().mid(3), QStringList{"更新已就绪"});
    EXPECT_EQ(alerts.shown[3].informative,
              "请先结束截图并关闭编辑窗口，再通过“检查更新”重启安装。");

    presentable = true;
    source.installFailure = UserError{"tessal.update", 1, "当前构建缺少更新安装程序。"};
    alerts.answers = {0};
    s.check(true);
    EXPECT_EQ(titles().mid(4), (QStringList{"Tessal 0.7.2 更新已就绪", "暂时无法安装更新"}));
    EXPECT_EQ(alerts.shown[5].informative, "当前构建缺少更新安装程序。");
    EXPECT_EQ(terminated, 0);
    source.installFailure.reset();
    alerts.answers = {0};
    s.check(true);
    EXPECT_EQ(source.installs, 2);
    EXPECT_EQ(terminated, 1);
}

TEST_F(AppServicesTest, AManualCheckShowsProgressAndOverlappingChecksAreTurnedAway) {
    AppServices& s = make();
    source.feed = release("0.7.2");
    alerts.answers = {1};
    s.check(true);
    ASSERT_TRUE(s.isChecking());
    ASSERT_TRUE(s.statusWindow());
    EXPECT_EQ(s.statusWindow()->windowTitle(), "正在下载Tessal 0.7.2");
    EXPECT_EQ(s.statusWindow()->size(), QSize(360, 100));
    s.check(true);
    s.check(false);
    EXPECT_EQ(titles(), QStringList{"正在准备更新"});
    EXPECT_EQ(source.fetches, 1);
    source.pendingPreparation(
        Result<PreparedUpdate>(UserError{"tessal.update", 1, "更新包大小不匹配。"}));
    EXPECT_FALSE(s.isChecking());
    EXPECT_FALSE(s.statusWindow());
    ASSERT_EQ(titles(), (QStringList{"正在准备更新", "暂时无法安装更新"}));
    EXPECT_EQ(alerts.shown[1].informative, "更新包大小不匹配。\n请稍后通过“检查更新”重试。");
}

TEST_F(AppServicesTest, ABackgroundFailureIsShownOnceWhenDialogsAreWelcome) {
    AppServices& s = make();
    s.start();
    source.feed = release("0.7.2");
    source.preparation =
        Result<PreparedUpdate>(UserError{"tessal.update", 1, "更新包大小不匹配。"});
    presentable = false;
    queue.advance(30.0);
    queue.advance(AppServices::presentationInterval * 2);
    EXPECT_TRUE(alerts.shown.empty());
    presentable = true;
    queue.advance(AppServices::presentationInterval);
    ASSERT_EQ(titles(), QStringList{"暂时无法安装更新"});
    EXPECT_EQ(alerts.shown[0].informative, "更新包大小不匹配。\n请稍后通过“检查更新”重试。");
    queue.advance(AppServices::presentationInterval * 3);
    EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(AppServicesTest, TheLastInstallationResultIsReadOnceAndOnlyOurStagingFolderRemoved) {
    const QString result = UpdateInstaller::resultPath();
    QDir().mkpath(QFileInfo(result).absolutePath());
    const auto writeResult = [&](const QString& text) {
        QFile file(result);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    };
    const auto uuid = [] { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); };
    // What a link named like a staging folder points at.
    const QString target = dir.filePath("target");
    QDir().mkpath(target + "/Previous.bundle");
    const QString link = dir.filePath("opt/.morrin-update-") + uuid();
    ASSERT_TRUE(QFile::link(target, link));
    struct Case {
        QString folder;
        bool removed;
    };
    // Each holds the previous copy, which only a successful installation's result lets go.
    const std::vector<Case> cases = {
        {dir.filePath("opt/.morrin-update-") + uuid(), true},
        {dir.filePath("elsewhere/.morrin-update-") + uuid(), false},
        {dir.filePath("opt/.morrin-update-not-a-uuid"), false},
        {dir.filePath("opt/.other-") + uuid(), false},
        {link, false},
    };
    for (const Case& c : cases) {
        QDir().mkpath(c.folder + "/Previous.bundle");
        writeResult("success\n" + c.folder + "\n");
        AppServices& s = make();
        s.start();
        queue.runPending();
        EXPECT_FALSE(QFileInfo::exists(result)) << c.folder.toStdString();
        EXPECT_EQ(!QFileInfo::exists(c.folder), c.removed) << c.folder.toStdString();
        EXPECT_TRUE(alerts.shown.empty());
        services.reset();
    }
    EXPECT_TRUE(QFileInfo::exists(target + "/Previous.bundle"));

    // Without any result: what a preparation left behind (the program quit, the helper was
    // killed) is removed at the next start; other folders stay, and so does a folder holding
    // the previous copy, which an installation that could not put it back left as the only one.
    const QString stale = dir.filePath("opt/.morrin-update-") + uuid();
    QDir().mkpath(stale + "/Volume");
    const QString kept = dir.filePath("opt/.morrin-update-") + uuid();
    QDir().mkpath(kept + "/Previous.bundle");
    QDir().mkpath(dir.filePath("opt/.morrin-update-mine"));
    make().start();
    queue.runPending();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(kept + "/Previous.bundle"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("opt/.morrin-update-mine")));
    EXPECT_TRUE(QFileInfo::exists(target + "/Previous.bundle"));
    EXPECT_TRUE(alerts.shown.empty());
    services.reset();

    writeResult("无法移开原应用，更新未安装。");
    make().start();
    queue.runPending();
    ASSERT_EQ(titles(), QStringList{"上次更新未完成"});
    EXPECT_EQ(alerts.shown[0].informative, "无法移开原应用，更新未安装。");
    EXPECT_FALSE(QFileInfo::exists(result));
    EXPECT_TRUE(QFileInfo::exists(kept + "/Previous.bundle"));
}

TEST_F(AppServicesTest, LaunchAtLoginWritesAndRemovesTheAutostartEntry) {
    AutostartLoginItem autostart(dir.filePath("config"),
                                 "/home/u/.local/opt/Tessal \"new\".bundle/bin/tessal");
    EXPECT_FALSE(autostart.isEnabled());
    ASSERT_TRUE(autostart.setEnabled(true));
    QFile entry(dir.filePath("config/autostart/local.ostrel.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(
        text.contains("Exec=\"/home/u/.local/opt/Tessal \\\\\"new\\\\\".bundle/bin/tessal\"\n"))
        << text.toStdString();
    EXPECT_TRUE(autostart.isEnabled());
    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(entry.fileName()));
    EXPECT_FALSE(autostart.isEnabled());

    // Through the controller, and a change that cannot be made.
    AppServices& s = make();
    s.toggleLoginItem();
    EXPECT_TRUE(loginItem.enabled);
    s.toggleLoginItem();
    EXPECT_FALSE(loginItem.enabled);
    EXPECT_TRUE(alerts.shown.empty());
    loginItem.refuse = true;
    s.toggleLoginItem();
    ASSERT_EQ(titles(), QStringList{"无法修改开机启动"});
    // A file where the autostart folder belongs makes the real entry fail too.
    QFile blocker(dir.filePath("blocked/autostart"));
    QDir().mkpath(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(AutostartLoginItem(dir.filePath("blocked"), "/usr/bin/tessal").setEnabled(true));
}

namespace {

// The program an Exec value starts, read as a desktop environment reads it: the value's escapes,
// then one double-quoted argument with its backslash escapes and %% for %. Empty when the value
// is not exactly one quoted argument or holds a field code.
QString execProgram(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            unescaped += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == 's')
            unescaped += ' ';
        else if (next == 'n')
            unescaped += '\n';
        else if (next == 't')
            unescaped += '\t';
        else if (next == 'r')
            unescaped += '\r';
        else if (next == '\\')
            unescaped += '\\';
        else
            return {};
    }
    if (unescaped.size() < 2 || !unescaped.startsWith('"') || !unescaped.endsWith('"')) return {};
    QString program;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (c == '\\') {
            const QChar next = unescaped[++i];
            if (next != '"' && next != '`' && next != '$' && next != '\\') return {};
            program += next;
        } else if (c == '%') {
            if (unescaped[++i] != '%') return {};
            program += '%';
        } else if (c == '"' || c == '`' || c == '$') {
            return {};
        } else {
            program += c;
        }
    }
    return program;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

QString execLine(const QString& desktopFile) {
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
        if (line.startsWith("Exec=")) return line.mid(5);
    return {};
}

}  // namespace

TEST_F(AppServicesTest, TheAutostartEntryAndTheBundleInstallerQuoteExecAlike) {
    const QString installer = QStringLiteral(TESSAL_SOURCE_DIR "/resources/install-bundle.sh");
    for (const QString& home :
         {QStringLiteral("plain"), QStringLiteral("with space"), QStringLiteral("-dash"),
          QStringLiteral("q\"uote"), QStringLiteral("$HOME`id`"), QStringLiteral("100%"),
          QStringLiteral("back\\slash"), QStringLiteral("new\nline\ttab"), QStringLiteral("|&")}) {
        const QString root = dir.filePath("homes/" + home);
        const QString bundle = root + "/dist/Tessal.bundle";
        QDir().mkpath(bundle + "/share/applications");
        QDir().mkpath(bundle + "/share/icons/hicolor/scalable/apps");
        QFile::copy(installer, bundle + "/install.sh");
        QFile::copy(QStringLiteral(TESSAL_SOURCE_DIR "/resources/local.ostrel.desktop"),
                    bundle + "/share/applications/local.ostrel.desktop");
        QFile::copy(QStringLiteral(TESSAL_SOURCE_DIR "/resources/local.ostrel.svg"),
                    bundle + "/share/icons/hicolor/scalable/apps/local.ostrel.svg");
        QProcess sh;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", root);
        environment.remove("XDG_DATA_HOME");
        sh.setProcessEnvironment(environment);
        sh.start("/bin/sh", {bundle + "/install.sh"});
        ASSERT_TRUE(sh.waitForFinished(20'000));
        EXPECT_EQ(sh.exitCode(), 0)
            << home.toStdString() << sh.readAllStandardError().toStdString();

        // The program itself: KWin grants its screenshot interface by this path.
        const QString program = root + "/.local/opt/Tessal.bundle/bin/tessal-app";
        const QString installed =
            execLine(root + "/.local/share/applications/local.ostrel.desktop");
        EXPECT_EQ(execProgram(installed), program) << installed.toStdString();
        AutostartLoginItem autostart(root + "/config", program);
        ASSERT_TRUE(autostart.setEnabled(true));
        EXPECT_EQ(execLine(autostart.path()), installed) << home.toStdString();
    }
}

TEST_F(AppServicesTest, TheBundleInstallerKeepsTheInstalledCopyWhenTheNewOneCannotMoveIn) {
    const QString root = dir.filePath("home");
    const QString bundle = root + "/dist/Tessal.bundle";
    QDir().mkpath(bundle + "/share/icons/hicolor/scalable/apps");
    QFile::copy(QStringLiteral(TESSAL_SOURCE_DIR "/resources/install-bundle.sh"),
                bundle + "/install.sh");
    const QString installed = root + "/.local/opt/Tessal.bundle";
    QDir().mkpath(installed);
    writeFile(installed + "/marker", "installed");
    // A `mv` that refuses to move the new copy into place.
    QDir().mkpath(root + "/bin");
    writeFile(root + "/bin/mv",
              "#!/bin/sh\ncase \"$*\" in *.new.*) exit 1;; esac\nexec /bin/mv \"$@\"\n");
    QFile::setPermissions(root + "/bin/mv", QFile::ReadOwner | QFile::ExeOwner);
    QProcess sh;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", root);
    environment.insert("PATH", root + "/bin:" + environment.value("PATH"));
    environment.remove("XDG_DATA_HOME");
    sh.setProcessEnvironment(environment);
    sh.start("/bin/sh", {bundle + "/install.sh"});
    ASSERT_TRUE(sh.waitForFinished(20'000));
    EXPECT_EQ(sh.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(sh.readAllStandardError()).contains("installed copy is unchanged"));
    QFile marker(installed + "/marker");
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_EQ(marker.readAll(), "installed");
    EXPECT_EQ(QDir(root + "/.local/opt")
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Tessal.bundle"});
}

TEST_F(AppServicesTest, TheLegacyNoticeNamesEarlierCopiesOnce) {
    const QString opt = dir.filePath("opt");
    writeBundle(opt + "/Tessal.bundle", "local.ostrel");
    writeBundle(opt + "/Ostrel.bundle", "local.ostrel");
    writeBundle(opt + "/TessalShot.bundle", "local.someone-else");
    AppServices& s = make();
    s.start();
    queue.advance(2.0);
    ASSERT_EQ(titles(), QStringList{"建议移除旧版应用"});
    EXPECT_TRUE(alerts.shown[0].informative.startsWith("检测到：Ostrel.bundle。\n\n请先退出旧版"));
    EXPECT_EQ(alerts.shown[0].buttons, (QStringList{"在文件管理器中查看", "稍后处理"}));
    ASSERT_EQ(workspace.revealed.size(), 1);
    EXPECT_EQ(workspace.revealed[0], QStringList{QDir(opt).canonicalPath() + "/Ostrel.bundle"});
    EXPECT_EQ(defaults.boolValue("legacyApplicationNoticeShown"), true);
    services.reset();
    make().start();
    queue.advance(2.0);
    EXPECT_EQ(alerts.shown.size(), 1u) << "only once";
}

TEST_F(AppServicesTest, TheLegacyNoticeSkipsTheRunningCopyAndCopiesOutsideInstallFolders) {
    const QString opt = dir.filePath("opt");
    writeBundle(opt + "/Tessal.bundle", "local.ostrel");
    // An earlier name that is only a link to the running copy.
    ASSERT_TRUE(QFile::link(opt + "/Tessal.bundle", opt + "/Ostrel.bundle"));
    EXPECT_TRUE(LegacyApplicationNotice::applications(opt + "/Tessal.bundle", {opt},
                                                      source.config.earlierNames)
                    .isEmpty());
    presentable = false;
    AppServices& s = make();
    s.start();
    queue.advance(2.0);
    EXPECT_TRUE(alerts.shown.empty()) << "not while a capture is open";
    // A copy run from elsewhere (a build tree) says nothing, even with an earlier copy present.
    writeBundle(dir.filePath("build/Ostrel.bundle"), "local.ostrel");
    int shown = 0;
    LegacyApplicationNotice::presentIfNeeded(
        defaults, dir.filePath("build/Tessal.bundle"), {opt}, {"Ostrel"},
        [&](const AlertSpec&) { return ++shown, 0; }, [](const QStringList&) {});
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(defaults.contains("legacyApplicationNoticeShown"));
}

TEST_F(AppServicesTest, UpdateItemsAreOfferedOnlyWithAChannelAndOtherwiseSayWhy) {
    const struct {
        const char* name;
        bool channel;
        QString bundle;
        QStringList items;
    } cases[] = {
        {"bundle with a channel", true, "bundle", {"自动下载更新", "检查更新…", "更新日志"}},
        {"bundle built without a feed", false, "bundle", {"此版本未启用应用内更新", "更新日志"}},
        {"package (no bundle)", false, "", {"更新由安装本程序的软件包管理器提供", "更新日志"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        defaults.set(AppServices::automaticChecksKey, true);
        AppServices& s = make(c.channel, c.bundle.isEmpty() ? QStringLiteral("") : QString());
        QMenu menu;
        int changelogs = 0;
        UpdateMenuItems items(menu, s, defaults, [&] { ++changelogs; });
        QStringList shown;
        for (QAction* a : menu.actions()) shown << a->text();
        EXPECT_EQ(shown, c.items);
        for (QAction* a : menu.actions()) {
            EXPECT_EQ(a->isEnabled(), a != items.unavailable()) << a->text().toStdString();
            if (a->text() == "更新日志") a->trigger();
        }
        EXPECT_EQ(changelogs, 1);
        if (!c.channel) {
            EXPECT_EQ(items.automatic(), nullptr);
            EXPECT_EQ(items.check(), nullptr);
            continue;
        }
        ASSERT_NE(items.automatic(), nullptr);
        EXPECT_TRUE(items.automatic()->isChecked());
        items.automatic()->trigger();
        EXPECT_EQ(defaults.boolValue(AppServices::automaticChecksKey), false);
        // The mark follows the stored setting, whoever changed it.
        for (const bool stored : {true, false}) {
            defaults.set(AppServices::automaticChecksKey, stored);
            items.refresh();
            EXPECT_EQ(items.automatic()->isChecked(), stored);
        }
        source.feed = Result<AppRelease>(release("0.7.1"));
        items.check()->trigger();
        EXPECT_EQ(source.fetches, 1);
        EXPECT_EQ(titles(), QStringList{"已是最新版本"});
    }
}

TEST_F(AppServicesTest, FailuresWarnAndAnswersInform) {
    AppServices& s = make();
    source.feed = Result<AppRelease>(UserError{"ReleaseFeed", 1, "无法连接更新服务器。"});
    s.check(true);
    source.feed = Result<AppRelease>(release("0.7.1"));
    s.check(true);
    ASSERT_EQ(alerts.shown.size(), 2u);
    EXPECT_EQ(alerts.shown[0].severity, AlertSpec::Severity::warning);
    EXPECT_EQ(alerts.shown[1].severity, AlertSpec::Severity::information);
}
