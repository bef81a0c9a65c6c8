// The file commands: stats, export and ports.
#include "cli/file_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <optional>

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "cli/kit/std_paths.h"
#include "records/csv_export.h"
#include "records/file_error.h"
#include "stats/figure_text.h"
#include "stats/file_ln.h"
#include "stats/percentiles.h"

namespace lp::cli {
namespace {

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

int runStats(const Arguments& args, CommandIo& io) {
    stats::Resolution resolution = stats::Resolution::TenthDb;
    // Every --resolution given must be 0.1 or 1, not only the last, which counts.
    for (const QString& value : args.values.value(QStringLiteral("resolution"))) {
        if (value == QStringLiteral("0.1")) {
            resolution = stats::Resolution::TenthDb;
        } else if (value == QStringLiteral("1")) {
            resolution = stats::Resolution::WholeDb;
        } else {
            usageError(io.err, QStringLiteral("--resolution takes 0.1 or 1, not '%1'").arg(value));
            return kUsageError;
        }
    }
    const bool json = args.has(QStringLiteral("json"));
    if (args.files.isEmpty()) {
        usageError(io.err, QStringLiteral("stats needs at least one FILE"));
        return kUsageError;
    }
    if (const std::optional<QString> twice = stdinTwice(args.files)) {
        usageError(io.err, *twice);
        return kUsageError;
    }

    int status = kOk;
    QJsonArray results;
    for (const QString& file : args.files) {
        const stats::FileLn read = stats::computeLnOfFile(resolution, readPath(file));
        if (read.load.error) {
            failure(io.err,
                    records::readFailureText(asGiven(*read.load.error),
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

int runExport(const Arguments& args, CommandIo& io) {
    if (args.files.size() != 1) {
        usageError(io.err, args.files.isEmpty() ? QStringLiteral("export needs a FILE")
                                                : QStringLiteral("export takes one FILE"));
        return kUsageError;
    }
    if (!args.has(QStringLiteral("csv"))) {
        usageError(io.err, QStringLiteral("export needs --csv OUT"));
        return kUsageError;
    }
    const QString csv = args.value(QStringLiteral("csv"));
    const QString input = readPath(args.files.first());
    // Into standard output through its stream's device, whose failures run() tells too.
    QIODevice* standardOutput = io.out.device();
    if (csv == kStandardStream) {
        io.out.flush();
        if (standardOutput == nullptr) {
            failure(io.err, QStringLiteral("standard output cannot be written."));
            return kFileFailure;
        }
    }
    const records::CsvTimes times = args.has(QStringLiteral("offset"))
                                        ? records::CsvTimes::WithOffset
                                        : records::CsvTimes::Local;
    const records::CsvExport exported =
        csv == kStandardStream ? records::exportRecordFileTo(input, *standardOutput, times)
                               : records::exportRecordFile(input, csv, times);
    if (exported.load.error) {
        // Into a file nothing is written; into standard output the lines before it are.
        failure(io.err, records::readFailureText(
                            asGiven(*exported.load.error),
                            csv == kStandardStream
                                ? QStringLiteral("The %1 record(s) before it were written to "
                                                 "standard output.")
                                      .arg(exported.load.records)
                                : QStringLiteral("No CSV was written.")));
        return kFileFailure;
    }
    if (exported.written) {
        if (csv != kStandardStream) {  // standard output's failure is told by run()
            failure(io.err, records::exportFailureText(*exported.written));
        }
        return kFileFailure;
    }
    tell(io, QStringLiteral("%1 record(s) written to %2")
                 .arg(exported.load.records)
                 .arg(csv == kStandardStream ? QStringLiteral("standard output") : csv));
    return kOk;
}

int runPorts(const Arguments& args, CommandIo& io) {
    if (args.has(QStringLiteral("json"))) {
        // Every entry has the same keys; an unknown fact is null, as everywhere in our JSON.
        const auto fact = [](const QString& text) {
            return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
        };
        const auto entry = [&fact](const live::SystemPort& port) {
            return QJsonObject{{QStringLiteral("device"), port.device},
                               {QStringLiteral("description"), fact(port.description)},
                               {QStringLiteral("manufacturer"), fact(port.manufacturer)},
                               {QStringLiteral("serial_number"), fact(port.serialNumber)},
                               {QStringLiteral("by_id"), fact(port.byId)}};
        };
        QJsonArray ports;
        for (const live::SystemPort& port : io.ports) {
            ports.append(entry(port));
        }
        live::SystemPort simulated;
        simulated.device = live::kSimPortArgument;
        simulated.description = live::kSimulatedMeter;
        ports.append(entry(simulated));
        io.out << QJsonDocument(QJsonObject{{QStringLiteral("format"), kJsonFormat},
                                            {QStringLiteral("ports"), ports}})
                      .toJson();
        io.out.flush();
        return kOk;
    }
    // Each known fact, "-" for an unknown one: device, description, maker, serial number
    // and the lasting name.
    const auto known = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("-") : text;
    };
    for (const live::SystemPort& port : io.ports) {
        io.out << port.device << "\t" << known(port.description) << "\t" << known(port.manufacturer)
               << "\t" << known(port.serialNumber) << "\t" << known(port.byId) << "\n";
    }
    io.out << live::kSimPortArgument << "\t" << live::kSimulatedMeter << "\t-\t-\t-\n";
    io.out.flush();
    return kOk;
}

}  // namespace lp::cli
