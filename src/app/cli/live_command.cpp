// live: the meter's readings as they arrive, one line each.
#include <QEventLoop>

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"
#include "app/cli/cli_clock.h"
#include "app/cli/device_commands.h"
#include "app/cli/headless_meter.h"
#include "app/cli/port_argument.h"
#include "live/meter_view.h"
#include "live/sample_schedule.h"

namespace lp::app::cli {

QString liveLine(const QString& dateTime, const link::Reading& reading) {
    const live::MeterView v = live::meterView(reading);
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

int runLive(const Arguments& args, CommandIo& io) {
    const DeviceStart start = startDevice(QStringLiteral("live"), args, {}, io.err);
    if (!start.port) {
        return start.status;
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    OpenedPort port = openDevice(*start.port, *clock, io.err);
    if (!port.transport) {
        return kFileFailure;
    }
    HeadlessMeter meter(std::move(port), *start.port, *clock, io.err);
    QTextStream& out = io.out;
    QObject::connect(&meter.cycle(), &live::LiveCycle::readingDecoded, &meter,
                     [&out, &clock](const link::Reading& reading) {
                         out << liveLine(live::dateTimeText(clock->now()), reading) << "\n";
                         out.flush();
                     });
    QEventLoop loop;
    return loop.exec();
}

}  // namespace lp::app::cli
