#pragma once

#include <QString>

namespace tessal {

// Where one of our helper programs (the recognition worker, the update helper) lies: in
// lib/tessal beside bin, the layout of every installed copy (package or bundle); else `built`,
// the build tree's path that only builds with tests pass; empty when none exists.
QString helperProgram(const QString& name, const QString& built = {});

}  // namespace tessal
