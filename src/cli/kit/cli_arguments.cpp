#include "cli/kit/cli_arguments.h"

#include <QCommandLineParser>
#include <algorithm>
#include <optional>
#include <vector>

#include "cli/command.h"

namespace lp::cli {
namespace {

bool isOption(const QString& arg) {
    return arg.startsWith(u'-') && arg.size() > 1;
}

const QString kEndOfOptions = QStringLiteral("--");

// The option `arg` names: "--name", "-x" for its short name, or "--name=value" for an
// option with a value.
const Option* optionNamed(const QList<Option>& options, const QString& arg) {
    for (const Option& option : options) {
        const QString dashed = QStringLiteral("--") + option.name;
        if (arg == dashed ||
            (!option.shortName.isNull() && arg == QStringLiteral("-") + option.shortName) ||
            (option.takes != Option::Takes::Nothing && arg.startsWith(dashed + u'='))) {
            return &option;
        }
    }
    return nullptr;
}

QString unknownOption(const QString& command, const QList<Option>& options, const QString& arg) {
    const Option* flag = optionNamed(options, arg.section(u'=', 0, 0));
    if (flag != nullptr && arg.startsWith(QStringLiteral("--"))) {
        return QStringLiteral("option --%1 takes no value").arg(flag->name);
    }
    QStringList known{QStringLiteral("--help")};
    for (const Option& option : options) {
        known << QStringLiteral("--") + option.name;
    }
    const QString nearest = nearestWord(arg.section(u'=', 0, 0), known);
    const QString message = QStringLiteral("unknown option '%1' for %2").arg(arg, command);
    return nearest.isEmpty() ? message
                             : message + QStringLiteral(" (did you mean %1?)").arg(nearest);
}

// The arguments as the parser takes them (short names spelled long), or the first
// mistake, or that --help came first.
struct Scan {
    QStringList args;
    std::optional<QString> mistake;
    bool help = false;
};

Scan scan(const QString& command, const QList<Option>& options, Operands operands,
          const QStringList& args) {
    if (options.isEmpty() && operands == Operands::None && !args.isEmpty() &&
        args.first() != QStringLiteral("--help") && args.first() != QStringLiteral("-h")) {
        return {{}, QStringLiteral("%1 takes no arguments, not '%2'").arg(command, args.first())};
    }
    Scan read;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == kEndOfOptions) {
            const QStringList rest = args.mid(i + 1);
            if (operands == Operands::None && !rest.isEmpty()) {
                read.mistake =
                    QStringLiteral("%1 takes no argument '%2'").arg(command, rest.first());
                return read;
            }
            read.args << arg << rest;
            return read;
        }
        if (!isOption(arg)) {
            if (operands == Operands::None) {
                read.mistake = QStringLiteral("%1 takes no argument '%2'").arg(command, arg);
                return read;
            }
            read.args << arg;
            continue;
        }
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            return {{}, std::nullopt, true};
        }
        const Option* option = optionNamed(options, arg);
        if (option == nullptr) {
            read.mistake = unknownOption(command, options, arg);
            return read;
        }
        read.args << (arg.startsWith(QStringLiteral("--")) ? arg
                                                           : QStringLiteral("--") + option->name);
        if (option->takes == Option::Takes::Nothing) {
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const bool missing = equals < 0 && i + 1 >= args.size();
        const QString value = equals >= 0 ? arg.mid(equals + 1) : missing ? QString() : args[++i];
        if (missing || (value.isEmpty() && option->takes == Option::Takes::NonEmptyValue)) {
            read.mistake = QStringLiteral("option --%1 needs %2").arg(option->name, option->needs);
            return read;
        }
        if (equals < 0) {
            read.args << value;
        }
    }
    return read;
}

// Edits (a letter added, left out or changed) that make `a` into `b`.
qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<qsizetype> row(size_t(b.size()) + 1);
    for (qsizetype j = 0; j <= b.size(); ++j) {
        row[size_t(j)] = j;
    }
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[size_t(b.size())];
}

}  // namespace

void usageError(QTextStream& err, const QString& message) {
    err << kProgramName << ": " << message << "\n"
        << "Try '" << kProgramName << " --help' for more information.\n";
    err.flush();
}

void failure(QTextStream& err, const QString& reason) {
    err << kProgramName << ": " << reason << "\n";
    err.flush();
}

QString Arguments::value(const QString& name) const {
    const QStringList all = values.value(name);
    return all.isEmpty() ? QString() : all.last();
}

Option quietOption() {
    return {QStringLiteral("quiet"), Option::Takes::Nothing, {}, u'q'};
}

QString nearestWord(const QString& typed, const QStringList& known) {
    QString nearest;
    qsizetype best = 3;
    for (const QString& word : known) {
        const qsizetype distance = editDistance(typed, word);
        if (distance < best && distance * 2 < word.size()) {
            best = distance;
            nearest = word;
        }
    }
    return nearest;
}

std::variant<Arguments, UsageMistake> readArguments(const QString& command,
                                                    const QList<Option>& options, Operands operands,
                                                    const QStringList& args) {
    const Scan scanned = scan(command, options, operands, args);
    if (scanned.help) {
        Arguments help;
        help.given = args;
        help.help = true;
        return help;
    }
    if (scanned.mistake) {
        return UsageMistake{*scanned.mistake};
    }
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // Short names are spelled long above: "-abc" is a mistake there, never "--abc".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const Option& option : options) {
        parser.addOption(QCommandLineOption(
            option.name, QString(),
            option.takes == Option::Takes::Nothing ? QString() : QStringLiteral("value")));
    }
    if (!parser.parse(QStringList{kProgramName} + scanned.args)) {
        return UsageMistake{parser.errorText()};  // each of its mistakes is found above
    }
    Arguments read{parser.positionalArguments(), {}, args};
    for (const Option& option : options) {
        if (parser.isSet(option.name)) {
            read.values.insert(option.name, parser.values(option.name));
        }
    }
    return read;
}

}  // namespace lp::cli
