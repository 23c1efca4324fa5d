#include "CommandLine.h"

#include <QCoreApplication>
#include <QImageReader>
#include <cmath>

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

QString usageText() {
    return QStringLiteral(
        "Usage:\n"
        "  tessal                       start Tessal (when it runs already: a notification says "
        "so)\n"
        "  tessal capture [--delay SECONDS]\n"
        "                               start a capture in the running Tessal, after SECONDS\n"
        "                               (0 to 60, fractions allowed) when given\n"
        "  tessal capture --last-region\n"
        "                               capture the region last copied, saved or pinned again\n"
        "  tessal capture --full -o FILE.png [--display N] [--delay SECONDS]\n"
        "                               write display N (0 = primary) as PNG, no interface\n"
        "  tessal capture --region X,Y,W,H -o FILE.png [--display N] [--delay SECONDS]\n"
        "                               the same for a part of the display: points from its\n"
        "                               bottom-left corner, as --list-windows prints them;\n"
        "                               -o - writes the PNG to standard output\n"
        "  tessal capture --list-windows\n"
        "                               print each display's selectable windows\n"
        "  tessal edit FILE             open a PNG or JPEG for annotating\n"
        "  tessal history               open the screenshot history window\n"
        "  tessal preferences           open the capture preferences window\n"
        "  tessal regions IMAGE.png --window X,Y,W,H [--screen W,H]\n"
        "                               print the panels found in a window of a screenshot\n"
        "                               (screen-local points, origin bottom-left, smallest first)\n"
        "  tessal stitch [--axis vertical|horizontal] [--no-auto-crop] -o OUT.png FRAME.png...\n"
        "                               stitch the frames of a scrolling area into one image\n"
        "  tessal ocr IMAGE [--lang zh-Hans,zh-Hant,en-US]\n"
        "                               print the text of an image, a line per line found\n"
        "  tessal --version\n"
        "  tessal --help\n");
}

namespace {

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

}  // namespace

