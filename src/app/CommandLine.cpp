#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QImageReader>
#include <cmath>

#include "CommandLineText.h"
#include "base/FileErrors.h"
#include "capture/CaptureCountdown.h"

namespace tessal {

QImage readImage(const QString& path, QString* error) {
    if (const QString reason = readFailureReason(path); !reason.isEmpty()) {
        *error = reason;
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // Qt refuses images past its allocation limit, and then reports only a read failure: a
    // sound image that is merely large is told as such, with how large one may be.
    const QSize size = reader.size();
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (limit > 0 && size.isValid() && qint64(size.width()) * size.height() * 4 > limit) {
        *error = QCoreApplication::translate("CommandLine",
                                             "图片太大（%1 × %2 像素），最多可读 %3 万像素")
                     .arg(size.width())
                     .arg(size.height())
                     .arg(limit / 4 / 10'000);
        return {};
    }
    QImage image = reader.read();
    if (image.isNull())
        *error = reader.error() == QImageReader::UnsupportedFormatError
                     ? QCoreApplication::translate("CommandLine", "不是可以识别的图片格式")
                     : QCoreApplication::translate("CommandLine", "图片已损坏或不完整");
    return image;
}

namespace {

Command usageError(const QString& message, const QString& verb = {}) {
    Command c;
    c.kind = Command::Kind::usageError;
    c.error = message;
    c.verb = verb;
    return c;
}

// COUNT finite numbers separated by commas.
std::optional<std::vector<double>> numbers(const QString& text, int count) {
    const QStringList parts = text.split(',');
    if (parts.size() != count) return std::nullopt;
    std::vector<double> values;
    for (const QString& part : parts) {
        bool ok = false;
        const double v = part.toDouble(&ok);
        if (!ok || !std::isfinite(v)) return std::nullopt;
        values.push_back(v);
    }
    return values;
}

CommandOption flag(QStringList names, const QString& description) {
    return {std::move(names), {}, description, CommandOption::Value::none, {}, false};
}
CommandOption valued(QStringList names, const QString& valueName, const QString& description,
                     CommandOption::Value value = CommandOption::Value::text,
                     QStringList choices = {}, bool list = false) {
    return {std::move(names), valueName, description, value, std::move(choices), list};
}

Command interpretCapture(const QCommandLineParser& p) {
    const QString verb = QStringLiteral("capture");
    auto isSet = [&p](const char* name) { return p.isSet(QString::fromLatin1(name)); };
    Command command;
    command.kind = Command::Kind::capture;
    const bool list = isSet("list-windows");
    const bool delayGiven = isSet("delay");
    const bool displayGiven = isSet("display");
    command.lastRegion = isSet("last-region");
    command.output = p.value(QStringLiteral("output"));
    command.clipboard = isSet("clipboard");
    command.pin = isSet("pin");
    command.editStill = isSet("edit");
    command.printGeometry = isSet("print-geometry");
    command.acceptOnSelect = isSet("accept-on-select");
    command.pointer = isSet("pointer");
    if (isSet("region")) {
        const auto v = numbers(p.value(QStringLiteral("region")), 4);
        if (!v || (*v)[2] <= 0 || (*v)[3] <= 0 || (*v)[2] > 1e6 || (*v)[3] > 1e6 ||
            std::abs((*v)[0]) > 1e6 || std::abs((*v)[1]) > 1e6)
            return usageError(
                QCoreApplication::translate("CommandLine", "--region 需要 X,Y,W,H，宽和高为正数"),
                verb);
        command.region = Rect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
    }
    if (isSet("window")) {
        // Decimal, or hexadecimal with 0x as X11 tools print window ids.
        const QString text = p.value(QStringLiteral("window"));
        bool ok = false;
        const qulonglong number = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                                      ? text.mid(2).toULongLong(&ok, 16)
                                      : text.toULongLong(&ok, 10);
        if (!ok || number == 0 || number > 0xffffffffULL)
            return usageError(
                QCoreApplication::translate("CommandLine",
                                            "--window 需要窗口编号（--list-windows 所列的 id）"),
                verb);
        command.windowSource = Command::WindowSource::number;
        command.windowNumber = unsigned(number);
    }
    if (isSet("active-window")) command.windowSource = Command::WindowSource::active;
    if (isSet("window-under-pointer")) command.windowSource = Command::WindowSource::underPointer;
    if (delayGiven) {
        const auto seconds = parseCaptureDelay(p.value(QStringLiteral("delay")));
        if (!seconds)
            return usageError(
                QCoreApplication::translate("CommandLine", "--delay 需要 0 到 60 之间的秒数"),
                verb);
        command.delay = *seconds;
    }
    if (displayGiven) {
        bool ok = false;
        command.display = p.value(QStringLiteral("display")).toInt(&ok);
        if (!ok || command.display < 0)
            return usageError(
                QCoreApplication::translate("CommandLine", "--display 需要一个不小于 0 的整数"),
                verb);
    }
    int sources = 0;
    for (const char* name : {"full", "region", "window", "active-window", "window-under-pointer"})
        sources += isSet(name) ? 1 : 0;
    const bool window = command.windowSource != Command::WindowSource::none;
    const bool destination =
        !command.output.isEmpty() || command.clipboard || command.pin || command.editStill;
    if (sources > 1)
        return usageError(
            QCoreApplication::translate("CommandLine",
                                        "--full、--region、--window、--active-window 和 "
                                        "--window-under-pointer 只能选一个"),
            verb);
    if (sources > 0 && list)
        return usageError(
            QCoreApplication::translate("CommandLine",
                                        "--full、--region 和窗口选项不能与 --list-windows 同用"),
            verb);
    if (command.lastRegion && (sources > 0 || list || delayGiven || destination || displayGiven ||
                               command.printGeometry || command.acceptOnSelect || command.pointer))
        return usageError(
            QCoreApplication::translate("CommandLine", "--last-region 不能与其他选项同用"), verb);
    if (list) {
        if (destination || displayGiven || delayGiven || command.printGeometry ||
            command.acceptOnSelect || command.pointer)
            return usageError(
                QCoreApplication::translate("CommandLine", "--list-windows 不能与其他选项同用"),
                verb);
        command.kind = Command::Kind::listWindows;
        return command;
    }
    if (displayGiven && window)
        return usageError(
            QCoreApplication::translate("CommandLine",
                                        "--display 不能与窗口选项同用：窗口在哪个显示器上就截哪个"),
            verb);
    if (displayGiven && sources == 0)
        return usageError(
            QCoreApplication::translate("CommandLine", "--display 需要 --full 或 --region"), verb);
    if (destination || command.printGeometry) {
        if (sources == 0)
            return usageError(QCoreApplication::translate(
                                  "CommandLine",
                                  "-o、--clipboard、--pin、--edit 和 --print-geometry 需要 "
                                  "--full、--region 或窗口选项"),
                              verb);
        if (command.acceptOnSelect)
            return usageError(QCoreApplication::translate(
                                  "CommandLine",
                                  "--accept-on-select 只用于交互截图，不能与 -o、--clipboard、"
                                  "--pin、--edit 或 --print-geometry 同用"),
                              verb);
        command.kind = Command::Kind::captureFull;
        return command;
    }
    if (command.pointer)
        return usageError(QCoreApplication::translate(
                              "CommandLine",
                              "--pointer 只用于不经界面的截图；交互截图是否显示指针由偏好设置决定"),
                          verb);
    // No destination: an interactive capture, opened with the region selected when one is given.
    if (isSet("full") || window)
        return usageError(
            QCoreApplication::translate(
                "CommandLine",
                "--full 和窗口选项需要 -o 文件（或 -o -）、--clipboard、--pin、--edit "
                "或 --print-geometry"),
            verb);
    return command;
}

Command interpretRegions(const QCommandLineParser& p) {
    const QString verb = QStringLiteral("regions");
    Command command;
    command.kind = Command::Kind::regions;
    command.output = p.positionalArguments().value(0);
    if (!p.isSet(QStringLiteral("window")))
        return usageError(QCoreApplication::translate("CommandLine", "regions 需要 --window"),
                          verb);
    const auto window = numbers(p.value(QStringLiteral("window")), 4);
    if (!window || (*window)[2] <= 0 || (*window)[3] <= 0)
        return usageError(
            QCoreApplication::translate("CommandLine", "--window 需要 X,Y,W,H，宽和高为正数"),
            verb);
    command.window = Rect((*window)[0], (*window)[1], (*window)[2], (*window)[3]);
    if (p.isSet(QStringLiteral("screen"))) {
        const auto screen = numbers(p.value(QStringLiteral("screen")), 2);
        if (!screen || (*screen)[0] <= 0 || (*screen)[1] <= 0)
            return usageError(
                QCoreApplication::translate("CommandLine", "--screen 需要 W,H，均为正数"), verb);
        command.screen = Size{(*screen)[0], (*screen)[1]};
    }
    return command;
}

Command interpretStitch(const QCommandLineParser& p) {
    Command command;
    command.kind = Command::Kind::stitch;
    command.output = p.value(QStringLiteral("output"));
    command.frames = p.positionalArguments();
    command.horizontal = p.value(QStringLiteral("axis")) == QStringLiteral("horizontal");
    command.automaticCrop = !p.isSet(QStringLiteral("no-auto-crop"));
    if (command.output.isEmpty())
        return usageError(QCoreApplication::translate("CommandLine", "stitch 需要 -o 输出文件"),
                          "stitch");
    return command;
}

Command interpretOcr(const QCommandLineParser& p) {
    Command command;
    command.kind = Command::Kind::ocr;
    command.output = p.positionalArguments().value(0);
    if (p.isSet(QStringLiteral("lang"))) {
        command.languages =
            p.value(QStringLiteral("lang")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (command.languages.isEmpty())
            return usageError(QCoreApplication::translate("CommandLine", "--lang 需要语言"), "ocr");
    }
    return command;
}

Command interpretImage(Command::Kind kind, const QCommandLineParser& p) {
    Command command;
    command.kind = kind;
    command.output = p.positionalArguments().value(0);
    return command;
}

CommandVerb helpOnly(CommandVerb verb) {
    verb.options.push_back(
        flag({"h", "help"}, QCoreApplication::translate("CommandLine", "显示这个命令的帮助")));
    return verb;
}

}  // namespace

std::vector<CommandVerb> commandVerbs() {
    using Value = CommandOption::Value;
    const QString file = QCoreApplication::translate("CommandLine", "文件");
    std::vector<CommandVerb> verbs;
    verbs.push_back(
        {"",
         "",
         QCoreApplication::translate("CommandLine", "启动 Tessal；已在运行时，由通知告知"),
         {},
         0,
         0,
         {flag({"v", "version"}, QCoreApplication::translate("CommandLine", "显示版本")),
          flag({"h", "help"}, QCoreApplication::translate("CommandLine", "显示帮助"))},
         [](const QCommandLineParser&) { return Command{}; }});
    verbs.push_back(helpOnly(
        {"capture",
         "[--delay SECONDS] [--full [--display N] | --region X,Y,W,H [--display N] | --window ID "
         "| --active-window | --window-under-pointer] [-o FILE] [--clipboard] [--pin] [--edit] "
         "[--print-geometry] [--pointer] [--accept-on-select] [--last-region] [--list-windows]",
         QCoreApplication::translate("CommandLine",
                                     "在运行中的 Tessal 里开始截图；给出来源（--full、--region "
                                     "或窗口）和去处时不经界面直接截取"),
         {},
         0,
         0,
         {valued({"delay"}, "SECONDS",
                 QCoreApplication::translate("CommandLine",
                                             "等待这么多秒后再截图（0 到 60，可带小数）")),
          flag({"last-region"},
               QCoreApplication::translate("CommandLine", "再次截取上次复制、保存或贴图的区域")),
          flag({"full"}, QCoreApplication::translate("CommandLine", "截取整个显示器，不经界面")),
          valued({"region"}, "X,Y,W,H",
                 QCoreApplication::translate(
                     "CommandLine",
                     "截取显示器的一部分：以显示器左下角为原点的点坐标，与 --list-windows "
                     "所列相同；超出显示器的部分被裁去并说明，完全在外则拒绝；没有去处时打开交互"
                     "截图并选中这个区域")),
          valued({"window"}, "ID",
                 QCoreApplication::translate(
                     "CommandLine", "截取编号为 ID 的窗口（含边框，--list-windows 列出编号）")),
          flag({"active-window"},
               QCoreApplication::translate("CommandLine", "截取当前活动的窗口（含边框）")),
          flag({"window-under-pointer"},
               QCoreApplication::translate("CommandLine", "截取指针下的窗口（含边框）")),
          valued({"o", "output"}, "FILE",
                 QCoreApplication::translate("CommandLine", "写入的 PNG 文件；- 表示标准输出"),
                 Value::file),
          flag({"clipboard"},
               QCoreApplication::translate(
                   "CommandLine", "放到剪贴板上，由运行中的 Tessal 保持（没有运行时先启动它）")),
          flag({"pin"},
               QCoreApplication::translate("CommandLine", "在截取的位置贴图（由运行中的 Tessal）")),
          flag({"edit"}, QCoreApplication::translate("CommandLine",
                                                     "在运行中的 Tessal 里打开标注窗口编辑截图")),
          flag({"print-geometry"},
               QCoreApplication::translate(
                   "CommandLine",
                   "输出截取的矩形：--display N --region X,Y,W,H（用 -o - 时写在标准错误上）")),
          flag({"pointer"}, QCoreApplication::translate("CommandLine", "把指针画进截图")),
          flag({"accept-on-select"},
               QCoreApplication::translate(
                   "CommandLine",
                   "交互截图中第一次完成的选择（拖出、点选窗口，或移动、缩放给定的区域）如按"
                   "回车一样复制")),
          valued({"display"}, "N",
                 QCoreApplication::translate("CommandLine", "显示器序号（0 为主显示器）")),
          flag({"list-windows"},
               QCoreApplication::translate("CommandLine", "列出每个显示器上可选的窗口及其编号"))},
         interpretCapture}));
    verbs.push_back(helpOnly(
        {"edit",
         "FILE",
         QCoreApplication::translate("CommandLine", "打开一张 PNG 或 JPEG 图片进行标注"),
         file,
         1,
         1,
         {},
         [](const QCommandLineParser& p) { return interpretImage(Command::Kind::edit, p); }}));
    verbs.push_back(helpOnly(
        {"history",
         "",
         QCoreApplication::translate("CommandLine", "打开截图历史窗口"),
         {},
         0,
         0,
         {},
         [](const QCommandLineParser& p) { return interpretImage(Command::Kind::history, p); }}));
    verbs.push_back(helpOnly({"preferences",
                              "",
                              QCoreApplication::translate("CommandLine", "打开截图偏好设置窗口"),
                              {},
                              0,
                              0,
                              {},
                              [](const QCommandLineParser& p) {
                                  return interpretImage(Command::Kind::preferences, p);
                              }}));
    verbs.push_back(helpOnly(
        {"regions",
         "IMAGE --window X,Y,W,H [--screen W,H]",
         QCoreApplication::translate(
             "CommandLine",
             "列出截图中一个窗口里找到的面板（屏幕局部点坐标，原点在左下角，从小到大）"),
         "IMAGE",
         1,
         1,
         {valued({"window"}, "X,Y,W,H",
                 QCoreApplication::translate("CommandLine", "窗口在截图中的位置，屏幕局部点坐标")),
          valued({"screen"}, "W,H",
                 QCoreApplication::translate("CommandLine", "显示器的点尺寸（默认为图片尺寸）"))},
         interpretRegions}));
    verbs.push_back(helpOnly(
        {"stitch",
         "[--axis vertical|horizontal] [--no-auto-crop] -o FILE FRAME...",
         QCoreApplication::translate("CommandLine", "把一个滚动区域的各帧拼接成一张图片"),
         "FRAME",
         1,
         -1,
         {valued({"axis"}, "AXIS", QCoreApplication::translate("CommandLine", "滚动方向"),
                 Value::choice, {"vertical", "horizontal"}),
          flag({"no-auto-crop"},
               QCoreApplication::translate("CommandLine", "不自动裁去固定的页眉和页脚")),
          valued({"o", "output"}, "FILE",
                 QCoreApplication::translate("CommandLine", "写入的 PNG 文件"), Value::file)},
         interpretStitch}));
    verbs.push_back(helpOnly(
        {"ocr",
         "IMAGE [--lang zh-Hans,zh-Hant,en-US]",
         QCoreApplication::translate("CommandLine", "输出图片中的文字，每读出一行输出一行"),
         "IMAGE",
         1,
         1,
         {valued({"lang"}, "LANGUAGES",
                 QCoreApplication::translate("CommandLine", "要识别的语言，以逗号分隔"),
                 Value::choice, {"zh-Hans", "zh-Hant", "en-US"}, true)},
         interpretOcr}));
    return verbs;
}

Command parseCommandLine(const QStringList& arguments) {
    if (arguments.isEmpty()) return Command{};
    const std::vector<CommandVerb> verbs = commandVerbs();
    const QString first = arguments.first();

    // Hidden: the build writes the shell completions and the manual page with these.
    if (first == QStringLiteral("--dump-completions") || first == QStringLiteral("--dump-man")) {
        Command c;
        c.kind = Command::Kind::help;
        if (first == QStringLiteral("--dump-man")) {
            if (arguments.size() != 1)
                return usageError(
                    QCoreApplication::translate("CommandLine", "--dump-man 不带参数"));
            c.text = manualPage(verbs);
        } else {
            if (arguments.size() == 2) c.text = completionScript(verbs, arguments[1]);
            if (c.text.isEmpty())
                return usageError(QCoreApplication::translate(
                    "CommandLine", "--dump-completions 需要 bash、zsh 或 fish"));
        }
        return c;
    }
    if (first == QStringLiteral("help")) {
        if (arguments.size() > 2)
            return usageError(
                QCoreApplication::translate("CommandLine", "多余的参数：%1").arg(arguments[2]));
        return parseCommandLine(arguments.size() == 2
                                    ? QStringList{arguments[1], QStringLiteral("--help")}
                                    : QStringList{QStringLiteral("--help")});
    }

    const bool hasVerb = !first.startsWith(QLatin1Char('-'));
    const auto verb = std::find_if(verbs.begin(), verbs.end(), [&](const CommandVerb& v) {
        return v.name == (hasVerb ? first : QString());
    });
    if (verb == verbs.end())
        return usageError(QCoreApplication::translate("CommandLine", "未知的命令：%1").arg(first));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandOption& option : verb->options)
        parser.addOption(QCommandLineOption(option.names, option.description, option.valueName));
    QStringList rest = arguments;
    if (!hasVerb) rest.prepend(QString());
    rest[0] = QStringLiteral("tessal");
    if (!parser.parse(rest)) return usageError(parser.errorText(), verb->name);

    Command command;
    command.kind = Command::Kind::help;
    if (parser.isSet(QStringLiteral("help"))) {
        command.text = verbHelp(verbs, *verb);
        return command;
    }
    const QStringList positional = parser.positionalArguments();
    if (!hasVerb && parser.isSet(QStringLiteral("version"))) {
        if (arguments.size() > 1)
            return usageError(
                QCoreApplication::translate("CommandLine", "多余的参数：%1").arg(arguments[1]));
        command.kind = Command::Kind::version;
        command.text = QStringLiteral("Tessal %1\n").arg(TESSAL_VERSION);
        return command;
    }
    if (positional.size() > verb->maximumPositional && verb->maximumPositional >= 0)
        return usageError(QCoreApplication::translate("CommandLine", "多余的参数：%1")
                              .arg(positional.value(verb->maximumPositional)),
                          verb->name);
    if (positional.size() < verb->minimumPositional)
        return usageError(QCoreApplication::translate("CommandLine", "%1 需要 %2")
                              .arg(verb->name, verb->positional),
                          verb->name);
    for (const CommandOption& option : verb->options) {
        if (option.value != CommandOption::Value::choice || !parser.isSet(option.names.last()))
            continue;
        const QString given = parser.value(option.names.last());
        const QStringList values =
            option.list ? given.split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList{given};
        for (const QString& value : values) {
            if (!option.choices.contains(value))
                return usageError(
                    QCoreApplication::translate("CommandLine", "--%1 不认识的值：%2（可用：%3）")
                        .arg(option.names.last(), value, option.choices.join(QStringLiteral("、"))),
                    verb->name);
        }
    }
    return verb->interpret(parser);
}

QStringList captureArguments(const Command& capture) {
    QStringList arguments{QStringLiteral("capture")};
    auto number = [](double v) { return QString::number(v, 'g', 17); };
    if (capture.lastRegion) arguments << QStringLiteral("--last-region");
    if (capture.delay > 0) arguments << QStringLiteral("--delay") << number(capture.delay);
    if (const auto& r = capture.region) {
        arguments << QStringLiteral("--region")
                  << QStringList{number(r->minX()), number(r->minY()), number(r->width()),
                                 number(r->height())}
                         .join(QLatin1Char(','))
                  << QStringLiteral("--display") << QString::number(capture.display);
    }
    if (capture.acceptOnSelect) arguments << QStringLiteral("--accept-on-select");
    return arguments;
}

}  // namespace tessal
