// Prepares a 30 MB release from an HTTPS server on the loopback, as the updater does for the
// user: download streamed to disk, size and digest, extraction, signature checks twice, copy.
// Prints the time of each run and the peak memory of the process during preparation.
// Needs port 443: run it in a network namespace of its own (bench/run.sh does).
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "services/AppUpdater.h"
#include "services/BundleFiles.h"
#include "services/BundleSignature.h"
#include "support/LoopbackHttpsServer.h"

using namespace tessal;

namespace {

double statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ')[0].toDouble();
    return 0;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

void makeBundle(const QString& root, const QString& version, const QByteArray& key,
                qint64 payload) {
    QDir().mkpath(root + QStringLiteral("/bin"));
    QDir().mkpath(root + QStringLiteral("/share/tessal"));
    QFile manifest(root + QStringLiteral("/manifest.json"));
    manifest.open(QIODevice::WriteOnly);
    manifest.write(QJsonDocument(QJsonObject{{"identifier", "local.ostrel"},
                                             {"version", version},
                                             {"executable", "tessal"}})
                       .toJson());
    manifest.close();
    QFile::copy(QCoreApplication::applicationFilePath(), root + QStringLiteral("/bin/tessal"));
    QFile data(root + QStringLiteral("/share/tessal/payload.bin"));
    data.open(QIODevice::WriteOnly);
    QByteArray block(1 << 20, 0);
    for (qint64 written = 0; written < payload; written += block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                              block.size() / 4);
        data.write(block.left(int(std::min<qint64>(block.size(), payload - written))));
    }
    data.close();
    BundleSignature::sign(root, key);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    test::LoopbackHttpsServer server(dir.path());
    if (!server.listen(443)) {
        std::fprintf(stderr, "cannot serve on 443: %s\n", qPrintable(server.error()));
        return 1;
    }
    const QByteArray key = BundleSignature::generatePrivateKey();
    const QString opt = dir.path() + QStringLiteral("/opt");
    const QString installed = opt + QStringLiteral("/Tessal.bundle");
    makeBundle(installed, QStringLiteral("0.7.1"), key, 1 << 20);
    makeBundle(dir.path() + QStringLiteral("/release/Tessal.bundle"), QStringLiteral("0.7.2"), key,
               30 << 20);
    const QString archive = dir.path() + QStringLiteral("/release.tar.gz");
    QProcess::execute(QStringLiteral("tar"),
                      {"-C", dir.path() + "/release", "-czf", archive, "Tessal.bundle"});

    UpdateConfiguration configuration;
    configuration.cdnHost = QStringLiteral("localhost");
    configuration.architecture =
        BundleFiles::elfArchitecture(QCoreApplication::applicationFilePath());
    configuration.releasePublicKey = BundleSignature::publicKey(key);
    const AppRelease release = test::releaseOf(configuration, archive);
    server.answer(release.downloadURL.path(), {200, {}, archive, {}, -1});

    std::vector<double> seconds;
    double peak = 0;
    const double baseline = statusKiB("VmRSS:");
    for (int run = 0; run < 5; ++run) {
        resetPeak();
        QElapsedTimer timer;
        timer.start();
        std::optional<Result<PreparedUpdate>> result;
        QEventLoop loop;
        QThread* thread = QThread::create([&] {
            result = AppUpdater(configuration)
                         .prepare(release, installed, installed + QStringLiteral("/bin/tessal"));
        });
        QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        loop.exec();
        thread->wait();
        delete thread;
        seconds.push_back(timer.elapsed() / 1000.0);
        peak = std::max(peak, statusKiB("VmHWM:"));
        if (!*result) {
            std::fprintf(stderr, "prepare failed: %s\n", qPrintable(result->error().message));
            return 1;
        }
        QDir(result->value().directory).removeRecursively();
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    std::printf("prepare of a %.1f MB release (30 MiB payload) over HTTPS on the loopback:\n",
                release.size / 1e6);
    std::printf("  median %.2f s, runs:", sorted[sorted.size() / 2]);
    for (double s : seconds) std::printf(" %.2f", s);
    std::printf("\n  peak RSS during preparation %.1f MiB (before: %.1f MiB)\n", peak / 1024,
                baseline / 1024);
    return 0;
}
