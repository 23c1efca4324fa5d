#pragma once

#include <QString>

namespace tessal {

// The user's data folder, where application support files live: $XDG_DATA_HOME when it is an
// absolute path, else ~/.local/share.
QString dataHome();

}  // namespace tessal
