#pragma once

#include <QString>
#include <cstdio>

#include "base/geometry.h"

namespace tessal {

// What the command-line runs print, in the locale's encoding.
inline void printOut(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}
inline void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

// A rectangle as the command line reads and prints it: X,Y,W,H.
inline QString rectText(const Rect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

// Qt reads options such as --display from the arguments it is given; the command-line runs
// give it none of theirs.
struct ToolArguments {
    int argc = 1;
    char name[8] = "tessal";
    char* argv[2] = {name, nullptr};
};

}  // namespace tessal
