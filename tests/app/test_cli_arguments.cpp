// How levelpanel-cli reads a command's arguments: the forms an option takes, which of
// a repeated option counts, and which mistake is named, in the user's spelling.
#include <QTest>

#include "app/cli/cli_arguments.h"
#include "app/cli/numbers.h"

using namespace lp::app::cli;

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
        QTest::newRow("value after a space or =, flag, files anywhere")
            << QStringList{"a", "--port", "p", "--json", "b", "--csv=o"} << "files"
            << "files=[a,b] csv=[o] json=[] port=[p] port is p";
        QTest::newRow("repeated: all kept, the last counts")
            << QStringList{"--port=p", "--port", "q"} << "none"
            << "files=[] port=[p,q] port is q";
        QTest::newRow("a value may look like an option")
            << QStringList{"--csv", "--json", "--port", "-"} << "none"
            << "files=[] csv=[--json] port=[-] port is -";
        QTest::newRow("empty value where it may be") << QStringList{"--csv="} << "none"
                                                     << "files=[] csv=[]";
        QTest::newRow("a lone dash is a file") << QStringList{"-"} << "files"
                                               << "files=[-]";
        QTest::newRow("unknown, as typed") << QStringList{"a", "--bogus=3"} << "files"
                                           << "unknown option '--bogus=3' for cmd";
        QTest::newRow("single-dash word")
            << QStringList{"-port", "p"} << "none"
            << "unknown option '-port' for cmd (did you mean --port?)";
        QTest::newRow("after --, options are files")
            << QStringList{"a", "--json", "--", "--port", "-q", "--"} << "files"
            << "files=[a,--port,-q,--] json=[]";
        QTest::newRow("-- as a value") << QStringList{"--port", "--", "--json"} << "none"
                                       << "files=[] json=[] port=[--] port is --";
        QTest::newRow("nothing after -- for a command without files")
            << QStringList{"--json", "--"} << "none"
            << "files=[] json=[]";
        QTest::newRow("a file after -- for a command without files")
            << QStringList{"--", "x"} << "none"
            << "cmd takes no argument 'x'";
        QTest::newRow("short name") << QStringList{"-q", "a"} << "files"
                                    << "files=[a] quiet=[]";
        QTest::newRow("short names not compacted") << QStringList{"-qq"} << "files"
                                                   << "unknown option '-qq' for cmd";
        QTest::newRow("help anywhere before a mistake")
            << QStringList{"a", "--port", "p", "-h", "--bogus"} << "files"
            << "help";
        QTest::newRow("help after a mistake") << QStringList{"--bogus", "--help"} << "files"
                                              << "unknown option '--bogus' for cmd";
        QTest::newRow("help as a value") << QStringList{"--port", "--help"} << "none"
                                         << "files=[] port=[--help] port is --help";
        QTest::newRow("help after --") << QStringList{"--", "--help"} << "files"
                                       << "files=[--help]";
        QTest::newRow("the nearest option")
            << QStringList{"--prot=COM1"} << "files"
            << "unknown option '--prot=COM1' for cmd (did you mean --port?)";
        QTest::newRow("nothing near") << QStringList{"--xyzzy"} << "files"
                                      << "unknown option '--xyzzy' for cmd";
        QTest::newRow("flag with a value") << QStringList{"--json=1"} << "none"
                                           << "option --json takes no value";
        QTest::newRow("missing value") << QStringList{"a", "--csv"} << "files"
                                       << "option --csv needs a file name";
        QTest::newRow("empty value where it may not be") << QStringList{"--port", ""} << "none"
                                                         << "option --port needs a value";
        QTest::newRow("first mistake in order") << QStringList{"--port=", "--bogus", "x"} << "none"
                                                << "option --port needs a value";
        QTest::newRow("argument not taken") << QStringList{"--json", "x", "--bogus"} << "none"
                                            << "cmd takes no argument 'x'";
        QTest::newRow("command taking nothing") << QStringList{"--x"} << "nothing"
                                                << "cmd takes no arguments, not '--x'";
        QTest::newRow("help of a command taking nothing") << QStringList{"--help"} << "nothing"
                                                          << "help";
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
        QTest::newRow("1") << "1"
                           << "1";
        QTest::newRow("a day") << "86400"
                               << "86400";
        QTest::newRow("leading zero") << "010"
                                      << "10";
        QTest::newRow("0") << "0"
                           << "not '0' (at least 1 s)";
        QTest::newRow("-1") << "-1"
                            << "not '-1' (a sampling time is never negative)";
        QTest::newRow("86401") << "86401"
                               << "not '86401' (at most 86400 s, a day)";
        QTest::newRow("1.5") << "1.5"
                             << "not '1.5' (whole seconds only, no fraction)";
        QTest::newRow("1,5") << "1,5"
                             << "not '1,5' (digits only, no comma)";
        QTest::newRow("blank") << " 5"
                               << "not ' 5' (no number)";
        QTest::newRow("plus") << "+5"
                              << "not '+5' (no number)";
        QTest::newRow("exponent") << "1e3"
                                  << "not '1e3' (no number)";
        QTest::newRow("20 digits") << "00000000000000000001"
                                   << "(no number)";
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
