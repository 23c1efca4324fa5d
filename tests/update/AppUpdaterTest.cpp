// The updater against a real HTTPS server on the loopback, with real archives, signatures and
// the real installer script. Runs in a network namespace of its own (see tests/CMakeLists.txt)
// so that the server can take port 443, the only port a release address may name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include "services/AppUpdater.h"
#include "services/BundleFiles.h"
#include "services/BundleSignature.h"
#include "services/ReleaseFeed.h"
#include "services/SafeExtraction.h"
#include "services/UpdateInstaller.h"
#include "services/UpdateSource.h"
#include "support/LoopbackHttpsServer.h"
#include "support/TarWriter.h"

// Readable Chinese in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

using namespace tessal;
using tessal::test::LoopbackHttpsServer;
using tessal::test::TarEntry;

namespace {

const QString releasePath = QStringLiteral("/app/tessal/update/tessal-0.7.2-linux-x86_64.tar.gz");
const QString feedPath = QStringLiteral("/app/tessal/update/latest.json");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, int mode = 0644) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    chmod(QFile::encodeName(path).constData(), mode);
}

class AppUpdaterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        certificates_ = new QTemporaryDir;
        server_ = new LoopbackHttpsServer(certificates_->path());
        ASSERT_TRUE(server_->listen(443)) << server_->error().toStdString();
        keyA_ = BundleSignature::generatePrivateKey();
        keyB_ = BundleSignature::generatePrivateKey();
    }
    static void TearDownTestSuite() {
        delete server_;
        delete certificates_;
    }

    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        opt_ = home_.path() + QStringLiteral("/.local/opt");
        installed_ = opt_ + QStringLiteral("/Tessal.bundle");
        makeBundle(installed_, QStringLiteral("0.7.1"), keyA_);
        before_ = *BundleSignature::fileList(installed_);
        configuration_.cdnHost = QStringLiteral("localhost");
        configuration_.productSite = QStringLiteral("https://localhost");
        configuration_.architecture =
            BundleFiles::elfArchitecture(QStringLiteral(TESSAL_UPDATE_PROBE));
        configuration_.releasePublicKey = BundleSignature::publicKey(keyA_);
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path() + QStringLiteral("/.local/share")));
    }

    // A bundle as `make bundle` lays it out, with the probe as its program.
    static void makeBundle(const QString& root, const QString& version, const QByteArray& key,
                           const QString& identifier = QStringLiteral("local.ostrel")) {
        QJsonObject manifest{{"identifier", identifier}, {"version", version},
                             {"executable", "tessal"},   {"architecture", "x86_64"},
                             {"displayName", "Tessal"},  {"updateChannelEnabled", true}};
        writeFile(root + QStringLiteral("/manifest.json"), QJsonDocument(manifest).toJson());
        writeFile(root + QStringLiteral("/bin/tessal"),
                  readAll(QStringLiteral(TESSAL_UPDATE_PROBE)), 0755);
        writeFile(root + QStringLiteral("/share/tessal/InstallUpdate.sh"),
                  readAll(QStringLiteral(TESSAL_SOURCE_DIR "/resources/InstallUpdate.sh")), 0755);
        writeFile(root + QStringLiteral("/share/tessal/notes.txt"), version.toUtf8());
        chmod(QFile::encodeName(root).constData(), 0755);
        if (!key.isEmpty()) {
            ASSERT_FALSE(BundleSignature::sign(root, key));
        }
    }

    // Serves `entries` as the release archive and returns the matching release.
    AppRelease serve(const std::vector<TarEntry>& entries) {
        const QString archive = home_.path() + QStringLiteral("/release.tar.gz");
        QFile::remove(archive);
        EXPECT_TRUE(test::writeTar(archive, entries));
        server_->answer(releasePath, {200, {}, archive, {}, -1});
        return releaseFor(archive);
    }
    AppRelease releaseFor(const QString& archive) const {
        return test::releaseOf(configuration_, archive);
    }
    std::vector<TarEntry> candidate(const QByteArray& key, const QString& version = "0.7.2",
                                    const QString& identifier = "local.ostrel") {
        const QString root = home_.path() + QStringLiteral("/candidate-") +
                             QString::number(++candidates_) + QStringLiteral("/Tessal.bundle");
        makeBundle(root, version, key, identifier);
        return test::entriesOf(root, QStringLiteral("Tessal.bundle"));
    }

    // Runs the blocking preparation on a worker thread while this thread serves.
    Result<PreparedUpdate> prepare(const AppRelease& release, QString executable = {}) {
        if (executable.isEmpty()) executable = installed_ + QStringLiteral("/bin/tessal");
        std::optional<Result<PreparedUpdate>> result;
        QEventLoop loop;
        QThread* thread = QThread::create(
            [&] { result = AppUpdater(configuration_).prepare(release, installed_, executable); });
        QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        loop.exec();
        thread->wait();
        delete thread;
        return *result;
    }

    QStringList stagingFolders() const {
        return QDir(opt_).entryList({UpdateInstaller::stagingPrefix + QStringLiteral("*")},
                                    QDir::Dirs | QDir::Hidden);
    }

    void expectRefused(const AppRelease& release, const QString& message, const char* name) {
        const auto result = prepare(release);
        ASSERT_FALSE(result) << name;
        if (!message.isEmpty()) {
            EXPECT_EQ(result.error().message, message) << name;
        }
        EXPECT_TRUE(stagingFolders().isEmpty()) << name;
        EXPECT_EQ(*BundleSignature::fileList(installed_), before_) << name;
    }

    static inline QTemporaryDir* certificates_ = nullptr;
    static inline LoopbackHttpsServer* server_ = nullptr;
    static inline QByteArray keyA_, keyB_;
    QTemporaryDir home_;
    QString opt_, installed_;
    QByteArray before_;
    UpdateConfiguration configuration_;
    int candidates_ = 0;
};

