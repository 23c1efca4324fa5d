#pragma once

#include <QString>
#include <QStringList>

namespace tessal {

// A modal alert before it is shown: message, informative text and buttons in order, the first
// being the default. Whoever runs it gets back the index of the chosen button.
struct AlertSpec {
    QString message;
    QString informative;
    QStringList buttons;
};

}  // namespace tessal
