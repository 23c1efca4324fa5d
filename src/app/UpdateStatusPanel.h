#pragma once

#include <QWidget>

namespace tessal {

// The small panel shown while a manual check downloads and verifies an update.
class UpdateStatusPanel final : public QWidget {
  public:
    UpdateStatusPanel(const QString& appName, const QString& version);
};

}  // namespace tessal
