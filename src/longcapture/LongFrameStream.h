#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "ScrollStitcher.h"
#include "base/UserError.h"

namespace tessal {

class SerialQueue;
class WindowStream;
class WindowStreamService;

// A frame cut to the capture region and turned to the vertical axis, for one region generation.
struct LongCaptureFrame {
    QImage image;
    int generation = 0;
};

// The bounded queue between the stream and the stitcher: at most 24 frames and 64 MiB; when
// full it refuses frames and raises `dropped` instead of growing. Exact repeats of the last
// accepted frame (same generation and size) are dropped silently.
struct LongFrameBuffer {
    static constexpr int maximumCount = 24;
    static constexpr long long maximumBytes = 64ll * 1024 * 1024;

    std::deque<LongCaptureFrame> frames;
    long long bytes = 0;
    bool dropped = false;
    // The last accepted frame, sharing its pixels with the queue (no copy of its own).
    std::optional<LongCaptureFrame> last;

    // Whether `frame` repeats `previous` exactly: same generation, size and pixels. Touches no
    // buffer state, so it runs outside the stream's lock.
    static bool repeats(const std::optional<LongCaptureFrame>& previous,
                        const LongCaptureFrame& frame);
    void append(const LongCaptureFrame& frame);
    // Appends a frame already checked against `last`.
    void appendNew(const LongCaptureFrame& frame);
    std::optional<LongCaptureFrame> take();
    void reset();
};

// Receives a window's frames on the serial queue "local.zelmar.long-capture.frames", cuts each to
// the capture region, turns it to the vertical axis and keeps it in the buffer for the stitcher.
class LongFrameStream : public std::enable_shared_from_this<LongFrameStream> {
  public:
    static std::shared_ptr<LongFrameStream> create();
    ~LongFrameStream();

    void configure(const QRect& crop, LongCaptureAxis axis, int generation, bool accepting);
    // Starts streaming `window`; the error when the stream cannot start.
    std::optional<UserError> start(WindowStreamService& service, unsigned window);
    void stop();
    // Returns once every frame handed over before the call has been processed.
    void flush();

    // Consumer side (the controller, on the main thread).
    std::size_t queued();
    std::optional<LongCaptureFrame> takeFrame();
    bool takeDropped();
    std::optional<UserError> failure();

    // The stream's own entry point (on the frame queue); public for tests.
    void enqueue(const QImage& pixels);

    static UserError conversionError();

  private:
    LongFrameStream();
    void invalidate();

    SerialQueue& queue_;
    std::mutex mutex_;
    LongFrameBuffer buffer_;
    QRect crop_;
    LongCaptureAxis axis_ = LongCaptureAxis::vertical;
    int generation_ = 0;
    bool accepting_ = false;
    std::uint64_t configuration_ = 0;  // counts configure and invalidate calls
    std::optional<UserError> failure_;
    std::unique_ptr<WindowStream> stream_;
    QImage latest_;  // touched on the frame queue only
};

}  // namespace tessal
