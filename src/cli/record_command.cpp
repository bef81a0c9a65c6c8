// record: the panel's PC recording without the panel, for unattended runs.
#include "cli/command.h"
#include "cli/device_commands.h"
#include "cli/kit/cli_arguments.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/kit/std_streams.h"
#include "cli/port_argument.h"
#include "cli/record_alarms.h"
#include "cli/record_session.h"
#include "platform/stream_output.h"
#include "records/record_file_writer.h"

namespace lp::cli {
namespace {

// The options of `record` into `options` (with the clock of the run); a usage error or
// failure is printed to the error stream and its status returned.
int readRecordOptions(const Arguments& args, CommandIo& io, RecordOptions& options) {
    const QString every = QStringLiteral("every");
    const QString rotate = QStringLiteral("rotate");
    const QString file = args.value(QStringLiteral("out"));
    const DeviceStart start =
        startDevice(QStringLiteral("record"), args, {QStringLiteral("out")}, io.err);
    if (!start.port) {
        return start.status;
    }
    QTextStream& err = io.err;
    if (const std::optional<QString> mistake = outIsStdout(QStringLiteral("record"), file)) {
        usageError(err, *mistake);
        return kUsageError;
    }
    int seconds = live::LiveCycle::kFirstSamplingSeconds;
    if (args.has(every)) {
        const std::variant<int, QString> read = samplingSecondsOf(args.value(every));
        if (const auto* mistake = std::get_if<QString>(&read)) {
            usageError(err, *mistake);
            return kUsageError;
        }
        seconds = std::get<int>(read);
    }
    const std::variant<StopAfter, QString> stop = stopAfterOf(args);
    if (const auto* mistake = std::get_if<QString>(&stop)) {
        usageError(err, *mistake);
        return kUsageError;
    }
    const StopAfter after = std::get<StopAfter>(stop);
    const bool daily = args.has(rotate);
    if (daily && args.value(rotate) != QStringLiteral("daily")) {
        usageError(err, QStringLiteral("--rotate takes daily, not '%1'").arg(args.value(rotate)));
        return kUsageError;
    }
    const PublishRead publish = readPublishOptions(args, err);
    if (publish.status != kOk) {
        return publish.status;
    }
    // The records come from the port: a file written there would go to the meter.
    if (const auto refused = records::refuseWritingOverSource(file, start.port->device)) {
        failure(err, records::saveFailureText(*refused));
        return kFileFailure;
    }
    std::unique_ptr<platform::Clock> clock = commandClock();
    auto readAlarms = RecordAlarms::read(args, file, seconds, *clock, err);
    if (const auto* mistake = std::get_if<UsageMistake>(&readAlarms)) {
        usageError(err, mistake->message);
        return kUsageError;
    }
    auto alarms = std::move(std::get<std::unique_ptr<RecordAlarms>>(readAlarms));
    options = RecordOptions{std::move(clock),
                            *start.port,
                            args.value(QStringLiteral("port")),
                            file,
                            seconds,
                            after,
                            daily,
                            publish.setup,
                            std::move(alarms)};
    return kOk;
}

}  // namespace

int runRecord(const Arguments& args, CommandIo& io) {
    RecordOptions options;
    if (const int status = readRecordOptions(args, io, options); status != kOk) {
        return status;
    }
    live::OpenedPort opened = openDevice(options.port, *options.clock, io.err);
    if (!opened.transport) {
        return kFileFailure;
    }
    // The recording never depends on stdout: its reader may end at any time.
    platform::ignoreBrokenPipes();
    RecordSession session(std::move(options), std::move(opened), io);
    return session.run();
}

}  // namespace lp::cli
