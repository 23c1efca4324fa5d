#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "annotation/ScreenshotExport.h"
#include "base/DefaultsStore.h"

using namespace tessal;

TEST(ScreenshotExport, NamesFoldersAndWrites) {
    EXPECT_EQ(ScreenshotExport::defaultFileName(1712345678), "截图-1712345678.png");
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    EXPECT_EQ(ScreenshotExport::rememberedDirectory(defaults), "");

    QDir(dir.path()).mkdir("shots");
    const QString target = dir.filePath("shots/a.png");
    QString error;
    ASSERT_TRUE(ScreenshotExport::writePNG("PNGDATA", target, defaults, &error));
    EXPECT_EQ(ScreenshotExport::rememberedDirectory(defaults), dir.filePath("shots"));
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "PNGDATA");

    // A write that fails leaves the remembered folder as it was.
    EXPECT_FALSE(ScreenshotExport::writePNG("X", dir.filePath("nowhere/b.png"), defaults, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ScreenshotExport::rememberedDirectory(defaults), dir.filePath("shots"));
    // A folder that vanished is forgotten.
    QDir(dir.filePath("shots")).removeRecursively();
    EXPECT_EQ(ScreenshotExport::rememberedDirectory(defaults), "");
}

TEST(CapturePreferences, CopyClosesAndDefaultTool) {
    QTemporaryDir dir;
    DefaultsStore defaults(dir.filePath("defaults.json"));
    EXPECT_TRUE(CapturePreferences::copyCloses(defaults));
    defaults.set("copyCloses", 0);  // not a Boolean
    EXPECT_TRUE(CapturePreferences::copyCloses(defaults));
    defaults.set("copyCloses", false);
    EXPECT_FALSE(CapturePreferences::copyCloses(defaults));
    EXPECT_EQ(CapturePreferences::defaultTool(defaults), 0);
    for (const auto& [stored, expected] :
         std::vector<std::pair<double, int>>{{15, 10}, {-2, 0}, {4, 4}, {7.9, 7}}) {
        defaults.set("defaultTool", stored);
        EXPECT_EQ(CapturePreferences::defaultTool(defaults), expected) << stored;
    }
}
