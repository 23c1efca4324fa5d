#pragma once

#include <QString>

namespace tessal {

// Where one of our helper programs (the recognition worker, the update helper) lies: in an
// installed copy (package or bundle) in lib/tessal beside bin, in a build tree beside the
// program; else `built` (the build's own path) when it exists; empty when none does.
QString helperProgram(const QString& name, const QString& built = {});

}  // namespace tessal
