#include "cli/kit/options.h"

#include <algorithm>

#include "platform/nearest_word.h"

namespace lp::cli {
namespace {

const QString kEndOfOptions = QStringLiteral("--");

bool isOption(const QString& arg) {
    return arg.startsWith(u'-') && arg.size() > 1;
}

bool isHelp(const QString& arg) {
    return arg == QStringLiteral("--help") || arg == QStringLiteral("-h");
}

// The row `arg` names: "--name", "-x" for its short name, or "--name=value" for an
// option with a value.
const OptionRow* rowNamed(const std::vector<OptionRow>& rows, const QString& arg) {
    for (const OptionRow& row : rows) {
        const QString dashed = QStringLiteral("--") + row.about.name;
        if (arg == dashed ||
            (!row.about.shortName.isNull() && arg == QStringLiteral("-") + row.about.shortName) ||
            (!row.about.isFlag() && arg.startsWith(dashed + u'='))) {
            return &row;
        }
    }
    return nullptr;
}

QString unknownOption(const QString& command, const std::vector<OptionRow>& rows,
                      const QString& arg) {
    const OptionRow* flagged = rowNamed(rows, arg.section(u'=', 0, 0));
    if (flagged != nullptr && arg.startsWith(QStringLiteral("--"))) {
        return QStringLiteral("option --%1 takes no value").arg(flagged->about.name);
    }
    QStringList known{QStringLiteral("--help")};
    for (const OptionRow& row : rows) {
        known << QStringLiteral("--") + row.about.name;
    }
    const QString nearest = platform::nearestWord(arg.section(u'=', 0, 0), known);
    return QStringLiteral("unknown option '%1' for %2").arg(arg, command) +
           platform::didYouMean(nearest);
}

}  // namespace

OptionRow OptionRow::orRequired() && {
    about.required = true;
    return std::move(*this);
}

OptionRow OptionRow::completing(Completes completes) && {
    about.completes = completes;
    return std::move(*this);
}

OptionRow OptionRow::needing(const QString& what) && {
    needs = what;
    return std::move(*this);
}

OptionRow OptionRow::emptyAllowed() && {
    mayBeEmpty = true;
    return std::move(*this);
}

OptionRow OptionRow::shortened(QChar shortName) && {
    about.shortName = shortName;
    return std::move(*this);
}

OptionRow flag(const QString& name, bool& field, const QString& help) {
    return {{name, QString(), help}, [&field](const QString&) -> std::optional<QString> {
                field = true;
                return std::nullopt;
            }};
}

OptionRow text(const QString& name, const QString& valueName, std::optional<QString>& field,
               const QString& help) {
    return {{name, valueName, help}, [&field](const QString& value) -> std::optional<QString> {
                field = value;
                return std::nullopt;
            }};
}

OptionRow texts(const QString& name, const QString& valueName, QStringList& field,
                const QString& help) {
    return OptionRow{{name, valueName, help},
                     [&field](const QString& value) -> std::optional<QString> {
                         field << value;
                         return std::nullopt;
                     }};
}

OptionRow optionalText(const QString& name, const QString& valueName, std::optional<QString>& field,
                       const QString& help) {
    OptionRow row = text(name, valueName, field, help).emptyAllowed();
    row.about.valueOptional = true;
    return row;
}

OptionRow quietRow(bool& quiet) {
    return flag(QStringLiteral("quiet"), quiet,
                QStringLiteral("No progress or summary lines on stderr (errors still print)."))
        .shortened(u'q');
}

Outcome<ReadArguments> readArguments(const QString& command, const std::vector<OptionRow>& rows,
                                     Operands operands, const QStringList& args) {
    if (rows.empty() && operands == Operands::None && !args.isEmpty() && !isHelp(args.first())) {
        return usageMistake(
            QStringLiteral("%1 takes no arguments, not '%2'").arg(command, args.first()));
    }
    ReadArguments read;
    read.typed = args;
    std::vector<const OptionRow*> given;
    const auto notTaken = [&command](const QString& arg) {
        return usageMistake(QStringLiteral("%1 takes no argument '%2'").arg(command, arg));
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == kEndOfOptions) {
            const QStringList rest = args.mid(i + 1);
            if (operands == Operands::None && !rest.isEmpty()) {
                return notTaken(rest.first());
            }
            read.files << rest;
            break;
        }
        if (!isOption(arg)) {
            if (operands == Operands::None) {
                return notTaken(arg);
            }
            read.files << arg;
            continue;
        }
        if (isHelp(arg)) {
            return ReadArguments{{}, args, true, {}};
        }
        const OptionRow* row = rowNamed(rows, arg);
        if (row == nullptr) {
            return usageMistake(unknownOption(command, rows, arg));
        }
        const QString& name = row->about.name;
        QString value;
        if (!row->about.isFlag()) {
            const qsizetype equals = arg.indexOf(u'=');
            // An optional value is never missing: alone it is empty.
            const bool alone =
                row->about.valueOptional && (operands == Operands::Files || i + 1 >= args.size() ||
                                             isOption(args[i + 1]) || args[i + 1] == kEndOfOptions);
            const bool missing = equals < 0 && i + 1 >= args.size() && !alone;
            value = equals >= 0 ? arg.mid(equals + 1) : missing || alone ? QString() : args[++i];
            if (missing || (value.isEmpty() && !row->mayBeEmpty)) {
                return usageMistake(QStringLiteral("option --%1 needs %2").arg(name, row->needs));
            }
        }
        given.push_back(row);
        read.options.emplace_back(
            name, row->about.isFlag() ? std::nullopt : std::optional<QString>(value));
        if (const std::optional<QString> refused = row->take(value)) {
            return usageMistake(*refused);
        }
    }
    for (const OptionRow& row : rows) {
        if (row.about.required && std::count(given.begin(), given.end(), &row) == 0) {
            return usageMistake(QStringLiteral("%1 needs --%2 %3")
                                    .arg(command, row.about.name, row.about.valueName));
        }
    }
    return read;
}

}  // namespace lp::cli
