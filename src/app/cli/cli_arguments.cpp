#include "app/cli/cli_arguments.h"

#include <QCommandLineParser>
#include <optional>

#include "app/cli/cli.h"

namespace lp::app::cli {
namespace {

bool isOption(const QString& arg) {
    return arg.startsWith(u'-') && arg.size() > 1;
}

// The option `arg` names: "--name", or "--name=value" for an option with a value.
const Option* optionNamed(const QList<Option>& options, const QString& arg) {
    for (const Option& option : options) {
        const QString dashed = QStringLiteral("--") + option.name;
        if (arg == dashed ||
            (option.takes != Option::Takes::Nothing && arg.startsWith(dashed + u'='))) {
            return &option;
        }
    }
    return nullptr;
}

std::optional<QString> firstMistake(const QString& command, const QList<Option>& options,
                                    Operands operands, const QStringList& args) {
    if (options.isEmpty() && operands == Operands::None && !args.isEmpty()) {
        return QStringLiteral("%1 takes no arguments, not '%2'").arg(command, args.first());
    }
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!isOption(arg)) {
            if (operands == Operands::None) {
                return QStringLiteral("%1 takes no argument '%2'").arg(command, arg);
            }
            continue;
        }
        const Option* option = optionNamed(options, arg);
        if (option == nullptr) {
            return QStringLiteral("unknown option '%1' for %2").arg(arg, command);
        }
        if (option->takes == Option::Takes::Nothing) {
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const bool missing = equals < 0 && i + 1 >= args.size();
        const QString value = equals >= 0 ? arg.mid(equals + 1) : missing ? QString() : args[++i];
        if (missing || (value.isEmpty() && option->takes == Option::Takes::NonEmptyValue)) {
            return QStringLiteral("option --%1 needs %2").arg(option->name, option->needs);
        }
    }
    return std::nullopt;
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

std::variant<Arguments, UsageMistake> readArguments(const QString& command,
                                                    const QList<Option>& options, Operands operands,
                                                    const QStringList& args) {
    if (const std::optional<QString> mistake = firstMistake(command, options, operands, args)) {
        return UsageMistake{*mistake};
    }
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // No option has a one-letter name: "-abc" is a mistake above, never "--abc".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const Option& option : options) {
        parser.addOption(QCommandLineOption(
            option.name, QString(),
            option.takes == Option::Takes::Nothing ? QString() : QStringLiteral("value")));
    }
    if (!parser.parse(QStringList{kProgramName} + args)) {
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

}  // namespace lp::app::cli
