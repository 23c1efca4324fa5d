#include "LongFrameStream.h"

#include "base/SerialQueue.h"
#include "platform/WindowStreamService.h"

#include <QCoreApplication>

namespace tessal {
namespace {

long long frameBytes(const QImage& image) {
    return (long long)image.bytesPerLine() * image.height();
}

}  // namespace

bool LongFrameBuffer::repeats(const std::optional<LongCaptureFrame>& previous,
                              const LongCaptureFrame& frame) {
    return previous && previous->generation == frame.generation &&
           previous->image.size() == frame.image.size() && previous->image == frame.image;
}

void LongFrameBuffer::append(const LongCaptureFrame& frame) {
    if (!repeats(last, frame)) appendNew(frame);
}

void LongFrameBuffer::appendNew(const LongCaptureFrame& frame) {
    if (int(frames.size()) >= maximumCount) {
        dropped = true;
        return;
    }
    const long long size = frameBytes(frame.image);
    if (!frames.empty() && bytes + size > maximumBytes) {
        dropped = true;
        return;
    }
    frames.push_back(frame);
    bytes += size;
    last = frame;
}

std::optional<LongCaptureFrame> LongFrameBuffer::take() {
    if (frames.empty()) return std::nullopt;
    LongCaptureFrame frame = std::move(frames.front());
    frames.pop_front();
    bytes -= frameBytes(frame.image);
    return frame;
}

void LongFrameBuffer::reset() {
    frames.clear();
    bytes = 0;
    dropped = false;
    last.reset();
}

UserError LongFrameStream::conversionError() {
    return {QStringLiteral("Zelmar"), 6,
            QCoreApplication::translate("LongFrameStream",
                                        "无法转换滚动区域的视频帧，请重新选择区域。")};
}

std::shared_ptr<LongFrameStream> LongFrameStream::create() {
    return std::shared_ptr<LongFrameStream>(new LongFrameStream());
}

LongFrameStream::LongFrameStream()
    : queue_(SerialQueue::named("local.zelmar.long-capture.frames")) {}

LongFrameStream::~LongFrameStream() {
    stream_.reset();
}

void LongFrameStream::configure(const QRect& crop, LongCaptureAxis axis, int generation,
                                bool accepting) {
    bool changed, wasAccepting;
    std::uint64_t configuration;
    {
        std::lock_guard lock(mutex_);
        changed = crop != crop_ || axis != axis_ || generation != generation_;
        wasAccepting = accepting_;
        crop_ = crop;
        axis_ = axis;
        generation_ = generation;
        configuration = ++configuration_;
        if (accepting || changed) accepting_ = accepting;
        if (changed) buffer_.reset();
    }
    if (!accepting && !changed && wasAccepting) {
        // A pause of the same region keeps what the window had handed over before it: the
        // frames already on the queue are still taken, those after this point are not.
        std::weak_ptr<LongFrameStream> weak = weak_from_this();
        queue_.async([weak, configuration] {
            auto self = weak.lock();
            if (!self) return;
            std::lock_guard lock(self->mutex_);
            if (self->configuration_ == configuration) self->accepting_ = false;
        });
    }
    if (accepting && (changed || !wasAccepting)) {
        // A frame of the new region at once, from the last picture the stream delivered.
        std::weak_ptr<LongFrameStream> weak = weak_from_this();
        queue_.async([weak] {
            if (auto self = weak.lock(); self && !self->latest_.isNull())
                self->enqueue(self->latest_);
        });
    }
}

std::optional<UserError> LongFrameStream::start(WindowStreamService& service, unsigned window) {
    std::weak_ptr<LongFrameStream> weak = weak_from_this();
    auto stream = service.start(
        window, queue_,
        [weak](const QImage& frame) {
            if (auto self = weak.lock()) {
                self->latest_ = frame;
                self->enqueue(frame);
            }
        },
        [weak](const UserError& error) {
            if (auto self = weak.lock()) {
                std::lock_guard lock(self->mutex_);
                if (!self->failure_) self->failure_ = error;
            }
        });
    if (!stream) return stream.error();
    stream_ = std::move(stream).value();
    return std::nullopt;
}

void LongFrameStream::invalidate() {
    std::lock_guard lock(mutex_);
    ++configuration_;
    accepting_ = false;
    ++generation_;
    buffer_.reset();
}

void LongFrameStream::stop() {
    invalidate();
    stream_.reset();
    std::weak_ptr<LongFrameStream> weak = weak_from_this();
    queue_.async([weak] {
        if (auto self = weak.lock()) self->latest_ = QImage();
    });
}

void LongFrameStream::flush() {
    queue_.flush();
}

void LongFrameStream::enqueue(const QImage& pixels) {
    QRect crop;
    LongCaptureAxis axis;
    int generation;
    {
        std::lock_guard lock(mutex_);
        if (!accepting_) return;
        crop = crop_;
        axis = axis_;
        generation = generation_;
    }
    // Converted without the lock: cut, turn, and only then checked again.
    QImage frame;
    if (!crop.isEmpty() && pixels.rect().contains(crop)) {
        frame = normalizeAxis(
            axis, pixels.copy(crop).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    if (frame.isNull()) {
        std::lock_guard lock(mutex_);
        if (accepting_ && generation_ == generation && !failure_) failure_ = conversionError();
        return;
    }
    // The repeat test reads whole frames, so it runs without the lock against a shared copy of
    // the last accepted frame; the consumer never waits behind it.
    const LongCaptureFrame candidate{frame, generation};
    std::optional<LongCaptureFrame> last;
    {
        std::lock_guard lock(mutex_);
        last = buffer_.last;
    }
    const bool repeat = LongFrameBuffer::repeats(last, candidate);
    std::lock_guard lock(mutex_);
    if (generation_ != generation || crop_ != crop || axis_ != axis) return;
    const bool unchanged = last.has_value() == buffer_.last.has_value() &&
                           (!last || last->image.cacheKey() == buffer_.last->image.cacheKey());
    if (!unchanged)
        buffer_.append(candidate);  // reset meanwhile: compare again (cheap: nothing to match)
    else if (!repeat)
        buffer_.appendNew(candidate);
}

std::size_t LongFrameStream::queued() {
    std::lock_guard lock(mutex_);
    return buffer_.frames.size();
}

std::optional<LongCaptureFrame> LongFrameStream::takeFrame() {
    std::lock_guard lock(mutex_);
    return buffer_.take();
}

bool LongFrameStream::takeDropped() {
    std::lock_guard lock(mutex_);
    const bool dropped = buffer_.dropped;
    buffer_.dropped = false;
    return dropped;
}

std::optional<UserError> LongFrameStream::failure() {
    std::lock_guard lock(mutex_);
    return failure_;
}

}  // namespace tessal
