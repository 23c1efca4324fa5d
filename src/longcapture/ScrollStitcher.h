#pragma once

#include <QImage>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace tessal {

// A small grey fingerprint of one frame: 72 columns, every row, and which rows show detail.
struct ScrollSignature {
    static constexpr int columns = 72;
    std::vector<std::uint8_t> pixels;  // row-major, columns × height
    int width = columns;
    int height = 0;
    std::vector<bool> texturedRows;

    ScrollSignature() = default;
    explicit ScrollSignature(const QImage& frame);

    // Mean difference over every 11th byte; 0 when `other` is empty.
    double difference(const ScrollSignature& other) const;
    // How well row y of `next` matches row y + shift of this (content moved up by `shift`),
    // the header and footer bands left out; lower is better, infinity for no match.
    double score(const ScrollSignature& next, int shift, int top, int bottom, int rows) const;

    std::uint8_t at(int x, int y) const { return pixels[std::size_t(y) * columns + x]; }
};

// The outcome of one append.
struct ScrollAppendResult {
    enum class Kind { appended, cropped, unchanged, unmatched, limit };
    Kind kind = Kind::unmatched;
    int rows = 0;  // appended or cropped rows

    static ScrollAppendResult appended(int rows) { return {Kind::appended, rows}; }
    static ScrollAppendResult cropped(int rows) { return {Kind::cropped, rows}; }
    static ScrollAppendResult unchanged() { return {Kind::unchanged, 0}; }
    static ScrollAppendResult unmatched() { return {Kind::unmatched, 0}; }
    static ScrollAppendResult limit() { return {Kind::limit, 0}; }
    friend bool operator==(const ScrollAppendResult&, const ScrollAppendResult&) = default;
};

// Turns equally sized frames of a scrolling area into one tall image: each frame is matched
// against the previous one and only the newly revealed rows are kept; fixed headers and footers
// appear once; a capture that starts upwards works on turned frames; scrolling back crops.
class ScrollStitcher {
  public:
    ScrollStitcher(const QImage& first, long long maximumPixels);

    ScrollAppendResult append(const QImage& frame, bool automaticCrop);
    // The composed image; a preview is at most 230 wide and fits `fittingHeight`.
    QImage image(bool preview = false, int fittingHeight = 0) const;

    int width() const { return width_; }
    int viewportHeight() const { return viewportHeight_; }
    int height() const { return height_; }
    bool reverseDirection() const { return reverseDirection_; }
    int header() const { return top_; }
    int footerHeight() const { return bottom_; }
    // Pixels held by the pieces (what the stitcher keeps of all the frames it saw).
    long long heldPixels() const;

    static constexpr int maximumRows = 30000;

  private:
    ScrollAppendResult appendOnce(const QImage& frame, bool automaticCrop, bool rerun);
    void retakeProvisionalRows(const QImage& frame, const ScrollSignature& next);

    int width_;
    int viewportHeight_;
    int height_;
    ScrollSignature previous_;
    QImage previousFrame_;  // the last frame taken (turned when reversed), 32 bits a pixel
    int provisional_ = 0;   // rows at the end (above the footer) that only that frame showed
    std::vector<QImage> pieces_;
    int bottom_ = 0;
    int top_ = 0;
    QImage footer_;
    bool hasAppended_ = false;
    bool reverseDirection_ = false;
    long long maximumPixels_;
};

// The image turned by 180°; null on failure.
QImage reversedScrollImage(const QImage& image);

// Horizontal captures are turned to the vertical axis before stitching and back after.
enum class LongCaptureAxis { vertical = 0, horizontal = 1 };
QImage normalizeAxis(LongCaptureAxis axis, const QImage& image);
QImage restoreAxis(LongCaptureAxis axis, const QImage& image);

// Rows cut from the start and the end of a result.
struct LongCaptureCrop {
    int leading = 0;
    int trailing = 0;
    // Rows leading … height − trailing − 1, or null when no row would remain.
    QImage apply(const QImage& image) const;
    friend bool operator==(const LongCaptureCrop&, const LongCaptureCrop&) = default;
};

}  // namespace tessal
