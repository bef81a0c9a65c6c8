// stats: the figures of each record file (Leq, Lmax, Lmin, L10, L50, L90, the Ln table).
#include "cli/stats_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <optional>

#include "cli/commands.h"
#include "cli/kit/std_paths.h"
#include "records/file_error.h"
#include "stats/figure_text.h"
#include "stats/file_ln.h"
#include "stats/percentiles.h"

namespace lp::cli {
namespace {

struct StatsOptions {
    std::optional<stats::Resolution> resolution;
    bool json = false;
};

Outcome<stats::Resolution> resolutionOf(const QString& value) {
    if (value == QStringLiteral("0.1")) {
        return stats::Resolution::TenthDb;
    }
    if (value == QStringLiteral("1")) {
        return stats::Resolution::WholeDb;
    }
    return usageMistake(QStringLiteral("--resolution takes 0.1 or 1, not '%1'").arg(value));
}

std::vector<OptionRow> statsRows(StatsOptions& o) {
    return {converted<stats::Resolution>(
                QStringLiteral("resolution"), QStringLiteral("0.1|1"), o.resolution, resolutionOf,
                QStringLiteral("The classes of the Ln table in dB (default 0.1)."))
                .needing(QStringLiteral("a value (0.1 or 1)")),
            flag(QStringLiteral("json"), o.json, QStringLiteral("JSON instead of text."))};
}

QString resolutionText(stats::Resolution resolution) {
    return resolution == stats::Resolution::TenthDb ? QStringLiteral("0.1") : QStringLiteral("1");
}

// A level as a JSON number: the text the window shows, read back; null for none.
QJsonValue levelValue(const QString& levelText) {
    bool ok = false;
    const double value = levelText.toDouble(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonValue levelValue(const std::optional<double>& level) {
    return level ? levelValue(stats::levelText(*level)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

QString statsText(const QString& fileName, const stats::LnResult& result) {
    QString text;
    QTextStream s(&text);
    const auto line = [&s](const QString& caption, const QString& value) {
        s << (caption + u':').leftJustified(10) << value << "\n";
    };
    s << fileName << "\n";
    line(QStringLiteral("Records"), QString::number(result.figures.withLevel));
    line(QStringLiteral("Left out"), QString::number(result.figures.leftOut));
    line(QStringLiteral("Leq"), stats::decibelsText(result.figures.leq));
    line(QStringLiteral("Lmax"), stats::decibelsText(result.figures.lmax));
    line(QStringLiteral("Lmin"), stats::decibelsText(result.figures.lmin));
    line(QStringLiteral("L10"), stats::decibelsText(result.levels.value(10)));
    line(QStringLiteral("L50"), stats::decibelsText(result.levels.value(50)));
    line(QStringLiteral("L90"), stats::decibelsText(result.levels.value(90)));
    s << "Ln (dB, classes of " << resolutionText(result.resolution) << " dB):\n";
    for (const QStringList& row : stats::lnTableRows(result.levels)) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString cell = row[c].isEmpty() ? stats::kNoValue : row[c];
            s << (c == 0 ? cell : cell.rightJustified(6));
        }
        s << "\n";
    }
    s.flush();
    return text;
}

QJsonObject statsJson(const QString& fileName, const stats::LnResult& result) {
    QJsonArray ln;
    for (int n = 0; n < 100; ++n) {
        ln.append(levelValue(result.levels.value(n)));
    }
    return QJsonObject{
        {QStringLiteral("file"), fileName},
        {QStringLiteral("resolution"), resolutionText(result.resolution).toDouble()},
        {QStringLiteral("records"), result.figures.withLevel},
        {QStringLiteral("left_out"), result.figures.leftOut},
        {QStringLiteral("leq"), levelValue(result.figures.leq)},
        {QStringLiteral("lmax"), levelValue(result.figures.lmax)},
        {QStringLiteral("lmin"), levelValue(result.figures.lmin)},
        {QStringLiteral("l10"), levelValue(result.levels.value(10))},
        {QStringLiteral("l50"), levelValue(result.levels.value(50))},
        {QStringLiteral("l90"), levelValue(result.levels.value(90))},
        {QStringLiteral("ln"), ln},
    };
}

namespace {

int runStats(const StatsOptions& options, const ReadArguments& args, CommandIo& io) {
    const stats::Resolution resolution = options.resolution.value_or(stats::Resolution::TenthDb);
    const bool json = options.json;
    if (args.files.isEmpty()) {
        return io.talk.usage(QStringLiteral("stats needs at least one FILE"));
    }
    if (const std::optional<QString> twice = stdinTwice(args.files)) {
        return io.talk.usage(*twice);
    }

    int status = kOk;
    QJsonArray results;
    for (const QString& file : args.files) {
        const stats::FileLn read = stats::computeLnOfFile(resolution, readPath(file));
        if (read.load.error) {
            io.talk.error(records::readFailureText(asGiven(*read.load.error),
                                                   QStringLiteral("No figures are given for it.")));
            status = kFileFailure;
            continue;
        }
        const stats::LnResult& result = read.result;
        if (json) {
            results.append(statsJson(file, result));
        } else {
            io.out << statsText(file, result) << "\n";
        }
    }
    if (json) {
        io.out << QJsonDocument(QJsonObject{{QStringLiteral("format"), kJsonFormat},
                                            {QStringLiteral("files"), results}})
                      .toJson();
    }
    io.out.flush();
    return status;
}

}  // namespace

Command statsCommand() {
    return commandOf<StatsOptions>(
        {QStringLiteral("stats"), QStringLiteral("FILE..."),
         QStringLiteral("Leq, Lmax, Lmin, L10, L50, L90 and the Ln table of record files."),
         QStringLiteral("Records with a level, left out, Leq, Lmax, Lmin, L10, L50, L90 and\n"
                        "the Ln table L(00)..L(99) of each record file (classes of 0.1 dB\n"
                        "unless --resolution 1; L(n) is the highest class with at least\n"
                        "n + 0.5 % of the records at or above it). FILE - is standard input."),
         QStringLiteral("stats --resolution 1 day1.sdm day2.sdm")},
        Operands::Files, statsRows, runStats);
}

}  // namespace lp::cli
