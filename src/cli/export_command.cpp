// export: the records of a record file as CSV.
#include "cli/commands.h"
#include "cli/kit/std_paths.h"
#include "records/csv_export.h"
#include "records/file_error.h"

namespace lp::cli {
namespace {

struct ExportOptions {
    std::optional<QString> csv;
    bool offset = false;
};

std::vector<OptionRow> exportRows(ExportOptions& o) {
    return {text(QStringLiteral("csv"), QStringLiteral("OUT"), o.csv,
                 QStringLiteral("The CSV file written; - is standard output."))
                .orRequired()
                .completing(Completes::File)
                .needing(QStringLiteral("a file name"))
                .emptyAllowed(),
            flag(QStringLiteral("offset"), o.offset,
                 QStringLiteral("Each time with its UTC offset (2009-06-01T14:05:09+02:00)."))};
}

int runExport(const ExportOptions& options, const ReadArguments& args, CommandIo& io) {
    if (args.files.size() != 1) {
        return io.talk.usage(args.files.isEmpty() ? QStringLiteral("export needs a FILE")
                                                  : QStringLiteral("export takes one FILE"));
    }
    const QString csv = *options.csv;
    const QString input = readPath(args.files.first());
    // Into standard output through its stream's device, whose failures run() tells too.
    QIODevice* standardOutput = io.out.device();
    if (csv == kStandardStream) {
        io.out.flush();
        if (standardOutput == nullptr) {
            io.talk.error(QStringLiteral("standard output cannot be written."));
            return kFileFailure;
        }
    }
    const records::CsvTimes times =
        options.offset ? records::CsvTimes::WithOffset : records::CsvTimes::Local;
    const records::CsvExport exported =
        csv == kStandardStream ? records::exportRecordFileTo(input, *standardOutput, times)
                               : records::exportRecordFile(input, csv, times);
    if (exported.load.error) {
        // Into a file nothing is written; into standard output the lines before it are.
        io.talk.error(records::readFailureText(
            asGiven(*exported.load.error),
            csv == kStandardStream ? QStringLiteral("The %1 record(s) before it were written to "
                                                    "standard output.")
                                         .arg(exported.load.records)
                                   : QStringLiteral("No CSV was written.")));
        return kFileFailure;
    }
    if (exported.written) {
        if (csv != kStandardStream) {  // standard output's failure is told by run()
            io.talk.error(records::exportFailureText(*exported.written));
        }
        return kFileFailure;
    }
    io.talk.say(QStringLiteral("%1 record(s) written to %2")
                    .arg(exported.load.records)
                    .arg(csv == kStandardStream ? QStringLiteral("standard output") : csv));
    return kOk;
}

}  // namespace

Command exportCommand() {
    return commandOf<ExportOptions>(
        {QStringLiteral("export"), QStringLiteral("FILE"),
         QStringLiteral("Writes the records of a record file as CSV."),
         QStringLiteral("Writes the records as CSV: no,time,level with ISO 8601 local times.\n"
                        "FILE - is standard input."),
         QStringLiteral("export day1.sdm --csv day1.csv")},
        Operands::Files, exportRows, runExport);
}

}  // namespace lp::cli
