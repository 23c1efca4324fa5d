#pragma once

#include <QString>

#include "platform/LoginItem.h"

namespace tessal {

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/local.ostrel.desktop, which freedesktop.org
// desktops start at login.
class AutostartLoginItem final : public LoginItem {
  public:
    // `configHome` is $XDG_CONFIG_HOME; `executable` the program to start.
    AutostartLoginItem(QString configHome, QString executable);
    static AutostartLoginItem standard();

    QString path() const;
    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;

  private:
    QString configHome_;
    QString executable_;
};

}  // namespace tessal
