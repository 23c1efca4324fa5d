#pragma once

namespace tessal {

// Starting the program when the user logs in.
class LoginItem {
  public:
    virtual ~LoginItem() = default;
    virtual bool isEnabled() const = 0;
    // False when the change could not be made; the state is then as before.
    virtual bool setEnabled(bool enabled) = 0;
};

}  // namespace tessal
