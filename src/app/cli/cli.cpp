// levelpanel-cli: the command chosen, and the usage text.
#include "app/cli/cli.h"

#include "app/cli/cli_arguments.h"
#include "app/cli/device_commands.h"
#include "app/cli/file_commands.h"

#ifndef LP_VERSION
#define LP_VERSION "0"
#endif

namespace lp::app::cli {

QString helpText() {
    return QStringLiteral(
               "Usage: %1 COMMAND [ARGUMENTS]\n"
               "\n"
               "Commands:\n"
               "  stats FILE... [--resolution 0.1|1] [--json]\n"
               "      Records with a level, left out, Leq, Lmax, Lmin, L10, L50, L90 and\n"
               "      the Ln table L(00)..L(99) of each record file (classes of 0.1 dB\n"
               "      unless --resolution 1); JSON with --json.\n"
               "  export FILE --csv OUT\n"
               "      Writes the records as CSV: no,time,level with ISO 8601 times.\n"
               "  ports\n"
               "      The serial ports found, and \"%2\" for the simulated meter.\n"
               "  live --port P\n"
               "      One line per reading as it arrives: date and time, level,\n"
               "      weighting, response, range and flags (TAB-separated).\n"
               "  record --port P [--every S] --out FILE [--rotate daily]\n"
               "      Records a sample every S seconds (1..86400, default 2) into the\n"
               "      record file FILE, each line on disk as it is taken. --rotate daily\n"
               "      writes FILE's name plus -YYYY-MM-DD, a new file from midnight; a\n"
               "      file that reaches 348,000 records goes on in part -2, -3, ... A\n"
               "      port that goes away is tried again every 2 s. Ends on SIGINT or\n"
               "      SIGTERM.\n"
               "  sets --port P\n"
               "      The meter's memory status and its table of stored sets.\n"
               "  download --port P --set N --out FILE\n"
               "      Writes stored set N as the record file FILE.\n"
               "\n"
               "P is COM1..COM8, a device path such as /dev/ttyUSB0, or %2 for the\n"
               "simulated meter.\n"
               "\n"
               "Options:\n"
               "  --help       Shows this text.\n"
               "  --version    Shows the version.\n"
               "\n"
               "Exit status: 0 done, 1 usage error, 2 the meter, its port or a file "
               "failed.\n")
        .arg(kProgramName, kSimPortArgument);
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err,
        const QList<SystemPort>& ports) {
    if (arguments.isEmpty()) {
        usageError(err, QStringLiteral("no command given"));
        return kUsageError;
    }
    const QString& command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") ||
        rest.contains(QStringLiteral("--help"))) {
        out << helpText();
        out.flush();
        return kOk;
    }
    if (command == QStringLiteral("--version")) {
        out << kProgramName << " " << LP_VERSION << "\n";
        out.flush();
        return kOk;
    }
    if (command == QStringLiteral("stats")) {
        return runStats(rest, out, err);
    }
    if (command == QStringLiteral("export")) {
        return runExport(rest, out, err);
    }
    if (command == QStringLiteral("ports")) {
        return runPorts(rest, out, err, ports);
    }
    if (command == QStringLiteral("live")) {
        return runLive(rest, out, err);
    }
    if (command == QStringLiteral("record")) {
        return runRecord(rest, out, err);
    }
    if (command == QStringLiteral("sets")) {
        return runSets(rest, out, err);
    }
    if (command == QStringLiteral("download")) {
        return runDownload(rest, out, err);
    }
    if (isOption(command)) {
        usageError(err, QStringLiteral("unknown option '%1'").arg(command));
        return kUsageError;
    }
    usageError(err, QStringLiteral("unknown command '%1'").arg(command));
    return kUsageError;
}

}  // namespace lp::app::cli
