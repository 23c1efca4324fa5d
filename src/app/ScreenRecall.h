#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <vector>

class QScreen;

namespace tessal {

// The screens' pixels at one moment, to tell when an area shows them again: a window of ours
// that closed is gone from the picture only once the windows beneath have repainted, which a
// busy machine may take a while to do.
class ScreenRecall {
  public:
    // Reads every screen now.
    static ScreenRecall take();
    // Whether `area` (Qt's global coordinates) shows what it showed when taken. True where the
    // screens cannot be read (Wayland), or the area lies on none of them.
    bool showsAgain(const QRect& area) const;

  private:
    struct Picture {
        QPointer<QScreen> screen;
        QRect geometry;
        QImage image;
    };
    std::vector<Picture> pictures_;
};

}  // namespace tessal
