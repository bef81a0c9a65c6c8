// sets: the meter's memory status and its table of stored sets.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "cli/commands.h"
#include "cli/kit/cli_clock.h"
#include "cli/memory_session.h"
#include "cli/port_argument.h"
#include "platform/iso_time.h"

namespace lp::cli {
namespace {

struct SetsOptions {
    std::optional<QString> port;
    bool json = false;
};

std::vector<OptionRow> setsRows(SetsOptions& o) {
    return {text(QStringLiteral("port"), QStringLiteral("P"), o.port, portHelp())
                .orRequired()
                .completing(Completes::Port),
            flag(QStringLiteral("json"), o.json, QStringLiteral("JSON instead of text."))};
}

// A set's start as the meter's clock gives it, "03/15/09----14:05:09" (month/day/year),
// as ISO 8601 local time with its offset; the meter's text when it is no such time.
QString setStartText(const QString& meterText) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d\\d)-+(\\d\\d):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = form.match(meterText);
    const auto n = [&m](int i) { return m.captured(i).toInt(); };
    const QDateTime when = m.hasMatch()
                               ? QDateTime(QDate(2000 + n(3), n(1), n(2)), QTime(n(4), n(5), n(6)))
                               : QDateTime();
    return when.isValid() ? platform::isoTimeText(when) : meterText;
}

void printStatus(const memory::MemoryStatusInfo& status, QTextStream& out) {
    const auto line = [&out](const char* caption, const QString& value) {
        out << QString::fromLatin1(caption).leftJustified(16) << value << "\n";
    };
    line("MEMORY", status.memorySize);
    line("REMAINING", status.remaining);
    line("ID CODE", status.idCode);
    line("SAMPLING", status.sampling);
    line("NUMBERS OF SET", status.noOfSet);
}

// The numbers behind the window's texts: sizes in bytes, the sampling in seconds; a
// memory size code the meter does not know gives null sizes.
QJsonObject statusJson(const memory::MemoryStatusInfo& status) {
    const bool sized = status.capacityBytes > 0;
    const auto bytes = [sized](qint64 value) {
        return sized ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
    };
    return {{QStringLiteral("memory_bytes"), bytes(status.capacityBytes)},
            {QStringLiteral("remaining_bytes"),
             bytes(status.capacityBytes - qint64{status.usedMemory / 2})},
            {QStringLiteral("id_code"), status.idCodeValue},
            {QStringLiteral("sampling_s"), status.samplingSeconds},
            {QStringLiteral("numbers_of_set"), status.setCount}};
}

int runSets(const SetsOptions& options, const ReadArguments&, CommandIo& io) {
    const Outcome<live::PortRequest> start = startDevice(*options.port);
    if (!start) {
        return io.talk.refused(start.refusal());
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    live::OpenedPort port = openDevice(*start, *clock, io.talk);
    if (!port.transport) {
        return kFileFailure;
    }
    QTextStream& out = io.out;
    const bool json = options.json;
    MemorySession session(std::move(port), *clock, io.talk);
    memory::MemoryCommands& commands = session.commands();
    QJsonObject memoryJson;
    QObject::connect(&commands, &memory::MemoryCommands::statusRead, &commands,
                     [&](const memory::MemoryStatusInfo& status) {
                         if (json) {
                             memoryJson = statusJson(status);
                         } else {
                             printStatus(status, out);
                         }
                         commands.readSetTable(status.setCount);
                     });
    QObject::connect(
        &commands, &memory::MemoryCommands::setTableRead, &commands,
        [&](const QList<memory::SetRow>& rows) {
            QJsonArray sets;
            if (!json) {
                out << "SET\tSTART\tNUMBERS OF REC\n";
            }
            for (const memory::SetRow& row : rows) {
                const QString began = setStartText(row.start);
                if (json) {
                    sets.append(QJsonObject{{QStringLiteral("set"), row.number},
                                            {QStringLiteral("start"), began},
                                            {QStringLiteral("records"), row.records}});
                } else {
                    out << row.number << "\t" << began << "\t" << row.records << "\n";
                }
            }
            if (json) {
                out << QJsonDocument(QJsonObject{{QStringLiteral("format"), kJsonFormat},
                                                 {QStringLiteral("memory"), memoryJson},
                                                 {QStringLiteral("sets"), sets}})
                           .toJson();
            }
            out.flush();
            session.markFinished();
            session.done();
        });
    commands.readStatus();
    return session.run();
}

}  // namespace

Command setsCommand() {
    return commandOf<SetsOptions>(
        {QStringLiteral("sets"), QString(),
         QStringLiteral("The meter's memory status and its table of stored sets."),
         QStringLiteral("The meter's memory status and its table of stored sets, each\n"
                        "set's start in ISO 8601 with the UTC offset; JSON with --json."),
         QStringLiteral("sets --port /dev/ttyUSB0 --json")},
        Operands::None, setsRows, runSets);
}

}  // namespace lp::cli
