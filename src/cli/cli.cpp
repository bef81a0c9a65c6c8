// levelpanel-cli: the table of commands, the command chosen, and the usage text.
#include "cli/cli.h"
#include "platform/version.h"

#include <algorithm>
#include <variant>

#include "cli/broker_arguments.h"
#include "cli/device_commands.h"
#include "cli/file_commands.h"
#include "cli/kit/cli_arguments.h"
#include "cli/kit/std_streams.h"
#include "cli/survey_commands.h"
#include "cli/watch_command.h"

namespace lp::cli {
namespace {

// One command: its line in the usage text and the lines under it, the options its
// parser knows, what it takes besides them, and what runs it.
struct Command {
    QString name;
    QString usage;        // what follows the name in the usage text
    QString description;  // the lines under it, without their indent
    QList<Option> options;
    Operands operands;
    int (*run)(const Arguments& args, CommandIo& io);
};

QList<Command> commands() {
    using Takes = Option::Takes;
    const Option port{QStringLiteral("port")};
    const Option out{QStringLiteral("out")};
    const Option json{QStringLiteral("json"), Takes::Nothing};
    const Option csv{QStringLiteral("csv"), Takes::Nothing};
    const Option count{QStringLiteral("count")};
    const Option duration{QStringLiteral("duration")};
    const Option exclude{QStringLiteral("exclude"), Takes::NonEmptyValue,
                         QStringLiteral("FROM/TO")};
    return {
        {QStringLiteral("stats"),
         QStringLiteral("FILE... [--resolution 0.1|1] [--json]"),
         QStringLiteral("Records with a level, left out, Leq, Lmax, Lmin, L10, L50, L90 and\n"
                        "the Ln table L(00)..L(99) of each record file (classes of 0.1 dB\n"
                        "unless --resolution 1; L(n) is the highest class with at least\n"
                        "n + 0.5 % of the records at or above it); JSON with --json."),
         {{QStringLiteral("resolution"), Takes::Value, QStringLiteral("a value (0.1 or 1)")},
          {QStringLiteral("json"), Takes::Nothing}},
         Operands::Files,
         runStats},
        {QStringLiteral("export"),
         QStringLiteral("FILE --csv OUT [--offset]"),
         QStringLiteral("Writes the records as CSV: no,time,level with ISO 8601 local times,\n"
                        "with --offset each with its UTC offset (2009-06-01T14:05:09+02:00)."),
         {{QStringLiteral("csv"), Takes::Value, QStringLiteral("a file name")},
          {QStringLiteral("offset"), Takes::Nothing}},
         Operands::Files,
         runExport},
        {QStringLiteral("periods"),
         QStringLiteral("FILE... [--every 1h] [--exclude FROM/TO]... [--json|--csv]"),
         QStringLiteral("The files as one survey in periods aligned to local midnight (Nmin\n"
                        "or Nh that divides a day, 1min..24h; default 1h): start, end,\n"
                        "records, coverage, Leq, Lmax, Lmin, L10, L50, L90 of each (LN:\n"
                        "the level exceeded for N % of the time, the 100-N % percentile\n"
                        "interpolated between the levels in order)."),
         {{QStringLiteral("every")}, exclude, json, csv},
         Operands::Files,
         runPeriods},
        {QStringLiteral("lden"),
         QStringLiteral("FILE... [--day 07-19] [--evening 19-23] [--night 23-07]\n"
                        "      [--penalties 5,10] [--exclude FROM/TO]... [--json]"),
         QStringLiteral("Lday, Levening, Lnight and Lden with each part's coverage, per day\n"
                        "and over all days; the hours after midnight are the night of the\n"
                        "day before. Coverage counts the time from the first record to the\n"
                        "end of the last. --penalties: dB added to the evening and night,\n"
                        "0 to 20 each."),
         {{QStringLiteral("day")},
          {QStringLiteral("evening")},
          {QStringLiteral("night")},
          {QStringLiteral("penalties")},
          exclude,
          json},
         Operands::Files,
         runLden},
        {QStringLiteral("events"),
         QStringLiteral("FILE... --above L [--min-duration S] [--bridge S]\n"
                        "      [--exclude FROM/TO]... [--json|--csv]"),
         QStringLiteral("Runs of levels at or above L dB (a gap in the records ends one):\n"
                        "start, end, duration, Lmax, Leq, SEL. Shorter than --min-duration S\n"
                        "seconds is no event; a dip shorter than --bridge S joins two."),
         {{QStringLiteral("above")},
          {QStringLiteral("min-duration")},
          {QStringLiteral("bridge")},
          exclude,
          json,
          csv},
         Operands::Files,
         runEvents},
        {QStringLiteral("report"),
         QStringLiteral("FILE... --pdf OUT [--every 1h] [--above L] [--min-duration S]\n"
                        "      [--bridge S] [--day 07-19] [--evening 19-23] [--night 23-07]\n"
                        "      [--penalties E,N] [--exclude FROM/TO]..."),
         QStringLiteral("The survey's PDF report: title block, time history, periods,\n"
                        "day/evening/night with Lden, Ln table and histogram, and the\n"
                        "events above L when --above is given."),
         reportOptions(), Operands::Files, runReport},
        {QStringLiteral("ports"),
         QStringLiteral("[--json]"),
         QStringLiteral("The serial ports found, and \"%1\" for the simulated meter: device,\n"
                        "description, manufacturer, serial number and /dev/serial/by-id\n"
                        "name, \"-\" where unknown (TAB-separated); JSON with --json.")
             .arg(live::kSimPortArgument),
         {json},
         Operands::None,
         runPorts},
        {QStringLiteral("live"),
         QStringLiteral("--port P [--format tsv|csv|json] [--json] [--count N]\n"
                        "      [--duration S]"),
         QStringLiteral("One line per reading as it arrives: time, level, weighting,\n"
                        "response, range and flags (TAB-separated; CSV with a header; a\n"
                        "JSON object per line with --json). Ends after N readings or S\n"
                        "seconds, or on SIGINT or SIGTERM."),
         {port, {QStringLiteral("format")}, json, count, duration},
         Operands::None,
         runLive},
        {QStringLiteral("record"),
         QStringLiteral("--port P [--every S] --out FILE [--rotate daily]\n"
                        "      [--count N] [--duration S]\n"
                        "      [--alarm LEVEL[/SECONDS]]... [--bridge S] [--events EVENTS]\n"
                        "      [--publish mqtt://[USER@]HOST[:PORT]/PREFIX [--id NAME]\n"
                        "       [--password-file FILE] [--cafile FILE]]"),
         QStringLiteral("Records a sample every S seconds (1..86400, default 2) into the\n"
                        "record file FILE, each line on disk as it is taken. --rotate daily\n"
                        "writes FILE's name plus -YYYY-MM-DD, a new file from midnight; a\n"
                        "file that reaches 348,000 records goes on in part -2, -3, ... A\n"
                        "port that goes away is tried again every 2 s. Ends on SIGINT or\n"
                        "SIGTERM, or after N samples or S seconds. --alarm (repeatable):\n"
                        "an event starts when the level stays at or above LEVEL dB for\n"
                        "SECONDS (default 0) and ends by the events rule (a dip shorter\n"
                        "than --bridge S joins); one line on stderr at each start and end,\n"
                        "and with --events each ended event\n"
                        "is a CSV line of EVENTS's name plus -YYYY-MM-DD, the day it began.\n"
                        "--publish sends each record, once on disk, to the MQTT broker as\n"
                        "JSON on PREFIX/NAME/sample (QoS 1), each alarm's start and end on\n"
                        "PREFIX/NAME/event, and the logger's state on PREFIX/NAME/status\n"
                        "(retained: online, stopped, offline when it vanished). NAME is\n"
                        "--id or the host name; USER's password is the first line of\n"
                        "--password-file; mqtts:// is TLS (port 8883), the broker checked\n"
                        "against --cafile or the system's CAs. While the broker is away the\n"
                        "records wait in their files and go out in order when it is back,\n"
                        "also after a restart (FILE.published: how far)."),
         {port,
          {QStringLiteral("every")},
          out,
          count,
          duration,
          {QStringLiteral("rotate")},
          {QStringLiteral("alarm")},
          {QStringLiteral("bridge")},
          {QStringLiteral("events")},
          {QStringLiteral("publish"), Takes::NonEmptyValue, QStringLiteral("a broker URL")},
          {QStringLiteral("id")},
          {QStringLiteral("password-file"), Takes::NonEmptyValue, QStringLiteral("a file name")},
          {QStringLiteral("cafile"), Takes::NonEmptyValue, QStringLiteral("a file name")}},
         Operands::None,
         runRecord},
        {QStringLiteral("sets"),
         QStringLiteral("--port P [--json]"),
         QStringLiteral("The meter's memory status and its table of stored sets, each\n"
                        "set's start in ISO 8601 with the UTC offset; JSON with --json."),
         {port, json},
         Operands::None,
         runSets},
        {QStringLiteral("download"),
         QStringLiteral("--port P --set N --out FILE"),
         QStringLiteral("Writes stored set N as the record file FILE."),
         {port, {QStringLiteral("set")}, out},
         Operands::None,
         runDownload},
        {QStringLiteral("watch"),
         QStringLiteral("mqtt://[USER@]HOST[:PORT]/PREFIX [--password-file FILE]\n"
                        "      [--cafile FILE] [--json]"),
         QStringLiteral("The loggers publishing under PREFIX, one line each: state, last\n"
                        "level and its age, backlog, events today (ALARM while one is on).\n"
                        "Redrawn in place on a terminal; one JSON line per change with\n"
                        "--json or when stdout is no terminal. The password is the first\n"
                        "line of FILE; mqtts:// is TLS, the broker checked against the CA\n"
                        "certificates of --cafile (default: the system's). A broker away\n"
                        "is tried again, 1 s to 60 s apart. Ends on SIGINT or SIGTERM."),
         brokerOptions() + QList<Option>{json}, Operands::Files, runWatch},
    };
}

// What every command's help ends with.
QString commonNotes() {
    return QStringLiteral(
               "\n"
               "Every command takes -q, --quiet (no progress or summary lines on stderr;\n"
               "errors still print), -h, --help (its own help) and -- (what follows is\n"
               "no option). FILE - is standard input, OUT - standard output.\n"
               "periods, lden and events take FILE... as one survey in time order;\n"
               "--exclude FROM/TO leaves out local times FROM up to TO, written as\n"
               "2026-12-06T22:00:00 or 2026-12-06T22:00 (+01:00 or Z after it names\n"
               "the pass of an hour the clocks repeat). Times are local ISO 8601; in\n"
               "JSON levels are numbers rounded to 0.1 dB, coverage a fraction 0..1\n"
               "(3 decimals), null where there is no value.\n"
               "\n"
               "P is COM1..COM8, a device path such as /dev/ttyUSB0, or %1 for the\n"
               "simulated meter.\n"
               "\n"
               "Exit status: 0 done, 1 usage error, 2 the meter, its port or a file "
               "failed\n"
               "(for watch: a password or CA file that cannot be read).\n")
        .arg(live::kSimPortArgument);
}

QString commandLines(const Command& command) {
    QString text = QStringLiteral("  ") + command.name;
    if (!command.usage.isEmpty()) {
        text += u' ' + command.usage;
    }
    text += u'\n';
    for (const QString& line : command.description.split(u'\n')) {
        text += QStringLiteral("      ") + line + u'\n';
    }
    return text;
}

QString commandHelp(const Command& command) {
    return QStringLiteral("Usage: %1 %2%3\n\n")
               .arg(kProgramName, command.name,
                    command.usage.isEmpty() ? QString() : u' ' + command.usage) +
           commandLines(command).section(u'\n', 1) + commonNotes();
}

int printed(QTextStream& out, const QString& text) {
    out << text;
    out.flush();
    return kOk;
}

QStringList commandNames(const QList<Command>& table) {
    QStringList names;
    for (const Command& command : table) {
        names << command.name;
    }
    return names;
}

int unknownCommand(QTextStream& err, const QList<Command>& table, const QString& name) {
    const QString nearest = nearestWord(name, commandNames(table));
    usageError(err, QStringLiteral("unknown command '%1'").arg(name) +
                        (nearest.isEmpty() ? QString()
                                           : QStringLiteral(" (did you mean %1?)").arg(nearest)));
    return kUsageError;
}

// `help` alone: the whole text; `help CMD`: that command's.
int runHelp(const QStringList& rest, QTextStream& out, QTextStream& err,
            const QList<Command>& table) {
    if (rest.isEmpty()) {
        return printed(out, helpText());
    }
    if (rest.size() > 1) {
        usageError(err, QStringLiteral("help takes one COMMAND, not '%1'").arg(rest.join(u' ')));
        return kUsageError;
    }
    const auto command = std::find_if(table.cbegin(), table.cend(),
                                      [&rest](const Command& c) { return c.name == rest.first(); });
    return command == table.cend() ? unknownCommand(err, table, rest.first())
                                   : printed(out, commandHelp(*command));
}

}  // namespace

QString helpText() {
    QString text = QStringLiteral(
                       "Usage: %1 COMMAND [ARGUMENTS]\n"
                       "       %1 help COMMAND | COMMAND --help\n\nCommands:\n")
                       .arg(kProgramName);
    for (const Command& command : commands()) {
        text += commandLines(command);
    }
    return text + commonNotes() +
           QStringLiteral(
               "\n"
               "Options:\n"
               "  -h, --help       Shows this text.\n"
               "  -V, --version    Shows the version.\n");
}

void tell(CommandIo& io, const QString& line) {
    if (!io.quiet) {
        io.err << line << "\n";
        io.err.flush();
    }
}

namespace {

int runCommand(QStringList arguments, QTextStream& out, QTextStream& err,
               const QList<live::SystemPort>& ports) {
    // -q before the command counts as given to it: "levelpanel-cli -q export ...".
    bool quietFirst = false;
    while (!arguments.isEmpty() && (arguments.first() == QStringLiteral("-q") ||
                                    arguments.first() == QStringLiteral("--quiet"))) {
        quietFirst = true;
        arguments.removeFirst();
    }
    if (arguments.isEmpty()) {
        usageError(err, QStringLiteral("no command given"));
        return kUsageError;
    }
    const QString name = arguments.first();
    QStringList rest = arguments.mid(1);
    if (name == QStringLiteral("--help") || name == QStringLiteral("-h")) {
        return printed(out, helpText());
    }
    if (name == QStringLiteral("--version") || name == QStringLiteral("-V")) {
        return printed(out, QStringLiteral("%1 %2\n").arg(kProgramName, platform::kVersion));
    }
    QList<Command> table = commands();
    if (name == QStringLiteral("help")) {
        return runHelp(rest, out, err, table);
    }
    const auto command = std::find_if(table.begin(), table.end(),
                                      [&name](const Command& c) { return c.name == name; });
    if (command == table.end()) {
        if (name.startsWith(u'-') && name.size() > 1) {
            usageError(err, QStringLiteral("unknown option '%1'").arg(name));
            return kUsageError;
        }
        return unknownCommand(err, table, name);
    }
    command->options.append(quietOption());
    if (quietFirst) {
        rest.prepend(QStringLiteral("--quiet"));
    }
    const std::variant<Arguments, UsageMistake> read =
        readArguments(command->name, command->options, command->operands, rest);
    if (const auto* mistake = std::get_if<UsageMistake>(&read)) {
        usageError(err, mistake->message);
        return kUsageError;
    }
    const Arguments& args = std::get<Arguments>(read);
    if (args.help) {
        return printed(out, commandHelp(*command));
    }
    CommandIo io{out, err, ports, args.has(QStringLiteral("quiet"))};
    return command->run(args, io);
}

}  // namespace

int run(QStringList arguments, QTextStream& out, QTextStream& err,
        const QList<live::SystemPort>& ports) {
    return finishedOutput(out, err, runCommand(std::move(arguments), out, err, ports));
}

}  // namespace lp::cli
