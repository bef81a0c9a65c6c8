// A run of `record` once its options are read and its port is open: the linked meter,
// the recording across its files, the alarms and the publishing beside it, wired as
// the windowed session wires them (the alarms fed the cycle's samples, the publisher
// the recording's lines and the alarms' events), until the count, the duration, a
// failure or a stop signal ends it.
#pragma once

#include <QEventLoop>
#include <QString>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/headless_meter.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_streams.h"
#include "cli/publish_options.h"
#include "cli/record_alarms.h"
#include "cli/record_periods.h"
#include "cli/record_publishing.h"
#include "live/rotating_recording.h"
#include "remote/ha_discovery.h"

namespace lp::cli {

// What `record` was asked for.
struct RecordOptions {
    std::unique_ptr<platform::Clock> clock;  // the run's; the alarms keep it
    live::PortRequest port;
    QString portText;  // --port as given, for the status published
    QString file;      // --out
    int seconds = live::LiveCycle::kFirstSamplingSeconds;
    StopAfter after;
    bool daily = false;
    std::optional<PublishSetup> publish;
    std::unique_ptr<RecordAlarms> alarms;  // none without --alarm
    // The discovery prefix, with --ha-discovery.
    std::optional<QByteArray> haDiscovery = {};
    std::vector<qint64> periods = {};  // --periods, seconds; empty without
};

class RecordSession {
public:
    RecordSession(RecordOptions options, live::OpenedPort opened, CommandIo& io);
    ~RecordSession();

    // Records until the run ends; the exit status.
    [[nodiscard]] int run();

private:
    void startPublishing();
    void startMeter();
    // Ends what goes on beside the recording and says how many records were written.
    void finish();

    RecordOptions options_;
    live::OpenedPort opened_;
    platform::Clock& clock_;
    Talk& talk_;
    QEventLoop loop_;
    live::RotatingRecording recording_;
    std::unique_ptr<RecordPublishing> publishing_;
    std::unique_ptr<remote::DiscoveryAnnouncer> discovery_;  // with --ha-discovery
    std::unique_ptr<RecordPeriods> periods_;                 // with --periods
    std::unique_ptr<HeadlessMeter> meter_;
    QMetaObject::Connection feed_;
    // A run that its time ended short because the meter did not answer has failed.
    std::optional<QString> shortRun_;
};

}  // namespace lp::cli
