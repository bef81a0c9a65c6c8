// record: the panel's PC recording without the panel, for unattended runs.
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/ha_discovery_options.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/kit/std_streams.h"
#include "cli/port_argument.h"
#include "cli/record_alarms.h"
#include "cli/record_periods.h"
#include "cli/record_session.h"
#include "platform/stream_output.h"
#include "records/record_file_writer.h"

namespace lp::cli {
namespace {

// The options of `record` as typed, each converted by its row.
struct RecordFlags {
    std::optional<QString> port;
    std::optional<int> every;
    std::optional<QString> out;
    std::optional<QString> rotate;
    StopAfter stop;
    RecordAlarms::Flags alarms;
    PublishFlags publish;
    HaDiscoveryFlags haDiscovery;
    std::optional<std::vector<qint64>> periods;
};

Outcome<QString> dailyOf(const QString& text) {
    if (text != QStringLiteral("daily")) {
        return usageMistake(QStringLiteral("--rotate takes daily, not '%1'").arg(text));
    }
    return text;
}

std::vector<OptionRow> recordRows(RecordFlags& o) {
    std::vector<OptionRow> rows{
        text(QStringLiteral("port"), QStringLiteral("P"), o.port, portHelp())
            .orRequired()
            .completing(Completes::Port),
        converted<int>(QStringLiteral("every"), QStringLiteral("S"), o.every, samplingSecondsOf,
                       QStringLiteral("A sample every S seconds, 1..86400 (default 2).")),
        text(QStringLiteral("out"), QStringLiteral("FILE"), o.out,
             QStringLiteral("The record file, each line on disk as it is taken."))
            .orRequired()
            .completing(Completes::File),
        converted<QString>(QStringLiteral("rotate"), QStringLiteral("daily"), o.rotate, dailyOf,
                           QStringLiteral("FILE's name plus -YYYY-MM-DD, a new file from "
                                          "midnight.")),
        converted<qint64>(
            QStringLiteral("count"), QStringLiteral("N"), o.stop.count,
            [](const QString& t) { return wholeFromOneOf(QStringLiteral("count"), t); },
            QStringLiteral("Ends after N samples.")),
        converted<qint64>(
            QStringLiteral("duration"), QStringLiteral("S"), o.stop.seconds,
            [](const QString& t) { return wholeFromOneOf(QStringLiteral("duration"), t); },
            QStringLiteral("Ends after S seconds.")),
        texts(QStringLiteral("alarm"), QStringLiteral("LEVEL[/SECONDS]"), o.alarms.alarm,
              QStringLiteral("An event starts when the level stays at or above LEVEL dB for "
                             "SECONDS (default 0); one line on stderr at each start and end; "
                             "repeatable.")),
        text(QStringLiteral("bridge"), QStringLiteral("S"), o.alarms.bridge,
             QStringLiteral("A dip shorter than S seconds does not end an alarm's event.")),
        text(QStringLiteral("events"), QStringLiteral("EVENTS"), o.alarms.events,
             QStringLiteral("Each ended event as a CSV line of EVENTS's name plus "
                            "-YYYY-MM-DD, the day it began."))
            .completing(Completes::File)};
    for (OptionRow& row : publishRows(o.publish)) {
        rows.push_back(std::move(row));
    }
    rows.push_back(converted<std::vector<qint64>>(
        QStringLiteral("periods"), QStringLiteral("LENGTHS"), o.periods, periodLengthsOf,
        QStringLiteral("With --publish: the figures of each period of each length (15min,1h: "
                       "Nmin or Nh, dividing a day), as periods --json gives them plus their "
                       "energy, on PREFIX/NAME/period/LENGTH (QoS 1) once the period closes; "
                       "again after a restart until the broker has them "
                       "(FILE.periods.published: how far).")));
    for (OptionRow& row : haDiscoveryRows(o.haDiscovery)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

// The options of `record` into `options` (with the clock of the run); a usage error or
// failure is said on the talk and its status returned.
int readRecordOptions(const RecordFlags& flags, CommandIo& io, RecordOptions& options) {
    const QString file = *flags.out;
    Talk& talk = io.talk;
    const Outcome<live::PortRequest> start = startDevice(*flags.port);
    if (!start) {
        return talk.refused(start.refusal());
    }
    if (const std::optional<QString> mistake = outIsStdout(QStringLiteral("record"), file)) {
        return talk.usage(*mistake);
    }
    const int seconds = flags.every.value_or(live::LiveCycle::kFirstSamplingSeconds);
    const bool daily = flags.rotate.has_value();
    const Outcome<std::optional<PublishSetup>> publish = readPublishOptions(flags.publish, talk);
    if (!publish) {
        return talk.refused(publish.refusal());
    }
    const Outcome<std::optional<QByteArray>> haDiscovery =
        readHaDiscovery(flags.haDiscovery, publish->has_value());
    if (!haDiscovery) {
        return talk.refused(haDiscovery.refusal());
    }
    // The records come from the port: a file written there would go to the meter.
    if (const auto refused = records::refuseWritingOverSource(file, start->device)) {
        talk.error(records::saveFailureText(*refused));
        return kFileFailure;
    }
    std::unique_ptr<platform::Clock> clock = commandClock();
    auto readAlarms = RecordAlarms::read(flags.alarms, file, seconds, *clock, talk);
    if (!readAlarms) {
        return talk.refused(readAlarms.refusal());
    }
    auto alarms = std::move(*readAlarms);
    if (flags.periods && !*publish) {
        return talk.usage(QStringLiteral("--periods needs --publish"));
    }
    options = RecordOptions{std::move(clock), *start,     *flags.port, file,
                            seconds,          flags.stop, daily,       *publish,
                            std::move(alarms)};
    options.haDiscovery = *haDiscovery;
    options.periods = flags.periods.value_or(std::vector<qint64>());
    return kOk;
}

int runRecord(const RecordFlags& flags, const ReadArguments&, CommandIo& io) {
    RecordOptions options;
    if (const int status = readRecordOptions(flags, io, options); status != kOk) {
        return status;
    }
    live::OpenedPort opened = openDevice(options.port, *options.clock, io.talk);
    if (!opened.transport) {
        return kFileFailure;
    }
    // The recording never depends on stdout: its reader may end at any time.
    platform::ignoreBrokenPipes();
    RecordSession session(std::move(options), std::move(opened), io);
    return session.run();
}

}  // namespace

Command recordCommand() {
    return commandOf<RecordFlags>(
        {QStringLiteral("record"), QString(),
         QStringLiteral("Records the meter's levels into a record file, unattended."),
         QStringLiteral("Records a sample every S seconds into the record file FILE, each\n"
                        "line on disk as it is taken. A file that reaches 348,000 records\n"
                        "goes on in part -2, -3, ... A port that goes away is tried again\n"
                        "every 2 s. Ends on SIGINT or SIGTERM, or after N samples or S\n"
                        "seconds."),
         QStringLiteral("record --port /dev/ttyUSB0 --every 1 --out site.sdm --rotate daily")},
        Operands::None, recordRows, runRecord);
}

}  // namespace lp::cli
