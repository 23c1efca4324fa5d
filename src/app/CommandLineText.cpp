#include "CommandLineText.h"

#include <QCoreApplication>
#include <utility>

namespace tessal {

namespace {

std::vector<std::pair<int, QString>> exitStatuses() {
    return {{exitDone, QCoreApplication::translate("CommandLine", "完成")},
            {exitCancelled, QCoreApplication::translate("CommandLine", "被用户取消")},
            {exitBadUsage, QCoreApplication::translate("CommandLine", "用法或输入有误")},
            {exitCaptureFailed,
             QCoreApplication::translate("CommandLine", "截图失败（原因写在标准错误上）")}};
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString optionLabel(const CommandOption& option) {
    QStringList names;
    for (const QString& name : option.names) names << dashed(name);
    QString label = names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty()) label += QLatin1Char(' ') + option.valueName;
    return label;
}

QString commandLine(const CommandVerb& verb) {
    QString line = QStringLiteral("tessal");
    if (!verb.name.isEmpty()) line += QLatin1Char(' ') + verb.name;
    if (!verb.synopsis.isEmpty()) line += QLatin1Char(' ') + verb.synopsis;
    return line;
}

// Two columns: labels padded to the widest (at most 26), longer ones on a line of their own.
QString columns(const std::vector<std::pair<QString, QString>>& rows) {
    constexpr qsizetype widest = 26;
    qsizetype width = 0;
    for (const auto& row : rows)
        if (row.first.size() <= widest) width = std::max(width, row.first.size());
    QString text;
    for (const auto& [label, description] : rows) {
        text += QStringLiteral("  ") + label;
        if (label.size() > width)
            text += QLatin1Char('\n') + QString(width + 2, QLatin1Char(' '));
        else
            text += QString(width - label.size(), QLatin1Char(' '));
        text += QStringLiteral("  ") + description + QLatin1Char('\n');
    }
    return text;
}

QString optionColumns(const CommandVerb& verb) {
    std::vector<std::pair<QString, QString>> rows;
    for (const CommandOption& option : verb.options)
        rows.emplace_back(optionLabel(option), option.description);
    return columns(rows);
}

QString exitStatusColumns() {
    std::vector<std::pair<QString, QString>> rows;
    for (const auto& [status, meaning] : exitStatuses())
        rows.emplace_back(QString::number(status), meaning);
    return columns(rows);
}

// --- man(7) ------------------------------------------------------------------------------

QString roff(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

QString manOption(const CommandOption& option) {
    QStringList names;
    for (const QString& name : option.names)
        names << QStringLiteral("\\fB") + roff(dashed(name)) + QStringLiteral("\\fR");
    QString text = QStringLiteral(".TP\n") + names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty())
        text += QStringLiteral(" \\fI") + roff(option.valueName) + QStringLiteral("\\fR");
    return text + QLatin1Char('\n') + roff(option.description) + QLatin1Char('\n');
}

// --- shells ------------------------------------------------------------------------------

QString singleQuoted(QString text, const QString& quote) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), quote) + QLatin1Char('\'');
}

QString words(const QStringList& list) {
    return list.join(QLatin1Char(' '));
}

QStringList optionWords(const CommandVerb& verb) {
    QStringList all;
    for (const CommandOption& option : verb.options)
        for (const QString& name : option.names) all << dashed(name);
    return all;
}

QString bashScript(const std::vector<CommandVerb>& verbs) {
    QStringList verbNames;
    for (const CommandVerb& verb : verbs)
        if (!verb.name.isEmpty()) verbNames << verb.name;
    QString s = QStringLiteral(
                    "# bash completion for tessal, written by `tessal --dump-completions bash`\n"
                    "_tessal() {\n"
                    "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} list "
                    "files=0\n"
                    "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
                    "        COMPREPLY=($(compgen -W %1 -- \"$cur\"))\n"
                    "        return\n"
                    "    fi\n"
                    "    case ${COMP_WORDS[1]} in\n")
                    .arg(singleQuoted(words(verbNames + optionWords(verbs.front())), "'\\''"));
    for (const CommandVerb& verb : verbs) {
        if (verb.name.isEmpty()) continue;
        s += QStringLiteral("    %1)\n        case $prev in\n").arg(verb.name);
        for (const CommandOption& option : verb.options) {
            if (option.value == CommandOption::Value::none) continue;
            QStringList names;
            for (const QString& name : option.names) names << dashed(name);
            s += QStringLiteral("        %1) ").arg(names.join(QLatin1Char('|')));
            if (option.value == CommandOption::Value::file)
                s += QStringLiteral("COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n");
            else if (option.value == CommandOption::Value::choice)
                s += QStringLiteral("COMPREPLY=($(compgen -W %1 -- \"$cur\")); return ;;\n")
                         .arg(singleQuoted(words(option.choices), "'\\''"));
            else
                s += QStringLiteral("return ;;\n");
        }
        s += QStringLiteral("        esac\n        list=%1\n        files=%2\n        ;;\n")
                 .arg(singleQuoted(words(optionWords(verb)), "'\\''"))
                 .arg(verb.positional.isEmpty() ? 0 : 1);
    }
    s += QStringLiteral(
        "    *) return ;;\n"
        "    esac\n"
        "    if [[ $cur == -* || $files == 0 ]]; then\n"
        "        COMPREPLY=($(compgen -W \"$list\" -- \"$cur\"))\n"
        "    else\n"
        "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
        "    fi\n"
        "}\n"
        "complete -o filenames -F _tessal tessal\n");
    return s;
}

