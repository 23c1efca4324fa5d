#include "LongCaptureKeyHandler.h"

namespace tessal {

LongCaptureKeyHandler::LongCaptureKeyHandler(Workspace& workspace) : workspace_(workspace) {}

LongCaptureKeyHandler::~LongCaptureKeyHandler() = default;

void LongCaptureKeyHandler::start() {
    if (tap_) return;
    std::weak_ptr<bool> alive = alive_;
    tap_ = workspace_.tapKeys(target, [this, alive](int keyCode, bool repeat) {
        if (alive.expired() || repeat || !action) return;
        // The action may stop this handler; it runs on a copy.
        auto run = action;
        run(keyCode);
    });
}

void LongCaptureKeyHandler::stop() {
    tap_.reset();
}

}  // namespace tessal
