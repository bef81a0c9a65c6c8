// How levelpanel-cli reads a command's options (one parser, on a small table made up
// here), that each command's help and completion list exactly its rows, and that its
// talk on stderr honours -q and stops once stderr is a closed pipe.
#include <unistd.h>

#include <QFile>
#include <QSet>
#include <QTest>
#include <array>
#include <csignal>

#include "cli/cli.h"
#include "cli/help.h"
#include "cli/kit/numbers.h"
#include "cli/kit/options.h"
#include "cli/kit/talk.h"

using namespace lp::cli;

namespace {

// The made-up command's options.
struct Made {
    std::optional<QString> port;
    std::optional<QString> csv;
    bool json = false;
    bool quiet = false;
    std::optional<int> level;
    QStringList tags;
    std::optional<QString> need;
    std::optional<QString> ha;
};

// A level 1..9, else its refusal.
Outcome<int> levelOf(const QString& text) {
    if (text.size() == 1 && text[0] >= u'1' && text[0] <= u'9') {
        return text.toInt();
    }
    return usageMistake(QStringLiteral("--level takes 1..9, not '%1'").arg(text));
}

std::vector<OptionRow> madeRows(Made& m, bool withNeed) {
    std::vector<OptionRow> rows{
        text("port", "P", m.port, "the port"),
        text("csv", "OUT", m.csv, "the csv").needing("a file name").emptyAllowed(),
        flag("json", m.json, "json"),
        quietRow(m.quiet),
        converted<int>("level", "N", m.level, levelOf, "the level"),
        texts("tag", "T", m.tags, "a tag"),
        optionalText("ha", "PREFIX", m.ha, "an optional value"),
    };
    if (withNeed) {
        rows.push_back(text("need", "X", m.need, "needed").orRequired());
    }
    return rows;
}

// What was read, as one line: "files=[..] port=.. ..." (only what was given), or the
// mistake, or "help".
QString readText(const QStringList& args, const QString& takes) {
    Made m;
    const std::vector<OptionRow> rows =
        takes == "nothing" ? std::vector<OptionRow>{} : madeRows(m, takes == "needs");
    const Outcome<ReadArguments> read = readArguments(
        "cmd", rows, takes == "none" || takes == "nothing" ? Operands::None : Operands::Files,
        args);
    if (!read) {
        return read.refusal().status == 1 ? read.refusal().message : QString("status?");
    }
    if (read->help) {
        return "help";
    }
    QStringList parts{"files=[" + read->files.join(u',') + ']'};
    const auto given = [&parts](const char* name, const std::optional<QString>& v) {
        if (v) {
            parts << QString::fromLatin1(name) + '=' + *v;
        }
    };
    given("port", m.port);
    given("csv", m.csv);
    given("need", m.need);
    given("ha", m.ha);
    if (m.json) {
        parts << "json";
    }
    if (m.quiet) {
        parts << "quiet";
    }
    if (m.level) {
        parts << "level=" + QString::number(*m.level);
    }
    if (!m.tags.isEmpty()) {
        parts << "tags=[" + m.tags.join(u',') + ']';
    }
    return parts.join(u' ');
}

// The options ("--name") at the start of the lines of a help's "Options:" section.
QStringList helpOptions(const QString& help) {
    const QString section = help.section("\nOptions:\n", 1).section("\n\n", 0, 0);
    QStringList names;
    for (const QString& line : section.split(u'\n')) {
        const QString head = line.trimmed().section(u' ', 0, 1);
        if (line.startsWith("  -")) {
            names << (head.startsWith("--") ? head.section(u' ', 0, 0) : head.section(u' ', 1, 1));
        }
    }
    return names;
}

}  // namespace

