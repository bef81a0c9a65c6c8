// How levelpanel-cli reads a command's arguments: the forms an option takes, which of
// a repeated option counts, and which mistake is named, in the user's spelling.
#include <QTest>
#include <array>

#include "cli/kit/cli_arguments.h"
#include "cli/kit/numbers.h"

using namespace lp::cli;

namespace {

// What was read, as one line: "files=[..] name=[values..] ..." or the mistake.
QString readText(const QStringList& args, const QString& takes) {
    using Takes = Option::Takes;
    const QList<Option> options = takes == QStringLiteral("nothing")
                                      ? QList<Option>{}
                                      : QList<Option>{{"port"},
                                                      {"csv", Takes::Value, "a file name"},
                                                      {"json", Takes::Nothing},
                                                      {"quiet", Takes::Nothing, {}, u'q'}};
    const Operands operands = takes == QStringLiteral("files") ? Operands::Files : Operands::None;
    const auto read = readArguments(QStringLiteral("cmd"), options, operands, args);
    if (const auto* mistake = std::get_if<UsageMistake>(&read)) {
        return mistake->message;
    }
    const Arguments& a = std::get<Arguments>(read);
    if (a.help) {
        return QStringLiteral("help");
    }
    QStringList parts{QStringLiteral("files=[%1]").arg(a.files.join(u','))};
    for (auto it = a.values.cbegin(); it != a.values.cend(); ++it) {
        parts << QStringLiteral("%1=[%2]").arg(it.key(), it.value().join(u','));
    }
    if (a.has(QStringLiteral("port"))) {
        parts << QStringLiteral("port is %1").arg(a.value(QStringLiteral("port")));
    }
    return parts.join(u' ');
}

}  // namespace

class TestCliArguments : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("takes");  // files, none, or nothing (no options either)
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, const QStringList& args, const char* takes,
                            const char* read) {
            QTest::newRow(name) << args << QString::fromLatin1(takes) << QString::fromLatin1(read);
        };
        row("value after a space or =, flag, files anywhere",
            {"a", "--port", "p", "--json", "b", "--csv=o"}, "files",
            "files=[a,b] csv=[o] json=[] port=[p] port is p");
        row("repeated: all kept, the last counts", {"--port=p", "--port", "q"}, "none",
            "files=[] port=[p,q] port is q");
        row("a value may look like an option", {"--csv", "--json", "--port", "-"}, "none",
            "files=[] csv=[--json] port=[-] port is -");
        row("empty value where it may be", {"--csv="}, "none", "files=[] csv=[]");
        row("a lone dash is a file", {"-"}, "files", "files=[-]");
        row("unknown, as typed, nothing near", {"a", "--bogus=3"}, "files",
            "unknown option '--bogus=3' for cmd");
        row("single-dash word", {"-port", "p"}, "none",
            "unknown option '-port' for cmd (did you mean --port?)");
        row("after --, options are files", {"a", "--json", "--", "--port", "-q", "--"}, "files",
            "files=[a,--port,-q,--] json=[]");
        row("-- as a value", {"--port", "--", "--json"}, "none",
            "files=[] json=[] port=[--] port is --");
        row("nothing after -- for a command without files", {"--json", "--"}, "none",
            "files=[] json=[]");
        row("a file after -- for a command without files", {"--", "x"}, "none",
            "cmd takes no argument 'x'");
        row("short name", {"-q", "a"}, "files", "files=[a] quiet=[]");
        row("short names not compacted", {"-qq"}, "files", "unknown option '-qq' for cmd");
        row("help anywhere before a mistake", {"a", "--port", "p", "-h", "--bogus"}, "files",
            "help");
        row("help after a mistake", {"--bogus", "--help"}, "files",
            "unknown option '--bogus' for cmd");
        row("help as a value", {"--port", "--help"}, "none",
            "files=[] port=[--help] port is --help");
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
        const std::variant<int, QString> seconds = samplingSecondsOf(text);
        if (const int* whole = std::get_if<int>(&seconds)) {
            QCOMPARE(QString::number(*whole), read);
        } else {
            const QString& message = std::get<QString>(seconds);
            QVERIFY2(message.startsWith("--every takes whole seconds from 1 to 86400, "),
                     qPrintable(message));
            QVERIFY2(message.endsWith(read), qPrintable(message));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "test_cli_arguments.moc"
