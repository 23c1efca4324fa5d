#include "StillCommand.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <thread>

#include "CommandLine.h"
#include "ShellOutput.h"
#include "SingleInstance.h"
#include "StillDelivery.h"
#include "UiLanguage.h"
#include "base/AtomicFile.h"
#include "base/FileErrors.h"
#include "capture/StillCapture.h"
#include "capture/WindowSource.h"
#include "imaging/PngEncoder.h"
#include "platform/LocalPeer.h"
#include "platform/Platform.h"

namespace tessal {

namespace {

// The pointer in window-list coordinates (the primary display's top-left, y down). Where the
// desktop tells it only to windows of ours (Wayland), the compositor's word, if it gives one.
std::optional<Point> pointerInWindowList(const Platform& platform) {
    if (platform.capabilities.fullScreenOverlays) return platform.capture->pointerInWindowList();
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return std::nullopt;
    const QPoint p = QCursor::pos() - primary->geometry().topLeft();
    return Point{double(p.x()), double(p.y())};
}

// A resident Tessal for the still, its output away from ours: a pipe that reads this command's
// standard output must not wait for the resident to end.
bool startResident() {
    QProcess process;
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

}  // namespace

int runStillCommand(const Command& command, std::unique_ptr<QCoreApplication>& core) {
    const bool toStdout = command.output == QStringLiteral("-");
    // Checked before the picture is taken (and before any delay): nothing is captured for a
    // file that could not be written.
    if (!command.output.isEmpty() && !toStdout) {
        if (const QString obstacle = writeObstacle(command.output); !obstacle.isEmpty()) {
            printErr(QCoreApplication::translate("CommandLine", "tessal: 无法写入 %1：%2\n")
                         .arg(command.output, obstacle));
            return exitBadUsage;
        }
    }
    core.reset();
    ToolArguments arguments;
    QGuiApplication app(arguments.argc, arguments.argv);
    UiLanguages::installForShell(app);
    Platform platform = createSystemPlatform();
    // GNOME asks the user before the first screenshot, in a dialog that waits for the answer.
    platform.capture->onAwaitingUser = [](bool awaiting) {
        if (awaiting)
            printErr(QCoreApplication::translate(
                "CommandLine",
                "tessal: 桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。\n"));
    };
    if (command.delay > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(command.delay));

    int display = command.display;
    std::optional<Rect> region = command.region;
    if (command.windowSource != Command::WindowSource::none) {
        WindowChoice choice;
        switch (command.windowSource) {
            case Command::WindowSource::number:
                choice = {WindowChoice::Kind::number, command.windowNumber, std::nullopt};
                break;
            case Command::WindowSource::active:
                choice = {WindowChoice::Kind::active, platform.workspace->frontmost().window,
                          std::nullopt};
                break;
            default:
                choice = {WindowChoice::Kind::underPointer, 0, pointerInWindowList(platform)};
                break;
        }
        std::vector<Rect> frames;
        for (const DisplayInfo& d : platform.capture->displays()) frames.push_back(d.frame);
        const Result<WindowPlace> place =
            placeWindow(platform.capture->windowList(), frames, choice, int(getpid()));
        if (!place) {
            printErr("tessal: " + place.error().message + "\n");
            return place.error().code;
        }
        display = place.value().display;
        region = place.value().local;
    }

    const Result<StillCapture> still =
        takeStill(*platform.capture, int(getpid()), display, region, command.pointer);
    if (!still) {
        printErr("tessal: " + still.error().message + "\n");
        return still.error().code;
    }
    // Display-local points, y up, as --list-windows prints them; what lies off the display is
    // left out, and said.
    if (still.value().clipped)
        printErr(QStringLiteral("tessal: the region was clipped to the display: %1\n")
                     .arg(rectText(still.value().taken)));
    if (command.printGeometry) {
        const QString line = QStringLiteral("--display %1 --region %2\n")
                                 .arg(display)
                                 .arg(rectText(still.value().taken));
        std::fputs(line.toLocal8Bit().constData(), toStdout ? stderr : stdout);
        std::fflush(toStdout ? stderr : stdout);
    }
    const bool deliver = command.clipboard || command.pin || command.editStill;
    if (command.output.isEmpty() && !deliver) return exitDone;

    const auto png = PngEncoder::encode(still.value().image);
    if (!png) {
        printErr(QStringLiteral("tessal: the still could not be encoded as PNG\n"));
        return exitCaptureFailed;
    }
    if (toStdout) {
        // PNG on standard output, for pipes.
        if (std::fwrite(png->constData(), 1, std::size_t(png->size()), stdout) !=
                std::size_t(png->size()) ||
            std::fflush(stdout) != 0) {
            printErr(QStringLiteral("tessal: cannot write the PNG to standard output\n"));
            return exitCaptureFailed;
        }
    } else if (!command.output.isEmpty()) {
        QString error;
        if (!writeFileAtomically(command.output, *png, &error)) {
            printErr("tessal: cannot write " + command.output + ": " + error + "\n");
            return exitCaptureFailed;
        }
    }
    if (!deliver) return exitDone;

    StillDelivery delivery;
    const std::vector<DisplayInfo> displays = platform.capture->displays();
    const Rect& taken = still.value().taken;
    const Rect& frame = displays.at(std::size_t(display)).frame;
    delivery.frame = taken.offsetBy(frame.minX(), frame.minY());
    delivery.clipboard = command.clipboard;
    delivery.pin = command.pin;
    delivery.edit = command.editStill;
    const std::optional<QString> failure = deliverStill(
        *png, delivery, LocalPeer::privateFolder(QStringLiteral("local.ostrel")),
        [](const QString& request) { return SingleInstance::ask(request, 1500); }, startResident,
        10);
    if (failure) {
        printErr("tessal: " + *failure + "\n");
        return exitCaptureFailed;
    }
    return exitDone;
}

}  // namespace tessal
