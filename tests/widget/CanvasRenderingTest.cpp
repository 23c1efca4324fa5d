#include <gtest/gtest.h>

#include <QPainter>
#include <QUndoStack>
#include <random>

#include "annotation/CanvasModel.h"
#include "annotation/CanvasRenderer.h"
#include "annotation/NamedColors.h"
#include "base/Clock.h"

using namespace tessal;

namespace {

QImage noise(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(11);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(random() % 256, random() % 256, random() % 256));
    return image;
}

Mark privacy(Tool tool, Rect r, double width) {
    Mark m;
    m.tool = tool;
    m.points = {r.origin, {r.maxX(), r.maxY()}};
    m.width = width;
    m.color = Qt::red;
    return m;
}

QImage exported(CanvasModel& canvas) {
    const auto png = CanvasRenderer::png(canvas);
    return png ? QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32) : QImage();
}

QImage onScreen(const CanvasModel& canvas) {
    QImage image(int(canvas.size().width), int(canvas.size().height), QImage::Format_RGB32);
    QPainter painter(&image);
    CanvasRenderer::paint(painter, canvas, true);
    return image;
}

int countBluish(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            n += c.blue() - c.red() > 60;
        }
    return n;
}

int countColour(const QImage& image, QColor colour, int tolerance = 8) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            n += std::abs(c.red() - colour.red()) <= tolerance &&
                 std::abs(c.green() - colour.green()) <= tolerance &&
                 std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

}  // namespace

class CanvasRenderingTest : public ::testing::Test {
  protected:
    // A scale-2 capture: 400 × 200 pixels on a 200 × 100 point canvas at (10, 20).
    CanvasRenderingTest() : canvas(noise(400, 200), 400, 200, &undo, clock) {
        canvas.setSize({200, 100});
        canvas.setAnnotationOrigin({10, 20});
    }
    ManualClock clock;
    QUndoStack undo;
    CanvasModel canvas;
};

TEST_F(CanvasRenderingTest, PngHasThePixelSizeAndTheUntouchedPixels) {
    const QImage plain = exported(canvas);
    EXPECT_EQ(plain.size(), QSize(400, 200));
    EXPECT_EQ(plain, canvas.image().convertToFormat(QImage::Format_RGB32));

    CanvasModel single(noise(300, 150), 300, 150, &undo, clock);
    single.setSize({300, 150});
    EXPECT_EQ(exported(single).size(), QSize(300, 150));
}