QString zshEscaped(QString text) {
    for (const char c : {'\\', '[', ']', ':'})
        text.replace(QLatin1Char(c), QStringLiteral("\\") + QLatin1Char(c));
    return text;
}

QString zshScript(const std::vector<CommandVerb>& verbs) {
    const QString quote = QStringLiteral("'\\''");
    QString s = QStringLiteral(
        "#compdef tessal\n"
        "# zsh completion for tessal, written by `tessal --dump-completions zsh`\n"
        "_tessal() {\n"
        "    local -a verbs options\n"
        "    verbs=(\n");
    for (const CommandVerb& verb : verbs)
        if (!verb.name.isEmpty())
            s += QStringLiteral("        %1\n")
                     .arg(singleQuoted(verb.name + QLatin1Char(':') + verb.summary, quote));
    s += QStringLiteral("    )\n    options=(\n");
    for (const CommandOption& option : verbs.front().options)
        for (const QString& name : option.names)
            s +=
                QStringLiteral("        %1\n")
                    .arg(singleQuoted(dashed(name) + QLatin1Char(':') + option.description, quote));
    s += QStringLiteral(
        "    )\n"
        "    if (( CURRENT == 2 )); then\n"
        "        if [[ $PREFIX == -* ]]; then _describe -t options option options\n"
        "        else _describe -t commands command verbs; fi\n"
        "        return\n"
        "    fi\n"
        "    local verb=$words[2]\n"
        "    shift words\n"
        "    (( CURRENT-- ))\n"
        "    case $verb in\n");
    for (const CommandVerb& verb : verbs) {
        if (verb.name.isEmpty()) continue;
        s += QStringLiteral("    %1) _arguments -s").arg(verb.name);
        for (const CommandOption& option : verb.options) {
            QStringList names;
            for (const QString& name : option.names) names << dashed(name);
            QString action;
            if (option.value == CommandOption::Value::file) action = QStringLiteral("_files");
            if (option.value == CommandOption::Value::choice)
                action = QStringLiteral("(") + words(option.choices) + QStringLiteral(")");
            const QString tail =
                QLatin1Char('[') + zshEscaped(option.description) + QLatin1Char(']') +
                (option.valueName.isEmpty()
                     ? QString()
                     : QLatin1Char(':') + zshEscaped(option.valueName) + QLatin1Char(':') + action);
            if (names.size() == 1) {
                s += QStringLiteral(" \\\n        ") + singleQuoted(names[0] + tail, quote);
            } else {
                s += QStringLiteral(" \\\n        ") +
                     singleQuoted(QLatin1Char('(') + words(names) + QLatin1Char(')'), quote) +
                     QLatin1Char('{') + names.join(QLatin1Char(',')) + QLatin1Char('}') +
                     singleQuoted(tail, quote);
            }
        }
        if (!verb.positional.isEmpty())
            s += QStringLiteral(" \\\n        ") +
                 singleQuoted(
                     (verb.maximumPositional < 0 ? QStringLiteral("*") : QStringLiteral("1")) +
                         QLatin1Char(':') + zshEscaped(verb.positional) + QStringLiteral(":_files"),
                     quote);
        s += QStringLiteral(" ;;\n");
    }
    s += QStringLiteral("    esac\n}\n_tessal \"$@\"\n");
    return s;
}

