#include "WorkerTextRecognizer.h"

#include "base/HelperPrograms.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace tessal {
namespace {

constexpr const char* kDomain = "Ostrel";

}  // namespace

WorkerTextRecognizer::WorkerTextRecognizer(QString worker) : worker_(std::move(worker)) {}

WorkerTextRecognizer::~WorkerTextRecognizer() {
    std::lock_guard lock(mutex_);
    stop();
}

QString WorkerTextRecognizer::defaultWorkerPath() {
#ifdef TESSAL_OCR_WORKER
    return helperProgram(QStringLiteral("tessal-ocr-worker"), QStringLiteral(TESSAL_OCR_WORKER));
#else
    return helperProgram(QStringLiteral("tessal-ocr-worker"));
#endif
}

UserError WorkerTextRecognizer::failure(const QString& reason) const {
    return {kDomain, 21, reason};
}

void WorkerTextRecognizer::stop() {
    if (toWorker_ >= 0) ::close(toWorker_);
    if (fromWorker_ >= 0) ::close(fromWorker_);
    toWorker_ = fromWorker_ = -1;
    buffered_.clear();
    if (const pid_t pid = pid_.exchange(0); pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

bool WorkerTextRecognizer::ensureRunning(QString* error) {
    if (const pid_t pid = pid_.load(); pid > 0) {
        // It ends itself after a minute of idling; then it is started again.
        if (::waitpid(pid, nullptr, WNOHANG) == 0) return true;
        pid_ = 0;
        stop();
    }
    if (worker_.isEmpty() || !QFileInfo(worker_).isExecutable()) {
        *error = QStringLiteral("未安装文字识别组件");
        return false;
    }
    // A worker that ends between two requests must not take us with it.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);

    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return *error = QString::fromLocal8Bit(strerror(errno)), false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return *error = QString::fromLocal8Bit(strerror(errno)), false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const QByteArray path = worker_.toLocal8Bit();
    char* argv[] = {const_cast<char*>(path.constData()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        *error =
            QStringLiteral("无法启动识别进程：%1").arg(QString::fromLocal8Bit(strerror(spawned)));
        return false;
    }
    pid_ = pid;
    toWorker_ = in[1];
    fromWorker_ = out[0];
    return true;
}

bool WorkerTextRecognizer::send(const QByteArray& data) {
    const char* at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(toWorker_, at, std::size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        left -= n;
    }
    return true;
}

bool WorkerTextRecognizer::readLine(QByteArray* line) {
    for (;;) {
        const qsizetype end = buffered_.indexOf('\n');
        if (end >= 0) {
            *line = buffered_.left(end);
            buffered_.remove(0, end + 1);
            return true;
        }
        char chunk[4096];
        const ssize_t n = ::read(fromWorker_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffered_.append(chunk, n);
    }
}

Result<QStringList> WorkerTextRecognizer::supportedLanguages() {
    std::lock_guard lock(mutex_);
    cancelled_ = false;
    QString error;
    if (!ensureRunning(&error)) return UserError{kDomain, 20, error};
    QByteArray line;
    if (!send("languages\n") || !readLine(&line)) {
        stop();
        return failure(QStringLiteral("识别进程意外退出"));
    }
    if (line.startsWith("error ")) return failure(QString::fromUtf8(line.mid(6)));
    QStringList languages = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!languages.isEmpty()) languages.removeFirst();
    return languages;
}

Result<std::vector<RecognizedLine>> WorkerTextRecognizer::recognize(const QImage& source,
                                                                    const QStringList&) {
    std::lock_guard lock(mutex_);
    cancelled_ = false;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return std::vector<RecognizedLine>{};
    QString error;
    if (!ensureRunning(&error)) return UserError{kDomain, 20, error};
    QByteArray request = "recognize " + QByteArray::number(image.width()) + ' ' +
                         QByteArray::number(image.height()) + '\n';
    bool sent = send(request);
    for (int y = 0; sent && y < image.height(); ++y)
        sent = send(QByteArray::fromRawData(reinterpret_cast<const char*>(image.constScanLine(y)),
                                            image.width() * 4));
    QByteArray line;
    if (!sent || !readLine(&line)) {
        stop();
        if (cancelled_) return UserError{kDomain, 22, QStringLiteral("已取消")};
        return failure(QStringLiteral("识别进程意外退出"));
    }
    if (line.startsWith("error ")) return failure(QString::fromUtf8(line.mid(6)));
    bool ok = false;
    const int count = line.startsWith("lines ") ? line.mid(6).toInt(&ok) : 0;
    if (!ok || count < 0) {
        stop();
        return failure(QStringLiteral("识别进程的回答无法读取"));
    }
    std::vector<RecognizedLine> lines;
    for (int i = 0; i < count; ++i) {
        if (!readLine(&line)) {
            stop();
            if (cancelled_) return UserError{kDomain, 22, QStringLiteral("已取消")};
            return failure(QStringLiteral("识别进程意外退出"));
        }
        const qsizetype tab = line.indexOf('\t');
        const QList<QByteArray> numbers = line.left(tab).split(' ');
        if (tab < 0 || numbers.size() != 4) continue;
        lines.push_back({QString::fromUtf8(line.mid(tab + 1)),
                         QRectF(numbers[0].toDouble(), numbers[1].toDouble(), numbers[2].toDouble(),
                                numbers[3].toDouble())});
    }
    return lines;
}

void WorkerTextRecognizer::cancel() {
    cancelled_ = true;
    if (const pid_t pid = pid_.load(); pid > 0) ::kill(pid, SIGKILL);
}

}  // namespace tessal
