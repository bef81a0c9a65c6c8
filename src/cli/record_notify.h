// The notifications of `record`: --notify exec:PROGRAM and --notify URL (both
// repeatable) tell each event the logger tells (an alarm's start and end, a limit's
// warning and alarm) to a program or a webhook, as the JSON the broker gets on
// PREFIX/NAME/event. Delivery goes on beside the recording, never holding up a sample; its troubles
// are said on stderr. At the end of the run what is under way gets a few seconds to finish.
//
//   --notify exec:PROGRAM   PROGRAM run with the JSON on stdin, no arguments: the whole
//                           text after exec: is its path (or a name found on PATH)
//   --notify URL            an http:// or https:// URL, the JSON POSTed to it
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "cli/kit/options.h"
#include "cli/kit/talk.h"
#include "live/alarms.h"
#include "live/limit_watch.h"
#include "remote/notifier.h"

namespace lp::cli {

class RecordNotify : public QObject {
    Q_OBJECT
public:
    struct Flags {
        QStringList notify;
    };
    // The option's row, for record's table.
    [[nodiscard]] static OptionRow row(Flags& flags);
    // The notifiers `flags` name, none without --notify; a usage mistake for a text that
    // is neither, a failure for a program that is not there or cannot be run.
    [[nodiscard]] static Outcome<std::unique_ptr<RecordNotify>> read(const Flags& flags,
                                                                     Talk& talk);

    RecordNotify(std::vector<std::unique_ptr<remote::Notifier>> notifiers, Talk& talk);
    ~RecordNotify() override;

    // One event's JSON, to every notifier.
    void notify(const QByteArray& json);
    void takeAlarmEvent(const lp::live::AlarmEvent& event);
    void takeLimitEvent(const lp::live::LimitEvent& event);
    // Waits a few seconds at most for what is under way, then gives up the rest, said.
    void finish();

private:
    std::vector<std::unique_ptr<remote::Notifier>> notifiers_;
};

}  // namespace lp::cli
