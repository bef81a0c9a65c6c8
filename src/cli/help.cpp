#include "cli/help.h"

#include <algorithm>

namespace lp::cli {
namespace {

constexpr qsizetype kWidth = 79;
constexpr qsizetype kOptionColumn = 26;  // where an option's help begins

// `text` in lines of at most kWidth, the first after `first` (already `first.size()`
// wide), the others indented by `indent`.
QString wrapped(const QString& first, const QString& text, qsizetype indent) {
    QString out = first;
    qsizetype column = first.size();
    bool lineEmpty = true;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!lineEmpty && column + 1 + word.size() > kWidth) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += u' ';
            column += 1;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + u'\n';
}

QString dashed(const OptionHelp& option) {
    QString text = option.shortName.isNull()
                       ? QStringLiteral("--") + option.name
                       : QStringLiteral("-%1, --%2").arg(option.shortName).arg(option.name);
    if (option.isFlag()) {
        return text;
    }
    return text + u' ' + (option.valueOptional ? u'[' + option.valueName + u']' : option.valueName);
}

QString optionLine(const OptionHelp& option) {
    QString head = QStringLiteral("  ") + dashed(option);
    if (head.size() + 2 > kOptionColumn) {
        return head + u'\n' + wrapped(QString(kOptionColumn, u' '), option.help, kOptionColumn);
    }
    return wrapped(head.leftJustified(kOptionColumn), option.help, kOptionColumn);
}

QString exitStatus() {
    return QStringLiteral(
        "Exit status: 0 done, 1 usage error, 2 the meter, its port or a file failed\n"
        "(for watch: a password or CA file that cannot be read).\n");
}

// The help's own row: -h, --help.
OptionHelp helpRow() {
    return {QStringLiteral("help"), QString(), QStringLiteral("Shows this help."), u'h'};
}

}  // namespace

const Command* commandNamedBy(const std::vector<Command>& table, const QStringList& words,
                              int& used) {
    used = 0;
    for (int count = std::min<int>(2, int(words.size())); count > 0; --count) {
        const QString name = words.mid(0, count).join(u' ');
        for (const Command& command : table) {
            if (command.text.name == name) {
                used = count;
                return &command;
            }
        }
    }
    return nullptr;
}

QStringList methodsOf(const std::vector<Command>& table, const QString& word) {
    QStringList methods;
    for (const Command& command : table) {
        if (command.text.name.startsWith(word + u' ')) {
            methods << command.text.name.mid(word.size() + 1);
        }
    }
    return methods;
}

QString programHelp(const std::vector<Command>& table) {
    QString text = QStringLiteral(
                       "Usage: %1 COMMAND [OPTIONS] [ARGUMENTS]\n"
                       "       %1 help COMMAND | COMMAND --help\n\nCommands:\n")
                       .arg(kProgramName);
    for (const Command& command : table) {
        text += wrapped((QStringLiteral("  ") + command.text.name).leftJustified(20),
                        command.text.summary, 20);
    }
    return text +
           QStringLiteral(
               "\n"
               "Every command takes -q, --quiet (no progress or summary lines on\n"
               "stderr; errors still print), -h, --help (its own help: its options\n"
               "and an example) and -- (what follows is no option). FILE - is\n"
               "standard input, OUT - standard output. Times are local ISO 8601.\n"
               "\n") +
           exitStatus() +
           QStringLiteral(
               "\n"
               "Options:\n"
               "  -h, --help       Shows this text.\n"
               "  -V, --version    Shows the version.\n");
}

namespace {

// "levelpanel-cli CMD --required VALUE [OPTIONS] OPERANDS".
QString synopsis(const Command& command) {
    QString text = kProgramName + u' ' + command.text.name;
    for (const OptionHelp& option : command.options()) {
        if (option.required) {
            text += u' ' + dashed(option);
        }
    }
    text += QStringLiteral(" [OPTIONS]");
    return command.text.operands.isEmpty() ? text : text + u' ' + command.text.operands;
}

// What a command's help says under its usage: the description, the options, an example.
QString commandBody(const Command& command) {
    QString text = command.text.description + QStringLiteral("\n\nOptions:\n");
    for (const OptionHelp& option : command.options()) {
        text += optionLine(option);
    }
    text += optionLine(helpRow());
    return text + QStringLiteral("\nExample:\n  %1 %2\n").arg(kProgramName, command.text.example);
}

}  // namespace

QString commandHelp(const Command& command) {
    return QStringLiteral("Usage: ") + synopsis(command) + QStringLiteral("\n\n") +
           commandBody(command) + u'\n' + exitStatus();
}

QString manualText(const std::vector<Command>& table) {
    QString text = programHelp(table);
    for (const Command& command : table) {
        text += QStringLiteral("\nThe %1 command:\n  %2\n\n")
                    .arg(command.text.name, synopsis(command)) +
                commandBody(command);
    }
    return text;
}

QString completionWords(const std::vector<Command>& table, const QStringList& typed) {
    QStringList words = typed;
    // -q before the command counts as given to it.
    while (words.size() > 1 &&
           (words.first() == QStringLiteral("-q") || words.first() == QStringLiteral("--quiet"))) {
        words.removeFirst();
    }
    const QString current = words.isEmpty() ? QString() : words.last();
    const QStringList before = words.mid(0, words.size() - 1);
    QStringList offered;
    QStringList names;  // the first words of the commands
    for (const Command& command : table) {
        if (const QString first = command.text.name.section(u' ', 0, 0); !names.contains(first)) {
            names << first;
        }
    }
    const bool help = !before.isEmpty() && before.first() == QStringLiteral("help");
    const QStringList named = before.mid(help ? 1 : 0);
    int used = 0;
    const Command* command = commandNamedBy(table, named, used);
    if (before.isEmpty()) {
        offered << names << QStringLiteral("help") << QStringLiteral("--help")
                << QStringLiteral("--version");
    } else if (named.size() == 1 && command == nullptr) {
        offered << methodsOf(table, named.first());
    } else if (help) {
        if (named.isEmpty()) {
            offered << names;
        }
    } else if (command != nullptr) {
        const std::vector<OptionHelp> options = command->options();
        if (before.size() > used) {
            for (const OptionHelp& option : options) {
                if (!option.isFlag() && !option.valueOptional &&
                    before.last() == QStringLiteral("--") + option.name) {
                    switch (option.completes) {
                        case Completes::File:
                            return QStringLiteral("@file\n");
                        case Completes::Port:
                            return QStringLiteral("@port\n");
                        case Completes::Word:
                            return QString();
                    }
                }
            }
        }
        if (!current.startsWith(u'-')) {
            return command->operands == Operands::Files ? QStringLiteral("@file\n") : QString();
        }
        for (const OptionHelp& option : options) {
            offered << QStringLiteral("--") + option.name;
        }
        offered << QStringLiteral("--help");
    }
    QString text;
    for (const QString& word : offered) {
        if (word.startsWith(current)) {
            text += word + u'\n';
        }
    }
    return text;
}

}  // namespace lp::cli
