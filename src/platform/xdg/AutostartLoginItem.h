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
    // A desktop entry's Exec value that starts `program` with no arguments. The bundle's
    // installer (install-bundle.sh) writes the same for its menu entry.
    static QString execValue(const QString& program);
    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;

  private:
    QString configHome_;
    QString executable_;
};

}  // namespace tessal
