#include "WorkerTextRecognizer.h"

#include "OcrProtocol.h"
#include "base/HelperPrograms.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace tessal {
namespace {

constexpr const char* kDomain = "Ostrel";
// How often a wait looks at the caller's cancel flag: a worker killed by a cancel may leave a
// child of its own holding the pipes open.
constexpr int kCancelPollMilliseconds = 50;

UserError failure(const QString& reason) {
    return {kDomain, 21, reason};
}

// The worker loads no translations: it answers with the source text, translated here.
QString workerMessage(const QByteArray& source) {
    return QCoreApplication::translate("OcrWorker", source.constData());
}

bool isSet(const std::atomic<bool>* flag) {
    return flag && flag->load();
}

}  // namespace

// A worker process. Only its reaper reaps it, and a kill is sent only while the reaper has not:
// a signal never reaches another process that was given the same id.
struct WorkerTextRecognizer::Child {
    pid_t pid = 0;
    std::mutex mutex;
    bool reaped = false;
    std::atomic<bool> exited{false};
    std::atomic<bool> stopping{false};  // the client is stopping it and closes the pipes itself

    // The worker leads a process group of its own: whatever it started goes with it, and no
    // pipe of ours stays open in a process left behind.
    void kill() {
        std::lock_guard lock(mutex);
        if (!reaped) ::kill(-pid, SIGKILL);
    }
};

WorkerTextRecognizer::WorkerTextRecognizer(QString worker, std::chrono::milliseconds deadline)
    : worker_(std::move(worker)), deadline_(deadline) {}

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

void WorkerTextRecognizer::prepare() {
    // A request holding the lock has its worker already; never wait for it.
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    QString error;
    bool reused = false;
    ensureRunning(&error, &reused);
}

pid_t WorkerTextRecognizer::workerPid() const {
    std::lock_guard lock(state_);
    return running_ && !running_->exited ? running_->pid : 0;
}

void WorkerTextRecognizer::closeDescriptors() {
    if (toWorker_ >= 0) ::close(toWorker_);
    if (fromWorker_ >= 0) ::close(fromWorker_);
    toWorker_ = fromWorker_ = -1;
    buffered_.clear();
}

void WorkerTextRecognizer::stop() {
    if (child_) {
        child_->stopping = true;
        child_->kill();
    }
    if (reaper_.joinable()) reaper_.join();
    closeDescriptors();
    child_.reset();
    std::lock_guard lock(state_);
    running_.reset();
}

