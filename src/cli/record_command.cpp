// record: the panel's PC recording without the panel, for unattended runs.
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/headless_meter.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/kit/std_streams.h"
#include "cli/port_argument.h"
#include "cli/record_alarms.h"
#include "cli/record_files.h"
#include "cli/record_publishing.h"
#include "live/recording.h"
#include "platform/version.h"
#include "records/record_file_writer.h"
#include "records/record_tally.h"

namespace lp::cli {
namespace {

// The run across its files: the day it records (with daily rotation) and the part of
// that day's name it is in.
class RecordRun {
public:
    RecordRun(QString out, bool daily, Talk& talk, QEventLoop& loop)
        : out_(std::move(out)), daily_(daily), talk_(talk), loop_(loop) {
        QObject::connect(&recording_, &live::Recording::limitReached, &loop_, [this] {
            part_ += 1;
            (void)startFile();
        });
        QObject::connect(&recording_, &live::Recording::stopped, &loop_,
                         [this](const QString& reason) {
                             written_ -= 1;  // the line that failed
                             talk_.error(reason);
                             loop_.exit(kFileFailure);
                         });
        // Said once each: a daily file in the same folder repeats what the first said.
        QObject::connect(&recording_, &live::Recording::noticed, &loop_,
                         [this](const QString& text) {
                             if (!told_.contains(text)) {
                                 told_ << text;
                                 talk_.error(text);
                             }
                         });
    }
    ~RecordRun() { recording_.stop(); }

    // The first file, for the samples of `today`.
    [[nodiscard]] bool begin(QDate today) {
        day_ = today;
        return startFile();
    }

    void take(const live::Sample& sample) {
        if (daily_ && sample.when.date() != day_) {
            recording_.stop();
            day_ = sample.when.date();
            part_ = 1;
            if (!startFile()) {
                return;
            }
        }
        if (recording_.on()) {
            written_ += 1;
            recording_.record(sample);
        }
    }

    [[nodiscard]] qint64 written() const { return written_; }
    [[nodiscard]] live::Recording& recording() { return recording_; }

private:
    bool startFile() {
        const QString name =
            recordFileName(out_, daily_ ? std::optional<QDate>(day_) : std::nullopt, part_);
        recording_.chooseFile(name);
        if (const std::optional<QString> error = recording_.start()) {
            talk_.error(*error);
            loop_.exit(kFileFailure);
            return false;
        }
        talk_.say(records::recordingStartText(name, recording_.appendedTo()));
        return true;
    }

    QString out_;
    bool daily_;
    Talk& talk_;
    QEventLoop& loop_;
    live::Recording recording_;
    QDate day_;
    int part_ = 1;
    qint64 written_ = 0;
    QStringList told_;
};

struct RecordOptions {
    std::optional<QString> port;
    std::optional<int> every;
    std::optional<QString> out;
    std::optional<QString> rotate;
    StopAfter stop;
    RecordAlarms::Flags alarms;
    PublishFlags publish;
};

Outcome<QString> dailyOf(const QString& text) {
    if (text != QStringLiteral("daily")) {
        return usageMistake(QStringLiteral("--rotate takes daily, not '%1'").arg(text));
    }
    return text;
}

std::vector<OptionRow> recordRows(RecordOptions& o) {
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
    return rows;
}

int runRecord(const RecordOptions& options, const ReadArguments&, CommandIo& io) {
    const QString file = *options.out;
    const Outcome<live::PortRequest> start = startDevice(*options.port);
    if (!start) {
        return io.talk.refused(start.refusal());
    }
    Talk& talk = io.talk;
    if (const std::optional<QString> mistake = outIsStdout(QStringLiteral("record"), file)) {
        return talk.usage(*mistake);
    }
    const int seconds = options.every.value_or(live::LiveCycle::kFirstSamplingSeconds);
    const StopAfter& after = options.stop;
    const bool daily = options.rotate.has_value();
    const Outcome<std::optional<PublishSetup>> publish = readPublishOptions(options.publish, talk);
    if (!publish) {
        return talk.refused(publish.refusal());
    }
    // The records come from the port: a file written there would go to the meter.
    if (const auto refused = records::refuseWritingOverSource(file, start->device)) {
        talk.error(records::saveFailureText(*refused));
        return kFileFailure;
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    auto readAlarms = RecordAlarms::read(options.alarms, file, seconds, *clock, talk);
    if (!readAlarms) {
        return talk.refused(readAlarms.refusal());
    }
    const auto alarms = std::move(*readAlarms);
    live::OpenedPort opened = openDevice(*start, *clock, talk);
    if (!opened.transport) {
        return kFileFailure;
    }
    // The recording never depends on stdout: its reader may end at any time.
    ignoreBrokenPipes();
    std::unique_ptr<RecordPublishing> publishing;
    if (*publish) {
        const QString first = recordFileName(
            file, daily ? std::optional<QDate>(clock->now().date()) : std::nullopt, 1);
        publishing = std::make_unique<RecordPublishing>(
            **publish, file,
            remote::LoggerStatus{
                {}, *options.port, QFileInfo(first).fileName(), seconds, platform::kVersion},
            talk);
        publishing->start();
        talk.say(QStringLiteral("publishing to ") + publishing->destination());
    }
    QEventLoop loop;
    RecordRun run(file, daily, talk, loop);
    if (publishing) {
        QObject::connect(&run.recording(), &live::Recording::lineWritten, publishing.get(),
                         &RecordPublishing::take);
    }
    if (!run.begin(clock->now().date())) {
        if (publishing) {
            publishing->finish();
        }
        return kFileFailure;
    }
    HeadlessMeter meter(std::move(opened), *start, *clock, talk);
    meter.cycle().setSamplingSeconds(seconds);
    // The cycle samples only levels the meter sent since the sample before.
    const QMetaObject::Connection feed =
        QObject::connect(&meter.cycle(), &live::LiveCycle::sampleTaken, &loop,
                         [&run, &loop, &after](const live::Sample& sample) {
                             run.take(sample);
                             if (after.count && run.written() >= *after.count) {
                                 loop.exit(kOk);
                             }
                         });
    // A run that its time ended short because the meter did not answer has failed.
    std::optional<QString> shortRun;
    if (after.seconds) {
        QTimer::singleShot(std::chrono::seconds(*after.seconds), &loop, [&] {
            shortRun = meter.shortRun(QStringLiteral("records"));
            loop.exit(shortRun ? kFileFailure : kOk);
        });
    }
    if (alarms) {  // on the samples just recorded
        QObject::connect(&meter.cycle(), &live::LiveCycle::sampleTaken, alarms.get(),
                         &RecordAlarms::take);
        if (publishing) {
            QObject::connect(&alarms->alarms(), &live::Alarms::eventOccurred, publishing.get(),
                             &RecordPublishing::takeEvent);
        }
    }
    const int status = loop.exec();
    QObject::disconnect(feed);
    if (alarms) {
        alarms->finish();  // the events going on end, and are published before "stopped"
    }
    if (publishing) {
        publishing->finish();  // "stopped", and what is in flight acknowledged
    }
    talk.say(QStringLiteral("%1 record(s) written").arg(run.written()));
    if (shortRun) {
        talk.error(*shortRun);
    }
    return status;
}

}  // namespace

Command recordCommand() {
    return commandOf<RecordOptions>(
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
