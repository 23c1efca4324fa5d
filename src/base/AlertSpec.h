#pragma once

#include <QString>
#include <QStringList>

namespace tessal {

// A modal alert before it is shown: message, informative text and buttons in order, the first
// being the default. Whoever runs it gets back the index of the chosen button; closing the alert
// without one counts as the second (the cancelling button), or the only one.
struct AlertSpec {
    // A failure warns; a question whose answer can lose work warns too.
    enum class Severity { information, warning, critical };

    QString message;
    QString informative;
    QStringList buttons;
    Severity severity = Severity::information;

    AlertSpec failure() const {
        AlertSpec copy = *this;
        if (copy.severity == Severity::information) copy.severity = Severity::warning;
        return copy;
    }
};

}  // namespace tessal
