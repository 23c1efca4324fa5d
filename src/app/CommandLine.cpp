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
    Command command;
    command.kind = Command::Kind::capture;
    const bool list = p.isSet(QStringLiteral("list-windows"));
    const bool delayGiven = p.isSet(QStringLiteral("delay"));
    const bool displayGiven = p.isSet(QStringLiteral("display"));
    command.lastRegion = p.isSet(QStringLiteral("last-region"));
    command.output = p.value(QStringLiteral("output"));
    bool full = p.isSet(QStringLiteral("full"));
    if (p.isSet(QStringLiteral("region"))) {
        const auto v = numbers(p.value(QStringLiteral("region")), 4);
        if (!v || (*v)[2] <= 0 || (*v)[3] <= 0 || (*v)[2] > 1e6 || (*v)[3] > 1e6 ||
            std::abs((*v)[0]) > 1e6 || std::abs((*v)[1]) > 1e6)
            return usageError(
                QCoreApplication::translate("CommandLine", "--region 需要 X,Y,W,H，宽和高为正数"),
                verb);
        command.region = Rect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
        full = true;
    }
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
    if (full && list)
        return usageError(QCoreApplication::translate(
                              "CommandLine", "--full 或 --region 不能与 --list-windows 同用"),
                          verb);
    if (command.lastRegion && (full || list || delayGiven))
        return usageError(
            QCoreApplication::translate("CommandLine", "--last-region 不能与其他选项同用"), verb);
    if (list) {
        if (!command.output.isEmpty() || displayGiven || delayGiven)
            return usageError(
                QCoreApplication::translate("CommandLine", "--list-windows 不能与其他选项同用"),
                verb);
        command.kind = Command::Kind::listWindows;
    } else if (full) {
        if (command.output.isEmpty())
            return usageError(QCoreApplication::translate(
                                  "CommandLine", "--full 和 --region 需要 -o 文件（或 -o -）"),
                              verb);
        command.kind = Command::Kind::captureFull;
    } else if (!command.output.isEmpty() || displayGiven) {
        return usageError(
            QCoreApplication::translate("CommandLine", "-o 和 --display 需要 --full 或 --region"),
            verb);
    }
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
         "[--delay SECONDS] [--last-region] [--full | --region X,Y,W,H -o FILE [--display N]] "
         "[--list-windows]",
         QCoreApplication::translate(
             "CommandLine",
             "在运行中的 Tessal 里开始截图；带 --full 或 --region 时不经界面直接写出 PNG"),
         {},
         0,
         0,
         {valued({"delay"}, "SECONDS",
                 QCoreApplication::translate("CommandLine",
                                             "等待这么多秒后再截图（0 到 60，可带小数）")),
          flag({"last-region"},
               QCoreApplication::translate("CommandLine", "再次截取上次复制、保存或贴图的区域")),
          flag({"full"},
               QCoreApplication::translate("CommandLine", "整个显示器写成 PNG，不经界面")),
          valued({"region"}, "X,Y,W,H",
                 QCoreApplication::translate(
                     "CommandLine",
                     "显示器的一部分写成 PNG：以显示器左下角为原点的点坐标，与 --list-windows "
                     "所列相同；超出显示器的部分被裁去并说明，完全在外则拒绝")),
          valued({"o", "output"}, "FILE",
                 QCoreApplication::translate("CommandLine", "写入的 PNG 文件；- 表示标准输出"),
                 Value::file),
          valued({"display"}, "N",
                 QCoreApplication::translate("CommandLine", "显示器序号（0 为主显示器）")),
          flag({"list-windows"},
               QCoreApplication::translate("CommandLine", "列出每个显示器上可选的窗口"))},
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

}  // namespace tessal
