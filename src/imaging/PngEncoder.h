#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

namespace tessal {

class SerialQueue;

// A finished image both ways: the PNG that files and the clipboard get, and the pixels a window
// paints. They are made together where the PNG is encoded, so that the PNG is never decoded again
// on the main thread (a twenty-screen long capture takes a third of a second to decode).
struct EncodedImage {
    QByteArray png;
    QImage image;
};

// Our own PNG writer for what Tessal produces (copies, saves, pins, history, stitched images):
// rows filtered per row (the filter that gives the smallest sum of differences), the filtered
// rows split into one slice per thread and each slice deflated on its own thread (zlib level
// 1, independent streams joined at byte boundaries, one Adler-32 for the whole), giving one
// ordinary PNG stream that every decoder reads. Opaque images are written as 8-bit RGB, images
// with alpha as 8-bit RGBA (not premultiplied).
namespace PngEncoder {

// `threads` 0 = one per core. Nothing for a null image or when memory runs out.
std::optional<QByteArray> encode(const QImage& image, int threads = 0);
// The serial queue "local.ostrel.png" where exports make their PNG (and write what follows
// from it), one after another, off the main thread.
SerialQueue& worker();

}  // namespace PngEncoder
}  // namespace tessal
