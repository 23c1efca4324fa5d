#pragma once

#include <QCoreApplication>
#include <memory>

namespace tessal {

struct Command;

// `tessal capture` with a source and a destination: the still is taken in this process, exactly
// as the interactive path would crop it, written to a file or standard output, and handed to the
// running Tessal for the clipboard, a pin or the editor (one is started when none runs: the
// clipboard must outlive this command). `core` is the command line's QtCore application; it
// makes way for the GUI one here. Returns the exit status.
int runStillCommand(const Command& command, std::unique_ptr<QCoreApplication>& core);

}  // namespace tessal
