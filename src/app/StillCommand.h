#pragma once

namespace tessal {

struct Command;

// `tessal capture` with a source and a destination: the still is taken in this process, exactly
// as the interactive path would crop it, written to a file or standard output, and handed to the
// running Tessal for the clipboard, a pin or the editor (one is started when none runs: the
// clipboard must outlive this command). Returns the exit status.
int runStillCommand(const Command& command);

}  // namespace tessal
