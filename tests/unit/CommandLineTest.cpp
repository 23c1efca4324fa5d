#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

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
        {{"capture", "--region", "10,20,300,200"}, Kind::capture},  // interactive, selected
        {{"capture", "--region", "10,20,300,200", "--accept-on-select"}, Kind::capture},
        {{"capture", "--accept-on-select", "--delay", "2"}, Kind::capture},
        {{"capture", "--window", "0x1a00003", "-o", "a.png"}, Kind::captureFull},
        {{"capture", "--window", "4711", "--clipboard"}, Kind::captureFull},
        {{"capture", "--active-window", "--pin", "--edit", "-o", "-"}, Kind::captureFull},
        {{"capture", "--window-under-pointer", "--print-geometry"}, Kind::captureFull},
        {{"capture", "--full", "--display", "1", "--clipboard"}, Kind::captureFull},
        {{"capture", "--region", "1,2,3,4", "--edit", "--delay", "0.5"}, Kind::captureFull},
        {{"capture", "--full", "--pointer", "-o", "-"}, Kind::captureFull},
        {{"capture", "--pointer"}, Kind::usageError},
        {{"capture", "--region", "1,2,3,4", "--pointer"}, Kind::usageError},
        {{"capture", "--list-windows", "--pointer"}, Kind::usageError},
        {{"capture", "--last-region", "--pointer"}, Kind::usageError},
        {{"capture", "--window", "12"}, Kind::usageError},
        {{"capture", "--window", "0", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--window", "0x", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--window", "-5", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--window", "0x100000000", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--full", "--active-window", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--clipboard"}, Kind::usageError},
        {{"capture", "--print-geometry"}, Kind::usageError},
        {{"capture", "--full", "--clipboard", "--accept-on-select"}, Kind::usageError},
        {{"capture", "--window", "3", "--display", "1", "-o", "a"}, Kind::usageError},
        {{"capture", "--display", "1"}, Kind::usageError},
        {{"capture", "--last-region", "--accept-on-select"}, Kind::usageError},
        {{"capture", "--list-windows", "--clipboard"}, Kind::usageError},
        {{"capture", "--list-windows", "--active-window"}, Kind::usageError},
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
              "--delay 需要 0 到 60 之间的秒数");
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

// What each request turns into, beyond its kind.
TEST(CommandLine, ValuesReachTheRequest) {
    const Command stitch = parseCommandLine(
        {"stitch", "--axis", "horizontal", "--no-auto-crop", "-o", "o.png", "a.png", "b.png"});
    EXPECT_TRUE(stitch.horizontal);
    EXPECT_FALSE(stitch.automaticCrop);
    EXPECT_EQ(stitch.output, "o.png");
    EXPECT_EQ(stitch.frames, QStringList({"a.png", "b.png"}));
    const Command vertical = parseCommandLine({"stitch", "--axis", "vertical", "-o", "o", "a"});
    EXPECT_FALSE(vertical.horizontal);
    EXPECT_TRUE(vertical.automaticCrop);

    const Command ocr = parseCommandLine({"ocr", "in.png", "--lang", "en-US,zh-Hant"});
    EXPECT_EQ(ocr.kind, Kind::ocr);
    EXPECT_EQ(ocr.output, "in.png");
    EXPECT_EQ(ocr.languages, QStringList({"en-US", "zh-Hant"}));

    const Command region =
        parseCommandLine({"capture", "--region=10,20.5,300,200", "-o", "-", "--display", "1"});
    ASSERT_TRUE(region.region);
    EXPECT_EQ(*region.region, Rect(10, 20.5, 300, 200));
    EXPECT_EQ(region.output, "-");
    EXPECT_EQ(region.display, 1);

    const Command regions =
        parseCommandLine({"regions", "s.png", "--window", "1,2,30,40", "--screen", "800,600"});
    EXPECT_EQ(regions.output, "s.png");
    EXPECT_EQ(*regions.window, Rect(1, 2, 30, 40));
    EXPECT_EQ(regions.screen->width, 800);

    const Command window =
        parseCommandLine({"capture", "--window", "0x1A00003", "--clipboard", "--print-geometry"});
    EXPECT_EQ(window.windowSource, Command::WindowSource::number);
    EXPECT_EQ(window.windowNumber, 0x1a00003u);
    EXPECT_TRUE(window.clipboard);
    EXPECT_TRUE(window.printGeometry);
    EXPECT_FALSE(window.pin || window.editStill);
    EXPECT_FALSE(window.pointer);
    EXPECT_TRUE(parseCommandLine({"capture", "--active-window", "--pointer", "-o", "a"}).pointer);
    EXPECT_EQ(parseCommandLine({"capture", "--window", "4294967295", "-o", "-"}).windowNumber,
              4294967295u);
    const Command pointer =
        parseCommandLine({"capture", "--window-under-pointer", "--pin", "--edit"});
    EXPECT_EQ(pointer.windowSource, Command::WindowSource::underPointer);
    EXPECT_TRUE(pointer.pin && pointer.editStill);
    EXPECT_EQ(parseCommandLine({"capture", "--active-window", "-o", "a"}).windowSource,
              Command::WindowSource::active);
    EXPECT_EQ(parseCommandLine({"capture", "--full", "-o", "a"}).windowSource,
              Command::WindowSource::none);

    // What the running Tessal is handed for an interactive capture parses back into it.
    const QStringList interactive[] = {
        {"capture"},
        {"capture", "--delay", "2.5"},
        {"capture", "--last-region"},
        {"capture", "--region", "10.25,-20,300,200.5", "--display", "1", "--accept-on-select"},
        {"capture", "--accept-on-select", "--delay", "0.1"},
    };
    for (const QStringList& args : interactive) {
        const Command given = parseCommandLine(args);
        ASSERT_EQ(given.kind, Kind::capture) << args.join(' ').toStdString();
        const Command back = parseCommandLine(captureArguments(given));
        EXPECT_EQ(back.kind, Kind::capture) << args.join(' ').toStdString();
        EXPECT_EQ(back.region, given.region) << args.join(' ').toStdString();
        EXPECT_EQ(back.display, given.display) << args.join(' ').toStdString();
        EXPECT_EQ(back.delay, given.delay) << args.join(' ').toStdString();
        EXPECT_EQ(back.lastRegion, given.lastRegion) << args.join(' ').toStdString();
        EXPECT_EQ(back.acceptOnSelect, given.acceptOnSelect) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(parseCommandLine({"capture", "--accept-on-select"}).acceptOnSelect);

    const Command edit = parseCommandLine({"edit", "shot.png"});
    EXPECT_EQ(edit.output, "shot.png");
    EXPECT_TRUE(parseCommandLine({"capture", "--last-region"}).lastRegion);
}

// Bad requests: the message the user reads, and the verb whose help follows it.
TEST(CommandLine, BadRequestsSayWhatIsWrong) {
    struct Case {
        QStringList args;
        QString error;
        QString verb;
    };
    const Case cases[] = {
        {{"snap"}, "未知的命令：snap", ""},
        {{"capture", "--full"},
         "--full 和窗口选项需要 -o 文件（或 -o -）、--clipboard、--pin、--edit 或 --print-geometry",
         "capture"},
        {{"capture", "--active-window"},
         "--full 和窗口选项需要 -o 文件（或 -o -）、--clipboard、--pin、--edit 或 --print-geometry",
         "capture"},
        {{"capture", "-o", "a.png"},
         "-o、--clipboard、--pin、--edit 和 --print-geometry 需要 --full、--region 或窗口选项",
         "capture"},
        {{"capture", "--pin", "--delay", "1"},
         "-o、--clipboard、--pin、--edit 和 --print-geometry 需要 --full、--region 或窗口选项",
         "capture"},
        {{"capture", "--region", "1,2,3,4", "--window-under-pointer", "--clipboard"},
         "--full、--region、--window、--active-window 和 --window-under-pointer 只能选一个",
         "capture"},
        {{"capture", "--window", "abc", "-o", "a"},
         "--window 需要窗口编号（--list-windows 所列的 id）",
         "capture"},
        {{"capture", "--region", "1,2,3,4", "--clipboard", "--accept-on-select"},
         "--accept-on-select 只用于交互截图，不能与 -o、--clipboard、--pin、--edit 或 "
         "--print-geometry 同用",
         "capture"},
        {{"capture", "--window", "7", "--display", "1", "--pin"},
         "--display 不能与窗口选项同用：窗口在哪个显示器上就截哪个",
         "capture"},
        {{"capture", "--display", "1", "--accept-on-select"},
         "--display 需要 --full 或 --region",
         "capture"},
        {{"capture", "--last-region", "--clipboard"},
         "--last-region 不能与其他选项同用",
         "capture"},
        {{"capture", "--pointer", "--accept-on-select"},
         "--pointer 只用于不经界面的截图；交互截图是否显示指针由偏好设置决定",
         "capture"},
        {{"capture", "--display", "-1", "--full", "-o", "a"},
         "--display 需要一个不小于 0 的整数",
         "capture"},
        {{"capture", "--region", "1,2,0,4", "-o", "a"},
         "--region 需要 X,Y,W,H，宽和高为正数",
         "capture"},
        {{"capture", "--list-windows", "--region", "1,2,3,4", "-o", "a"},
         "--full、--region 和窗口选项不能与 --list-windows 同用",
         "capture"},
        {{"capture", "--list-windows", "--delay", "1"},
         "--list-windows 不能与其他选项同用",
         "capture"},
        {{"capture", "--last-region", "--delay", "1"},
         "--last-region 不能与其他选项同用",
         "capture"},
        {{"capture", "--delay", "61"}, "--delay 需要 0 到 60 之间的秒数", "capture"},
        {{"capture", "extra"}, "多余的参数：extra", "capture"},
        {{"edit", "a.png", "b.png"}, "多余的参数：b.png", "edit"},
        {{"edit"}, "edit 需要 文件", "edit"},
        {{"history", "now"}, "多余的参数：now", "history"},
        {{"stitch", "a.png"}, "stitch 需要 -o 输出文件", "stitch"},
        {{"stitch", "-o", "o.png"}, "stitch 需要 FRAME", "stitch"},
        {{"stitch", "--axis", "vertical,horizontal", "-o", "o", "a"},
         "--axis 不认识的值：vertical,horizontal（可用：vertical、horizontal）",
         "stitch"},
        {{"ocr", "a.png", "--lang", "en-US,fr-FR"},
         "--lang 不认识的值：fr-FR（可用：zh-Hans、zh-Hant、en-US）",
         "ocr"},
        {{"ocr", "a.png", "--lang", ","}, "--lang 需要语言", "ocr"},
        {{"regions", "a.png"}, "regions 需要 --window", "regions"},
        {{"regions", "a.png", "--window", "0,0,5,10", "--screen", "0,10"},
         "--screen 需要 W,H，均为正数",
         "regions"},
        {{"--version", "extra"}, "多余的参数：extra", ""},
        {{"--dump-completions", "tcsh"}, "--dump-completions 需要 bash、zsh 或 fish", ""},
        {{"help", "capture", "more"}, "多余的参数：more", ""},
    };
    for (const Case& c : cases) {
        const Command command = parseCommandLine(c.args);
        EXPECT_EQ(command.kind, Kind::usageError) << c.args.join(' ').toStdString();
        EXPECT_EQ(command.error, c.error) << c.args.join(' ').toStdString();
        EXPECT_EQ(command.verb, c.verb) << c.args.join(' ').toStdString();
    }
    // Options of another verb and unknown ones: Qt's own words, naming the option.
    const std::pair<QStringList, QString> unknown[] = {
        {{"history", "--delay", "1"}, "delay"},
        {{"edit", "-x", "a.png"}, "x"},
        {{"capture", "--bogus"}, "bogus"},
        {{"--frobnicate"}, "frobnicate"},
    };
    for (const auto& [args, name] : unknown) {
        const Command command = parseCommandLine(args);
        EXPECT_EQ(command.kind, Kind::usageError) << args.join(' ').toStdString();
        EXPECT_TRUE(command.error.contains("'" + name + "'")) << command.error.toStdString();
    }
}

// Help, completions and the manual page are all written from the same definitions: every
// option of every verb shows in each of them.
TEST(CommandLine, HelpCompletionsAndManualNameEveryOption) {
    const std::vector<CommandVerb> verbs = commandVerbs();
    const QString bash = parseCommandLine({"--dump-completions", "bash"}).text;
    const QString zsh = parseCommandLine({"--dump-completions", "zsh"}).text;
    const QString fish = parseCommandLine({"--dump-completions", "fish"}).text;
    const QString man = parseCommandLine({"--dump-man"}).text;
    const QString overview = parseCommandLine({"--help"}).text;
    for (const CommandVerb& verb : verbs) {
        const QStringList helpArgs =
            verb.name.isEmpty() ? QStringList{"--help"} : QStringList{verb.name, "--help"};
        const Command help = parseCommandLine(helpArgs);
        ASSERT_EQ(help.kind, Kind::help) << verb.name.toStdString();
        if (!verb.name.isEmpty()) {
            EXPECT_EQ(parseCommandLine({"help", verb.name}).text, help.text);
            EXPECT_TRUE(overview.contains(verb.summary)) << verb.name.toStdString();
            EXPECT_TRUE(bash.contains("    " + verb.name + ")")) << verb.name.toStdString();
            EXPECT_TRUE(zsh.contains("'" + verb.name + ":")) << verb.name.toStdString();
            EXPECT_TRUE(fish.contains("-a " + verb.name + " ")) << verb.name.toStdString();
            EXPECT_TRUE(man.contains(".SS \"tessal " + verb.name)) << verb.name.toStdString();
        }
        for (const CommandOption& option : verb.options) {
            const QString name = option.names.last();
            EXPECT_TRUE(help.text.contains("--" + name))
                << verb.name.toStdString() << " " << name.toStdString();
            EXPECT_TRUE(help.text.contains(option.description)) << name.toStdString();
            EXPECT_TRUE(bash.contains("--" + name)) << name.toStdString();
            EXPECT_TRUE(zsh.contains("--" + name + "[") || zsh.contains(",--" + name + "}") ||
                        zsh.contains("'--" + name + ":"))
                << name.toStdString();
            EXPECT_TRUE(fish.contains("-l " + name)) << name.toStdString();
            EXPECT_TRUE(man.contains("\\fB\\-\\-" + QString(name).replace("-", "\\-") + "\\fR"))
                << name.toStdString();
        }
        for (const char* status : {"0", "1", "2", "3"})
            EXPECT_TRUE(help.text.contains(QStringLiteral("\n  %1  ").arg(status))) << status;
    }
    EXPECT_EQ(parseCommandLine({"--version"}).text,
              QStringLiteral("Tessal %1\n").arg(TESSAL_VERSION));
}

namespace {

// Runs `program` with `script` on standard input; its standard output, or nothing when the
// program is not installed.
std::optional<QString> run(const QString& program, const QStringList& arguments,
                           const QByteArray& input) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

// The bash completion answers as a user typing would expect.
TEST(CommandLine, BashCompletionCompletes) {
    QTemporaryDir dir;
    QFile script(dir.filePath("tessal.bash"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(parseCommandLine({"--dump-completions", "bash"}).text.toUtf8());
    script.close();
    QFile(dir.filePath("shot.png")).open(QIODevice::WriteOnly);
    struct Case {
        QString line;  // the words typed; the last one is being completed
        QString expected;
    };
    const Case cases[] = {
        {"tessal ca", "capture"},
        {"tessal --v", "--version"},
        {"tessal capture --re", "--region"},
        {"tessal capture --last", "--last-region"},
        {"tessal capture --delay ", ""},
        {"tessal stitch --axis h", "horizontal"},
        {"tessal ocr x.png --lang ", "zh-Hans zh-Hant en-US"},
        {"tessal edit sh", "shot.png"},
        {"tessal capture -o sh", "shot.png"},
        {"tessal history ", "-h --help"},
        {"tessal history --h", "--help"},
    };
    QByteArray input = "cd '" + dir.path().toUtf8() + "' && source tessal.bash || exit 1\n";
    for (const Case& c : cases) {
        QStringList words = c.line.split(' ');
        input += "COMP_WORDS=(";
        for (const QString& word : words) input += "'" + word.toUtf8() + "' ";
        input += ") COMP_CWORD=" + QByteArray::number(words.size() - 1) +
                 "; COMPREPLY=(); _tessal; echo \"${COMPREPLY[*]}\"\n";
    }
    const auto out = run("bash", {"--norc", "-s"}, input);
    ASSERT_TRUE(out);
    const QStringList lines = out->split('\n');
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(lines.value(qsizetype(i)), cases[i].expected) << cases[i].line.toStdString();
}

// The other shells and man read what is generated without complaint (where they are installed).
TEST(CommandLine, GeneratedFilesAreWellFormed) {
    const QByteArray man = parseCommandLine({"--dump-man"}).text.toUtf8();
    if (const auto warnings =
            run("sh", {"-c", "groff -k -man -Tutf8 -ww -Wbreak -z 2>&1 || echo failed"}, man)) {
        EXPECT_EQ(*warnings, "");
    }
    for (const char* shell : {"zsh", "fish"}) {
        const QByteArray script = parseCommandLine({"--dump-completions", shell}).text.toUtf8();
        if (const auto out = run(shell, {"-n"}, script)) {
            EXPECT_EQ(*out, "") << shell;
        }
    }
    const QByteArray bash = parseCommandLine({"--dump-completions", "bash"}).text.toUtf8();
    EXPECT_TRUE(run("bash", {"-n"}, bash));
}
