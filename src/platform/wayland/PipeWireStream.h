#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

namespace tessal {

// The video of one PipeWire node (a screen cast the desktop portal opened), read from
// shared-memory buffers on a thread of its own. Each frame's `crop` (pixels, clipped to the
// frame) goes to `onFrame` as a premultiplied picture, on that thread; `onStop` is told once why
// the stream ended (the desktop stopped it, or an error: a desktop that offers GPU buffers only
// agrees on no format).
class PipeWireStream {
  public:
    struct Frame {
        QImage picture;   // the crop
        QRect part;       // where the crop lies in the frame, pixels
        QSize wholeSize;  // the frame it was cut from, pixels
    };
    // `crop` maps a frame's whole size to the part wanted of it.
    using Crop = std::function<QRect(QSize whole)>;

    // Takes `pipewireFd` (the portal's remote; -1: the user's PipeWire daemon). Null with `error`
    // set when the stream cannot be set up.
    static std::unique_ptr<PipeWireStream> open(int pipewireFd, quint32 node, Crop crop,
                                                std::function<void(Frame)> onFrame,
                                                std::function<void(const QString& why)> onStop,
                                                QString* error);
    ~PipeWireStream();

    struct State;

  private:
    explicit PipeWireStream(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace tessal
