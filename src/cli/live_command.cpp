// live: the meter's readings as they arrive, one line each.
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/device_commands.h"
#include "cli/headless_meter.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/port_argument.h"
#include "live/reading_fields.h"
#include "platform/iso_time.h"
#include "platform/numeric_text.h"
#include "records/csv_export.h"

namespace lp::cli {
namespace {

QJsonValue numberOrNull(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

enum class LiveForm { Tsv, Csv, Json };

// The columns of a line: time, level, weighting, response, range and the lit flags
// (`noFlags` when none is lit).
QStringList liveColumns(const QString& dateTime, const link::Reading& reading,
                        const QString& noFlags) {
    const live::ReadingFields f = live::readingFields(reading);
    return {dateTime,    platform::levelText(reading.level),
            f.weighting, f.response,
            f.range,     f.flags.isEmpty() ? noFlags : f.flags.join(u' ')};
}

}  // namespace

QString liveLine(const QString& dateTime, const link::Reading& reading) {
    return liveColumns(dateTime, reading, QStringLiteral("-")).join(u'\t');
}

QString liveCsvLine(const QString& dateTime, const link::Reading& reading) {
    QByteArray line;
    for (const QString& field : liveColumns(dateTime, reading, {})) {
        if (!line.isEmpty()) {
            line += ',';
        }
        records::appendCsvField(line, field.toLatin1());
    }
    return QString::fromLatin1(line);
}

QString liveJsonLine(const QString& dateTime, const link::Reading& reading) {
    const QString level = platform::levelText(reading.level);
    QJsonObject o{{QStringLiteral("format"), 1},
                  {QStringLiteral("time"), dateTime},
                  {QStringLiteral("level"), numberOrNull(level)},
                  {QStringLiteral("level_text"), level}};
    live::insertReadingFields(o, &reading);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

namespace {

struct LiveOptions {
    std::optional<QString> port;
    std::optional<QString> format;
    bool json = false;
    StopAfter stop;
};

std::vector<OptionRow> liveRows(LiveOptions& o) {
    return {text(QStringLiteral("port"), QStringLiteral("P"), o.port, portHelp())
                .orRequired()
                .completing(Completes::Port),
            text(QStringLiteral("format"), QStringLiteral("tsv|csv|json"), o.format,
                 QStringLiteral("TAB-separated (default), CSV with a header, or a JSON object per "
                                "line.")),
            flag(QStringLiteral("json"), o.json, QStringLiteral("The same as --format json.")),
            converted<qint64>(
                QStringLiteral("count"), QStringLiteral("N"), o.stop.count,
                [](const QString& t) { return wholeFromOneOf(QStringLiteral("count"), t); },
                QStringLiteral("Ends after N readings.")),
            converted<qint64>(
                QStringLiteral("duration"), QStringLiteral("S"), o.stop.seconds,
                [](const QString& t) { return wholeFromOneOf(QStringLiteral("duration"), t); },
                QStringLiteral("Ends after S seconds."))};
}

int runLive(const LiveOptions& options, const ReadArguments&, CommandIo& io) {
    LiveForm form = options.json ? LiveForm::Json : LiveForm::Tsv;
    if (options.format) {
        const QString name = *options.format;
        const LiveForm chosen = name == QStringLiteral("csv")    ? LiveForm::Csv
                                : name == QStringLiteral("json") ? LiveForm::Json
                                                                 : LiveForm::Tsv;
        if ((chosen == LiveForm::Tsv && name != QStringLiteral("tsv")) ||
            (options.json && chosen != LiveForm::Json)) {
            return io.talk.usage(
                QStringLiteral("--format takes tsv, csv or json (--json is json), not '%1'")
                    .arg(name));
        }
        form = chosen;
    }
    const Outcome<live::PortRequest> start = startDevice(*options.port);
    if (!start) {
        return io.talk.refused(start.refusal());
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    live::OpenedPort port = openDevice(*start, *clock, io.talk);
    if (!port.transport) {
        return kFileFailure;
    }
    HeadlessMeter meter(std::move(port), *start, *clock, io.talk);
    QTextStream& out = io.out;
    QEventLoop loop;
    const StopAfter& after = options.stop;
    if (form == LiveForm::Csv) {
        out << "time,level,weighting,response,range,flags\r\n";
        out.flush();
    }
    qint64 lines = 0;
    QObject::connect(&meter.cycle(), &live::LiveCycle::readingDecoded, &meter,
                     [&](const link::Reading& reading) {
                         const QString when = platform::isoTimeText(clock->now());
                         out << (form == LiveForm::Csv    ? liveCsvLine(when, reading) + u'\r'
                                 : form == LiveForm::Json ? liveJsonLine(when, reading)
                                                          : liveLine(when, reading))
                             << "\n";
                         out.flush();
                         if (after.count && ++lines >= *after.count) {
                             loop.exit(kOk);
                         }
                     });
    // A run that its time ended short because the meter did not answer has failed.
    std::optional<QString> shortRun;
    if (after.seconds) {
        QTimer::singleShot(std::chrono::seconds(*after.seconds), &loop, [&] {
            shortRun = meter.shortRun(QStringLiteral("readings"));
            loop.exit(shortRun ? kFileFailure : kOk);
        });
    }
    const int status = loop.exec();
    if (shortRun) {
        io.talk.error(*shortRun);
    }
    return status;
}

}  // namespace

Command liveCommand() {
    return commandOf<LiveOptions>(
        {QStringLiteral("live"), QString(),
         QStringLiteral("One line per reading of the meter as it arrives."),
         QStringLiteral("One line per reading as it arrives: time, level, weighting,\n"
                        "response, range and flags. Ends after N readings or S seconds, or\n"
                        "on SIGINT or SIGTERM."),
         QStringLiteral("live --port sim --count 5")},
        Operands::None, liveRows, runLive);
}

}  // namespace lp::cli
