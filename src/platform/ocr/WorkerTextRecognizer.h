#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/TextRecognizer.h"

namespace tessal {

// Recognition in our worker process (tessal-ocr-worker), started on the first request and left
// to end itself after a minute without one; the resident program never loads the models. A
// worker that ends is reaped at once; a crash, a hang past the deadline or a reply that is not
// one becomes an error; cancelling a request kills the worker only while that request runs.
class WorkerTextRecognizer final : public TextRecognizer {
  public:
    // How long a request may take, from its first byte to its last reply line.
    static constexpr std::chrono::milliseconds standardDeadline{120'000};

    // `worker`: the worker's path; empty or missing = recognition not installed.
    explicit WorkerTextRecognizer(QString worker,
                                  std::chrono::milliseconds deadline = standardDeadline);
    ~WorkerTextRecognizer() override;

    Result<QStringList> supportedLanguages(const std::atomic<bool>* cancelled) override;
    Result<std::vector<RecognizedLine>> recognize(const QImage& image, const QStringList& languages,
                                                  const std::atomic<bool>* cancelled) override;
    Result<std::vector<RecognizedLine>> codes(const QImage& image,
                                              const std::atomic<bool>* cancelled) override;
    void cancel(const std::atomic<bool>* cancelled) override;
    // Starts the worker unless one runs; it loads its models while the caller goes on (the
    // recognition bench's "first request after the worker started").
    void prepare();

    // The running worker's process id, 0 when none runs (for measurements and tests).
    pid_t workerPid() const;

    // Where the worker is looked for: beside the program, then the build's own.
    static QString defaultWorkerPath();

  private:
    struct Child;
    enum class Outcome { answered, lost, unreadable, late, cancelled };

    // One request with its reply lines ("lines N" and the N after it); a worker met at its idle
    // exit is replaced and asked again, once.
    // `expected`: how the reply's first line starts (else it is "error …" or nonsense).
    Result<std::vector<QByteArray>> ask(const QByteArray& request, const QByteArray& expected,
                                        const QImage* image, const std::atomic<bool>* cancelled);
    // The reply lines to `verb` ("recognize", "codes") on one image.
    Result<std::vector<RecognizedLine>> linesOf(const char* verb, const QImage& image,
                                                const std::atomic<bool>* cancelled);
    Outcome exchange(const QByteArray& request, const QByteArray& expected, const QImage* image,
                     const std::atomic<bool>* cancelled, std::vector<QByteArray>* reply);
    bool ensureRunning(QString* error, bool* reused);
    void stop();
    void closeDescriptors();
    Outcome send(const char* data, qsizetype size, const std::atomic<bool>* cancelled,
                 std::chrono::steady_clock::time_point deadline);
    Outcome readLine(QByteArray* line, const std::atomic<bool>* cancelled,
                     std::chrono::steady_clock::time_point deadline);
    Outcome wait(int fd, short events, const std::atomic<bool>* cancelled,
                 std::chrono::steady_clock::time_point deadline);

    QString worker_;
    std::chrono::milliseconds deadline_;
    std::mutex mutex_;  // one request at a time; guards what follows up to `state_`
    std::shared_ptr<Child> child_;
    std::thread reaper_;
    int toWorker_ = -1;
    int fromWorker_ = -1;
    QByteArray buffered_;
    mutable std::mutex state_;  // guards the two below, read by cancel() and workerPid()
    std::shared_ptr<Child> running_;
    const std::atomic<bool>* runningFlag_ = nullptr;
};

}  // namespace tessal
