// What takes a long capture's result out of it: copy, edit, pin, save, and the trim dialog.
// Each first brings the capture to rest and lets the loop stitch every frame already received.
// A result may be 24 megapixels: its PNG is made on the PNG worker, never on the main thread.
#include <QCoreApplication>
#include <QLabel>

#include "LongCaptureControlWindow.h"
#include "LongFrameStream.h"
#include "LongScreenshot.h"
#include "annotation/ScreenshotExport.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "imaging/PngEncoder.h"
#include "tools/SaveDestination.h"
#include "tools/ScreenshotHistory.h"

namespace tessal {
namespace {

constexpr double kIdlePoll = 0.01;

}  // namespace

std::optional<LongCaptureCrop> LongScreenshot::parseTrim(const QString& leading,
                                                         const QString& trailing, int height) {
    bool leadingOk = false, trailingOk = false;
    const int l = leading.trimmed().toInt(&leadingOk);
    const int t = trailing.trimmed().toInt(&trailingOk);
    if (!leadingOk || !trailingOk || l < 0 || t < 0 || l >= height || t >= height - l)
        return std::nullopt;
    return LongCaptureCrop{l, t};
}

void LongScreenshot::waitForIdle(std::function<void()> then) {
    if (closed_ || (!processing_ && (!frameStream_ || frameStream_->queued() == 0))) {
        then();
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.after(kIdlePoll, [this, alive, then = std::move(then)]() mutable {
        if (!alive.expired()) waitForIdle(std::move(then));
    });
}

void LongScreenshot::readResult(std::function<void(const QImage&)> then) {
    if (frameStream_) frameStream_->flush();
    waitForIdle([this, then = std::move(then)] {
        QImage image;
        if (!closed_ && stitcher_)
            image = restoreAxis(axis_, cropEdges_.apply(stitcher_->image(false)));
        if (image.isNull()) {
            showStatus(QCoreApplication::translate("LongScreenshotExport",
                                                   "还没有可导出的画面，请稍候。"));
            if (!closed_) keys_.start();
            return;
        }
        then(image);
    });
}

bool LongScreenshot::prepareExport() {
    if (closed_ || encoding_) return false;
    if (!stitcher_) {
        showStatus(QCoreApplication::translate("LongScreenshotExport", "正在准备画面，请稍候。"));
        return false;
    }
    setPaused(true);
    keys_.stop();
    return true;
}

void LongScreenshot::copyCurrent() {
    if (!prepareExport()) return;
    readResult([this](const QImage& image) {
        const auto outcome =
            ScreenshotExport::copy([image] { return image; }, env_.pasteboard, env_.defaults,
                                   env_.mainQueue, env_.history, env_.showError);
        // A refused clipboard leaves the capture paused, as it was, without a word.
        if (outcome != ScreenshotExport::CopyOutcome::refused) close();
    });
}

void LongScreenshot::finishCapture() {
    if (!prepareExport()) return;
    readResult([this](const QImage& image) {
        if (onFinish) onFinish(image);
        close();
    });
}

void LongScreenshot::encodeResult(const QImage& image,
                                  std::function<void(const std::optional<QByteArray>&)> then) {
    encoding_ = true;
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = env_.mainQueue;
    PngEncoder::worker().async([this, alive, image, &mainQueue, then = std::move(then)] {
        std::optional<QByteArray> png = PngEncoder::encode(image);
        mainQueue.async([this, alive, png = std::move(png), then] {
            if (alive.expired()) return;
            encoding_ = false;
            if (!closed_) then(png);
        });
    });
}

void LongScreenshot::recordInHistory(const QByteArray& png) {
    const std::optional<ScreenshotHistory::Recording> recording =
        env_.history ? env_.history->prepare() : std::nullopt;
    if (!recording) return;
    ScreenshotHistory* history = env_.history;
    MainQueue& mainQueue = env_.mainQueue;
    PngEncoder::worker().async([history, recording, png, &mainQueue] {
        ScreenshotHistory::writeThenFinish(history, *recording, png, mainQueue);
    });
}

void LongScreenshot::pinCurrent() {
    if (!prepareExport()) return;
    readResult([this](const QImage& image) {
        encodeResult(image, [this, image](const std::optional<QByteArray>& png) {
            if (png && onPin && onPin(EncodedImage{*png, image})) {
                recordInHistory(*png);
                close();
                return;
            }
            showStatus(QCoreApplication::translate("LongScreenshotExport",
                                                   "无法创建贴图，已有内容保留。"));
        });
    });
}

void LongScreenshot::saveCurrent() {
    if (!prepareExport()) return;
    readResult([this](const QImage& image) {
        if (env_.activateSelf) env_.activateSelf();
        const std::optional<QString> path =
            env_.chooseSavePath ? env_.chooseSavePath() : std::nullopt;
        if (closed_) return;
        if (!path || path->isEmpty()) {
            // Cancelled: back to the source, with the keys working again.
            keys_.start();
            activateSource();
            return;
        }
        encodeResult(image, [this, path = *path](const std::optional<QByteArray>& png) {
            QString reason =
                QCoreApplication::translate("LongScreenshotExport", "内存不足，无法生成图片。");
            if (png && SaveDestination::writePNG(*png, path, env_.defaults, &reason)) {
                recordInHistory(*png);
                close();
                return;
            }
            showStatus(
                QCoreApplication::translate("LongScreenshotExport", "保存失败：%1").arg(reason));
            activateSource();
        });
    });
}

void LongScreenshot::cropCurrent() {
    if (closed_ || !stitcher_) return;
    setPaused(true);
    keys_.stop();
    if (frameStream_) frameStream_->flush();
    waitForIdle([this] {
        if (closed_ || !stitcher_) return;
        const QImage full = stitcher_->image(false);
        if (full.isNull() || !env_.askTrim) {
            showStatus(QCoreApplication::translate("LongScreenshotExport",
                                                   "还没有可导出的画面，请稍候。"));
            keys_.start();
            return;
        }
        if (env_.activateSelf) env_.activateSelf();
        const LongCaptureTrimAnswer answer = env_.askTrim(full, axis_, cropEdges_);
        if (closed_) return;
        switch (answer.button) {
            case LongCaptureTrimAnswer::Button::apply:
                if (auto crop = parseTrim(answer.leading, answer.trailing, full.height()))
                    cropEdges_ = *crop;
                else
                    showStatus(QCoreApplication::translate("LongScreenshotExport",
                                                           "裁剪值无效，已保留原图。"));
                break;
            case LongCaptureTrimAnswer::Button::restore:
                cropEdges_ = {};
                break;
            case LongCaptureTrimAnswer::Button::cancel:
                break;
        }
        refreshPreview(true);
        keys_.start();
        activateSource();
    });
}

}  // namespace tessal
