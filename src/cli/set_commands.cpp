// sets and download: the meter's memory status, its table of stored sets, and one set
// downloaded into a record file.
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

#include "cli/command.h"
#include "cli/device_commands.h"
#include "cli/kit/cli_arguments.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/kit/time_text.h"
#include "cli/port_argument.h"
#include "link/meter_link.h"
#include "memory/memory_commands.h"
#include "records/file_error.h"
#include "records/record_file_writer.h"

namespace lp::cli {
namespace {

// The port opened and the memory commands on it, with the event loop they run in.
// `run()` returns kFileFailure with the reason on `err` when a command fails or a
// signal cuts it short.
class MemorySession {
public:
    MemorySession(live::OpenedPort port, platform::Clock& clock, QTextStream& err)
        : port_(std::move(port)), link_(*port_.transport, clock), commands_(link_), err_(err) {
        QObject::connect(&commands_, &memory::MemoryCommands::failed, &loop_,
                         [this](const memory::CommandFailure& f) { fail(f.message); });
    }

    [[nodiscard]] memory::MemoryCommands& commands() { return commands_; }
    void done() { loop_.exit(kOk); }
    void fail(const QString& reason) {
        failure(err_, reason);
        loop_.exit(kFileFailure);
    }

    [[nodiscard]] int run() {
        const int status = loop_.exec();
        if (status == kOk && !finished_) {
            failure(err_, QStringLiteral("stopped before the meter had answered."));
            return kFileFailure;
        }
        return status;
    }
    void markFinished() { finished_ = true; }

private:
    live::OpenedPort port_;
    link::MeterLink link_;
    memory::MemoryCommands commands_;
    QTextStream& err_;
    QEventLoop loop_;
    bool finished_ = false;
};

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
    return when.isValid() ? isoTimeText(when) : meterText;
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

}  // namespace

int runSets(const Arguments& args, CommandIo& io) {
    const DeviceStart start = startDevice(QStringLiteral("sets"), args, {}, io.err);
    if (!start.port) {
        return start.status;
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    live::OpenedPort port = openDevice(*start.port, *clock, io.err);
    if (!port.transport) {
        return kFileFailure;
    }
    QTextStream& out = io.out;
    const bool json = args.has(QStringLiteral("json"));
    MemorySession session(std::move(port), *clock, io.err);
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

int runDownload(const Arguments& args, CommandIo& io) {
    const QString setText = args.value(QStringLiteral("set"));
    const QString file = args.value(QStringLiteral("out"));
    const DeviceStart start = startDevice(QStringLiteral("download"), args,
                                          {QStringLiteral("set"), QStringLiteral("out")}, io.err);
    if (!start.port) {
        return start.status;
    }
    if (const std::optional<QString> mistake = outIsStdout(QStringLiteral("download"), file)) {
        usageError(io.err, *mistake);
        return kUsageError;
    }
    const int set = int(std::min<qint64>(wholeNumberOf(setText).value_or(0), INT_MAX));
    if (set < 1 || set > memory::MemoryCommands::kMaxSetNumber) {
        usageError(io.err, QStringLiteral("--set takes a set number from 1 to %1, not '%2'")
                               .arg(memory::MemoryCommands::kMaxSetNumber)
                               .arg(setText));
        return kUsageError;
    }
    // The records come from the port: a file written there would go to the meter.
    if (const auto refused = records::refuseWritingOverSource(file, start.port->device)) {
        failure(io.err, records::saveFailureText(*refused));
        return kFileFailure;
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    live::OpenedPort port = openDevice(*start.port, *clock, io.err);
    if (!port.transport) {
        return kFileFailure;
    }
    MemorySession session(std::move(port), *clock, io.err);
    memory::MemoryCommands& commands = session.commands();
    QObject::connect(
        &commands, &memory::MemoryCommands::statusRead, &commands,
        [&](const memory::MemoryStatusInfo& status) { commands.readSetTable(status.setCount); });
    QObject::connect(&commands, &memory::MemoryCommands::setTableRead, &commands,
                     [&](const QList<memory::SetRow>& rows) {
                         if (set > rows.size()) {
                             session.fail(QStringLiteral("The meter holds %1 set(s); there is "
                                                         "no set %2.")
                                              .arg(rows.size())
                                              .arg(set));
                             return;
                         }
                         commands.download(set, rows[set - 1].records);
                     });
    QObject::connect(
        &commands, &memory::MemoryCommands::downloadEnded, &commands,
        [&](const memory::DownloadedSet& downloaded) {
            records::RecordStore store;
            for (const memory::RecordTexts& r : downloaded.records) {
                store.append(QStringView(r.no), QStringView(r.dateTime), QStringView(r.level));
            }
            if (const auto error = records::saveRecordFile(file, store, {}, start.port->device)) {
                session.fail(records::saveFailureText(*error));
                return;
            }
            tell(io, downloaded.title + QStringLiteral(" written to ") + file);
            session.markFinished();
            session.done();
        });
    commands.readStatus();
    return session.run();
}

}  // namespace lp::cli
