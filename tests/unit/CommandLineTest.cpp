#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "app/CommandLine.h"

using namespace tessal;
using Kind = Command::Kind;

TEST(CommandLine, Verbs) {
    struct Case {
        QStringList args;
        Kind kind;
    };
    const Case cases[] = {
        {{}, Kind::run},
        {{"capture"}, Kind::capture},
        {{"capture", "--full", "-o", "a.png"}, Kind::captureFull},
        {{"capture", "--full", "-o", "a.png", "--display", "1"}, Kind::captureFull},
        {{"capture", "--list-windows"}, Kind::listWindows},
        {{"--version"}, Kind::version},
        {{"--help"}, Kind::help},
        // Usage errors.
        {{"--frobnicate"}, Kind::usageError},
        {{"snap"}, Kind::usageError},
        {{"capture", "--full"}, Kind::usageError},
        {{"capture", "--full", "-o"}, Kind::usageError},
        {{"capture", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--full", "-o", "a.png", "--display", "x"}, Kind::usageError},
        {{"capture", "--full", "-o", "a.png", "--display", "-1"}, Kind::usageError},
        {{"capture", "--list-windows", "--full", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--list-windows", "--display", "0"}, Kind::usageError},
        {{"capture", "--delay", "2.5"}, Kind::capture},
        {{"capture", "--full", "-o", "a.png", "--delay", "1"}, Kind::captureFull},
        {{"capture", "--delay"}, Kind::usageError},
        {{"capture", "--delay", "-1"}, Kind::usageError},
        {{"capture", "--delay", "1e9"}, Kind::usageError},
        {{"capture", "--delay", "nan"}, Kind::usageError},
        {{"capture", "--list-windows", "--delay", "1"}, Kind::usageError},
        {{"capture", "--last-region"}, Kind::capture},
        {{"capture", "--region", "10,20,300,200", "-o", "-"}, Kind::captureFull},
        {{"capture", "--region", "10,20,300,200"}, Kind::usageError},
        {{"capture", "--region", "10,20,0,200", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--region", "10,20,-3,200", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--region", "10,20,1e9,200", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--region", "10,20,nan,200", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--region", "10,20,30", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--region", "1,2,3,4", "--list-windows"}, Kind::usageError},
        {{"capture", "--last-region", "--delay", "1"}, Kind::usageError},
        {{"capture", "--last-region", "--full", "-o", "a.png"}, Kind::usageError},
        {{"--version", "extra"}, Kind::usageError},
        {{"edit", "a.png"}, Kind::edit},
        {{"edit"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,10,10"}, Kind::regions},
        {{"regions", "a.png", "--window", "0,0,10,10", "--screen", "800,600"}, Kind::regions},
        {{"regions", "a.png"}, Kind::usageError},
        {{"stitch", "-o", "out.png", "a.png", "b.png"}, Kind::stitch},
        {{"stitch", "--axis", "horizontal", "--no-auto-crop", "-o", "o.png", "a.png"},
         Kind::stitch},
        {{"stitch", "a.png"}, Kind::usageError},
        {{"stitch", "--axis", "diagonal", "-o", "o.png", "a.png"}, Kind::usageError},
        {{"stitch", "-o", "o.png"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,x,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,-5,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,5,10", "--screen", "0,10"}, Kind::usageError},
        {{"edit", "a.png", "b.png"}, Kind::usageError},
    };
    for (const Case& c : cases) {
        const Command command = parseCommandLine(c.args);
        EXPECT_EQ(command.kind, c.kind) << c.args.join(' ').toStdString();
        if (c.kind == Kind::usageError) {
            EXPECT_FALSE(command.error.isEmpty());
        }
    }
    const Command full = parseCommandLine({"capture", "--full", "-o", "x.png", "--display", "2"});
    EXPECT_EQ(full.output, "x.png");
    EXPECT_EQ(full.display, 2);
    EXPECT_EQ(parseCommandLine({"capture", "--delay", "2.5"}).delay, 2.5);
    EXPECT_EQ(parseCommandLine({"capture", "--delay", "nan"}).error,
              "--delay needs seconds from 0 to 60");
}

// Image files the verbs read: each failure says what is wrong; an image past Qt's allocation
// limit (here lowered to 1 MB) is sound but too large, and the message says how large one may be.
TEST(CommandLine, ImagesThatCannotBeReadSayWhy) {
    QTemporaryDir dir;
    QImage image(1200, 1000, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString large = dir.filePath("large.png"), small = dir.filePath("small.png");
    ASSERT_TRUE(image.save(large));
    ASSERT_TRUE(image.copy(0, 0, 300, 200).save(small));
    QFile cut(dir.filePath("cut.png"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    QFile whole(small);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    cut.write(whole.readAll().left(120));
    cut.close();
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just words");
    text.close();

    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    struct Case {
        QString path;
        QString error;  // empty: it reads
    };
    const Case cases[] = {
        {small, {}},
        {large, "图片太大（1200 × 1000 像素），最多可读 26 万像素"},
        {cut.fileName(), "图片已损坏或不完整"},
        {text.fileName(), "不是可以识别的图片格式"},
    };
    for (const Case& c : cases) {
        QString error;
        const QImage read = readImage(c.path, &error);
        EXPECT_EQ(read.isNull(), !c.error.isEmpty()) << c.path.toStdString();
        EXPECT_EQ(error, c.error) << c.path.toStdString();
    }
    QString missing;
    EXPECT_TRUE(readImage(dir.filePath("absent.png"), &missing).isNull());
    EXPECT_FALSE(missing.isEmpty());
    QImageReader::setAllocationLimit(limit);
    QString error;
    EXPECT_EQ(readImage(large, &error).size(), QSize(1200, 1000));
}
