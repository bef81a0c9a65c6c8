// record: the panel's PC recording without the panel, for unattended runs.
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include "cli/command.h"
#include "cli/device_commands.h"
#include "cli/headless_meter.h"
#include "cli/kit/cli_arguments.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/kit/std_streams.h"
#include "cli/port_argument.h"
#include "cli/record_alarms.h"
#include "cli/record_files.h"
#include "cli/record_publishing.h"
#include "live/recording.h"
#include "platform/stream_output.h"
#include "platform/version.h"
#include "records/record_file_writer.h"
#include "records/record_tally.h"

namespace lp::cli {
namespace {

// The run across its files: the day it records (with daily rotation) and the part of
// that day's name it is in.
class RecordRun {
public:
    RecordRun(QString out, bool daily, Talk& talk, QTextStream& err, QEventLoop& loop)
        : out_(std::move(out)), daily_(daily), talk_(talk), err_(err), loop_(loop) {
        QObject::connect(&recording_, &live::Recording::limitReached, &loop_, [this] {
            part_ += 1;
            (void)startFile();
        });
        QObject::connect(&recording_, &live::Recording::stopped, &loop_,
                         [this](const QString& reason) {
                             written_ -= 1;  // the line that failed
                             failure(err_, reason);
                             loop_.exit(kFileFailure);
                         });
        // Said once each: a daily file in the same folder repeats what the first said.
        QObject::connect(&recording_, &live::Recording::noticed, &loop_,
                         [this](const QString& text) {
                             if (!told_.contains(text)) {
                                 told_ << text;
                                 err_ << kProgramName << ": " << text << "\n";
                                 err_.flush();
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
            failure(err_, *error);
            loop_.exit(kFileFailure);
            return false;
        }
        talk_.line(records::recordingStartText(name, recording_.appendedTo()));
        return true;
    }

    QString out_;
    bool daily_;
    Talk& talk_;
    QTextStream& err_;
    QEventLoop& loop_;
    live::Recording recording_;
    QDate day_;
    int part_ = 1;
    qint64 written_ = 0;
    QStringList told_;
};

}  // namespace

int runRecord(const Arguments& args, CommandIo& io) {
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
    const std::unique_ptr<platform::Clock> clock = commandClock();
    auto readAlarms = RecordAlarms::read(args, file, seconds, *clock, err);
    if (const auto* mistake = std::get_if<UsageMistake>(&readAlarms)) {
        usageError(err, mistake->message);
        return kUsageError;
    }
    const auto alarms = std::move(std::get<std::unique_ptr<RecordAlarms>>(readAlarms));
    live::OpenedPort opened = openDevice(*start.port, *clock, err);
    if (!opened.transport) {
        return kFileFailure;
    }
    // The recording never depends on stdout: its reader may end at any time.
    platform::ignoreBrokenPipes();
    Talk talk(err, io.quiet);
    std::unique_ptr<RecordPublishing> publishing;
    if (publish.setup) {
        const QString first = recordFileName(
            file, daily ? std::optional<QDate>(clock->now().date()) : std::nullopt, 1);
        publishing = std::make_unique<RecordPublishing>(
            *publish.setup, file,
            remote::LoggerStatus{{},
                                 args.value(QStringLiteral("port")),
                                 QFileInfo(first).fileName(),
                                 seconds,
                                 platform::kVersion},
            err);
        publishing->start();
        talk.line(QStringLiteral("publishing to ") + publishing->destination());
    }
    QEventLoop loop;
    RecordRun run(file, daily, talk, err, loop);
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
    HeadlessMeter meter(std::move(opened), *start.port, *clock, err);
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
    talk.line(QStringLiteral("%1 record(s) written").arg(run.written()));
    if (shortRun) {
        failure(err, *shortRun);
    }
    return status;
}

}  // namespace lp::cli
