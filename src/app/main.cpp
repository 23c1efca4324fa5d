#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <memory>

#include "AlertPresenter.h"
#include "AppDelegate.h"
#include "CommandLine.h"
#include "CommandLineText.h"
#include "QuitOnSignal.h"
#include "Resources.h"
#include "SessionBusRequests.h"
#include "ShellOutput.h"
#include "SingleInstance.h"
#include "StillCommand.h"
#include "StillDelivery.h"
#include "UiLanguage.h"
#include "base/AtomicFile.h"
#include "base/Clock.h"
#include "base/DefaultsStore.h"
#include "base/FileErrors.h"
#include "base/MainQueue.h"
#include "base/SerialQueue.h"
#include "capture/ScreenCapture.h"
#include "capture/ScreenGeometry.h"
#include "imaging/PngEncoder.h"
#include "longcapture/ScrollStitcher.h"
#include "platform/LocalPeer.h"
#include "platform/Platform.h"
#include "platform/SessionBus.h"
#include "platform/ocr/WorkerTextRecognizer.h"
#include "regions/VisualChildRegions.h"
#include "tools/TextRecognition.h"

using namespace tessal;

namespace {

int listWindows(std::unique_ptr<QCoreApplication>& core) {
    core.reset();
    ToolArguments arguments;
    QGuiApplication app(arguments.argc, arguments.argv);
    Platform platform = createSystemPlatform();
    const auto displays = platform.capture->displays();
    std::vector<Rect> frames;
    for (const auto& d : displays) frames.push_back(d.frame);
    const double top = primaryTop(frames);
    const auto targets = captureWindowTargets(platform.capture->windowList(), int(getpid()));
    for (std::size_t i = 0; i < displays.size(); ++i) {
        printOut(QStringLiteral("display %1 %2 frame %3 scale %4\n")
                     .arg(i)
                     .arg(displays[i].id, rectText(displays[i].frame))
                     .arg(displays[i].scale));
        for (const WindowTarget& target : targets) {
            if (auto local = localWindowRect(target.rect, displays[i].frame, top))
                printOut(QStringLiteral("  window %1 id %2 pid %3\n")
                             .arg(rectText(*local))
                             .arg(target.number)
                             .arg(target.pid));
        }
    }
    return 0;
}

void reportUnreadable(const QString& path, const QString& reason) {
    printErr(QStringLiteral("tessal: cannot open %1 as an image: %2\n").arg(path, reason));
}

int printRegions(const Command& command) {
    QString error;
    const QImage image = readImage(command.output, &error);
    if (image.isNull()) {
        reportUnreadable(command.output, error);
        return 2;
    }
    const Size screen =
        command.screen.value_or(Size{double(image.width()), double(image.height())});
    for (const Rect& r : visualChildRegions(image, screen, *command.window))
        printOut(rectText(r) + "\n");
    return 0;
}

int stitch(const Command& command) {
    const LongCaptureAxis axis =
        command.horizontal ? LongCaptureAxis::horizontal : LongCaptureAxis::vertical;
    // One frame in memory at a time: each is decoded, appended and released before the next.
    auto frame = [&](const QString& path) {
        QString error;
        const QImage image = readImage(path, &error);
        if (image.isNull()) reportUnreadable(path, error);
        return image.isNull() ? image : normalizeAxis(axis, image);
    };
    const QImage first = frame(command.frames.front());
    if (first.isNull()) return 2;
    ScrollStitcher stitcher(first, 24'000'000);
    for (qsizetype i = 1; i < command.frames.size(); ++i) {
        const QImage next = frame(command.frames[i]);
        if (next.isNull()) return 2;
        const ScrollAppendResult r = stitcher.append(next, command.automaticCrop);
        switch (r.kind) {
            case ScrollAppendResult::Kind::appended:
                printOut(QStringLiteral("appended %1\n").arg(r.rows));
                break;
            case ScrollAppendResult::Kind::cropped:
                printOut(QStringLiteral("cropped %1\n").arg(r.rows));
                break;
            case ScrollAppendResult::Kind::unchanged:
                printOut(QStringLiteral("unchanged\n"));
                break;
            case ScrollAppendResult::Kind::unmatched:
                printOut(QStringLiteral("unmatched\n"));
                break;
            case ScrollAppendResult::Kind::limit:
                printOut(QStringLiteral("limit\n"));
                break;
        }
    }
    const QImage result = restoreAxis(axis, stitcher.image());
    const auto png = PngEncoder::encode(result);
    QString error;
    if (!png || !writeFileAtomically(command.output, *png, &error)) {
        printErr("tessal: cannot write " + command.output + ": " + error + "\n");
        return 1;
    }
    return 0;
}

// `tessal ocr`: the same recognition as the window's, lines to standard output.
int recognizeText(const Command& command) {
    QString error;
    const QImage image = readImage(command.output, &error);
    if (image.isNull()) {
        reportUnreadable(command.output, error);
        return 2;
    }
    WorkerTextRecognizer recognizer(WorkerTextRecognizer::defaultWorkerPath());
    const Result<QString> text =
        TextRecognition::recognize(image, recognizer, nullptr, command.languages);
    if (!text) {
        printErr(
            QCoreApplication::translate("main", "tessal: 识别失败：%1").arg(text.error().message) +
            "\n");
        return 1;
    }
    if (!text.value().isEmpty()) printOut(text.value() + "\n");
    return 0;
}

// Runs the resident program; `request` is handled as if a later start had sent it.
int runResident(int& argc, char** argv, SingleInstance& instance, const QString& request) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tessal"));
    app.setDesktopFileName(QStringLiteral("local.ostrel"));
    app.setQuitOnLastWindowClosed(false);
    QuitOnSignal quitOnSignal;

