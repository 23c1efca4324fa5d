#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "app/StillDelivery.h"
#include "imaging/PngEncoder.h"

using namespace tessal;

namespace {

QByteArray png(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return *PngEncoder::encode(image);
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files);
}

}  // namespace

// The request line carries what to do and where the still was taken; only a file of ours in
// the private folder is accepted, since the receiver removes it.
TEST(StillDelivery, RequestsParseBackAndForeignFilesAreRefused) {
    StillDelivery d;
    d.path = "/run/user/1/local.ostrel-still-ab12.png";
    d.frame = Rect(10.5, -20, 300, 0.25);
    d.clipboard = true;
    d.edit = true;
    const QString line = d.request();
    EXPECT_EQ(line,
              "still clipboard,edit 10.5,-20,300,0.25 /run/user/1/local.ostrel-still-ab12.png");
    const auto back = StillDelivery::parse(line, "/run/user/1/");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path, d.path);
    EXPECT_EQ(back->frame, d.frame);
    EXPECT_TRUE(back->clipboard);
    EXPECT_FALSE(back->pin);
    EXPECT_TRUE(back->edit);

    const char* refused[] = {
        "capture",
        "still pin 1,2,3,4 /run/user/1/elsewhere.png",                    // not one of ours
        "still pin 1,2,3,4 /run/user/1/sub/local.ostrel-still-a.png",     // another folder
        "still pin 1,2,3,4 /run/user/1/../1/x/local.ostrel-still-a.png",  // another folder
        "still pin 1,2,3,4 local.ostrel-still-a.png",                     // relative
        "still paste 1,2,3,4 /run/user/1/local.ostrel-still-a.png",
        "still pin 1,2,0,4 /run/user/1/local.ostrel-still-a.png",
        "still pin 1,2,nan,4 /run/user/1/local.ostrel-still-a.png",
        "still pin 1,2,3 /run/user/1/local.ostrel-still-a.png",
        "still pin 1,2,3,4",
    };
    for (const char* r : refused) EXPECT_FALSE(StillDelivery::parse(r, "/run/user/1")) << r;
    EXPECT_FALSE(StillDelivery::parse(line, ""));
}

// The receiver does each thing asked, in its order, removes the file, and says what failed.
TEST(StillDelivery, TheReceiverDoesWhatIsAskedAndRemovesTheFile) {
    QTemporaryDir dir;
    struct Case {
        bool clipboard, pin, edit;
        bool clipboardWorks, pinWorks;
        QByteArray bytes;
        QString answer;
        int clipboards, pins, edits;
    };
    const QByteArray image = png({30, 20}, Qt::red);
    const Case cases[] = {
        {true, true, true, true, true, image, "ok", 1, 1, 1},
        {false, true, false, true, true, image, "ok", 0, 1, 0},
        {true, false, false, false, true, image, "failed 无法把截图放到剪贴板上", 1, 0, 0},
        {false, true, true, true, false, image, "failed 无法贴图", 0, 1, 0},
        {true, false, false, true, true, "not a png", "failed 收到的截图无法读取", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath("local.ostrel-still-x.png");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        StillDelivery d{path, Rect(1, 2, 30, 20), c.clipboard, c.pin, c.edit};
        int clipboards = 0, pins = 0, edits = 0;
        std::optional<Rect> pinnedAt;
        const QString answer = receiveStill(d, {[&](const QByteArray& bytes) {
                                                    ++clipboards;
                                                    EXPECT_EQ(bytes, c.bytes);
                                                    return c.clipboardWorks;
                                                },
                                                [&](const EncodedImage& pin, const Rect& frame) {
                                                    ++pins;
                                                    EXPECT_EQ(pin.png, c.bytes);
                                                    EXPECT_FALSE(pin.image.isNull());
                                                    pinnedAt = frame;
                                                    return c.pinWorks;
                                                },
                                                [&](const QImage& shown) {
                                                    ++edits;
                                                    EXPECT_EQ(shown.size(), QSize(30, 20));
                                                }});
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(clipboards, c.clipboards) << c.answer.toStdString();
        EXPECT_EQ(pins, c.pins) << c.answer.toStdString();
        EXPECT_EQ(edits, c.edits) << c.answer.toStdString();
        if (pins) {
            EXPECT_EQ(pinnedAt, Rect(1, 2, 30, 20));
        }
        EXPECT_FALSE(QFile::exists(path)) << c.answer.toStdString();
    }
}

// The command's side: a Tessal that answers takes the file; without one a Tessal is started and
// asked again; with none at all the reason is given and nothing is left behind.
TEST(StillDelivery, TheCommandHandsOverOrStartsATessalOrSaysWhy) {
    QTemporaryDir dir;
    const QByteArray image = png({8, 6}, Qt::blue);
    StillDelivery d;
    d.frame = Rect(0, 0, 8, 6);
    d.clipboard = true;

    struct Case {
        int silentAsks;  // asks that no Tessal answers
        bool starts;
        QString answer;
        std::optional<QString> result;
        int starts_expected;
    };
    const QString none = "没有运行中的 Tessal 接收截图，也无法启动它";
    const Case cases[] = {
        {0, false, "ok", std::nullopt, 0},
        {3, true, "ok", std::nullopt, 1},
        {0, false, "failed 无法贴图", QString("无法贴图"), 0},
        {1000000, true, "ok", none, 1},
        {1000000, false, "ok", none, 1},
    };
    for (const Case& c : cases) {
        int asks = 0, starts = 0;
        QByteArray received;
        const auto result = deliverStill(
            image, d, dir.path(),
            [&](const QString& request) -> std::optional<QString> {
                if (asks++ < c.silentAsks) return std::nullopt;
                const auto parsed = StillDelivery::parse(request, dir.path());
                EXPECT_TRUE(parsed) << request.toStdString();
                if (!parsed) return std::nullopt;
                QFile file(parsed->path);
                EXPECT_TRUE(file.open(QIODevice::ReadOnly));
                received = file.readAll();
                file.remove();
                return c.answer;
            },
            [&] {
                ++starts;
                return c.starts;
            },
            0.3);
        EXPECT_EQ(result, c.result) << c.answer.toStdString() << " " << c.silentAsks;
        EXPECT_EQ(starts, c.starts_expected);
        if (!c.result || c.answer != "ok") {
            EXPECT_EQ(received, image);
        }
        EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(' ').toStdString();
    }
}