Result<AppRelease> fetch(const UpdateConfiguration& configuration) {
    std::optional<Result<AppRelease>> result;
    QEventLoop loop;
    ReleaseFeed::fetchLatest(configuration, [&](Result<AppRelease> r) {
        result = std::move(r);
        loop.quit();
    });
    if (!result) loop.exec();
    return *result;
}

}  // namespace

TEST_F(AppUpdaterTest, FeedIsTakenOnlyFromItsOwnAddressWithinItsSize) {
    const QString archive = home_.path() + QStringLiteral("/a.tar.gz");
    writeFile(archive, "x");
    const AppRelease release = releaseFor(archive);
    QJsonObject object{{"version", release.version},
                       {"downloadURL", release.downloadURL.toString()},
                       {"notes", release.notes},
                       {"minimumSystemVersion", "2.0.0"},
                       {"architecture", release.architecture},
                       {"size", 1},
                       {"sha256", release.sha256}};
    const QByteArray feed = QJsonDocument(object).toJson();

    server_->answer(feedPath, {200, feed, {}, {}, -1});
    const auto good = fetch(configuration_);
    ASSERT_TRUE(good) << good.error().message.toStdString();
    EXPECT_EQ(good.value().version, QStringLiteral("0.7.2"));

    struct Case {
        const char* name;
        LoopbackHttpsServer::Answer answer;
        int code;
    };
    QByteArray padded = feed;
    padded.append(QByteArray(256'001 - feed.size(), ' '));
    QByteArray exact = feed;
    exact.append(QByteArray(256'000 - feed.size(), ' '));
    QJsonObject invalid = object;
    invalid[QStringLiteral("sha256")] = release.sha256.toUpper();
    server_->answer(QStringLiteral("/elsewhere.json"), {200, feed, {}, {}, -1});
    const std::vector<Case> cases = {
        {"256,001 bytes", {200, padded, {}, {}, -1}, UpdateErrors::badServerResponse},
        {"256,000 bytes", {200, exact, {}, {}, -1}, 0},
        {"redirect",
         {302, {}, {}, "https://localhost/elsewhere.json", -1},
         UpdateErrors::badServerResponse},
        {"404", {404, feed, {}, {}, -1}, UpdateErrors::badServerResponse},
        {"invalid record",
         {200, QJsonDocument(invalid).toJson(), {}, {}, -1},
         UpdateErrors::cannotParseResponse},
        {"not JSON", {200, "<html>", {}, {}, -1}, 4864},
    };
    for (const Case& c : cases) {
        server_->answer(feedPath, c.answer);
        const auto result = fetch(configuration_);
        if (c.code == 0) {
            EXPECT_TRUE(result) << c.name;
            continue;
        }
        ASSERT_FALSE(result) << c.name;
        EXPECT_EQ(result.error().code, c.code) << c.name;
    }

    // Nothing listens at the host: a network error, passed on.
    UpdateConfiguration nowhere = configuration_;
    nowhere.cdnHost = QStringLiteral("127.0.0.2");
    const auto unreachable = fetch(nowhere);
    ASSERT_FALSE(unreachable);
    EXPECT_EQ(unreachable.error().domain, UpdateErrors::networkDomain);
}

TEST_F(AppUpdaterTest, PreparesInstallsAndRelaunchesARelease) {
    const AppRelease release = serve(candidate(keyA_));
    const auto prepared = prepare(release);
    ASSERT_TRUE(prepared) << prepared.error().message.toStdString();
    const PreparedUpdate update = prepared.value();
    EXPECT_EQ(stagingFolders().size(), 1);
    EXPECT_EQ(QFileInfo(update.directory).permissions() & 0x7777,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                  QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    EXPECT_TRUE(QFileInfo(update.stagedBundle()).isDir());
    EXPECT_FALSE(QFileInfo::exists(update.directory + QStringLiteral("/Volume")));
    EXPECT_FALSE(QFileInfo::exists(update.directory + QStringLiteral("/Update.tar.gz")));
    EXPECT_EQ(QDir(update.directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Update.bundle")});
    EXPECT_EQ(*BundleSignature::fileList(installed_), before_);

    // The installer waits for "the program" (a process that ends shortly) to quit.
    QProcess running;
    running.start(QStringLiteral("sleep"), {QStringLiteral("0.5")});
    ASSERT_TRUE(running.waitForStarted());
    const QString probe = home_.path() + QStringLiteral("/launched.txt");
    qputenv("TESSAL_PROBE_OUT", QFile::encodeName(probe));
    ASSERT_FALSE(UpdateInstaller::install(update, running.processId()));
    EXPECT_EQ(readAll(installed_ + QStringLiteral("/share/tessal/notes.txt")), "0.7.1")
        << "replaced before the program quit";
    running.waitForFinished();

    QElapsedTimer clock;
    clock.start();
    // The probe writes one line; the file exists before the line is in it.
    while (!readAll(probe).endsWith('\n') && clock.elapsed() < 10'000) QThread::msleep(20);
    EXPECT_EQ(readAll(UpdateInstaller::resultPath()), "success\n" + update.directory.toUtf8());
    EXPECT_EQ(readAll(installed_ + QStringLiteral("/share/tessal/notes.txt")), "0.7.2");
    EXPECT_TRUE(BundleSignature::verify(installed_, configuration_.releasePublicKey));
    EXPECT_EQ(readAll(probe).trimmed(), (installed_ + QStringLiteral("/bin/tessal")).toUtf8());
    // The previous copy waits, complete, in the staging folder for the next launch to remove.
    EXPECT_EQ(*BundleSignature::fileList(update.directory + QStringLiteral("/Previous.bundle")),
              before_);
}

TEST_F(AppUpdaterTest, EveryRefusalLeavesTheInstalledCopyAndNoStagingFolder) {
    const QString unique = QStringLiteral("更新包中未找到唯一匹配的应用。");
    const QString unpacking = QStringLiteral("更新文件处理失败（tar）。原应用未被替换。");
    const QString signature =
        QStringLiteral("更新应用签名校验失败，或与当前应用的签名身份不一致。");
    const QString identity = QStringLiteral("更新应用的标识或版本不匹配。");

    {
        AppRelease release = serve(candidate(keyA_));
        release.sha256 = QString(64, QLatin1Char('0'));
        expectRefused(release, QStringLiteral("更新包大小或 SHA-256 校验失败，已停止安装。"),
                      "digest mismatch");
        release = serve(candidate(keyA_));
        release.size += 1;
        expectRefused(release, QStringLiteral("更新包大小不匹配。"), "size mismatch");
        release = serve(candidate(keyA_));
        release.size -= 1;
        expectRefused(release, QStringLiteral("更新包大小不匹配。"), "longer than announced");
    }
    struct Case {
        const char* name;
        std::function<std::vector<TarEntry>()> entries;
        QString message;
    };
    const auto with = [&](std::vector<TarEntry> extra) {
        std::vector<TarEntry> entries = candidate(keyA_);
        entries.insert(entries.end(), extra.begin(), extra.end());
        return entries;
    };
    const std::vector<Case> cases = {
        {"../ path",
         [&] {
             return with({{"Tessal.bundle/../../escape", TarEntry::Type::file, 0644, "x", {}}});
         },
         unpacking},
        {"absolute path",
         [&] {
             return with({{"/tmp/tessal-escape", TarEntry::Type::file, 0644, "x", {}}});
         },
         unpacking},
        {"link out",
         [&] {
             return with(
                 {{"Tessal.bundle/share/out", TarEntry::Type::link, 0777, {}, "../../../etc"}});
         },
         unpacking},
        {"absolute link",
         [&] {
             return with(
                 {{"Tessal.bundle/share/abs", TarEntry::Type::link, 0777, {}, "/etc/passwd"}});
         },
         unpacking},
        {"hard link",
         [&] {
             return with(
                 {{"Tessal.bundle/share/hard", TarEntry::Type::hardLink, 0644, {}, "/etc/passwd"}});
         },
         unpacking},
        {"device",
         [&] {
             return with({{"Tessal.bundle/share/null", TarEntry::Type::device, 0666, {}, {}}});
         },
         unpacking},
        {"fifo",
         [&] {
             return with({{"Tessal.bundle/share/pipe", TarEntry::Type::fifo, 0644, {}, {}}});
         },
         unpacking},
        {"two matching bundles",
         [&] {
             std::vector<TarEntry> two = candidate(keyA_);
             for (TarEntry e : candidate(keyA_)) {
                 e.path.replace(0, 6, QStringLiteral("Second"));
                 two.push_back(e);
             }
             return two;
         },
         unique},
        {"only a link to a bundle",
         [&] {
             std::vector<TarEntry> entries = candidate(keyA_);
             for (TarEntry& e : entries) e.path.replace(0, 13, QStringLiteral("real"));
             entries.push_back({"Tessal.bundle", TarEntry::Type::link, 0777, {}, "real"});
             return entries;
         },
         unique},
        {"another identifier", [&] { return candidate(keyA_, "0.7.2", "local.other"); }, unique},
        {"nothing inside",
         [&] {
             return std::vector<TarEntry>{{"README", TarEntry::Type::file, 0644, "hi", {}}};
         },
         unique},
        {"signed by another key", [&] { return candidate(keyB_); }, signature},
        {"not signed", [&] { return candidate({}); }, signature},
        {"changed after signing",
         [&] {
             std::vector<TarEntry> entries = candidate(keyA_);
             for (TarEntry& e : entries)
                 if (e.path.endsWith(QLatin1String("notes.txt"))) e.content = "0.7.2 changed";
             return entries;
         },
         signature},
        {"file added after signing",
         [&] {
             return with({{"Tessal.bundle/share/extra", TarEntry::Type::file, 0644, "x", {}}});
         },
         signature},
        // Nothing unsigned may sit in or beside the signature folder.
        {"file beside signature/ sharing its name's start",
         [&] {
             return with({{"Tessal.bundle/signature-extra", TarEntry::Type::file, 0644, "x", {}}});
         },
         signature},
        {"file added under signature/",
         [&] {
             return with({{"Tessal.bundle/signature/extra", TarEntry::Type::file, 0644, "x", {}}});
         },
         signature},
        {"folder added under signature/",
         [&] {
             return with({{"Tessal.bundle/signature/more", TarEntry::Type::folder, 0755, {}, {}}});
         },
         signature},
        // The bundle folder's own mode is signed: one the owner cannot write blocks updates.
        {"bundle folder at 0500",
         [&] {
             std::vector<TarEntry> entries = candidate(keyA_);
             entries.front().mode = 0500;
             return entries;
         },
         signature},
        {"wrong version", [&] { return candidate(keyA_, "0.7.3"); }, identity},
        {"wrong machine",
         [&] {
             std::vector<TarEntry> entries = candidate(keyA_);
             for (TarEntry& e : entries)
                 if (e.path.endsWith(QLatin1String("bin/tessal"))) {
                     e.content[18] = char(183);
                     e.content[19] = 0;
                 }
             return entries;
         },
         QStringLiteral("更新应用的芯片架构不匹配。")},
    };
    for (const Case& c : cases) expectRefused(serve(c.entries()), c.message, c.name);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/tessal-escape")));
    EXPECT_FALSE(QFileInfo::exists(home_.path() + QStringLiteral("/escape")));

    // Transport: a missing file, a redirect, a connection cut short.
    const QString download = QStringLiteral("更新包下载失败，请检查网络。");
    AppRelease release = serve(candidate(keyA_));
    server_->answer(releasePath, {404, "gone", {}, {}, -1});
    expectRefused(release, download, "404");
    server_->answer(releasePath, {302, {}, {}, "https://localhost/elsewhere.tar.gz", -1});
    expectRefused(release, download, "redirect");
    const QString archive = home_.path() + QStringLiteral("/release.tar.gz");
    server_->answer(releasePath, {200, {}, archive, {}, release.size / 2});
    expectRefused(release, {}, "truncated");
}

TEST_F(AppUpdaterTest, RefusesCopiesThatCannotReplaceThemselves) {
    const AppRelease release = serve(candidate(keyA_));
    const QString destination = QStringLiteral(
        "请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。");
    // A copy run from somewhere else (a build tree, /usr/bin) may not replace this bundle.
    const int downloads = server_->requests(releasePath);
    for (const QString& elsewhere : {QStringLiteral(TESSAL_UPDATE_PROBE),
                                     opt_ + QStringLiteral("/Tessal.bundle2/bin/tessal")}) {
        const auto result = prepare(release, elsewhere);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().message, destination);
    }
    EXPECT_EQ(server_->requests(releasePath), downloads) << "refused before any download";
    EXPECT_TRUE(stagingFolders().isEmpty());

    // A development build: the installed copy carries no valid signature.
    QDir(installed_ + QStringLiteral("/signature")).removeRecursively();
    before_ = *BundleSignature::fileList(installed_);
    expectRefused(release, QStringLiteral("更新应用签名校验失败，或与当前应用的签名身份不一致。"),
                  "unsigned installed copy");
    // A build without a release key refuses too.
    makeBundle(installed_, QStringLiteral("0.7.1"), keyA_);
    before_ = *BundleSignature::fileList(installed_);
    configuration_.releasePublicKey.clear();
    expectRefused(release, QStringLiteral("更新应用签名校验失败，或与当前应用的签名身份不一致。"),
                  "no release key");
}

TEST_F(AppUpdaterTest, AFullDiskDuringStagingLeavesNothingBehind) {
    // A small file system of its own for the install folder (the test runs in a mount namespace
    // of its own, see tests/CMakeLists.txt).
    const QString small = home_.path() + QStringLiteral("/small");
    QDir().mkpath(small);
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"),
                                {"-t", "tmpfs", "-o", "size=1m", "tmpfs", small}),
              0);
    installed_ = small + QStringLiteral("/Tessal.bundle");
    opt_ = small;
    makeBundle(installed_, QStringLiteral("0.7.1"), keyA_);
    before_ = *BundleSignature::fileList(installed_);
    std::vector<TarEntry> entries = candidate(keyA_);
    QByteArray noise(2 << 20, 0);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(noise.data()),
                                          noise.size() / 4);
    entries.push_back({"Tessal.bundle/share/tessal/big", TarEntry::Type::file, 0644, noise, {}});
    const auto result = prepare(serve(entries));
    EXPECT_TRUE(stagingFolders().isEmpty());
    EXPECT_EQ(*BundleSignature::fileList(installed_), before_);
    QProcess::execute(QStringLiteral("umount"), {small});
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error().message.contains(QStringLiteral("更新包无法写入磁盘：磁盘空间不足")))
        << result.error().message.toStdString();
}

TEST_F(AppUpdaterTest, ThePreparationRunsInTheHelperProcessAndAnswersThroughIt) {
    const AppRelease release = serve(candidate(keyA_));
    const auto through = [&](const QString& executable) {
        ReleaseUpdateSource source(configuration_, installed_, executable);
        std::optional<Result<PreparedUpdate>> result;
        QEventLoop loop;
        source.prepare(release, [&](Result<PreparedUpdate> r) {
            result = std::move(r);
            loop.quit();
        });
        QTimer::singleShot(20'000, &loop, &QEventLoop::quit);
        if (!result) loop.exec();
        return result;
    };
    // The helper's own refusal comes back as it was said.
    const auto refused = through(QStringLiteral(TESSAL_UPDATE_PROBE));
    ASSERT_TRUE(refused);
    ASSERT_FALSE(*refused);
    EXPECT_EQ(refused->error().message,
              "请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。");
    EXPECT_TRUE(stagingFolders().isEmpty());

    // The answer must name the bundle asked about and a staging folder beside it that holds the
    // staged copy; anything else is not the helper's answer.
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString staging = opt_ + QStringLiteral("/.morrin-update-") + uuid;
    QDir().mkpath(staging + QStringLiteral("/Update.bundle"));
    const QString elsewhere = home_.path() + QStringLiteral("/elsewhere/.morrin-update-") + uuid;
    QDir().mkpath(elsewhere + QStringLiteral("/Update.bundle"));
    const QString linked = opt_ + QStringLiteral("/.morrin-update-") +
                           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    ASSERT_TRUE(QFile::link(elsewhere, linked));
    const QString empty = opt_ + QStringLiteral("/.morrin-update-") +
                          QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QDir().mkpath(empty);
    const auto answer = [](const QString& installed, const QString& directory) {
        return QJsonDocument(QJsonObject{{"installed", installed}, {"directory", directory}})
            .toJson(QJsonDocument::Compact);
    };
    const auto accepted =
        UpdateInstaller::decodeAnswer(answer(installed_, staging), release, installed_);
    ASSERT_TRUE(accepted) << accepted.error().message.toStdString();
    EXPECT_EQ(accepted.value().directory, staging);
    EXPECT_EQ(accepted.value().installed, installed_);
    const struct {
        const char* name;
        QByteArray answer;
    } answers[] = {
        {"nothing", {}},
        {"nonsense", "{\"garbage"},
        {"not a staging folder", answer(installed_, QStringLiteral("/etc"))},
        {"another bundle", answer(opt_ + QStringLiteral("/Other.bundle"), staging)},
        {"staging folder elsewhere", answer(installed_, elsewhere)},
        {"prefix without a UUID", answer(installed_, opt_ + QStringLiteral("/.morrin-update-x"))},
        {"link to a staging folder", answer(installed_, linked)},
        {"nothing staged in it", answer(installed_, empty)},
    };
    for (const auto& a : answers) {
        const auto decoded = UpdateInstaller::decodeAnswer(a.answer, release, installed_);
        ASSERT_FALSE(decoded) << a.name;
        EXPECT_EQ(decoded.error().message,
                  "更新文件处理失败（tessal-update-helper）。原应用未被替换。")
            << a.name;
    }
    const QByteArray request = UpdateInstaller::encodeRequest(configuration_, release, installed_,
                                                              installed_ + "/bin/tessal");
    const auto decoded = UpdateInstaller::decodeRequest(request);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->configuration.releasePublicKey, configuration_.releasePublicKey);
    EXPECT_EQ(decoded->release.sha256, release.sha256);
    EXPECT_EQ(decoded->release.size, release.size);
    EXPECT_EQ(decoded->installed, installed_);
    EXPECT_FALSE(UpdateInstaller::decodeRequest("[]"));
}

TEST_F(AppUpdaterTest, StagedModesAreTheUsersWhateverTheArchiveSays) {
    std::vector<TarEntry> entries = candidate(keyA_);
    for (TarEntry& e : entries) e.mode |= 0022;
    const auto prepared = prepare(serve(entries));
    ASSERT_TRUE(prepared) << prepared.error().message.toStdString();
    const QString staged = prepared.value().stagedBundle();
    QStringList paths{staged};
    QDirIterator it(staged, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) paths << it.next();
    EXPECT_GT(paths.size(), 5);
    for (const QString& path : paths) {
        struct stat st;
        ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0022, 0u) << path.toStdString();
    }
    struct stat root;
    ASSERT_EQ(stat(QFile::encodeName(staged).constData(), &root), 0);
    EXPECT_EQ(root.st_mode & 07777, 0755u);
}

TEST_F(AppUpdaterTest, TheSignatureCoversTheBundleFolderAndListsFromBeforeOnlyAtTheReleaseMode) {
    const QByteArray key = BundleSignature::publicKey(keyA_);
    const auto setMode = [&](int mode) { chmod(QFile::encodeName(installed_).constData(), mode); };
    // At the release mode the list has the form copies from before the folder's own line read,
    // and that form stands for 0755 alone.
    setMode(0755);
    ASSERT_FALSE(BundleSignature::sign(installed_, keyA_));
    ASSERT_TRUE(BundleSignature::verify(installed_, key));
    EXPECT_FALSE(readAll(installed_ + "/signature/files").contains(" .\n"));
    for (int mode : {0700, 0775, 0777}) {
        setMode(mode);
        EXPECT_FALSE(BundleSignature::verify(installed_, key)) << std::oct << mode;
        // The installed copy only has to be the one the key signed, whatever became of its modes.
        EXPECT_TRUE(BundleSignature::verify(installed_, key, BundleSignature::Check::identity))
            << std::oct << mode;
    }
    chmod(QFile::encodeName(installed_ + "/signature/files").constData(), 0664);
    EXPECT_TRUE(BundleSignature::verify(installed_, key, BundleSignature::Check::identity));
    writeFile(installed_ + "/signature/extra", "x");
    EXPECT_FALSE(BundleSignature::verify(installed_, key, BundleSignature::Check::identity));
    QFile::remove(installed_ + "/signature/extra");
    chmod(QFile::encodeName(installed_ + "/signature/files").constData(), 0644);
    // Any other mode is signed in a line of its own.
    setMode(0700);
    ASSERT_FALSE(BundleSignature::sign(installed_, keyA_));
    EXPECT_TRUE(readAll(installed_ + "/signature/files").startsWith("dir 0700 - .\n"));
    EXPECT_TRUE(BundleSignature::verify(installed_, key));
    for (int mode : {0755, 0775, 0777}) {
        setMode(mode);
        EXPECT_FALSE(BundleSignature::verify(installed_, key)) << std::oct << mode;
    }
    setMode(0755);
    ASSERT_FALSE(BundleSignature::sign(installed_, keyA_));
    setMode(0755);
    writeFile(installed_ + "/signature-extra", "x");
    EXPECT_FALSE(BundleSignature::verify(installed_, key)) << "signature-extra";
    QFile::remove(installed_ + "/signature-extra");
    writeFile(installed_ + "/signature/extra", "x");
    EXPECT_FALSE(BundleSignature::verify(installed_, key)) << "signature/extra";
    QFile::remove(installed_ + "/signature/extra");
    chmod(QFile::encodeName(installed_ + "/signature/files").constData(), 0666);
    EXPECT_FALSE(BundleSignature::verify(installed_, key)) << "list writable by others";
    chmod(QFile::encodeName(installed_ + "/signature/files").constData(), 0644);
    EXPECT_TRUE(BundleSignature::verify(installed_, key));
}

// The installer script on its own, in folders with awkward names and with moves that fail.
class InstallUpdateScriptTest : public ::testing::Test {
  protected:
    struct Run {
        int exit = -1;
        QString report;
    };

    void layOut(const QString& name) {
        base_ = dir_.path() + QLatin1Char('/') + name;
        opt_ = base_ + QStringLiteral("/opt");
        installed_ = opt_ + QStringLiteral("/Tessal.bundle");
        staging_ = opt_ + QStringLiteral("/.morrin-update-") +
                   QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        staged_ = staging_ + QStringLiteral("/Update.bundle");
        result_ = base_ + QStringLiteral("/UpdateResult.txt");
        writeFile(installed_ + QStringLiteral("/manifest.json"), "{}");
        writeFile(installed_ + QStringLiteral("/notes.txt"), "old");
        writeFile(staged_ + QStringLiteral("/manifest.json"), "{}");
        writeFile(staged_ + QStringLiteral("/notes.txt"), "new");
    }

    // `fail`: the numbers of the `mv` calls that fail; `reappear`: before that call, a folder
    // with something in it appears at the install path.
    Run run(const QList<int>& fail = {}, int reappear = 0) {
        const QString shims = dir_.path() + QStringLiteral("/shims");
        QDir().mkpath(shims);
        QFile::remove(shims + QStringLiteral("/count"));
        const QString realMove = QStandardPaths::findExecutable(QStringLiteral("mv"));
        writeFile(shims + QStringLiteral("/mv"),
                  "#!/bin/sh\n"
                  "n=$(cat \"$SHIMS/count\" 2>/dev/null || echo 0); n=$((n + 1))\n"
                  "echo $n > \"$SHIMS/count\"\n"
                  "case \" $FAIL \" in *\" $n \"*) exit 1 ;; esac\n"
                  "if [ \"$n\" = \"$REAPPEAR\" ]; then mkdir -p \"$INSTALLED/stray\"; fi\n"
                  "exec " +
                      realMove.toUtf8() + " \"$@\"\n",
                  0755);
        QStringList failing;
        for (int n : fail) failing << QString::number(n);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", shims + ":" + environment.value("PATH"));
        environment.insert("SHIMS", shims);
        environment.insert("FAIL", failing.join(' '));
        environment.insert("REAPPEAR", QString::number(reappear));
        environment.insert("INSTALLED", installed_);
        QProcess ended;
        ended.start(QStringLiteral("true"));
        ended.waitForFinished();
        QProcess script;
        script.setProcessEnvironment(environment);
        script.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral(TESSAL_SOURCE_DIR "/resources/InstallUpdate.sh"),
                      QString::number(ended.processId() > 0 ? ended.processId() : 999'999),
                      installed_, staged_, staging_, result_});
        Run r;
        if (script.waitForFinished(20'000)) r.exit = script.exitCode();
        r.report = QString::fromUtf8(readAll(result_));
        return r;
    }
    QByteArray notes(const QString& bundle) const { return readAll(bundle + "/notes.txt"); }

    QTemporaryDir dir_;
    QString base_, opt_, installed_, staging_, staged_, result_;
};

TEST_F(InstallUpdateScriptTest, ReplacesTheBundleWhateverItsPathHolds) {
    for (const QString& name :
         {QStringLiteral("plain"), QStringLiteral("with space"), QStringLiteral("-leading-dash"),
          QStringLiteral("new\nline"), QStringLiteral("-n \"q\" $x `y` %z\\")}) {
        layOut(name);
        const Run r = run();
        EXPECT_EQ(r.exit, 0) << name.toStdString();
        EXPECT_EQ(r.report, "success\n" + staging_) << name.toStdString();
        EXPECT_EQ(notes(installed_), "new") << name.toStdString();
        EXPECT_EQ(notes(staging_ + "/Previous.bundle"), "old") << name.toStdString();
        EXPECT_FALSE(QFileInfo::exists(staged_)) << name.toStdString();
    }
}

TEST_F(InstallUpdateScriptTest, AFailedMoveIsReportedAsWhatHappened) {
    layOut(QStringLiteral("-a b\nc"));
    const QString previous = staging_ + "/Previous.bundle";
    const QString restored = QStringLiteral("无法放入新版本（%1），已恢复原应用。").arg(installed_);

    Run r = run({1});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.report, QStringLiteral("无法移开原应用（%1），更新未安装。").arg(installed_));
    EXPECT_EQ(notes(installed_), "old");
    EXPECT_EQ(notes(staged_), "new");

    r = run({2});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.report, restored);
    EXPECT_EQ(notes(installed_), "old");
    EXPECT_EQ(notes(staged_), "new");

    // The old copy cannot be put back either: said so, and where it is.
    r = run({2, 3});
    EXPECT_EQ(r.exit, 1);
    EXPECT_FALSE(r.report.contains(QStringLiteral("已恢复原应用"))) << r.report.toStdString();
    EXPECT_TRUE(r.report.contains(previous)) << r.report.toStdString();
    EXPECT_EQ(notes(previous), "old");
    EXPECT_FALSE(QFileInfo::exists(installed_));
    QDir().rename(previous, installed_);

    // Something took the install path between the two moves: the new copy does not go inside.
    r = run({}, 2);
    EXPECT_EQ(r.exit, 1);
    EXPECT_FALSE(r.report.startsWith(QStringLiteral("success"))) << r.report.toStdString();
    EXPECT_FALSE(r.report.contains(QStringLiteral("已恢复原应用"))) << r.report.toStdString();
    EXPECT_FALSE(QFileInfo::exists(installed_ + "/Update.bundle"));
    EXPECT_FALSE(QFileInfo::exists(installed_ + "/Previous.bundle"));
    EXPECT_EQ(notes(staged_), "new");
    EXPECT_EQ(notes(previous), "old");
}

TEST(SafeExtraction, StripsSpecialBitsAndKeepsItsBounds) {
    QTemporaryDir dir;
    const QString archive = dir.path() + QStringLiteral("/a.tar.gz");
    ASSERT_TRUE(test::writeTar(archive, {{"b", TarEntry::Type::folder, 0755, {}, {}},
                                         {"b/run", TarEntry::Type::file, 04755, "#!/bin/sh\n", {}},
                                         {"b/group", TarEntry::Type::file, 02644, "x", {}},
                                         {"b/lib.so", TarEntry::Type::link, 0777, {}, "run"},
                                         {"./b/./c", TarEntry::Type::file, 0600, "c", {}}}));
    ASSERT_FALSE(SafeExtraction().extract(archive, dir.path() + QStringLiteral("/out")));
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(dir.path() + QStringLiteral("/out/b/run")).constData(), &st),
              0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat(QFile::encodeName(dir.path() + QStringLiteral("/out/b/group")).constData(), &st),
              0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(QFile::symLinkTarget(dir.path() + QStringLiteral("/out/b/lib.so")),
              dir.path() + QStringLiteral("/out/b/run"));
    EXPECT_EQ(readAll(dir.path() + QStringLiteral("/out/b/c")), "c");

    SafeExtraction small;
    small.maximumEntries = 3;
    EXPECT_TRUE(small.extract(archive, dir.path() + QStringLiteral("/few")));
    small = SafeExtraction();
    small.maximumTotalBytes = 11;
    EXPECT_TRUE(small.extract(archive, dir.path() + QStringLiteral("/small")));
    // A link that climbs, even one that would land inside, is refused.
    ASSERT_TRUE(test::writeTar(archive, {{"b", TarEntry::Type::folder, 0755, {}, {}},
                                         {"b/up", TarEntry::Type::link, 0777, {}, "../b"}}));
    EXPECT_TRUE(SafeExtraction().extract(archive, dir.path() + QStringLiteral("/climb")));
    writeFile(archive, QByteArray(4096, 'z'));
    EXPECT_TRUE(SafeExtraction().extract(archive, dir.path() + QStringLiteral("/junk")));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
