#include "cli/record_session.h"

#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>

#include "platform/version.h"
#include "records/record_file_writer.h"

namespace lp::cli {

RecordSession::RecordSession(RecordOptions options, live::OpenedPort opened, CommandIo& io)
    : options_(std::move(options)),
      opened_(std::move(opened)),
      clock_(*options_.clock),
      talk_(io.talk),
      recording_(options_.file, options_.daily, clock_) {
    recording_.setContextSource([this] {
        return live::RunContext{kProgramName + u' ' + platform::kVersion,
                                QSysInfo::machineHostName(), options_.portText,
                                double(options_.seconds)};
    });
    QObject::connect(&recording_, &live::RotatingRecording::fileStarted, &loop_,
                     [this](const QString& file) {
                         talk_.say(records::recordingStartText(file, recording_.appendedTo()));
                     });
    QObject::connect(&recording_, &live::RotatingRecording::failed, &loop_,
                     [this](const QString& reason) {
                         talk_.error(reason);
                         loop_.exit(kFileFailure);
                     });
    QObject::connect(&recording_, &live::RotatingRecording::noticed, &loop_,
                     [this](const QString& text) { talk_.error(text); });
}

RecordSession::~RecordSession() = default;

int RecordSession::run() {
    startPublishing();
    if (const std::optional<QString> error = recording_.begin()) {
        talk_.error(*error);
        if (publishing_) {
            publishing_->finish();
        }
        return kFileFailure;
    }
    startMeter();
    const int status = loop_.exec();
    finish();
    return status;
}

void RecordSession::startPublishing() {
    if (!options_.publish) {
        return;
    }
    publishing_ = std::make_unique<RecordPublishing>(
        *options_.publish, options_.file,
        remote::LoggerStatus{{},
                             options_.portText,
                             QFileInfo(recording_.firstFile()).fileName(),
                             options_.seconds,
                             platform::kVersion},
        talk_);
    if (options_.haDiscovery) {
        // The limit rules join the setup as their option lands.
        const QByteArray& topic = options_.publish->topic;
        discovery_ = std::make_unique<remote::DiscoveryAnnouncer>(
            publishing_->publisher(),
            remote::DiscoverySetup{*options_.haDiscovery,
                                   topic,
                                   QString::fromUtf8(topic.mid(topic.lastIndexOf('/') + 1)),
                                   platform::kVersion,
                                   options_.periods,
                                   {}});
    }
    publishing_->start();
    talk_.say(QStringLiteral("publishing to ") + publishing_->destination());
    QObject::connect(&recording_, &live::RotatingRecording::lineWritten, publishing_.get(),
                     &RecordPublishing::take);
    if (!options_.periods.empty()) {
        periods_ = std::make_unique<RecordPeriods>(options_.periods, options_.file,
                                                   publishing_->publisher(), talk_);
        periods_->start(recording_.firstFile());
        QObject::connect(&recording_, &live::RotatingRecording::lineWritten, periods_.get(),
                         &RecordPeriods::take);
    }
}

void RecordSession::startMeter() {
    meter_ = std::make_unique<HeadlessMeter>(std::move(opened_), options_.port, clock_, talk_);
    live::LiveCycle& cycle = meter_->cycle();
    cycle.setSamplingSeconds(options_.seconds);
    // The cycle samples only levels the meter sent since the sample before.
    feed_ = QObject::connect(&cycle, &live::LiveCycle::sampleTaken, &loop_,
                             [this](const live::Sample& sample) {
                                 recording_.record(sample);
                                 const std::optional<qint64>& count = options_.after.count;
                                 if (count && recording_.written() >= *count) {
                                     loop_.exit(kOk);
                                 }
                             });
    if (const std::optional<qint64>& seconds = options_.after.seconds) {
        QTimer::singleShot(std::chrono::seconds(*seconds), &loop_, [this] {
            shortRun_ = meter_->shortRun(QStringLiteral("records"));
            loop_.exit(shortRun_ ? kFileFailure : kOk);
        });
    }
    if (RecordAlarms* alarms = options_.alarms.get()) {  // on the samples just recorded
        live::feedAlarms(cycle, alarms->alarms());
        if (publishing_) {
            QObject::connect(&alarms->alarms(), &live::Alarms::eventOccurred, publishing_.get(),
                             &RecordPublishing::takeEvent);
        }
    }
}

void RecordSession::finish() {
    QObject::disconnect(feed_);
    if (options_.alarms) {
        options_.alarms->finish();  // the events going on end, and are published before "stopped"
    }
    if (periods_) {
        periods_->finish();  // the periods not closed, partial, before "stopped"
    }
    if (publishing_) {
        publishing_->finish();  // "stopped", and what is in flight acknowledged
    }
    talk_.say(QStringLiteral("%1 record(s) written").arg(recording_.written()));
    if (shortRun_) {
        talk_.error(*shortRun_);
    }
}

}  // namespace lp::cli
