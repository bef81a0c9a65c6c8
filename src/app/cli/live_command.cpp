// live: the meter's readings as they arrive, one line each.
#include <QEventLoop>

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"
#include "app/cli/cli_clock.h"
#include "app/cli/device_commands.h"
#include "app/cli/headless_meter.h"
#include "app/cli/port_argument.h"
#include "app/cli/stop_signals.h"
#include "panel/panel_view.h"
#include "panel/sample_schedule.h"

namespace lp::app::cli {

QString liveLine(const QString& dateTime, const link::Reading& reading) {
    const panel::PanelView v = panel::panelView(reading);
    QStringList flags;
    const std::pair<bool, const char*> lit[] = {
        {v.recordShown, "REC"},  {v.fullShown, "FULL"},   {v.maxHoldShown, "MAX"},
        {v.batteryShown, "BAT"}, {v.underShown, "UNDER"}, {v.overShown, "OVER"},
    };
    for (const auto& [on, name] : lit) {
        if (on) {
            flags << QString::fromLatin1(name);
        }
    }
    return QStringList{dateTime,
                       v.level,
                       v.weighting.trimmed(),
                       v.response.trimmed(),
                       v.rangeLow + u'-' + v.rangeHigh,
                       flags.isEmpty() ? QStringLiteral("-") : flags.join(u' ')}
        .join(u'\t');
}

int runLive(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandOptions options{QStringLiteral("live"), {QStringLiteral("--port")}};
    if (!readOptions(args, options, err)) {
        return kUsageError;
    }
    if (!options.values.contains(QStringLiteral("--port"))) {
        return usageError(err, QStringLiteral("live needs --port P"));
    }
    const QString portText = options.values.value(QStringLiteral("--port"));
    const std::optional<PortRequest> request = portArgument(portText);
    if (!request) {
        return usageError(err, QStringLiteral("no such port '%1'").arg(portText));
    }
    if (!installStopSignals()) {
        return failure(err, QStringLiteral("cannot install the signal handlers."));
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    OpenedPort port = openDevice(*request, *clock, err);
    if (!port.transport) {
        return kFileFailure;
    }
    HeadlessMeter meter(std::move(port), *request, *clock, err);
    // After the cycle has decoded the frame.
    QObject::connect(
        &meter.poller(), &link::LivePoller::frameReceived, &meter, [&out, &meter, &clock] {
            out << liveLine(panel::dateTimeText(clock->now()), meter.cycle().reading()) << "\n";
            out.flush();
        });
    QEventLoop loop;
    return loop.exec();
}

}  // namespace lp::app::cli
