// Publishing beside an unattended recording: each line the recording has on disk goes
// to the store-and-forward publisher, which sends it when the broker takes it. On the
// error stream, one line when publishing stops (with the reason; it retries 1 s to
// 60 s apart while the recording goes on) and one when it has caught up (with the
// backlog sent), and each other trouble of publishing once.
#pragma once

#include <QObject>
#include <QTextStream>
#include <memory>
#include <optional>

#include "cli/publish_options.h"
#include "live/alarms.h"
#include "live/recording.h"
#include "remote/meta_publisher.h"
#include "remote/sample_publisher.h"

namespace lp::cli {

class RecordPublishing : public QObject {
    Q_OBJECT
public:
    // `out` is the record file as given (its cursor file is OUT.published); `status`
    // what the status message says of the logger besides its state.
    RecordPublishing(PublishSetup setup, const QString& out, remote::LoggerStatus status,
                     Talk& talk);
    ~RecordPublishing() override;

    // Loads the cursor and starts connecting (a cursor that cannot be read is said, and
    // the recording goes on).
    void start();
    void take(const lp::live::RecordedLine& line);
    // An alarm event's start or end, for PREFIX/NAME/event.
    void takeEvent(const lp::live::AlarmEvent& event);
    // Publishes "stopped" and waits until what is in flight is acknowledged and the
    // cursor written (the publisher's stop timeout, a few seconds, at most).
    void finish();

    // The publisher, for what else goes out beside the records (the period figures,
    // the discovery configs).
    [[nodiscard]] remote::SamplePublisher& publisher() { return *publisher_; }

    // "PREFIX/NAME at HOST:PORT", for the user.
    [[nodiscard]] QString destination() const;

private:
    void tell(const QString& text);
    // Said once each: a cursor that cannot be written fails again every second.
    void tellOnce(const QString& text);

    QString address_;
    QByteArray topic_;
    Talk& talk_;
    std::unique_ptr<remote::SamplePublisher> publisher_;
    // The run metadata's lines, on PREFIX/NAME/meta (cursor: OUT.meta-published).
    std::unique_ptr<remote::MetaPublisher> meta_;
    QStringList told_;
    bool finished_ = false;
};

}  // namespace lp::cli
