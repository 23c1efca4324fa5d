#pragma once

#include <QImage>
#include <QRect>
#include <QStringList>
#include <vector>

namespace tessal {

// The pixel work around the text detector and reader (PP-OCR models): what goes in, and how
// their outputs become boxes and strings. No model runs here.
namespace TextDetection {

// The detector's input: the image at its own scale, each side rounded up to a multiple of 32
// (screenshots lose their small text when shrunk), capped at `maximumSide`. Planes B, G, R,
// each normalised with the ImageNet mean and deviation.
struct Planes {
    std::vector<float> data;
    int width = 0;
    int height = 0;
};
Planes detectionInput(const QImage& image, int maximumSide = 4096);

// The part of an image inside its plain margins: rows and columns at the edges whose pixels all
// equal the top-left one are left out (nothing to read there). Empty for a plain image.
QRect contentRect(const QImage& image);

// Text boxes from the detector's probability map (`width` × `height`, one float per pixel) in
// the pixels of an image of `imageSize`: pixels above 0.3 joined into regions, regions whose
// mean probability is below 0.6 or that are smaller than 3 pixels dropped, each grown by
// area × 1.5 / perimeter on every side (the "unclip" of the DB method) and scaled back. Screen
// text is upright, so the boxes are upright too. In rows as `joinRows` forms them, top to
// bottom, each row left to right.
std::vector<QRect> boxes(const float* probability, int width, int height, QSize imageSize);

// The reader's input for a batch of line images: each scaled to 48 rows (width in proportion,
// at least 8, at most `maximumWidth`), planes B, G, R normalised to −1…1, padded on the right
// with zeros to the widest. `width` is the batch width.
Planes readerInput(const std::vector<QImage>& lines, int maximumWidth = 1600);

// Greedy CTC decoding of one line: per step the most likely class; repeats and blanks
// (class 0) dropped; class i is keys[i − 1]. The probability of the least certain kept class
// goes to `confidence` when given (0 for an empty line).
QString decode(const float* probabilities, int steps, int classes, const QStringList& keys,
               double* confidence = nullptr);

// The second reader's (Tesseract's) input for one line image: grey, dark text on a light
// ground (a line whose mean is dark is inverted; that reader's own inverted pass is off for
// speed), with a margin of max(10, height / 2) in the line's top-left colour all round, since
// text touching the edge is misread.
QImage secondReaderInput(const QImage& line);

// Pieces read on one visual row joined into lines, top to bottom: pieces whose vertical
// middles lie within half the smaller height of each other form a row, left to right; a gap
// wider than the row's height becomes a space, a smaller one nothing (Chinese has no spaces);
// one wider than ten heights starts another line (side by side windows, columns).
struct Piece {
    QString text;
    QRect box;
};
std::vector<Piece> joinRows(std::vector<Piece> pieces);

}  // namespace TextDetection
}  // namespace tessal