// An unmarked canvas is exported without painting; what comes out is what painting gives, for
// transparent pixels too.
TEST_F(CanvasRenderingTest, UnmarkedExportEqualsThePaintedOne) {
    QImage translucent(400, 200, QImage::Format_ARGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            translucent.setPixel(x, y, qRgba(x % 256, y, 40, (x + y) % 256));
    canvas.setImage(translucent, 400, 200);
    const QImage unmarked = CanvasRenderer::render(canvas);
    canvas.restore(privacy(Tool::rectangle, Rect(1000, 1000, 50, 50), 3));  // draws nothing
    const QImage painted = CanvasRenderer::render(canvas);
    EXPECT_EQ(unmarked.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(unmarked, painted);
}

TEST_F(CanvasRenderingTest, MosaicBlocksFollowTheImageGridAt24PixelsForTheThinnestWidth) {
    // A gradient, so neighbouring blocks never average to the same colour.
    QImage gradient(400, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) gradient.setPixel(x, y, qRgb(x * 255 / 400, y, 90));
    canvas.setImage(gradient, 400, 200);
    canvas.restore(privacy(Tool::mosaic, Rect(10 + 20, 20 + 20, 100, 60), 1.5));
    canvas.restore(privacy(Tool::mosaic, Rect(10 + 60, 20 + 10, 100, 60), 1.5));  // overlapping
    const QImage out = exported(canvas);
    // Inside the marks every 24 × 24 block of the image grid is one colour.
    for (int bx = 3; bx < 12; ++bx) {
        for (int by = 3; by < 6; ++by) {
            const QRgb c = out.pixel(bx * 24, by * 24);
            EXPECT_EQ(out.pixel(bx * 24 + 23, by * 24 + 23), c) << bx << "," << by;
            EXPECT_NE(out.pixel(bx * 24 + 24, by * 24), c) << bx << "," << by;
        }
    }
    // Outside both marks the image is untouched.
    EXPECT_EQ(out.pixel(2, 2), canvas.image().pixel(2, 2));
    EXPECT_EQ(out.pixel(399, 199), canvas.image().pixel(399, 199));
}

TEST_F(CanvasRenderingTest, PrivacyMarksOutsideTheCanvasDrawOnlyWhatShows) {
    canvas.restore(privacy(Tool::blur, Rect(10 + 150, 20 + 50, 200, 200), 3));  // partly outside
    canvas.restore(privacy(Tool::mosaic, Rect(1000, 1000, 50, 50), 3));         // wholly outside
    const QImage out = exported(canvas);
    EXPECT_EQ(out.pixel(10, 10), canvas.image().pixel(10, 10));
    EXPECT_NE(out.pixel(350, 20), canvas.image().pixel(350, 20));
    EXPECT_EQ(canvas.privacyCache().pieces.size(), 1u);
}

TEST_F(CanvasRenderingTest, CacheEmptiesPastThirtyTwoPiecesAndNeverHoldsAHugeOne) {
    QImage target(200, 100, QImage::Format_RGB32);
    for (int i = 0; i < 32; ++i) {
        canvas.restore(privacy(Tool::blur, Rect(10 + i * 5, 20, 10, 10), 3));
        QPainter painter(&target);
        CanvasRenderer::drawMark(painter, canvas, canvas.marks().back());
    }
    EXPECT_EQ(canvas.privacyCache().pieces.size(), 32u);
    canvas.restore(privacy(Tool::blur, Rect(10, 60, 10, 10), 3));
    {
        QPainter painter(&target);
        CanvasRenderer::drawMark(painter, canvas, canvas.marks().back());
    }
    EXPECT_EQ(canvas.privacyCache().pieces.size(), 1u);
    EXPECT_EQ(canvas.privacyCache().pixels, 20 * 20);

    CanvasModel huge(QImage(3000, 3000, QImage::Format_RGB32), 3000, 3000, nullptr, clock);
    huge.setSize({3000, 3000});
    huge.restore(privacy(Tool::mosaic, Rect(0, 0, 3000, 3000), 3));
    exported(huge);
    EXPECT_TRUE(huge.privacyCache().pieces.empty());
    EXPECT_EQ(huge.privacyCache().pixels, 0);
}

TEST_F(CanvasRenderingTest, BadgeLabelIsBlackOnLightAndWhiteOnDark) {
    auto labelPixels = [&](QColor badge, QColor label) {
        QImage grey(200, 200, QImage::Format_RGB32);
        grey.fill(QColor(128, 128, 128));
        CanvasModel c(grey, 200, 200, nullptr, clock);
        c.setSize({200, 200});
        Mark m;
        m.tool = Tool::number;
        m.points = {{100, 100}};
        m.color = badge;
        m.fontSize = 40;
        m.number = 8;
        c.restore(m);
        return countColour(exported(c).copy(88, 88, 24, 24), label, 40);
    };
    EXPECT_GT(labelPixels(Qt::white, Qt::black), 20);
    EXPECT_GT(labelPixels(NamedColor::systemYellow(), Qt::black), 20);
    EXPECT_GT(labelPixels(NamedColor::systemBlue(), Qt::white), 20);
    EXPECT_GT(labelPixels(NamedColor::systemRed(), Qt::white), 20);
    EXPECT_EQ(labelPixels(NamedColor::systemRed(), Qt::black), 0);
}

TEST_F(CanvasRenderingTest, DecorationAndTheEditedTextAreForTheScreenOnly) {
    CanvasModel c(QImage(200, 200, QImage::Format_RGB32), 200, 200, &undo, clock);
    c.setSize({200, 200});
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    c.setImage(white, 200, 200);
    Mark rect;
    rect.tool = Tool::rectangle;
    rect.points = {{50, 50}, {150, 150}};
    rect.color = Qt::black;
    c.restore(rect);
    ASSERT_EQ(c.selectedMarkIndex(), 0);
    EXPECT_GT(countBluish(onScreen(c)), 50);
    EXPECT_EQ(countBluish(exported(c)), 0);

    Mark text;
    text.tool = Tool::text;
    text.points = {{20, 20}};
    text.text = "WWWW";
    text.color = Qt::red;
    c.restore(text);
    c.selectMark(std::nullopt);
    EXPECT_GT(countColour(onScreen(c), Qt::red, 60), 10);
    c.beginText({20, 20}, 1);
    EXPECT_EQ(countColour(onScreen(c), Qt::red, 60), 0);
    // The highlight lets what is under it show through.
    Mark highlight;
    highlight.tool = Tool::highlight;
    highlight.points = {{60, 100}, {140, 100}};
    highlight.color = Qt::yellow;
    highlight.width = 3;
    c.cancelText();
    c.restore(highlight);
    const QColor over(exported(c).pixel(100, 100));
    EXPECT_GT(over.blue(), 150);  // white under 28 % yellow keeps most of its blue
}

TEST_F(CanvasRenderingTest, CachedRedrawsMatchFullRedrawsDuringGestures) {
    auto mark = [](Tool tool, Rect r, QColor colour) {
        Mark m;
        m.tool = tool;
        m.points = {r.origin, {r.maxX(), r.maxY()}};
        m.color = colour;
        m.width = 6;
        return m;
    };
    canvas.restore(mark(Tool::rectangle, Rect(30, 40, 80, 50), Qt::red));
    canvas.restore(mark(Tool::ellipse, Rect(60, 50, 80, 50), Qt::blue));
    canvas.restore(mark(Tool::arrow, Rect(20, 30, 150, 70), Qt::green));
    CanvasRenderer::LayerCache cache;
    auto both = [&] {
        QImage full(200, 100, QImage::Format_ARGB32_Premultiplied), cached = full;
        {
            QPainter p(&full);
            CanvasRenderer::paint(p, canvas, true);
        }
        {
            QPainter p(&cached);
            CanvasRenderer::paint(p, canvas, true, &cache);
        }
        return std::make_pair(full, cached);
    };
    auto [a0, b0] = both();
    EXPECT_EQ(a0, b0);
    // Drag the ellipse (in the middle of the stack): it stays under the arrow.
    canvas.selectMark(std::nullopt);
    canvas.mouseDown({100 - 10, 50 - 20}, 1);  // its bottom edge, in view points
    ASSERT_EQ(canvas.draggedIndex(), 1);
    for (int step = 1; step <= 3; ++step) {
        canvas.mouseDragged({90.0 - 10 * step, 30.0 + 5 * step}, false);
        auto [a, b] = both();
        EXPECT_EQ(a, b) << step;
    }
    canvas.mouseUp({100, 70}, false);
    auto [a1, b1] = both();
    EXPECT_EQ(a1, b1);
    // A draft in progress, and a change of the marks, redraw the same way.
    canvas.selectMark(std::nullopt);
    canvas.mouseDown({10, 10}, 1);
    canvas.mouseDragged({50, 30}, false);
    auto [a2, b2] = both();
    EXPECT_EQ(a2, b2);
    canvas.mouseUp({50, 30}, false);
    undo.undo();
    auto [a3, b3] = both();
    EXPECT_EQ(a3, b3);
}

// Pen and highlight strokes are filled from cached outlines: a highlight that crosses itself is
// as light at the crossing as anywhere else (covered once), a pen line is as wide as its pen,
// and drawing again reuses the outlines.
TEST_F(CanvasRenderingTest, StrokesFromCachedOutlines) {
    QImage white(400, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    CanvasModel strokes(white, 400, 200, &undo, clock);
    strokes.setSize({200, 100});
    strokes.setAnnotationOrigin({10, 20});
    Mark highlight;
    highlight.tool = Tool::highlight;
    highlight.color = QColor(255, 0, 0);
    highlight.width = 3;
    highlight.points = {{30, 30}, {110, 110}, {110, 30}, {30, 110}};  // crosses at (70, 70)
    strokes.restore(highlight);
    Mark pen;
    pen.tool = Tool::pen;
    pen.color = Qt::blue;
    pen.width = 3;
    pen.points = {{130, 60}, {200, 60}};
    strokes.restore(pen);

    const QImage image = exported(strokes);
    // Annotation point (x, y) is pixel (2 (x − 10), 200 − 2 (y − 20)).
    auto pixel = [&](double x, double y) {
        return QColor(image.pixel(int(2 * (x - 10)), int(200 - 2 * (y - 20))));
    };
    const QColor crossing = pixel(70, 70), single = pixel(50, 50);
    EXPECT_LT(single.green(), 230);  // tinted
    EXPECT_NEAR(crossing.green(), single.green(), 2);
    EXPECT_NEAR(crossing.red(), single.red(), 2);
    // The pen line: as many fully blue rows as its width in pixels (3 points at scale 2).
    int blueRows = 0;
    for (int y = 0; y < 200; ++y) {
        const QColor c(image.pixel(2 * (165 - 10), y));
        blueRows += c.blue() > 240 && c.red() < 15;
    }
    EXPECT_GE(blueRows, 5);
    EXPECT_LE(blueRows, 6);
    EXPECT_EQ(strokes.strokeCache().outlines.size(), 2u);
    exported(strokes);
    EXPECT_EQ(strokes.strokeCache().outlines.size(), 2u);
}

// A translucent fill through its own layer gives the pixels of Qt's own fill, whatever lies
// between the painter and the device: a device pixel ratio, a flipped and fractional world
// transform, a clip that cuts the path.
TEST(TranslucentFill, SamePixelsAsQtsFill) {
    QPainterPath path;
    path.moveTo(12.3, 8.6);
    path.cubicTo(180, -40, 60, 220, 230.5, 140.2);
    path.lineTo(40, 150);
    path.closeSubpath();
    path.addEllipse(QPointF(120, 60), 50, 33.3);
    const QColor colour(255, 210, 0, 71);
    struct Setup {
        double ratio;
        QTransform world;
        QRect clip;
    };
    const Setup setups[] = {{1, QTransform(), QRect()},
                            {2, QTransform(), QRect()},
                            {1, QTransform(1.5, 0, 0, -1.5, 7.25, 250.5), QRect()},
                            {2, QTransform(1, 0, 0, -1, 3.5, 160), QRect(20, 10, 90, 70)},
                            {1, QTransform::fromTranslate(-100, 30), QRect()}};
    for (std::size_t i = 0; i < std::size(setups); ++i) {
        const Setup& setup = setups[i];
        QImage expected(int(260 * setup.ratio), int(180 * setup.ratio),
                        QImage::Format_ARGB32_Premultiplied);
        expected.setDevicePixelRatio(setup.ratio);
        expected.fill(QColor(30, 90, 160));
        QImage actual = expected.copy();
        for (QImage* image : {&expected, &actual}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing);
            if (!setup.clip.isNull()) painter.setClipRect(setup.clip);
            painter.setTransform(setup.world);
            if (image == &expected)
                painter.fillPath(path, colour);
            else
                CanvasRenderer::fillTranslucent(painter, path, colour);
        }
        int worst = 0, covered = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QColor a(expected.pixel(x, y)), b(actual.pixel(x, y));
                covered += a != QColor(30, 90, 160);
                worst = std::max({worst, std::abs(a.red() - b.red()),
                                  std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
            }
        EXPECT_LE(worst, 1) << "setup " << i;
        EXPECT_GT(covered, 2000) << "setup " << i << " must put the path on the image";
    }
}
