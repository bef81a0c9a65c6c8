#include "app/cli/cli_arguments.h"

#include <algorithm>

#include "app/cli/cli.h"

namespace lp::app::cli {

void usageError(QTextStream& err, const QString& message) {
    err << kProgramName << ": " << message << "\n"
        << "Try '" << kProgramName << " --help' for more information.\n";
    err.flush();
}

void failure(QTextStream& err, const QString& reason) {
    err << kProgramName << ": " << reason << "\n";
    err.flush();
}

std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name) {
    const QString& arg = args[i];
    if (arg.size() > name.size() && arg.startsWith(name) && arg[name.size()] == u'=') {
        return arg.mid(name.size() + 1);
    }
    if (i + 1 >= args.size()) {
        return std::nullopt;
    }
    ++i;
    return args[i];
}

bool isOption(const QString& arg) {
    return arg.startsWith(u'-') && arg.size() > 1;
}

bool optionIs(const QString& arg, const QString& name) {
    return arg == name || arg.startsWith(name + u'=');
}

bool readOptions(const QStringList& args, CommandOptions& options, QTextStream& err) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto name = std::find_if(options.names.cbegin(), options.names.cend(),
                                       [&arg](const QString& n) { return optionIs(arg, n); });
        if (name != options.names.cend()) {
            const std::optional<QString> value = optionValue(args, i, *name);
            if (!value || value->isEmpty()) {
                usageError(err, QStringLiteral("option %1 needs a value").arg(*name));
                return false;
            }
            options.values.insert(*name, *value);
        } else if (isOption(arg)) {
            usageError(err, QStringLiteral("unknown option '%1' for %2").arg(arg, options.command));
            return false;
        } else {
            usageError(err, QStringLiteral("%1 takes no argument '%2'").arg(options.command, arg));
            return false;
        }
    }
    return true;
}

}  // namespace lp::app::cli
