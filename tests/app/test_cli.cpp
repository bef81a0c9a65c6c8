// levelpanel-cli run as a whole program: the figures and the Ln table as text and JSON
// (worked out by hand; the rules behind them are tests/stats'), the CSV export, and the
// exit status and message of every kind of mistake.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <functional>

#include "files.h"
#include "program_run.h"
#include "records/record_format.h"

using namespace lp;

namespace {

using Run = test::ProgramRun;

Run runCli(const QStringList& arguments, const QByteArray& input = {}) {
    return test::runToEnd(QStringLiteral(LP_CLI_PROGRAM), arguments, 60000, input);
}

// A small list with every kind of level text: plain levels, a marked one, an
// under-range and an over-range one, a level of 145 and more, and no number. Seven
// levels count: Leq 73.8, Lmax 81.7, Lmin 40.0; 65.35 is the class 65.4.
QByteArray sampleFile() {
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    const QList<std::array<const char*, 3>> rows{
        {"1", "2009/06/01 14:05:09", "65.3"},   {"2", "2009/06/01 14:05:10", "70.1"},
        {"3", "2009/06/01 14:05:11", "58.0"},   {"4", "2009/06/01 14:05:12", "*66.2"},
        {"5", "2009/06/01 14:05:13", "-30.0"},  {"6", "2009/06/01 14:05:14", "L 150.0"},
        {"7", "2009/06/01 14:05:15", "81.7"},   {"8", "not a time", "62.4"},
        {"9", "2009/13/01 14:05:17", "OVER"},   {"10", "2009/06/01 14:05:18", "146.0"},
        {"11", "2009/06/01 14:05:19", "65.35"}, {"12", "2009/06/01 14:05:20", "40"},
    };
    for (const auto& row : rows) {
        records::appendRecordLine(bytes, row[0], row[1], row[2]);
    }
    return bytes;
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

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString sample;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        sample = dir.filePath(QStringLiteral("sample.sdm"));
        QVERIFY(test::writeFile(sample, sampleFile()));
    }

