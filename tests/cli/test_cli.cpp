// levelpanel-cli's file commands run as whole processes: what each prints and where
// (the figures are tests/stats', the CSV tests/records'), the survey commands' JSON
// keys and options, '-' for the standard streams, and the exit status and message of
// every kind of mistake. Times are UTC unless a test says otherwise.
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <array>

#include "assess/profile.h"
#include "files.h"
#include "level_records.h"
#include "platform/settings_place.h"
#include "program_run.h"

using namespace lp;

namespace {

using Run = test::ProgramRun;
using test::runCli;

// A small list with every kind of level text: plain levels, a marked one, an
// under-range and an over-range one, a level of 145 and more, and no number. Seven
// levels count: Leq 73.8; 65.35 is the class 65.4.
QByteArray sampleFile() {
    const QList<std::array<QByteArray, 3>> rows{
        {"1", "2009/06/01 14:05:09", "65.3"},   {"2", "2009/06/01 14:05:10", "70.1"},
        {"3", "2009/06/01 14:05:11", "58.0"},   {"4", "2009/06/01 14:05:12", "*66.2"},
        {"5", "2009/06/01 14:05:13", "-30.0"},  {"6", "2009/06/01 14:05:14", "L 150.0"},
        {"7", "2009/06/01 14:05:15", "81.7"},   {"8", "not a time", "62.4"},
        {"9", "2009/13/01 14:05:17", "OVER"},   {"10", "2009/06/01 14:05:18", "146.0"},
        {"11", "2009/06/01 14:05:19", "65.35"}, {"12", "2009/06/01 14:05:20", "40"},
    };
    return test::recordFile(rows);
}

// The line of the text output that starts with `head`, its blanks simplified.
QString lineOf(const QString& out, const QString& head) {
    for (const QString& line : out.split(u'\n')) {
        if (line.startsWith(head)) {
            return line.simplified();
        }
    }
    return QStringLiteral("<missing %1>").arg(head);
}

// The keys of a JSON object, in the order QJsonObject keeps them (sorted).
QString keysOf(const QJsonValue& value) {
    return value.toObject().keys().join(u' ');
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString sample;
    QStringList survey;  // two files of a survey

    QJsonObject json(const QStringList& arguments) {
        const Run run = runCli(arguments + survey + QStringList{"--json"});
        if (run.status != 0) {
            qWarning("%s", qPrintable(run.err));
        }
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        qputenv("TZ", "UTC");
        // This user's settings and profiles: the test's own.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        sample = dir.filePath(QStringLiteral("sample.sdm"));
        QVERIFY(test::writeFile(sample, sampleFile()));
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("broken.sdm")),
                                sampleFile() + "13\tno tabs after this\r\n"));
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("misdated.sdm")),
                                test::recordFile({{"1", "0001/01/01 00:00:00", "50.0"},
                                                  {"2", "9999/12/31 23:59:59", "60.0"}})));
        // S = 1 s. The second file is given first: the survey takes its files in time
        // order. "OVER" carries no level; the gap it leaves ends an event.
        survey = {dir.filePath("b.sdm"), dir.filePath("a.sdm")};
        QVERIFY(
            test::writeFile(survey[1], test::recordFile({{"1", "2009/06/01 14:59:58", "60.0"},
                                                         {"2", "2009/06/01 14:59:59", "70.0"},
                                                         {"3", "2009/06/01 15:00:00", "80.0"},
                                                         {"4", "2009/06/01 15:00:01", "90.0"}})));
        QVERIFY(
            test::writeFile(survey[0], test::recordFile({{"1", "2009/06/01 15:00:02", "90.0"},
                                                         {"2", "2009/06/01 15:00:03", "50.0"},
                                                         {"3", "2009/06/01 15:00:04", "OVER"},
                                                         {"4", "2009/06/01 15:00:05", "85.0"}})));
    }

    // The figures reach the text, --resolution the classes; no level is a dash.
    void statsText_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("l50");
        QTest::newRow("0.1 dB by default") << QStringList{} << "L50: 65.4 dB";
        QTest::newRow("1 dB") << QStringList{"--resolution", "1"} << "L50: 65 dB";
    }
    void statsText() {
        QFETCH(QStringList, options);
        QFETCH(QString, l50);
        const Run run = runCli(QStringList{"stats", sample} + options);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QStringList lines;
        for (const char* head : {"Records:", "Left out:", "Leq:", "L10:", "L50:", "L(00)"}) {
            lines << lineOf(run.out, QLatin1String(head));
        }
        QCOMPARE(lines.join(u'|'), "Records: 7|Left out: 5|Leq: 73.8 dB|L10: \u2014|" + l50 +
                                       "|L(00)" + QString(" \u2014").repeated(10));
    }

    // One object per file, in the order given; no level is null.
    void statsJson() {
        const QString second = dir.filePath(QStringLiteral("second.sdm"));
        QVERIFY(test::writeFile(second, test::recordFile({{"1", "2009/06/02 10:00:00", "90.0"}})));
        const Run run = runCli({"stats", "--json", sample, second});
        QCOMPARE(run.status, 0);
        const QJsonArray files =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("files").toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[1].toObject().value("file").toString(), second);
        const QJsonObject o = files.first().toObject();
        QCOMPARE(o.keys(), (QStringList{"file", "l10", "l50", "l90", "left_out", "leq", "lmax",
                                        "lmin", "ln", "records", "resolution"}));
        QCOMPARE(o.value("file").toString(), sample);
        QCOMPARE(o.value("left_out"), QJsonValue(5));
        QCOMPARE(o.value("leq"), QJsonValue(73.8));
        QCOMPARE(o.value("l10"), QJsonValue(QJsonValue::Null));
        const QJsonArray ln = o.value("ln").toArray();
        QCOMPARE(ln.size(), 100);
        QCOMPARE(ln[16], QJsonValue(QJsonValue::Null));
        QCOMPARE(ln[17], QJsonValue(145.0));
    }

    // Each command's JSON: one document, "format": 1, every key in snake_case (the
    // survey commands' keys are listed below).
    void jsonOfEachCommand_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("list");  // the key of the document's main array
        QTest::newRow("stats") << QStringList{"stats", "--json", "FILE"} << "files";
        QTest::newRow("ports") << QStringList{"ports", "--json"} << "ports";
        QTest::newRow("sets") << QStringList{"sets", "--port", "sim", "--json"} << "sets";
    }
    void jsonOfEachCommand() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, list);
        arguments.replaceInStrings(QRegularExpression("^FILE$"), sample);
        const Run run = runCli(arguments);
        QCOMPARE(run.status, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QCOMPARE(document.object().value("format"), QJsonValue(1));
        QVERIFY(!document.object().value(list).toArray().isEmpty());
        // In a document that reads, each string (\x22 the quote) followed by ':' is a key.
        const QRegularExpression key(R"(\x22((?:[^\x22\\]|\\.)*)\x22\s*:)");
        const QRegularExpression snake("^[a-z][a-z0-9_]*$");
        for (const QRegularExpressionMatch& match : key.globalMatch(run.out)) {
            QVERIFY2(snake.match(match.captured(1)).hasMatch(), qPrintable(match.captured(1)));
        }
    }

    // "-" as FILE reads standard input as that file is read (periods stands for the
    // survey commands, which read their files in one place); --csv - writes the CSV
    // alone on stdout, a line for each record.
    void standardStreams_data() {
        QTest::addColumn<QStringList>("arguments");  // FILE stands for the file or "-"
        QTest::newRow("stats") << QStringList{"stats", "FILE"};
        QTest::newRow("export") << QStringList{"export", "FILE", "--csv", "-", "-q"};
        QTest::newRow("periods") << QStringList{"periods", "FILE", "--csv", "--every", "1min"};
    }
    void standardStreams() {
        QFETCH(QStringList, arguments);
        const qsizetype at = arguments.indexOf("FILE");
        QStringList fromFile = arguments;
        fromFile[at] = sample;
        QStringList fromStdin = arguments;
        fromStdin[at] = "-";
        const Run file = runCli(fromFile);
        const Run piped = runCli(fromStdin, sampleFile());
        QCOMPARE(file.status, 0);
        QCOMPARE(piped.status, 0);
        QCOMPARE(piped.err, QString());
        QVERIFY(!piped.out.isEmpty());
        QCOMPARE(piped.out, QString(file.out).replace(sample, "-"));
        if (arguments.contains("export")) {
            QCOMPARE(piped.out.count(u'\n'), 1 + 12);
            QVERIFY(!QFile::exists("-"));
        }
    }

    // --offset: each valid stamp with the UTC offset of local time then, the stamps fed
    // in file order to one reader (the rule of the hour shown twice is
    // test_record_stamp's, the offset's text test_iso_time's): after the step back in
    // the autumn hour the second pass is in winter time.
    void exportWithOffsets() {
        const QString file = dir.filePath(QStringLiteral("dst.sdm"));
        const QList<std::array<QByteArray, 3>> rows{
            {"1", "2009/03/29 01:59:59", "60.0"}, {"2", "2009/03/29 03:00:00", "61.0"},
            {"3", "not a time", "63.0"},          {"4", "2026/10/25 02:59:00", "64.0"},
            {"5", "2026/10/25 02:00:00", "64.0"}, {"6", "2026/10/25 03:00:00", "64.0"}};
        const QByteArray expected =
            "no,time,level\r\n"
            "1,2009-03-29T01:59:59+01:00,60.0\r\n"
            "2,2009-03-29T03:00:00+02:00,61.0\r\n"
            "3,not a time,63.0\r\n"
            "4,2026-10-25T02:59:00+02:00,64.0\r\n"
            "5,2026-10-25T02:00:00+01:00,64.0\r\n"
            "6,2026-10-25T03:00:00+01:00,64.0\r\n";
        QVERIFY(test::writeFile(file, test::recordFile(rows)));
        QProcessEnvironment berlin = QProcessEnvironment::systemEnvironment();
        berlin.insert("TZ", "Europe/Berlin");
        const Run run = test::runToEnd(LP_CLI_PROGRAM, {"export", "--offset", file, "--csv", "-"},
                                       60000, {}, berlin);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QString::fromLatin1(expected));
    }

    // A mistake: nothing on stdout, the mistake named on stderr. In the arguments,
    // status 1 and a pointer to the command's --help (what the option parser, --every
    // and the broker address refuse is test_cli_options' and test_broker_url's, and is
    // not repeated here). A file or port that cannot be read, or an output
    // that is its input: status 2 and the reader's or writer's own words; nothing is
    // written then, and the record file stays as it was.
    void mistakes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("names");
        const auto row = [](const char* name, const QStringList& arguments, const QString& names,
                            int status = 1) {
            QTest::newRow(name) << arguments << status << names;
        };
        const QStringList logger{"record", "--port", "sim", "--out", "x.sdm"};
        const QStringList download{"download", "--port", "sim", "--out", "x.sdm", "--set"};
        row("no command", {}, "no command");
        row("unknown command", {"frobnicate"}, "frobnicate'");
        row("a command misspelt", {"exprot", "a.sdm"},
            "unknown command 'exprot' (did you mean export?)");
        row("help of no command", {"help", "frob"}, "'frob'");
        row("unknown option", {"--frob"}, "--frob");
        row("stats no file", {"stats", "--json"}, "FILE");
        row("resolution wrong, then right", {"stats", "a.sdm", "--resolution=5", "--resolution=1"},
            "'5'");
        row("export no csv", {"export", "a.sdm"}, "--csv");
        row("ports extra", {"ports", "x"}, "'x'");
        row("live no port", {"live"}, "--port");
        row("unknown port", {"sets", "--port", "COM9"}, "'COM9'");
        row("record no out", {"record", "--port", "sim"}, "--out");
        row("set with a sign", download + QStringList{"+1"}, "'+1'");
        row("set 0", download + QStringList{"0"}, "'0'");
        row("above with a blank", {"events", "a.sdm", "--above", " 60"}, "not ' 60'");
        row("min-duration a fraction",
            {"events", "a.sdm", "--above", "60", "--min-duration", "1.5"}, "'1.5'");
        row("events without a threshold", {"events", "a.sdm"}, "--above");
        row("penalty beyond 20 dB", {"lden", "a.sdm", "--penalties", "5,100000"},
            "from 0 to 20 dB, not 5 and 100000");
        row("periods every in seconds", {"periods", "a.sdm", "--every", "90s"}, "'90s'");
        row("exclude without TO", {"lden", "a.sdm", "--exclude", "2009-06-01T15:00:01"},
            "--exclude");
        row("exclude ending first",
            {"events", "a.sdm", "--above", "80", "--exclude",
             "2009-06-01T15:00:03/2009-06-01T15:00:01"},
            "--exclude");
        row("alarm bridge with a sign", logger + QStringList{"--alarm", "85", "--bridge", "+2"},
            "'+2'");
        row("alarm refused", logger + QStringList{"--alarm", "85/soon"}, "'85/soon'");
        row("events without alarm", logger + QStringList{"--events", "e.csv"},
            "--events needs --alarm");
        row("rotate weekly", logger + QStringList{"--rotate", "weekly"}, "'weekly'");
        row("limit warning above it",
            logger + QStringList{"--limit", "laeq,15min,00-24,70,warn=70"},
            "--limit laeq,15min,00-24,70,warn=70: the warning lies below the limit");
        row("limit rolling span of days", logger + QStringList{"--limit", "laeq~,2d,00-24,70"},
            "the rolling span T is Ns, Nmin or Nh up to 24h");
        row("repeat without a limit", logger + QStringList{"--repeat", "60"},
            "--repeat needs --limit");
        row("cafile without TLS", logger + QStringList{"--publish", "mqtt://h/lp", "--cafile", "c"},
            "mqtts");
        row("id without publish", logger + QStringList{"--id", "a"}, "--publish");
        const QStringList publisher = logger + QStringList{"--publish", "mqtt://h/lp", "--id"};
        row("id with a tab", publisher + QStringList{"a\tb"},
            "--id holds the control character U+0009");
        row("id too long", publisher + QStringList{QString(65535, u'n')}, "too long for MQTT");
        row("discovery without publish", logger + QStringList{"--ha-discovery"},
            "--ha-discovery needs --publish");
        row("discovery prefix with an empty level",
            logger + QStringList{"--publish", "mqtt://h/lp", "--ha-discovery", "ha//x"},
            "--ha-discovery 'ha//x' is no topic prefix");
        row("discovery prefix with a wildcard",
            logger + QStringList{"--publish", "mqtt://h/lp", "--ha-discovery=ha/#"},
            "--ha-discovery 'ha/#' is no topic prefix");
        row("periods without publish", logger + QStringList{"--periods", "1min"},
            "--periods needs --publish");
        row("periods of 7 min", publisher + QStringList{"a", "--periods", "15min,7min"},
            "'15min,7min'");
        row("stdin twice", {"periods", "-", "a.sdm", "-"}, "once");
        row("record to stdout", {"record", "--port", "sim", "--out", "-"}, "give --out a file");
        row("report to stdout", {"report", "a.sdm", "--pdf", "-"}, "give --pdf a file");
        row("report of an unknown assessment",
            {"report", "a.sdm", "--pdf", "r.pdf", "--assess", "loudness"},
            "--assess takes background, rating, exposure, events, limits, not 'loudness'");
        const QString missing = dir.filePath(QStringLiteral("nowhere.sdm"));
        const QString broken = dir.filePath(QStringLiteral("broken.sdm"));
        const QString unwritten = dir.filePath(QStringLiteral("unwritten"));
        // The command line lists nothing: it says what became of the records read.
        row("stats, no file", {"stats", missing},
            missing + " cannot be read: the file cannot be opened", 2);
        row("stats, a broken line", {"stats", broken},
            "Reading " + broken + " stopped at line 14: a record line needs a TAB after each of " +
                "its three fields, and this line has only one.\nNo figures are given for it.\n",
            2);
        row("export, a broken line", {"export", broken, "--csv", unwritten},
            "line has only one.\nNo CSV was written.\n", 2);
        row("report over its input", {"report", sample, "--pdf", dir.path() + "/./sample.sdm"},
            "it is the file the records come from (" + sample + ")", 2);
        row("export, no file", {"export", missing, "--csv", unwritten}, missing, 2);
        row("export over its input, spelled otherwise",
            {"export", sample, "--csv", dir.path() + "/./sample.sdm"},
            "it is the file the records come from (" + sample + ")", 2);
        const QString misdated = dir.filePath(QStringLiteral("misdated.sdm"));
        row("lden, records 9999 years apart", {"lden", "--json", misdated},
            "Line 3 of " + misdated + " is dated 9999-12-31, 9999 years after the record before it",
            2);
        row("events, a file after a good one", {"events", "--above=80", sample, missing}, missing,
            2);
        row("record, no port", {"record", "--port", missing, "--out", unwritten}, missing, 2);
        row("download, no such set",
            {"download", "--port", "sim", "--set", "9", "--out", unwritten}, "no set 9", 2);
        const QStringList alarmed = logger + QStringList{"--alarm", "85", "--notify"};
        row("notify by ftp", alarmed + QStringList{"ftp://h/x"},
            "--notify takes exec:PROGRAM or an http:// or https:// URL, not 'ftp://h/x'");
        row("notify, no program", alarmed + QStringList{"exec:" + missing},
            "--notify exec:" + missing + ": no such program", 2);
        row("notify without alarm", logger + QStringList{"--notify", "http://127.0.0.1/x"},
            "--notify needs --alarm or --limit");
    }
    void mistakes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, names);
        const Run run = runCli(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(names), qPrintable(run.err));
        // The help named is the command's own when there is one.
        const QString command = arguments.value(0);
        const bool known = !command.startsWith(u'-') && command != "exprot" && command != "help" &&
                           command != "frobnicate" && !command.isEmpty();
        const QString help =
            known ? "'levelpanel-cli " + command + " --help'" : "'levelpanel-cli --help'";
        QVERIFY2(status != 1 || run.err.endsWith("Try " + help + " for more information.\n"),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("unwritten"))));
        QCOMPARE(test::readAll(sample), sampleFile());
    }

    // A command's own help, however asked; the list of commands only without a
    // command. What each command's help lists, its usage once and its example are
    // test_cli_options'.
    void help_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");  // the first line; empty for the whole text
        QTest::newRow("stats --help")
            << QStringList{"stats", "--help"} << "Usage: levelpanel-cli stats";
        QTest::newRow("help export")
            << QStringList{"help", "export"} << "Usage: levelpanel-cli export";
        QTest::newRow("-q help export")
            << QStringList{"-q", "help", "export"} << "Usage: levelpanel-cli export";
        QTest::newRow("-h after options")
            << QStringList{"export", "a.sdm", "--csv", "x", "-h"}
            << "Usage: levelpanel-cli export --csv OUT [OPTIONS] FILE";
        QTest::newRow("--help") << QStringList{"--help"} << QString();
        QTest::newRow("-h") << QStringList{"-h"} << QString();
        QTest::newRow("help") << QStringList{"help"} << QString();
    }
    void help() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const Run run = runCli(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QVERIFY2(run.out.contains("Exit status: 0 done, 1 usage error"), qPrintable(run.out));
        const QString first = run.out.section(u'\n', 0, 0);
        if (usage.isEmpty()) {
            QCOMPARE(first, "Usage: levelpanel-cli COMMAND [OPTIONS] [ARGUMENTS]");
            QVERIFY(run.out.contains("\n  stats             Leq") &&
                    run.out.contains("\n  watch             The"));
        } else {
            QVERIFY2(first.startsWith(usage), qPrintable(first));
            QVERIFY2(!run.out.contains("Commands:"), qPrintable(run.out));
            // No line said twice (the wrapped usage lines once were).
            const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        }
    }

    void versionAndPorts() {
        for (const char* option : {"--version", "-V"}) {
            const Run version = runCli({QLatin1String(option)});
            QCOMPARE(version.status, 0);
            QVERIFY2(version.out.startsWith("levelpanel-cli 0."), qPrintable(version.out));
        }
        const Run ports = runCli({"ports"});
        QCOMPARE(ports.status, 0);
        QVERIFY2(ports.out.endsWith("sim\tSimulated meter\t-\t-\t-\n"), qPrintable(ports.out));
        // In JSON every port has the same keys, null for what the system does not know.
        const Run json = runCli({"ports", "--json"});
        const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8())["ports"].toArray();
        const QJsonObject simulated = list.last().toObject();
        QCOMPARE(simulated.keys(),
                 QStringList({"by_id", "description", "device", "manufacturer", "serial_number"}));
        QCOMPARE(simulated["serial_number"], QJsonValue(QJsonValue::Null));
        QCOMPARE(simulated["device"], QJsonValue("sim"));
    }

    // --every and --exclude reach the periods.
    void periods_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("excluded");
        QTest::addColumn<int>("records");
        QTest::newRow("all") << QStringList() << 0 << 5;
        QTest::newRow("excluded") << QStringList{"--exclude",
                                                 "2009-06-01T15:00:01/2009-06-01T15:00:03"}
                                  << 2 << 3;
    }
    void periods() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(QStringList{"periods", "--every", "1min"} + options);
        QCOMPARE(keysOf(out),
                 "adjust excluded format interval_s left_out periods response weighting");
        QCOMPARE(out["format"].toInt(), 1);
        QCOMPARE(out["interval_s"].toInt(), 1);
        QCOMPARE(out["left_out"].toInt(), 1);
        QTEST(out["excluded"].toInt(), "excluded");
        const QJsonArray periods = out["periods"].toArray();
        QCOMPARE(periods.size(), 2);
        QCOMPARE(keysOf(periods[1]),
                 "coverage end l10 l50 l90 leq lmax lmin over_range records start under_range");
        const QJsonObject p = periods[1].toObject();
        QCOMPARE(p["start"].toString() + u'/' + p["end"].toString(),
                 "2009-06-01T15:00:00/2009-06-01T15:01:00");
        QTEST(p["records"].toInt(), "records");
    }

    void periodsCsv() {
        const Run run = runCli(QStringList{"periods", "--csv"} + survey);
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n');
        QCOMPARE(lines.size(), 4);  // the header, two hours, the end of the last line
        QCOMPARE(lines[0],
                 "start,end,records,coverage,leq,lmax,lmin,l10,l50,l90,over_range,under_range");
        QVERIFY2(
            lines[2].startsWith("2009-06-01T15:00:00,2009-06-01T16:00:00,5,0.001,86.8,90.0,50.0,"),
            qPrintable(lines[2]));
    }

    // --day reaches the day parts: from 15 h, 14:59 is the night of the day before. No
    // record falls in an evening, so there is no Lden. The survey spans 14:59:58 to
    // 15:00:06: its night's 2 s hold 2 records, its day's 6 s 5, and no evening lies in it.
    void lden() {
        const QJsonObject out = json({"lden", "--day", "15-19"});
        QCOMPARE(keysOf(out), "adjust days format overall response weighting");
        QCOMPARE(keysOf(out["overall"]),
                 "coverage lday lden levening lnight over_range under_range");
        const QJsonObject covered = out["overall"]["coverage"].toObject();
        QCOMPARE(QJsonDocument(covered).toJson(QJsonDocument::Compact),
                 R"({"day":0.833,"evening":null,"night":1})");
        const QJsonArray days = out["days"].toArray();
        QCOMPARE(days.size(), 2);
        QCOMPARE(keysOf(days[0]), "coverage date lday lden levening lnight over_range under_range");
        QCOMPARE(keysOf(days[0]["over_range"]), "day evening night");
        QCOMPARE(keysOf(days[0]["coverage"]), "day evening night");
        QCOMPARE(days[0]["date"].toString(), "2009-05-31");
        QCOMPARE(days[1]["lden"], QJsonValue(QJsonValue::Null));
        QCOMPARE(out["overall"]["levening"], QJsonValue(QJsonValue::Null));
    }

    // What the levels are reaches every output: the JSON's top, the text's labels and
    // first line, a CSV's last column. The survey's files have no metadata, so the
    // declaration holds; 86.8 dB less 3 is 83.8.
    void levelKind() {
        const QJsonObject out = json({"lden", "--weighting", "C", "--adjust", "2"});
        QCOMPARE(out["weighting"].toString(), "C");
        QCOMPARE(out["response"], QJsonValue(QJsonValue::Null));
        QCOMPARE(out["adjust"].toDouble(), 2.0);
        const QJsonObject plain = json({"events", "--above", "80"});
        QCOMPARE(plain["weighting"], QJsonValue(QJsonValue::Null));
        QCOMPARE(plain["adjust"].toDouble(), 0.0);
        const QStringList declared{"periods", "--weighting", "A", "--response",
                                   "F",       "--adjust",    "-3"};
        const Run text = runCli(declared + survey);
        QCOMPARE(text.status, 0);
        QCOMPARE(text.out.section(u'\n', 0, 0), "Adjust: -3.0 dB (added to every level)");
        QCOMPARE(lineOf(text.out, "Start"),
                 "Start End Records Coverage LAeq,1h LAFmax LAFmin LAF10,1h LAF50,1h LAF90,1h "
                 "Out of range");
        QCOMPARE(lineOf(runCli(QStringList{"periods"} + survey).out, "Start"),
                 "Start End Records Coverage Leq,1h Lmax Lmin L10,1h L50,1h L90,1h Out of range");
        const QStringList csv = runCli(declared + survey + QStringList{"--csv"}).out.split(u'\n');
        QVERIFY2(csv[0].endsWith(",over_range,under_range,adjust_db"), qPrintable(csv[0]));
        QVERIFY2(csv[2].startsWith("2009-06-01T15:00:00,2009-06-01T16:00:00,5,0.001,83.8,87.0,") &&
                     csv[2].endsWith(",-3.0"),
                 qPrintable(csv[2]));
    }

    void events_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        // 80, 90, 90 from 15:00:00; 85 at 15:00:05, after the gap of the level left out.
        QTest::newRow("above 80") << QStringList() << 2;
        QTest::newRow("min 2 s") << QStringList{"--min-duration", "2"} << 1;
    }
    void events() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(QStringList{"events", "--above", "80"} + options);
        QCOMPARE(keysOf(out), "adjust events format response weighting");
        const QJsonArray events = out["events"].toArray();
        QTEST(int(events.size()), "count");
        QCOMPARE(keysOf(events[0]), "duration_s end leq lmax over_range sel start under_range");
        const QJsonObject e = events[0].toObject();
        QCOMPARE(e["start"].toString() + u'/' + e["end"].toString(),
                 "2009-06-01T15:00:00/2009-06-01T15:00:03");
        QCOMPARE(e["lmax"].toDouble(), 90.0);
    }

    // A profile saved among this user's profiles gives the figures of its options typed
    // one by one, and an option typed wins over it; the manifest names it with its
    // file's SHA-256 and values; a profile missing or with a bad value is a usage error
    // that names it.
    void profile() {
        const QString client =
            platform::profilesFolder(platform::settingsFolder()) + "/client.json";
        assess::Profile p;
        p.periodLength = 60;
        p.adjust = -3;
        p.events = stats::EventRule{80, 2, 0};
        p.typical = assess::Typical::Median;
        QCOMPARE(assess::writeProfile(client, p), std::nullopt);
        const QStringList periods{"periods", "--profile", "client"};
        QCOMPARE(json(periods), json({"periods", "--every", "1min", "--adjust", "-3"}));
        QVERIFY(json(periods) != json({"periods", "--every", "1min"}));
        QCOMPARE(json(periods + QStringList{"--every", "1h"}), json({"periods", "--adjust", "-3"}));
        QCOMPARE(json({"events", "--profile", "client"}),
                 json({"events", "--above", "80", "--min-duration", "2", "--adjust", "-3"}));

        const QJsonObject manifest =
            json({"assess", "background", "--profile", "client"})["manifest"].toObject();
        const QJsonObject entry = manifest["profile"].toObject();
        QCOMPARE(entry["name"].toString(), "client");
        QCOMPARE(entry["path"].toString(), client);
        QCOMPARE(
            entry["sha256"].toString(),
            QCryptographicHash::hash(test::readAll(client), QCryptographicHash::Sha256).toHex());
        QCOMPARE(entry["values"]["background"]["typical"].toString(), "median");
        QVERIFY2(manifest["command_line"].toArray().contains("median"),
                 qPrintable(QJsonDocument(manifest).toJson()));
        QVERIFY(!json({"assess", "background"})["manifest"].toObject().contains("profile"));

        const QString bad = dir.filePath("bad.json");
        QVERIFY(test::writeFile(bad, R"({"period_s": 7})"));
        for (const auto& [given, named] :
             {std::pair{QStringLiteral("nobody"), "nobody"}, std::pair{bad, "period_s in"}}) {
            const Run run = runCli(QStringList{"periods", "--profile", given} + survey);
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(given) && run.err.contains(QLatin1String(named)),
                     qPrintable(run.err));
        }
    }

    // Bounds of --exclude in Berlin, on the day the clocks go back: records every
    // 10 min from 00:00, so the two hours from 02:00 hold six each. A bound without an
    // offset names the first pass, one with +01:00 the second; seconds may be left out.
    // A bound in the hour skipped in spring is refused in words that say so.
    void excludeBounds_data() {
        QTest::addColumn<QString>("span");
        QTest::addColumn<QString>("records");  // of the two hours from 02:00, or the mistake
        QTest::newRow("first pass, no seconds") << "2026-10-25T02:30/2026-10-25T02:50"
                                                << "4 6";
        QTest::newRow("second pass") << "2026-10-25T02:30:00+01:00/2026-10-25T02:50:00+01:00"
                                     << "6 4";
        QTest::newRow("across the change, Z") << "2026-10-25T00:30:00Z/2026-10-25T02:30:00+01:00"
                                              << "3 3";
        QTest::newRow("in the skipped hour")
            << "2026-03-29T01:30/2026-03-29T02:30"
            << "--exclude 2026-03-29T01:30/2026-03-29T02:30: 2026-03-29T02:30 is no local time: "
               "the clocks went forward over it on 2026-03-29";
        QTest::newRow("offset out of range") << "2026-10-25T02:30:00+15:00/2026-10-25T02:50"
                                             << "--exclude takes FROM/TO";
    }
    void excludeBounds() {
        QFETCH(QString, span);
        const QString file = dir.filePath("berlin.sdm");
        const QTimeZone berlin("Europe/Berlin");
        QList<std::array<QByteArray, 3>> rows;
        const qint64 start = QDateTime(QDate(2026, 10, 25), QTime(0, 0), berlin).toSecsSinceEpoch();
        for (int i = 0; i < 30; ++i) {
            rows.push_back({QByteArray::number(i + 1),
                            QDateTime::fromSecsSinceEpoch(start + 600 * i, berlin)
                                .toString("yyyy/MM/dd HH:mm:ss")
                                .toLatin1(),
                            "50.0"});
        }
        QVERIFY(test::writeFile(file, test::recordFile(rows)));
        qputenv("TZ", "Europe/Berlin");
        const Run run = runCli({"periods", "--json", "--exclude", span, file});
        qputenv("TZ", "UTC");
        const QJsonArray periods =
            QJsonDocument::fromJson(run.out.toUtf8()).object()["periods"].toArray();
        QFETCH(QString, records);
        if (records.startsWith("--exclude")) {
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(records), qPrintable(run.err));
            return;
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(QStringLiteral("%1 %2")
                     .arg(periods[2]["records"].toInt())
                     .arg(periods[3]["records"].toInt()),
                 records);
    }

    // A file given twice counts once, and the command says so on stderr.
    void repeatedFile() {
        const Run run = runCli(QStringList{"periods", "--json"} + survey + survey);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains("8 record(s) at an instant read before were left out: 8 "
                                  "repeated (the same level), 0 conflicting"),
                 qPrintable(run.err));
        const QJsonArray periods =
            QJsonDocument::fromJson(run.out.toUtf8()).object()["periods"].toArray();
        QCOMPARE(periods[1]["records"].toInt(), 5);
    }

    // "L" keeps an event going and "-" counts in the period; each table says how many
    // readings out of range a row holds, in every form.
    void outOfRange() {
        const QString file = dir.filePath("range.sdm");
        QVERIFY(test::writeFile(file, test::recordFile({{"1", "2009/06/01 14:00:00", "85.0"},
                                                        {"2", "2009/06/01 14:00:01", "L"},
                                                        {"3", "2009/06/01 14:00:02", "86.0"},
                                                        {"4", "2009/06/01 14:00:03", "-"},
                                                        {"5", "2009/06/01 14:00:04", "60.0"}})));
        const auto out = [&file](const QStringList& arguments) {
            const Run run = runCli(arguments + QStringList{file});
            return run.status == 0 ? run.out : run.err;
        };
        const QJsonObject event =
            QJsonDocument::fromJson(out({"events", "--above", "80", "--json"}).toUtf8())["events"]
                .toArray()
                .at(0)
                .toObject();
        QCOMPARE(QStringLiteral("%1 s, %2 over, %3 under")
                     .arg(event["duration_s"].toInt())
                     .arg(event["over_range"].toInt())
                     .arg(event["under_range"].toInt()),
                 "3 s, 1 over, 0 under");
        QCOMPARE(out({"events", "--above", "80", "--csv"}).split(u'\n').value(1).section(u',', 6),
                 "1,0");
        const QJsonObject period =
            QJsonDocument::fromJson(
                out({"periods", "--every", "1min", "--json"}).toUtf8())["periods"]
                .toArray()
                .at(0)
                .toObject();
        QCOMPARE(period["records"].toInt(), 5);
        QCOMPARE(period["under_range"].toInt(), 1);
        QVERIFY(lineOf(out({"periods", "--every", "1min"}), "2009-06-01T14:00:00")
                    .endsWith("1 over, 1 under"));
        const QJsonObject day = QJsonDocument::fromJson(out({"lden", "--json"}).toUtf8())["days"]
                                    .toArray()
                                    .at(0)
                                    .toObject();
        QCOMPARE(QStringLiteral("%1/%2")
                     .arg(day["over_range"]["day"].toInt())
                     .arg(day["under_range"]["day"].toInt()),
                 "1/1");
    }

    // Into stdout the CSV goes out as it is read: the lines before a broken one are there.
    void exportToStdoutStopsAtABrokenLine() {
        const Run run = runCli({"export", dir.filePath("broken.sdm"), "--csv", "-"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out.count(u'\n'), 1 + 12);
        QVERIFY2(run.err.endsWith("line has only one.\nThe 12 record(s) before it were written to "
                                  "standard output.\n"),
                 qPrintable(run.err));
    }

    // Data on stdout, talk on stderr: the count of the events is talk.
    void eventCountIsTalk() {
        const Run run = runCli(QStringList{"events", "--above", "80"} + survey);
        QCOMPARE(run.status, 0);
        QVERIFY2(!run.out.contains("event"), qPrintable(run.out));
        QCOMPARE(run.err, "2 event(s)\n");
    }

    // Stdout is checked to its last byte once for every command, where cli.cpp ends
    // the run: into a full device a file command, the CSV and the help each say so and
    // end with status 2 (the full device's reason is test_output_file's).
    void unwritableStdout_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("stats") << QStringList{"stats", "FILE"};
        QTest::newRow("export") << QStringList{"export", "FILE", "--csv", "-"};
        QTest::newRow("help") << QStringList{"help", "stats"};
    }
    void unwritableStdout() {
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QRegularExpression("^FILE$"), sample);
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(LP_CLI_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(err.endsWith("levelpanel-cli: standard output could not be written: the disk is "
                              "full (No space left on device); what it shows is not complete\n"),
                 qPrintable(err));
        QCOMPARE(err.count("could not"), 1);  // said once
    }

    // The report into a pipe: its reader gets the whole PDF and the pipe stays a pipe.
    void reportIntoAPipe() {
        const QString fifo = dir.filePath("report.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess reader;
        reader.start("sh", {"-c", "exec cat \"$0\"", fifo});
        const Run run = runCli({"report", sample, "--pdf", fifo});
        QVERIFY(reader.waitForFinished(60000));
        QCOMPARE(run.status, 0);
        const QByteArray pdf = reader.readAllStandardOutput();
        QVERIFY2(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"),
                 pdf.left(40).constData());
        QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo(fifo).exists());
    }

    // The report as a real PDF, its text read back: the period and the event of the
    // survey, and the exclusion, reach it.
    void report() {
        const QString pdf = dir.filePath("report.pdf");
        const Run run =
            runCli(QStringList{"report", "--pdf", pdf, "--every", "1min", "--above", "80",
                               "--exclude", "2009-06-01T15:00:01/2009-06-01T15:00:03"} +
                   survey);
        QCOMPARE(run.status, 0);
        const QString text = test::runToEnd("pdftotext", {"-layout", pdf, "-"}).out;
        QVERIFY2(text.contains("81.4"), qPrintable(text));  // 15:00, excluded
        QVERIFY2(!text.contains("86.8"), qPrintable(text));
        QVERIFY2(text.contains("15:00:05"), qPrintable(text));  // the 85 dB event
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
