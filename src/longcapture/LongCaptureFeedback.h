#pragma once

#include <QString>
#include <optional>

#include "ScrollStitcher.h"

namespace tessal {

// What a long capture tells the user after each stitched frame, from three running counts.
struct LongCaptureFeedback {
    int segments = 1;  // stitched pieces, the first frame included
    int unchanged = 0;
    int unmatched = 0;

    struct Outcome {
        std::optional<QString> message;
        bool pause = false;
    };
    Outcome record(const ScrollAppendResult& result);
};

}  // namespace tessal