class TestCliOptions : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("takes");  // files, none, needs (--need), or nothing
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, const QStringList& args, const char* takes,
                            const char* read) {
            QTest::newRow(name) << args << QString::fromLatin1(takes) << QString::fromLatin1(read);
        };
        row("value after a space or =, flag, files anywhere",
            {"a", "--port", "p", "--json", "b", "--csv=o"}, "files",
            "files=[a,b] port=p csv=o json");
        row("a value may look like an option", {"--csv", "--json", "--port", "-"}, "none",
            "files=[] port=- csv=--json");
        row("empty value where it may be", {"--csv="}, "none", "files=[] csv=");
        row("a lone dash is a file", {"-"}, "files", "files=[-]");
        row("converted", {"--level", "7"}, "files", "files=[] level=7");
        row("converter's refusal", {"--level=0"}, "files", "--level takes 1..9, not '0'");
        row("repeatable, in order", {"--tag", "b", "--tag=a"}, "files", "files=[] tags=[b,a]");
        row("given twice, the last one holds", {"--port=p", "--port", "q"}, "none",
            "files=[] port=q");
        row("a flag given twice", {"--json", "--json"}, "none", "files=[] json");
        row("-q given twice says the same", {"-q", "--quiet"}, "none", "files=[] quiet");
        row("unknown, as typed, nothing near", {"a", "--bogus=3"}, "files",
            "unknown option '--bogus=3' for cmd");
        row("single-dash word", {"-port", "p"}, "none",
            "unknown option '-port' for cmd (did you mean --port?)");
        row("after --, options are files", {"a", "--json", "--", "--port", "-q", "--"}, "files",
            "files=[a,--port,-q,--] json");
        row("-- as a value", {"--port", "--", "--json"}, "none", "files=[] port=-- json");
        row("nothing after -- for a command without files", {"--json", "--"}, "none",
            "files=[] json");
        row("a file after -- for a command without files", {"--", "x"}, "none",
            "cmd takes no argument 'x'");
        row("short name", {"-q", "a"}, "files", "files=[a] quiet");
        row("short names not compacted", {"-qq"}, "files", "unknown option '-qq' for cmd");
        row("help anywhere before a mistake", {"a", "--port", "p", "-h", "--bogus"}, "files",
            "help");
        row("help after a mistake", {"--bogus", "--help"}, "files",
            "unknown option '--bogus' for cmd");
        row("help as a value", {"--port", "--help"}, "none", "files=[] port=--help");
        row("help after --", {"--", "--help"}, "files", "files=[--help]");
        row("the nearest option", {"--prot=COM1"}, "files",
            "unknown option '--prot=COM1' for cmd (did you mean --port?)");
        row("flag with a value", {"--json=1"}, "none", "option --json takes no value");
        row("missing value", {"a", "--csv"}, "files", "option --csv needs a file name");
        row("empty value where it may not be", {"--port", ""}, "none",
            "option --port needs a value");
        row("first mistake in order", {"--port=", "--bogus", "x"}, "none",
            "option --port needs a value");
        row("argument not taken", {"--json", "x", "--bogus"}, "none", "cmd takes no argument 'x'");
        row("required, not given", {"a"}, "needs", "cmd needs --need X");
        row("required, given", {"--need", "x"}, "needs", "files=[] need=x");
        row("help without the required", {"-h"}, "needs", "help");
        row("a mistake before the required", {"--bogus"}, "needs",
            "unknown option '--bogus' for cmd");
        row("an optional value: the next word", {"--ha", "x"}, "none", "files=[] ha=x");
        row("an optional value: alone at the end", {"--json", "--ha"}, "none", "files=[] ha= json");
        row("an optional value: alone before an option or --",
            {"--ha", "--port", "p", "--ha", "--"}, "none", "files=[] port=p ha=");
        row("an optional value: a word is a file where files are taken", {"--ha", "x"}, "files",
            "files=[x] ha=");
        row("an optional value after =", {"a", "--ha=x"}, "files", "files=[a] ha=x");
        row("command taking nothing", {"--x"}, "nothing", "cmd takes no arguments, not '--x'");
        row("help of a command taking nothing", {"--help"}, "nothing", "help");
    }
    void reads() {
        QFETCH(QStringList, args);
        QFETCH(QString, takes);
        QFETCH(QString, read);
        QCOMPARE(readText(args, takes), read);
    }

    // record --every: whole seconds from 1 to a day, each other text refused with why.
    void samplingSeconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");  // the seconds, or the end of the message
        const std::array<const char*, 3> rows[] = {
            {"1", "1", "1"},
            {"a day", "86400", "86400"},
            {"leading zero", "010", "10"},
            {"0", "0", "not '0' (at least 1 s)"},
            {"-1", "-1", "not '-1' (a sampling time is never negative)"},
            {"86401", "86401", "not '86401' (at most 86400 s, a day)"},
            {"1.5", "1.5", "not '1.5' (whole seconds only, no fraction)"},
            {"1,5", "1,5", "not '1,5' (digits only, no comma)"},
            {"blank", " 5", "not ' 5' (no number)"},
            {"plus", "+5", "not '+5' (no number)"},
            {"exponent", "1e3", "not '1e3' (no number)"},
            {"20 digits", "00000000000000000001", "(no number)"},
        };
        for (const auto& [name, text, read] : rows) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(read);
        }
    }
    void samplingSeconds() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const Outcome<int> seconds = samplingSecondsOf(text);
        if (seconds) {
            QCOMPARE(QString::number(*seconds), read);
        } else {
            const QString& message = seconds.refusal().message;
            QVERIFY2(message.startsWith("--every takes whole seconds from 1 to 86400, "),
                     qPrintable(message));
            QVERIFY2(message.endsWith(read), qPrintable(message));
        }
    }

    // Each command's help lists exactly its rows (and -h), its usage once; its
    // completion after "--" offers exactly the same options.
    void helpAndCompletionFollowTheRows() {
        const std::vector<Command> table = commands();
        QCOMPARE(int(table.size()), 18);
        for (const Command& command : table) {
            const QString name = command.text.name;
            QStringList rows;
            for (const OptionHelp& option : command.options()) {
                rows << "--" + option.name;
            }
            const QString help = commandHelp(command);
            QCOMPARE(helpOptions(help), rows + QStringList{"--help"});
            QCOMPARE(help.count("Usage:"), 1);
            QVERIFY2(help.contains("\nExample:\n  levelpanel-cli " + name + ' '), qPrintable(help));
            QCOMPARE(completionWords(table, {name, "--"}).split(u'\n', Qt::SkipEmptyParts),
                     rows + QStringList{"--help"});
        }
    }

    // What the completion offers, worked out by hand from the commands' usage.
    void completion_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("offered");
        QTest::newRow("export's options")
            << QStringList{"export", "--"} << "--csv --offset --quiet --help";
        QTest::newRow("sets' options")
            << QStringList{"sets", "--"} << "--port --json --quiet --help";
        QTest::newRow("a prefix") << QStringList{"-q", "lden", "--e"} << "--evening --exclude";
        QTest::newRow("help <TAB>") << QStringList{"help", ""}
                                    << "stats export periods lden events assess report verify "
                                       "ports live record sets download watch";
        QTest::newRow("help, a prefix") << QStringList{"help", "re"} << "report record";
        QTest::newRow("a command") << QStringList{"p"} << "periods ports";
        QTest::newRow("a port") << QStringList{"live", "--port", ""} << "@port";
        QTest::newRow("a file option") << QStringList{"record", "--events", "e"} << "@file";
        QTest::newRow("a word option") << QStringList{"record", "--every", ""} << "";
        QTest::newRow("a file operand") << QStringList{"stats", "--json", "d"} << "@file";
        QTest::newRow("no operand") << QStringList{"live", "x"} << "";
        QTest::newRow("no such command") << QStringList{"frob", "--"} << "";
    }
    void completion() {
        QFETCH(QStringList, words);
        QFETCH(QString, offered);
        QCOMPARE(completionWords(commands(), words).split(u'\n', Qt::SkipEmptyParts).join(u' '),
                 offered);
    }

    // Talk: progress only without -q, errors always, a usage error pointing to the
    // command's help; each line prefixed with the program's name alone.
    void talk() {
        QString written;
        QTextStream err(&written);
        Talk talk(err);
        talk.usage("no command given");
        talk.setCommand("export");
        talk.say("3 record(s) written");
        talk.setQuiet(true);
        talk.say("said with -q");
        talk.error("a.sdm cannot be read");
        QCOMPARE(talk.refused(usageMistake("export needs a FILE")), 1);
        QCOMPARE(talk.refused(failed("the disk is full")), 2);
        QCOMPARE(written,
                 "levelpanel-cli: no command given\n"
                 "Try 'levelpanel-cli --help' for more information.\n"
                 "3 record(s) written\n"
                 "levelpanel-cli: a.sdm cannot be read\n"
                 "levelpanel-cli: export needs a FILE\n"
                 "Try 'levelpanel-cli export --help' for more information.\n"
                 "levelpanel-cli: the disk is full\n");
    }

    // Stderr a pipe whose reader went away: the first line fails (EPIPE) and nothing is
    // written after it.
    void talkStopsAtAClosedPipe() {
        std::signal(SIGPIPE, SIG_IGN);
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        ::close(ends[0]);
        QFile file;
        QVERIFY(file.open(ends[1], QIODevice::WriteOnly | QIODevice::Unbuffered,
                          QFileDevice::AutoCloseHandle));
        QTextStream err(&file);
        Talk talk(err);
        talk.error("the port went away");
        QVERIFY(talk.gone());
        // Once gone, the stream is no more written: its status, set by the first
        // failure, is reset here and stays Ok.
        err.resetStatus();
        talk.error("again");
        talk.say("and again");
        QCOMPARE(err.status(), QTextStream::Ok);
        QVERIFY(talk.gone());
    }
};

QTEST_GUILESS_MAIN(TestCliOptions)
#include "test_cli_options.moc"