QString fishScript(const std::vector<CommandVerb>& verbs) {
    const QString quote = QStringLiteral("\\'");
    auto quoted = [&](QString text) {
        return singleQuoted(text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")), quote);
    };
    QString s = QStringLiteral(
        "# fish completion for tessal, written by `tessal --dump-completions fish`\n"
        "complete -c tessal -f\n");
    for (const CommandVerb& verb : verbs) {
        const QString condition =
            verb.name.isEmpty()
                ? QStringLiteral("__fish_use_subcommand")
                : quoted(QStringLiteral("__fish_seen_subcommand_from ") + verb.name);
        if (!verb.name.isEmpty())
            s += QStringLiteral("complete -c tessal -n __fish_use_subcommand -a %1 -d %2\n")
                     .arg(verb.name, quoted(verb.summary));
        for (const CommandOption& option : verb.options) {
            s += QStringLiteral("complete -c tessal -n ") + condition;
            for (const QString& name : option.names)
                s += (name.size() == 1 ? QStringLiteral(" -s ") : QStringLiteral(" -l ")) + name;
            if (option.value == CommandOption::Value::file) s += QStringLiteral(" -r -F");
            if (option.value == CommandOption::Value::text) s += QStringLiteral(" -x");
            if (option.value == CommandOption::Value::choice)
                s += QStringLiteral(" -x -a ") + quoted(words(option.choices));
            s += QStringLiteral(" -d ") + quoted(option.description) + QLatin1Char('\n');
        }
        if (!verb.positional.isEmpty())
            s += QStringLiteral("complete -c tessal -n %1 -F\n").arg(condition);
    }
    return s;
}

}  // namespace

QString verbHelp(const std::vector<CommandVerb>& verbs, const CommandVerb& verb) {
    QString text;
    if (verb.name.isEmpty()) {
        text = QCoreApplication::translate("CommandLine", "用法：%1 [命令] [选项]\n")
                   .arg(QStringLiteral("tessal")) +
               verb.summary + QStringLiteral("\n\n") +
               QCoreApplication::translate("CommandLine", "命令：\n");
        for (const CommandVerb& other : verbs) {
            if (other.name.isEmpty()) continue;
            text += QStringLiteral("  ") + commandLine(other) + QStringLiteral("\n      ") +
                    other.summary + QLatin1Char('\n');
        }
        text += QLatin1Char('\n') + QCoreApplication::translate("CommandLine", "选项：\n") +
                optionColumns(verb) + QLatin1Char('\n') +
                QCoreApplication::translate("CommandLine", "每个命令的选项：tessal 命令 --help\n");
    } else {
        text = QCoreApplication::translate("CommandLine", "用法：%1\n").arg(commandLine(verb)) +
               verb.summary + QStringLiteral("\n\n") +
               QCoreApplication::translate("CommandLine", "选项：\n") + optionColumns(verb);
    }
    return text + QLatin1Char('\n') + QCoreApplication::translate("CommandLine", "退出状态：\n") +
           exitStatusColumns();
}

QString usageText(const QString& name) {
    const std::vector<CommandVerb> verbs = commandVerbs();
    for (const CommandVerb& verb : verbs)
        if (verb.name == name) return verbHelp(verbs, verb);
    return verbHelp(verbs, verbs.front());
}

QString completionScript(const std::vector<CommandVerb>& verbs, const QString& shell) {
    if (shell == QStringLiteral("bash")) return bashScript(verbs);
    if (shell == QStringLiteral("zsh")) return zshScript(verbs);
    if (shell == QStringLiteral("fish")) return fishScript(verbs);
    return {};
}

// Section names stay the conventional English ones, which man-db's index reads.
QString manualPage(const std::vector<CommandVerb>& verbs) {
    const CommandVerb& program = verbs.front();
    QString s =
        QStringLiteral(".TH TESSAL 1 \"\" \"Tessal %1\"\n.SH NAME\ntessal \\- %2\n")
            .arg(QStringLiteral(TESSAL_VERSION),
                 roff(QCoreApplication::translate("CommandLine", "截图、标注、文字识别与长截图")));
    s += QStringLiteral(".SH SYNOPSIS\n");
    for (const CommandVerb& verb : verbs) {
        s += QStringLiteral(".B tessal%1\n")
                 .arg(verb.name.isEmpty() ? QString() : QLatin1Char(' ') + verb.name);
        if (!verb.synopsis.isEmpty()) s += roff(verb.synopsis) + QLatin1Char('\n');
        s += QStringLiteral(".br\n");
    }
    s += QStringLiteral(".SH DESCRIPTION\n%1\n").arg(roff(program.summary));
    for (const CommandOption& option : program.options) s += manOption(option);
    s += QStringLiteral(".SH COMMANDS\n");
    for (const CommandVerb& verb : verbs) {
        if (verb.name.isEmpty()) continue;
        s += QStringLiteral(".SS \"%1\"\n%2\n").arg(roff(commandLine(verb)), roff(verb.summary));
        for (const CommandOption& option : verb.options) s += manOption(option);
    }
    s += QStringLiteral(".SH \"EXIT STATUS\"\n");
    for (const auto& [status, meaning] : exitStatuses())
        s += QStringLiteral(".TP\n.B %1\n%2\n").arg(status).arg(roff(meaning));
    return s;
}

}  // namespace tessal