    void statsText_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("classes");  // L50, L90 and the Ln table's row L50 .. L59
        const QString tenths =
            "L50: 65.4 dB|L90: 40.0 dB|"
            "L(50) 65.4 65.4 65.4 65.4 65.4 65.4 65.4 65.4 65.3 65.3";
        QTest::newRow("0.1 dB by default") << QStringList{} << tenths;
        QTest::newRow("1 dB") << QStringList{"--resolution", "1"}
                              << "L50: 65 dB|L90: 40 dB|L(50) 65 65 65 65 65 65 65 65 65 65";
        QTest::newRow("0.1 dB given") << QStringList{"--resolution=0.1"} << tenths;
    }
    void statsText() {
        QFETCH(QStringList, options);
        const Run run = runCli(QStringList{"stats", sample} + options);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QStringList lines;
        for (const char* head : {"Records:", "Left out:", "Leq:", "Lmax:", "Lmin:", "L10:"}) {
            lines << lineOf(run.out, QLatin1String(head));
        }
        QCOMPARE(lines.join(u'|'),
                 "Records: 7|Left out: 5|Leq: 73.8 dB|Lmax: 81.7 dB|"
                 "Lmin: 40.0 dB|L10: \u2014");
        QTEST(QStringList(
                  {lineOf(run.out, "L50:"), lineOf(run.out, "L90:"), lineOf(run.out, "L(50)")})
                  .join(u'|'),
              "classes");
        QCOMPARE(lineOf(run.out, "L(00)"), "L(00)" + QString(" \u2014").repeated(10));
    }

    // One object per file, in the order given, no level as null.
    void statsJson() {
        const QString second = dir.filePath(QStringLiteral("second.sdm"));
        QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
        records::appendRecordLine(bytes, "1", "2009/06/02 10:00:00", "90.0");
        QVERIFY(test::writeFile(second, bytes));
        const Run run = runCli({"stats", "--json", sample, second});
        QCOMPARE(run.status, 0);
        const QJsonArray files =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("files").toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[1].toObject().value("file").toString(), second);
        QCOMPARE(files[1].toObject().value("leq"), QJsonValue(90.0));
        const QJsonObject o = files.first().toObject();
        QCOMPARE(o.keys(), (QStringList{"file", "l10", "l50", "l90", "left_out", "leq", "lmax",
                                        "lmin", "ln", "records", "resolution"}));
        QCOMPARE(o.value("file").toString(), sample);
        QCOMPARE(o.value("records"), QJsonValue(7));
        QCOMPARE(o.value("left_out"), QJsonValue(5));
        QCOMPARE(o.value("leq"), QJsonValue(73.8));
        QCOMPARE(o.value("lmin"), QJsonValue(40.0));
        QCOMPARE(o.value("l10"), QJsonValue(QJsonValue::Null));
        QCOMPARE(o.value("l50"), QJsonValue(65.4));
        const QJsonArray ln = o.value("ln").toArray();
        QCOMPARE(ln.size(), 100);
        QCOMPARE(ln[16], QJsonValue(QJsonValue::Null));
        QCOMPARE(ln[17], QJsonValue(145.0));
        QCOMPARE(ln[99], QJsonValue(25.0));
    }

    // Each command's JSON: one document, "format": 1, every key in snake_case.
    void jsonOfEachCommand_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("list");  // the key of the document's main array
        QTest::newRow("stats") << QStringList{"stats", "--json", "FILE"} << "files";
        QTest::newRow("periods") << QStringList{"periods", "--json", "FILE"} << "periods";
        QTest::newRow("lden") << QStringList{"lden", "--json", "FILE"} << "days";
        QTest::newRow("events") << QStringList{"events", "--json", "--above", "60", "FILE"}
                                << "events";
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
        const QRegularExpression snake("^[a-z][a-z0-9_]*$");
        QStringList keys;
        const std::function<void(const QJsonValue&)> collect = [&](const QJsonValue& value) {
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it) {
                keys << it.key();
                collect(it.value());
            }
            for (const QJsonValue& item : value.toArray()) {
                collect(item);
            }
        };
        collect(document.object());
        for (const QString& key : keys) {
            QVERIFY2(snake.match(key).hasMatch(), qPrintable(key));
        }
    }

    // The CSV itself is test_csv_export's; here the command writes the file's records.
    // Its summary goes to stderr, none with -q; stdout stays empty.
    void exportWritesTheCsv() {
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        const Run run = runCli({"export", sample, "--csv", csv});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, "12 record(s) written to " + csv + "\n");
        const QByteArray written = test::readAll(csv);
        QVERIFY(written.startsWith("no,time,level\r\n1,2009-06-01T14:05:09,65.3\r\n"));
        QCOMPARE(written.count('\n'), 1 + 12);
        for (const QStringList& quietly :
             {QStringList{"export", "-q"}, QStringList{"--quiet", "export"}}) {
            const Run quiet = runCli(quietly + QStringList{sample, "--csv", csv});
            QCOMPARE(quiet.status, 0);
            QCOMPARE(quiet.out + quiet.err, QString());
        }
    }

    // "-" as FILE reads standard input as that file is read; --csv - writes the CSV
    // alone on stdout (its last line a record's, as `| tail -1` takes it).
    void standardStreams_data() {
        QTest::addColumn<QStringList>("arguments");  // FILE stands for the file or "-"
        QTest::newRow("stats") << QStringList{"stats", "FILE"};
        QTest::newRow("stats json") << QStringList{"stats", "--json", "FILE"};
        QTest::newRow("export") << QStringList{"export", "FILE", "--csv", "-", "-q"};
        QTest::newRow("periods") << QStringList{"periods", "FILE", "--csv", "--every", "1min"};
        QTest::newRow("lden") << QStringList{"lden", "--json", "--", "FILE"};
        QTest::newRow("events") << QStringList{"events", "--above", "60", "FILE"};
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
        if (arguments.first() == "export") {
            QVERIFY(piped.out.startsWith("no,time,level\r\n1,2009-06-01T14:05:09,65.3\r\n"));
            QCOMPARE(piped.out.section(u'\n', -2), "12,2009-06-01T14:05:20,40\r\n");
            QCOMPARE(piped.out.count(u'\n'), 1 + 12);
            QVERIFY(!QFile::exists("-"));
        }
    }

    // --offset: each valid stamp with the UTC offset of local time then, across a change
    // to summer time and back to a winter hour seen before.
    void exportWithOffsets() {
        const QString file = dir.filePath(QStringLiteral("dst.sdm"));
        QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
        records::appendRecordLine(bytes, "1", "2009/03/29 01:59:59", "60.0");
        records::appendRecordLine(bytes, "2", "2009/03/29 03:00:00", "61.0");
        records::appendRecordLine(bytes, "3", "2009/03/29 01:30:00", "62.0");
        records::appendRecordLine(bytes, "4", "not a time", "63.0");
        QVERIFY(test::writeFile(file, bytes));
        qputenv("TZ", "Europe/Berlin");
        const Run run = runCli({"export", "--offset", file, "--csv", "-"});
        qunsetenv("TZ");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out,
                 "no,time,level\r\n"
                 "1,2009-03-29T01:59:59+01:00,60.0\r\n"
                 "2,2009-03-29T03:00:00+02:00,61.0\r\n"
                 "3,2009-03-29T01:30:00+01:00,62.0\r\n"
                 "4,not a time,63.0\r\n");
    }

    // An export whose CSV name is the record file itself, spelled otherwise, leaves the
    // record file as it was and says why.
    void exportOverItsInputIsRefused() {
        const QString spelled = dir.path() + QStringLiteral("/./sample.sdm");
        const Run run = runCli({"export", sample, "--csv", spelled});
        QCOMPARE(run.status, 2);
        QCOMPARE(test::readAll(sample), sampleFile());
        QVERIFY2(run.err.contains("it is the file the records come from (" + sample + ")"),
                 qPrintable(run.err));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("names");
        QTest::newRow("no command") << QStringList{} << "no command";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "frobnicate'";
        QTest::newRow("a command misspelt")
            << QStringList{"exprot", "a.sdm"} << "unknown command 'exprot' (did you mean export?)";
        QTest::newRow("help of no command") << QStringList{"help", "frob"} << "'frob'";
        QTest::newRow("an option misspelt")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--evry", "5"}
            << "unknown option '--evry' for record (did you mean --every?)";
        QTest::newRow("unknown option") << QStringList{"--frob"} << "--frob";
        QTest::newRow("stats no file") << QStringList{"stats", "--json"} << "FILE";
        QTest::newRow("resolution wrong, then right")
            << QStringList{"stats", "a.sdm", "--resolution=5", "--resolution=1"} << "'5'";
        QTest::newRow("export no csv") << QStringList{"export", "a.sdm"} << "--csv";
        QTest::newRow("ports extra") << QStringList{"ports", "x"} << "'x'";
        QTest::newRow("live no port") << QStringList{"live"} << "--port";
        QTest::newRow("unknown port") << QStringList{"sets", "--port", "COM9"} << "'COM9'";
        QTest::newRow("record no out") << QStringList{"record", "--port", "sim"} << "--out";
        QTest::newRow("every refused")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--every", "1,5"}
            << "--every takes whole seconds from 1 to 86400, not '1,5'";
        QTest::newRow("set with a sign")
            << QStringList{"download", "--port", "sim", "--set", "+1", "--out", "x.sdm"} << "'+1'";
        QTest::newRow("above with a blank")
            << QStringList{"events", "a.sdm", "--above", " 60"} << "not ' 60'";
        QTest::newRow("min-duration a fraction")
            << QStringList{"events", "a.sdm", "--above", "60", "--min-duration", "1.5"} << "'1.5'";
        QTest::newRow("alarm bridge with a sign")
            << QStringList{"record",  "--port", "sim",      "--out", "x.sdm",
                           "--alarm", "85",     "--bridge", "+2"}
            << "'+2'";
        QTest::newRow("rotate weekly")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--rotate", "weekly"}
            << "'weekly'";
        const QStringList logger{"record", "--port", "sim", "--out", "x.sdm"};
        QTest::newRow("publish no prefix")
            << logger + QStringList{"--publish", "mqtt://h"} << "PREFIX";
        QTest::newRow("publish wildcard")
            << logger + QStringList{"--publish", "mqtt://h/lp/+"} << "'mqtt://h/lp/+'";
        QTest::newRow("password in the URL")
            << logger + QStringList{"--publish", "mqtt://u:pw@h/lp"} << "--password-file";
        QTest::newRow("cafile without TLS")
            << logger + QStringList{"--publish", "mqtt://h/lp", "--cafile", "ca.crt"} << "mqtts";
        QTest::newRow("id without publish") << logger + QStringList{"--id", "a"} << "--publish";
        QTest::newRow("alarm refused")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--alarm", "85/soon"}
            << "'85/soon'";
        QTest::newRow("events without alarm")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--events", "e.csv"}
            << "--events needs --alarm";
        QTest::newRow("stdin twice") << QStringList{"periods", "-", "a.sdm", "-"} << "once";
        QTest::newRow("record to stdout")
            << QStringList{"record", "--port", "sim", "--out", "-"} << "give --out a file";
        QTest::newRow("report to stdout")
            << QStringList{"report", "a.sdm", "--pdf", "-"} << "give --pdf a file";
        QTest::newRow("set 0") << QStringList{"download", "--port", "sim",  "--set",
                                              "0",        "--out",  "x.sdm"}
                               << "'0'";
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, names);
        const Run run = runCli(arguments);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(names), qPrintable(run.err));
        QVERIFY2(run.err.contains("--help"), qPrintable(run.err));
    }

    // A file that cannot be read stops the command with status 2 and the reader's own
    // words (a broken line named by its number); export writes nothing then.
    void unreadableFile() {
        const QString missing = dir.filePath(QStringLiteral("nowhere.sdm"));
        const QString broken = dir.filePath(QStringLiteral("broken.sdm"));
        QVERIFY(test::writeFile(broken, sampleFile() + "13\tno tabs after this\r\n"));
        const Run notThere = runCli({"stats", missing});
        QCOMPARE(notThere.status, 2);
        QVERIFY2(notThere.err.contains(missing + " cannot be listed: the file cannot be opened"),
                 qPrintable(notThere.err));
        const Run stopped = runCli({"stats", broken});
        QCOMPARE(stopped.status, 2);
        QVERIFY2(stopped.err.contains("Loading " + broken + " stopped at line 14"),
                 qPrintable(stopped.err));
        const Run exported = runCli({"export", missing, "--csv", dir.filePath("x.csv")});
        QCOMPARE(exported.status, 2);
        QVERIFY2(exported.err.contains(missing), qPrintable(exported.err));
        QVERIFY(!QFile::exists(dir.filePath("x.csv")));
    }

    // Each command's own help, asked either way, with the notes every command shares;
    // the whole text only without a command.
    void help_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");  // the first line; empty for the whole text
        for (const char* command : {"stats", "export", "periods", "lden", "events", "report",
                                    "ports", "live", "record", "sets", "download", "watch"}) {
            const QString name = QLatin1String(command);
            const QString usage = "Usage: levelpanel-cli " + name;
            QTest::newRow(command) << QStringList{name, "--help"} << usage;
            QTest::newRow(qPrintable("help " + name)) << QStringList{"help", name} << usage;
        }
        QTest::newRow("-h after options") << QStringList{"export", "a.sdm", "--csv", "x", "-h"}
                                          << "Usage: levelpanel-cli export FILE --csv OUT";
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
            QCOMPARE(first, "Usage: levelpanel-cli COMMAND [ARGUMENTS]");
            QVERIFY(run.out.contains("\n  stats FILE...") && run.out.contains("\n  watch mqtt:"));
        } else {
            QVERIFY2(first.startsWith(usage), qPrintable(first));
            QVERIFY2(!run.out.contains("Commands:"), qPrintable(run.out));
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
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
