#include "Resources.h"

#include <QtGlobal>

static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace tessal {

void initResources() {
    registerResources();
}

}  // namespace tessal
