#pragma once

#include <sys/types.h>

#include <atomic>
#include <mutex>

#include "platform/TextRecognizer.h"

namespace tessal {

// Recognition in our worker process (tessal-ocr-worker), started on the first request and left
// to end itself after a minute without one; the resident program never loads the models. A
// crash becomes an error, and cancelling kills the worker at once.
class WorkerTextRecognizer final : public TextRecognizer {
  public:
    // `worker`: the worker's path; empty or missing = recognition not installed.
    explicit WorkerTextRecognizer(QString worker);
    ~WorkerTextRecognizer() override;

    Result<QStringList> supportedLanguages() override;
    Result<std::vector<RecognizedLine>> recognize(const QImage& image,
                                                  const QStringList& languages) override;
    void cancel() override;

    // The running worker's process id, 0 when none runs (for measurements).
    pid_t workerPid() const { return pid_.load(); }

    // Where the worker is looked for: beside the program, then the build's own.
    static QString defaultWorkerPath();

  private:
    bool ensureRunning(QString* error);
    void stop();
    bool send(const QByteArray& data);
    bool readLine(QByteArray* line);
    UserError failure(const QString& reason) const;

    QString worker_;
    std::mutex mutex_;  // one request at a time
    std::atomic<pid_t> pid_{0};
    int toWorker_ = -1;
    int fromWorker_ = -1;
    QByteArray buffered_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace tessal
