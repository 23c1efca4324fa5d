#include <gtest/gtest.h>

#include <QVariantMap>
#include <cmath>
#include <limits>

#include "capture/ScreenGeometry.h"

using namespace tessal;

namespace {

QVariantMap bounds(double x, double y, double w, double h) {
    return {{"x", x}, {"y", y}, {"width", w}, {"height", h}};
}

QVariantMap window(int pid, QVariant bounds_, int layer = 0) {
    return {{"pid", pid}, {"layer", layer}, {"bounds", bounds_}};
}

}  // namespace

TEST(PixelCrop, WorkedExamples) {
    struct Case {
        Rect selection;
        Size screen;
        QSize image;
        QRect crop;
    };
    const Case cases[] = {
        {{100, 50, 100, 50}, {400, 300}, {800, 600}, {200, 400, 200, 100}},
        {{10.3, 20.7, 50.2, 30.1}, {1000, 800}, {2000, 1600}, {20, 1498, 101, 61}},
        // The whole display is the whole image; a selection sticking out is clipped.
        {{0, 0, 400, 300}, {400, 300}, {800, 600}, {0, 0, 800, 600}},
        {{-50, 250, 100, 100}, {400, 300}, {800, 600}, {0, 0, 100, 100}},
        // Nothing of the image: no crop.
        {{500, 0, 10, 10}, {400, 300}, {800, 600}, {}},
        {{1e300, 0, 10, 10}, {400, 300}, {800, 600}, {}},
        // A display at scale 1.5 whose width of 1066.67 points is given cut to 1066: its
        // pixels are still 1.5 points wide (not 1600 / 1066), up to its far edge.
        {{100, 100, 200, 100}, {1066, 800}, {1600, 1200}, {150, 900, 300, 150}},
        {{866, 0, 200, 800}, {1066, 800}, {1600, 1200}, {1299, 0, 301, 1200}},
        // At 1.25: 1280 × 800 pixels are 1024 × 640 points.
        {{10, 10, 100, 100}, {1024, 640}, {1280, 800}, {12, 662, 126, 126}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pixelCrop(c.selection, c.screen, c.image), c.crop) << c.selection;
    }
}

TEST(PixelCrop, SnappedSelectionCoversExactlyTheCrop) {
    const Size screen{1000, 800};
    const QSize image(2000, 1600);
    const QRect crop = pixelCrop({10.3, 20.7, 50.2, 30.1}, screen, image);
    EXPECT_EQ(snappedSelection(crop, screen, image), Rect(10.0, 20.5, 50.5, 30.5));
    // Snapping is stable: the snapped selection crops to the same pixels.
    EXPECT_EQ(pixelCrop(snappedSelection(crop, screen, image), screen, image), crop);
}

TEST(WindowTargets, FiltersAndKeepsOrder) {
    QVariantMap transparent = window(20, bounds(0, 0, 100, 100));
    transparent.insert("alpha", 0.0);
    QVariantMap opaque = window(21, bounds(0, 0, 100, 100));
    opaque.insert("alpha", 1.0);
    QVariantMap textAlpha = window(22, bounds(0, 0, 100, 100));
    textAlpha.insert("alpha", QString("0"));  // not a number: as if absent
    QVariantMap stringPid = window(1, bounds(0, 0, 100, 100));
    stringPid.insert("pid", QString("42"));
    QVariantMap noLayer = window(24, bounds(0, 0, 100, 100));
    noLayer.remove("layer");

    const QVariantList list = {
        window(10, bounds(0, 0, 29, 100)),       // 29 points wide
        window(11, bounds(0, 0, 100, 100), 25),  // layer 25
        transparent,                             // alpha 0
        window(99, bounds(0, 0, 100, 100)),      // our own window
        window(0, bounds(0, 0, 100, 100)),       // pid 0
        stringPid,                               // pid is text
        noLayer,                                 // no layer
        window(25, QString("0,0,100,100")),      // bounds not a rectangle
        window(26, bounds(std::numeric_limits<double>::infinity(), 0, 100, 100)),
        window(27, bounds(0, 0, 100, std::nan(""))),  // NaN height
        QVariant(42),                                 // not an entry at all
        window(12, bounds(5, 6, 30, 30)),             // no alpha entry: taken
        opaque,
        textAlpha,
    };
    auto focused = window(30, bounds(0, 0, 100, 100));
    focused.insert("focused", true);
    auto focusedText = window(31, bounds(0, 0, 100, 100));
    focusedText.insert("focused", "true");  // only a boolean says so
    const auto flagged =
        captureWindowTargets({window(29, bounds(0, 0, 100, 100)), focused, focusedText}, 99);
    ASSERT_EQ(flagged.size(), 3u);
    EXPECT_EQ(std::vector<bool>({flagged[0].focused, flagged[1].focused, flagged[2].focused}),
              std::vector<bool>({false, true, false}));

    const auto targets = captureWindowTargets(list, 99);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0], (WindowTarget{Rect(5, 6, 30, 30), 12}));
    EXPECT_EQ(targets[1].pid, 21);
    EXPECT_EQ(targets[2].pid, 22);
}

TEST(LocalWindowRect, ConvertsAndClipsToEachDisplay) {
    const double top = primaryTop({Rect(0, 0, 1440, 1117), Rect(1440, 0, 1920, 1080)});
    EXPECT_EQ(top, 1117);
    const Rect second(1440, 0, 1920, 1080);
    EXPECT_EQ(localWindowRect({1500, 100, 400, 300}, second, top), Rect(60, 717, 400, 300));

    // Spanning two displays: listed, clipped, on both.
    const Rect primary(0, 0, 1440, 1117);
    EXPECT_EQ(localWindowRect({1340, 100, 200, 300}, primary, top), Rect(1340, 717, 100, 300));
    EXPECT_EQ(localWindowRect({1340, 100, 200, 300}, second, top), Rect(0, 717, 100, 300));

    // Overlapping by 2 points only, or not at all.
    EXPECT_FALSE(localWindowRect({1438, 100, 200, 300}, primary, top));
    EXPECT_FALSE(localWindowRect({5000, 100, 200, 300}, primary, top));
    EXPECT_EQ(primaryTop({}), 0);
}
