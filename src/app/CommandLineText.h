#pragma once

#include <QString>
#include <vector>

#include "CommandLine.h"

namespace tessal {

// Everything written about the command line comes from the verbs' definitions.

// `tessal --help` (the verb without a name) or `tessal VERB --help`.
QString verbHelp(const std::vector<CommandVerb>& verbs, const CommandVerb& verb);
// The help of the verb named `name` (the program's for an unknown or empty name).
QString usageText(const QString& name = {});
// A completion script for "bash", "zsh" or "fish"; empty for another shell.
QString completionScript(const std::vector<CommandVerb>& verbs, const QString& shell);
// The manual page, tessal(1), in man(7) markup.
QString manualPage(const std::vector<CommandVerb>& verbs);

}  // namespace tessal
