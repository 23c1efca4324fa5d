#pragma once

#include <QString>

namespace tessal {

// The desktop's own file chooser, where the session offers one.
class FileChooser {
  public:
    struct SaveRequest {
        QString title;
        QString acceptLabel;
        QString folder;      // where it opens
        QString name;        // the proposed file name
        QString filterName;  // "PNG"
        QString pattern;     // "*.png"
    };
    enum class Outcome {
        chosen,      // `path` is where to save
        cancelled,   // the user closed it: save nothing
        unavailable  // no chooser, or it failed: the caller shows a dialog of its own
    };
    struct Answer {
        Outcome outcome = Outcome::unavailable;
        QString path;
    };

    virtual ~FileChooser() = default;
    // Returns once the user has chosen (the event loop runs meanwhile).
    virtual Answer save(const SaveRequest& request) = 0;
};

}  // namespace tessal