Command parseCommandLine(const QStringList& arguments) {
    auto error = [](const QString& message) {
        Command c;
        c.kind = Command::Kind::usageError;
        c.error = message;
        return c;
    };
    Command command;
    if (arguments.isEmpty()) return command;
    const QString verb = arguments.first();
    if (verb == "--version" || verb == "-v") {
        if (arguments.size() > 1) return error("unexpected argument: " + arguments[1]);
        command.kind = Command::Kind::version;
        return command;
    }
    if (verb == "--help" || verb == "-h") {
        command.kind = Command::Kind::help;
        return command;
    }
    if (verb == "history" || verb == "preferences") {
        if (arguments.size() > 1) return error("unexpected argument: " + arguments[1]);
        command.kind = verb == "history" ? Command::Kind::history : Command::Kind::preferences;
        return command;
    }
    if (verb == "edit") {
        if (arguments.size() != 2 || arguments[1].startsWith('-'))
            return error("edit needs exactly one image file");
        command.kind = Command::Kind::edit;
        command.output = arguments[1];
        return command;
    }
    if (verb == "ocr") {
        command.kind = Command::Kind::ocr;
        for (int i = 1; i < arguments.size(); ++i) {
            const QString& a = arguments[i];
            if (a == "--lang") {
                if (++i >= arguments.size()) return error("--lang needs languages");
                for (const QString& language : arguments[i].split(',', Qt::SkipEmptyParts)) {
                    if (language != "zh-Hans" && language != "zh-Hant" && language != "en-US")
                        return error("unknown language: " + language);
                    command.languages << language;
                }
                if (command.languages.isEmpty()) return error("--lang needs languages");
            } else if (a.startsWith('-') || !command.output.isEmpty()) {
                return error("unexpected argument: " + a);
            } else {
                command.output = a;
            }
        }
        if (command.output.isEmpty()) return error("ocr needs an image");
        return command;
    }
    if (verb == "stitch") {
        command.kind = Command::Kind::stitch;
        for (int i = 1; i < arguments.size(); ++i) {
            const QString& a = arguments[i];
            if (a == "--axis") {
                if (++i >= arguments.size()) return error("--axis needs vertical or horizontal");
                if (arguments[i] != "vertical" && arguments[i] != "horizontal")
                    return error("--axis needs vertical or horizontal");
                command.horizontal = arguments[i] == "horizontal";
            } else if (a == "--no-auto-crop") {
                command.automaticCrop = false;
            } else if (a == "-o" || a == "--output") {
                if (++i >= arguments.size()) return error(a + " needs a file name");
                command.output = arguments[i];
            } else if (a.startsWith('-')) {
                return error("unknown argument: " + a);
            } else {
                command.frames << a;
            }
        }
        if (command.output.isEmpty() || command.frames.isEmpty())
            return error("stitch needs -o OUT.png and frames");
        return command;
    }
    if (verb == "regions") {
        command.kind = Command::Kind::regions;
        for (int i = 1; i < arguments.size(); ++i) {
            const QString& a = arguments[i];
            if (a == "--window" || a == "--screen") {
                if (++i >= arguments.size()) return error(a + " needs numbers");
                const auto v = numbers(arguments[i], a == "--window" ? 4 : 2);
                if (!v) return error(a + " needs " + (a == "--window" ? "X,Y,W,H" : "W,H"));
                if (a == "--window") {
                    if ((*v)[2] <= 0 || (*v)[3] <= 0)
                        return error("--window needs a positive size");
                    command.window = Rect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
                } else {
                    if ((*v)[0] <= 0 || (*v)[1] <= 0)
                        return error("--screen needs a positive size");
                    command.screen = Size{(*v)[0], (*v)[1]};
                }
            } else if (!a.startsWith('-') && command.output.isEmpty()) {
                command.output = a;
            } else {
                return error("unknown argument: " + a);
            }
        }
        if (command.output.isEmpty() || !command.window)
            return error("regions needs IMAGE.png and --window");
        return command;
    }
    if (verb != "capture") return error("unknown argument: " + verb);

    command.kind = Command::Kind::capture;
    bool full = false, list = false, displayGiven = false, delayGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--full") {
            full = true;
        } else if (a == "--list-windows") {
            list = true;
        } else if (a == "-o" || a == "--output") {
            if (++i >= arguments.size()) return error(a + " needs a file name");
            command.output = arguments[i];
        } else if (a == "--region") {
            const auto v = ++i < arguments.size() ? numbers(arguments[i], 4) : std::nullopt;
            if (!v || (*v)[2] <= 0 || (*v)[3] <= 0 || (*v)[2] > 1e6 || (*v)[3] > 1e6 ||
                std::abs((*v)[0]) > 1e6 || std::abs((*v)[1]) > 1e6)
                return error("--region needs X,Y,W,H with a positive size");
            command.region = Rect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
            full = true;
        } else if (a == "--last-region") {
            command.lastRegion = true;
        } else if (a == "--delay") {
            const auto seconds =
                ++i < arguments.size() ? parseCaptureDelay(arguments[i]) : std::nullopt;
            if (!seconds) return error("--delay needs seconds from 0 to 60");
            command.delay = *seconds;
            delayGiven = true;
        } else if (a == "--display") {
            if (++i >= arguments.size()) return error("--display needs a number");
            bool ok = false;
            command.display = arguments[i].toInt(&ok);
            if (!ok || command.display < 0) return error("--display needs a number ≥ 0");
            displayGiven = true;
        } else {
            return error("unknown argument: " + a);
        }
    }
    if (full && list) return error("--full or --region cannot go with --list-windows");
    if (command.lastRegion && (full || list || delayGiven))
        return error("--last-region takes no other option");
    if (list) {
        if (!command.output.isEmpty() || displayGiven || delayGiven)
            return error("--list-windows takes no other option");
        command.kind = Command::Kind::listWindows;
    } else if (full) {
        if (command.output.isEmpty())
            return error("--full and --region need -o FILE.png (or -o -)");
        command.kind = Command::Kind::captureFull;
    } else if (!command.output.isEmpty() || displayGiven) {
        return error("-o and --display need --full");
    }
    return command;
}

}  // namespace tessal
