// download: one stored set of the meter into a record file.
#include <QSysInfo>
#include <climits>

#include "cli/commands.h"
#include "cli/kit/cli_clock.h"
#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/memory_session.h"
#include "cli/port_argument.h"
#include "memory/set_metadata.h"
#include "platform/version.h"
#include "records/file_error.h"
#include "records/record_file_writer.h"

namespace lp::cli {
namespace {

struct DownloadOptions {
    std::optional<QString> port;
    std::optional<int> set;
    std::optional<QString> out;
};

// --set N: a set number the meter may hold.
Outcome<int> setNumberOf(const QString& text) {
    const int set = int(std::min<qint64>(wholeNumberOf(text).value_or(0), INT_MAX));
    if (set < 1 || set > memory::MemoryCommands::kMaxSetNumber) {
        return usageMistake(QStringLiteral("--set takes a set number from 1 to %1, not '%2'")
                                .arg(memory::MemoryCommands::kMaxSetNumber)
                                .arg(text));
    }
    return set;
}

std::vector<OptionRow> downloadRows(DownloadOptions& o) {
    return {text(QStringLiteral("port"), QStringLiteral("P"), o.port, portHelp())
                .orRequired()
                .completing(Completes::Port),
            converted<int>(QStringLiteral("set"), QStringLiteral("N"), o.set, setNumberOf,
                           QStringLiteral("The stored set to download (1 is the first)."))
                .orRequired(),
            text(QStringLiteral("out"), QStringLiteral("FILE"), o.out,
                 QStringLiteral("The record file written."))
                .orRequired()
                .completing(Completes::File)};
}

int runDownload(const DownloadOptions& options, const ReadArguments&, CommandIo& io) {
    const int set = *options.set;
    const QString file = *options.out;
    const Outcome<live::PortRequest> start = startDevice(*options.port);
    if (!start) {
        return io.talk.refused(start.refusal());
    }
    if (const std::optional<QString> mistake = outIsStdout(QStringLiteral("download"), file)) {
        return io.talk.usage(*mistake);
    }
    // The records come from the port: a file written there would go to the meter.
    if (const auto refused = records::refuseWritingOverSource(file, start->device)) {
        io.talk.error(records::saveFailureText(*refused));
        return kFileFailure;
    }
    const std::unique_ptr<platform::Clock> clock = commandClock();
    live::OpenedPort port = openDevice(*start, *clock, io.talk);
    if (!port.transport) {
        return kFileFailure;
    }
    MemorySession session(std::move(port), *clock, io.talk);
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
            if (const auto error = records::saveRecordFile(file, store, {}, start->device)) {
                session.fail(records::saveFailureText(*error));
                return;
            }
            records::RunStart context;
            context.program = kProgramName + u' ' + platform::kVersion;
            context.host = QSysInfo::machineHostName();
            context.port = *options.port;
            if (const std::optional<QString> warning =
                    memory::writeSetMetadata(file, downloaded.header, context)) {
                io.talk.error(*warning);
            }
            io.talk.say(downloaded.title + QStringLiteral(" written to ") + file);
            session.markFinished();
            session.done();
        });
    commands.readStatus();
    return session.run();
}

}  // namespace

Command downloadCommand() {
    return commandOf<DownloadOptions>(
        {QStringLiteral("download"), QString(),
         QStringLiteral("Writes a stored set of the meter as a record file."),
         QStringLiteral("Writes stored set N as the record file FILE."),
         QStringLiteral("download --port /dev/ttyUSB0 --set 2 --out set2.sdm")},
        Operands::None, downloadRows, runDownload);
}

}  // namespace lp::cli