    if (!instance.listen()) printErr("tessal: cannot open " + SingleInstance::socketPath() + "\n");

    Platform platform = createSystemPlatform();
    DefaultsStore defaults(DefaultsStore::standardPath());
    if (!defaults.setAsidePath().isEmpty())
        printErr("tessal: the settings file was unreadable and was moved to " +
                 defaults.setAsidePath() + "; starting with default settings\n");
    UiLanguages::install(app, UiLanguages::chosen(defaults, QLocale::system().uiLanguages()));
    MessageBoxPresenter alerts;
    initResources();
    AppDelegate delegate(platform, defaults, QtMainQueue::shared(), SystemClock::shared(), alerts,
                         int(getpid()));
    // Captures arrive as the arguments of `tessal capture` (see captureArguments).
    auto isCapture = [](const QString& line) {
        return line == QStringLiteral("capture") || line.startsWith(QStringLiteral("capture "));
    };
    auto handle = [&delegate, isCapture](const QString& line) {
        if (isCapture(line)) {
            const Command c = parseCommandLine(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
            if (c.kind != Command::Kind::capture) return;
            if (c.lastRegion)
                delegate.captureLastRegion();
            else if (c.region || c.acceptOnSelect)
                delegate.captureSelecting(c.display, c.region, c.acceptOnSelect, c.delay);
            else
                delegate.takeScreenshotAfter(c.delay);
        }
        if (line == "history") delegate.showHistory();
        if (line == "preferences") delegate.showPreferences();
        if (line.startsWith("edit ")) {
            QString error;
            const QImage image = readImage(line.mid(5), &error);
            if (!image.isNull()) delegate.showResult(image, QFileInfo(line.mid(5)).fileName());
        }
    };
    const QString privateFolder = LocalPeer::privateFolder(QStringLiteral("local.ostrel"));
    instance.onRequest = [handle, isCapture, &delegate, &platform,
                          privateFolder](const QString& line) {
        // A still taken by the command line: the clipboard is set before the answer, so that it
        // is there once the command returns.
        if (const auto delivery = StillDelivery::parse(line, privateFolder)) {
            return receiveStill(
                *delivery,
                {[&platform](const QByteArray& png) { return platform.pasteboard->setPng(png); },
                 [&delegate](const EncodedImage& image, const Rect& frame) {
                     return delegate.showPin(image, frame);
                 },
                 [&delegate](const QImage& image) {
                     delegate.showResult(image,
                                         QCoreApplication::translate("StillDelivery", "截图"));
                 }});
        }
        // A plain later start: the running one says so where the user looks, and the answer
        // tells the terminal when it could not.
        if (line == QStringLiteral("activate")) {
            const std::optional<QString> failure = delegate.announceRunning();
            return failure ? QStringLiteral("ok ") + *failure : QStringLiteral("ok");
        }
        // Refused as the session bus refuses it, so that the command can say why.
        if (isCapture(line) && delegate.capturing())
            return QLatin1String(LocalPeer::busyAnswerPrefix) + captureBusyMessage();
        QtMainQueue::shared().async([handle, line] { handle(line); });
        return QStringLiteral("ok");
    };
    // Desktops and scripts reach the running Tessal on the session bus as well; without one the
    // socket above is the only way in.
    std::unique_ptr<SessionBusService> bus;
    QString busError;
    bus = publishOnSessionBus(sessionBusRequests(delegate, *platform.capture, int(getpid()),
                                                 [&bus] { return bus.get(); }),
                              &busError);
    delegate.applicationDidFinishLaunching();
    QtMainQueue::shared().async([handle, request] { handle(request); });
    const int status = app.exec();
    delegate.stopRecognitions();
    // Work still running on the worker queues (a region query asking another application) ends
    // before the services it uses are destroyed with this frame.
    SerialQueue::closeAll();
    return status;
}

// The exit status of a request the running Tessal answered on its socket: done, unless it
// refused a capture while taking one.
int statusOfAnswer(const QString& answer) {
    const QLatin1String busy(LocalPeer::busyAnswerPrefix);
    if (!answer.startsWith(busy)) return exitDone;
    printErr("tessal: " + answer.mid(busy.size()) + "\n");
    return exitCaptureFailed;
}

// A request that reached the running Tessal's socket without an answer is not sent again.
int unanswered() {
    printErr(QStringLiteral("tessal: %1\n").arg(QLatin1String(LocalPeer::unansweredNote)));
    return exitCaptureFailed;
}

// Hands a capture, history or preferences request to the Tessal that owns the bus name; -1 when
// there is no session bus or no such Tessal (the socket is tried next).
int forwardOverSessionBus(const Command& command) {
    QString method;
    QVariantList arguments;
    if (command.kind == Command::Kind::capture) {
        // The bus's Capture takes a delay only: a selection to open with goes over the socket.
        if (command.region || command.acceptOnSelect) return -1;
        method = command.lastRegion ? QStringLiteral("LastRegion") : QStringLiteral("Capture");
        if (!command.lastRegion) arguments << command.delay;
    } else if (command.kind == Command::Kind::history) {
        method = QStringLiteral("OpenHistory");
    } else if (command.kind == Command::Kind::preferences) {
        method = QStringLiteral("OpenPreferences");
    } else {
        return -1;
    }
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return -1;
    const std::optional<QString> answer = callRunningTessal(method, arguments);
    if (!answer) return -1;
    if (answer->isEmpty()) return exitDone;
    printErr("tessal: " + *answer + "\n");
    return exitCaptureFailed;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    // QtCore only until a verb needs more, so a capture asked for from the shell starts as
    // quickly as before. What the build writes with --dump-* stays in the source texts, whatever
    // the builder's locale.
    ToolArguments coreArguments;
    auto core = std::make_unique<QCoreApplication>(coreArguments.argc, coreArguments.argv);
    if (!arguments.value(0).startsWith(QStringLiteral("--dump-")))
        UiLanguages::installForShell(*core);
    const Command command = parseCommandLine(arguments);

    switch (command.kind) {
        case Command::Kind::help:
        case Command::Kind::version:
            printOut(command.text);
            return exitDone;
        case Command::Kind::regions:
            return printRegions(command);
        case Command::Kind::stitch:
            return stitch(command);
        case Command::Kind::ocr:
            return recognizeText(command);
        case Command::Kind::usageError:
            printErr("tessal: " + command.error + "\n\n" + usageText(command.verb));
            return exitBadUsage;
        default:
            break;
    }

    if (!systemDisplayAvailable()) {
        printErr(QStringLiteral("tessal: no X display can be reached (DISPLAY=%1)\n")
                     .arg(qEnvironmentVariable("DISPLAY")));
        return command.kind == Command::Kind::captureFull ? exitCaptureFailed : 1;
    }
    if (command.kind == Command::Kind::captureFull) return runStillCommand(command, core);
    if (command.kind == Command::Kind::listWindows) return listWindows(core);

    QString editPath;
    if (command.kind == Command::Kind::edit) {
        editPath = QFileInfo(command.output).absoluteFilePath();
        // Checked here, before any window: a file that cannot be read opens nothing.
        core.reset();
        ToolArguments toolArguments;
        QGuiApplication probe(toolArguments.argc, toolArguments.argv);
        UiLanguages::installForShell(probe);
        QString error = QCoreApplication::translate("main", "文件名中不能有换行符");
        if (editPath.contains('\n') || readImage(editPath, &error).isNull()) {
            reportUnreadable(command.output, error);
            return 2;
        }
    }
    QString request = QStringLiteral("activate");
    if (command.kind == Command::Kind::capture)
        request = captureArguments(command).join(QLatin1Char(' '));
    if (command.kind == Command::Kind::history) request = QStringLiteral("history");
    if (command.kind == Command::Kind::preferences) request = QStringLiteral("preferences");
    if (!editPath.isEmpty()) request = QStringLiteral("edit ") + editPath;
    if (SingleInstance::socketPath().isEmpty()) {
        printErr(QStringLiteral("tessal: no private folder for Tessal's socket: XDG_RUNTIME_DIR is "
                                "unset or open to others, and the folder local.ostrel-<uid> in "
                                "%1 belongs to another user, is a link or is open to others\n")
                     .arg(QDir::tempPath()));
        return 1;
    }
    if (const int status = forwardOverSessionBus(command); status >= 0) return status;
    if (request == QStringLiteral("activate")) {
        if (const std::optional<QString> answer = SingleInstance::ask(request);
            answer && answer->startsWith(QStringLiteral("ok"))) {
            const QString note = answer->mid(3);
            printErr(QStringLiteral("tessal: Tessal is already running; capture with its shortcut, "
                                    "its tray icon or `tessal capture`%1\n")
                         .arg(note.isEmpty()
                                  ? QString()
                                  : QStringLiteral(" (no notification shown: %1)").arg(note)));
            return 0;
        }
    } else {
        bool delivered = false;
        if (const std::optional<QString> answer = SingleInstance::ask(request, 1500, &delivered))
            return statusOfAnswer(*answer);
        if (delivered) return unanswered();
    }
    // Two starts at once (autostart and the user): the lock decides which one stays; the other
    // hands its request over as soon as the first listens.
    SingleInstance instance;
    if (!instance.acquire()) {
        bool delivered = false;
        if (const std::optional<QString> answer = SingleInstance::handOver(request, 10, &delivered))
            return statusOfAnswer(*answer);
        if (delivered) return unanswered();
        if (!instance.acquire()) {
            printErr("tessal: another Tessal is running but does not answer on " +
                     SingleInstance::socketPath() + "\n");
            return 1;
        }
    }
    core.reset();
    return runResident(argc, argv, instance, request);
}