bool WorkerTextRecognizer::ensureRunning(QString* error, bool* reused) {
    *reused = false;
    if (child_ && !child_->exited) {
        *reused = true;
        return true;
    }
    // It ends itself after a minute of idling; then it is started again.
    stop();
    if (worker_.isEmpty() || !QFileInfo(worker_).isExecutable()) {
        *error = QCoreApplication::translate("WorkerTextRecognizer", "未安装文字识别组件");
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
    // The worker gets the default SIGPIPE back (this process ignores it).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    const int spawned = posix_spawn(&pid, path.constData(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        *error = QCoreApplication::translate("WorkerTextRecognizer", "无法启动识别进程：%1")
                     .arg(QString::fromLocal8Bit(strerror(spawned)));
        return false;
    }
    // Our ends wait in poll, never in read or write, so that a deadline and a cancel hold.
    fcntl(in[1], F_SETFL, fcntl(in[1], F_GETFL) | O_NONBLOCK);
    fcntl(out[0], F_SETFL, fcntl(out[0], F_GETFL) | O_NONBLOCK);
    toWorker_ = in[1];
    fromWorker_ = out[0];
    auto child = std::make_shared<Child>();
    child->pid = pid;
    child_ = child;
    {
        std::lock_guard lock(state_);
        running_ = child;
    }
    // The worker is reaped as soon as it ends (at its idle exit too), and its pipes closed once
    // no request is using them.
    reaper_ = std::thread([this, child] {
        siginfo_t info{};
        while (waitid(P_PID, id_t(child->pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
        }
        {
            std::lock_guard lock(child->mutex);
            ::waitpid(child->pid, nullptr, 0);
            child->reaped = true;
        }
        child->exited = true;
        // Never waits for the request lock: stop() holds it while it joins this thread.
        while (!child->stopping) {
            std::unique_lock lock(mutex_, std::try_to_lock);
            if (lock.owns_lock()) {
                if (child_ == child) closeDescriptors();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    return true;
}

WorkerTextRecognizer::Outcome WorkerTextRecognizer::wait(
    int fd, short events, const std::atomic<bool>* cancelled,
    std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (isSet(cancelled)) return Outcome::cancelled;
        if (fd < 0) return Outcome::lost;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return Outcome::late;
        pollfd p{fd, events, 0};
        const int n =
            ::poll(&p, 1, int(std::min<long long>(left.count(), kCancelPollMilliseconds)));
        if (n < 0 && errno != EINTR) return Outcome::lost;
        if (n > 0) return Outcome::answered;
    }
}

WorkerTextRecognizer::Outcome WorkerTextRecognizer::send(
    const char* data, qsizetype size, const std::atomic<bool>* cancelled,
    std::chrono::steady_clock::time_point deadline) {
    while (size > 0) {
        const ssize_t n = ::write(toWorker_, data, std::size_t(size));
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return Outcome::lost;
        if (const Outcome o = wait(toWorker_, POLLOUT, cancelled, deadline); o != Outcome::answered)
            return o;
    }
    return Outcome::answered;
}

WorkerTextRecognizer::Outcome WorkerTextRecognizer::readLine(
    QByteArray* line, const std::atomic<bool>* cancelled,
    std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const qsizetype end = buffered_.indexOf('\n');
        if (end >= 0) {
            if (end > OcrProtocol::maximumLineBytes) return Outcome::unreadable;
            *line = buffered_.left(end);
            buffered_.remove(0, end + 1);
            return Outcome::answered;
        }
        if (buffered_.size() > OcrProtocol::maximumLineBytes) return Outcome::unreadable;
        char chunk[4096];
        const ssize_t n = ::read(fromWorker_, chunk, sizeof chunk);
        if (n > 0) {
            buffered_.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) return Outcome::lost;
        if (const Outcome o = wait(fromWorker_, POLLIN, cancelled, deadline);
            o != Outcome::answered)
            return o;
    }
}

WorkerTextRecognizer::Outcome WorkerTextRecognizer::exchange(const QByteArray& request,
                                                             const QByteArray& expected,
                                                             const QImage* image,
                                                             const std::atomic<bool>* cancelled,
                                                             std::vector<QByteArray>* reply) {
    const auto deadline = std::chrono::steady_clock::now() + deadline_;
    Outcome o = send(request.constData(), request.size(), cancelled, deadline);
    for (int y = 0; image && o == Outcome::answered && y < image->height(); ++y)
        o = send(reinterpret_cast<const char*>(image->constScanLine(y)), image->width() * 4,
                 cancelled, deadline);
    QByteArray line;
    if (o == Outcome::answered) o = readLine(&line, cancelled, deadline);
    if (o != Outcome::answered) return o;
    reply->push_back(line);
    // The worker's own error keeps it; anything else than the reply asked for is nonsense.
    if (line.startsWith("error ")) return Outcome::answered;
    if (!line.startsWith(expected)) return Outcome::unreadable;
    if (!line.startsWith("lines ")) return Outcome::answered;
    bool ok = false;
    const int count = line.mid(6).toInt(&ok);
    if (!ok || count < 0 || count > OcrProtocol::maximumLines) return Outcome::unreadable;
    for (int i = 0; i < count; ++i) {
        if (const Outcome read = readLine(&line, cancelled, deadline); read != Outcome::answered)
            return read;
        if (!OcrProtocol::parseLine(line)) return Outcome::unreadable;
        reply->push_back(line);
    }
    return Outcome::answered;
}

Result<std::vector<QByteArray>> WorkerTextRecognizer::ask(const QByteArray& request,
                                                          const QByteArray& expected,
                                                          const QImage* image,
                                                          const std::atomic<bool>* cancelled) {
    std::lock_guard lock(mutex_);
    for (int attempt = 0;; ++attempt) {
        if (isSet(cancelled)) return recognitionCancelled();
        QString error;
        bool reused = false;
        if (!ensureRunning(&error, &reused)) return UserError{kDomain, 20, error};
        {
            std::lock_guard state(state_);
            runningFlag_ = cancelled;
        }
        std::vector<QByteArray> reply;
        Outcome o = exchange(request, expected, image, cancelled, &reply);
        {
            std::lock_guard state(state_);
            runningFlag_ = nullptr;
        }
        if (isSet(cancelled)) o = Outcome::cancelled;
        if (o == Outcome::answered) return reply;
        stop();
        switch (o) {
            case Outcome::cancelled:
                return recognitionCancelled();
            case Outcome::late:
                return failure(
                    QCoreApplication::translate("WorkerTextRecognizer", "识别进程没有回应"));
            case Outcome::unreadable:
                return failure(
                    QCoreApplication::translate("WorkerTextRecognizer", "识别进程的回答无法读取"));
            default:
                // A worker that was already running may have reached its idle exit just as the
                // request came: a fresh one is asked once more.
                if (reused && attempt == 0) continue;
                return failure(
                    QCoreApplication::translate("WorkerTextRecognizer", "识别进程意外退出"));
        }
    }
}

Result<QStringList> WorkerTextRecognizer::supportedLanguages(const std::atomic<bool>* cancelled) {
    const Result<std::vector<QByteArray>> reply =
        ask("languages\n", "languages", nullptr, cancelled);
    if (!reply) return reply.error();
    const QByteArray& line = reply.value().front();
    if (line.startsWith("error ")) return failure(workerMessage(line.mid(6)));
    QStringList languages = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    languages.removeFirst();
    return languages;
}

Result<std::vector<RecognizedLine>> WorkerTextRecognizer::linesOf(
    const char* verb, const QImage& source, const std::atomic<bool>* cancelled) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return std::vector<RecognizedLine>{};
    const QByteArray request = verb + (' ' + QByteArray::number(image.width())) + ' ' +
                               QByteArray::number(image.height()) + '\n';
    const Result<std::vector<QByteArray>> reply = ask(request, "lines ", &image, cancelled);
    if (!reply) return reply.error();
    const QByteArray& first = reply.value().front();
    if (first.startsWith("error ")) return failure(workerMessage(first.mid(6)));
    std::vector<RecognizedLine> lines;
    for (std::size_t i = 1; i < reply.value().size(); ++i)
        if (std::optional<RecognizedLine> line = OcrProtocol::parseLine(reply.value()[i]))
            lines.push_back(std::move(*line));
    return lines;
}

Result<std::vector<RecognizedLine>> WorkerTextRecognizer::recognize(
    const QImage& image, const QStringList&, const std::atomic<bool>* cancelled) {
    return linesOf("recognize", image, cancelled);
}

Result<std::vector<RecognizedLine>> WorkerTextRecognizer::codes(
    const QImage& image, const std::atomic<bool>* cancelled) {
    return linesOf("codes", image, cancelled);
}

void WorkerTextRecognizer::cancel(const std::atomic<bool>* cancelled) {
    if (!cancelled) return;
    std::lock_guard lock(state_);
    if (running_ && runningFlag_ == cancelled) running_->kill();
}

}  // namespace tessal
