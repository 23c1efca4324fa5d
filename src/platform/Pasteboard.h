#pragma once

#include <QByteArray>
#include <QString>

namespace tessal {

// The clipboard. Each write replaces what was there with exactly one representation.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual bool setPng(const QByteArray& png) = 0;
    virtual bool setText(const QString& text) = 0;
};

}  // namespace tessal
