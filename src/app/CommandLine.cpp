#include "CommandLine.h"

namespace tessal {

QString usageText() {
    return QStringLiteral(
        "Usage:\n"
        "  tessal                       start Tessal (or bring the running one forward)\n"
        "  tessal capture               start a capture in the running Tessal\n"
        "  tessal capture --full -o FILE.png [--display N]\n"
        "                               write display N (0 = primary) as PNG, no interface\n"
        "  tessal capture --list-windows\n"
        "                               print each display's selectable windows\n"
        "  tessal edit FILE             open a PNG or JPEG for annotating\n"
        "  tessal --version\n"
        "  tessal --help\n");
}

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
    if (verb == "edit") {
        if (arguments.size() != 2 || arguments[1].startsWith('-'))
            return error("edit needs exactly one image file");
        command.kind = Command::Kind::edit;
        command.output = arguments[1];
        return command;
    }
    if (verb != "capture") return error("unknown argument: " + verb);

    command.kind = Command::Kind::capture;
    bool full = false, list = false, displayGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--full") {
            full = true;
        } else if (a == "--list-windows") {
            list = true;
        } else if (a == "-o" || a == "--output") {
            if (++i >= arguments.size()) return error(a + " needs a file name");
            command.output = arguments[i];
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
    if (full && list) return error("--full and --list-windows cannot be combined");
    if (list) {
        if (!command.output.isEmpty() || displayGiven)
            return error("--list-windows takes no other option");
        command.kind = Command::Kind::listWindows;
    } else if (full) {
        if (command.output.isEmpty()) return error("--full needs -o FILE.png");
        command.kind = Command::Kind::captureFull;
    } else if (!command.output.isEmpty() || displayGiven) {
        return error("-o and --display need --full");
    }
    return command;
}

}  // namespace tessal
