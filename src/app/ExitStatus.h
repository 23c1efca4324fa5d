#pragma once

// Without Qt: the small command that forwards captures returns these too.
namespace tessal {

// The exit status of every verb, as --help states it.
enum ExitStatus : int {
    exitDone = 0,
    exitCancelled = 1,
    exitBadUsage = 2,
    exitCaptureFailed = 3,
};

}  // namespace tessal
