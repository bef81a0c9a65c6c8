// levelpanel-cli run as a whole program: its figures against the library's, the CSV
// export, and the exit status and message of every kind of mistake.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>

#include "app/cli/cli.h"
#include "files.h"
#include "program_run.h"
#include "records/csv_export.h"
#include "records/record_file_reader.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"
#include "records/record_store.h"
#include "stats/figure_text.h"
#include "stats/ln_computation.h"

using namespace lp;

namespace {

using Run = test::ProgramRun;

Run runCli(const QStringList& arguments) {
    return test::runToEnd(QStringLiteral(LP_CLI_PROGRAM), arguments);
}

// A small list with every kind of level text: plain levels, a marked one, an
// under-range and an over-range one, a level of 145 and more, and no number.
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

stats::LnResult libraryResult(const QString& path, stats::Resolution resolution) {
    records::RecordStore store;
    const records::LoadResult loaded = records::loadRecordFile(path, store);
    if (loaded.error) {
        qFatal("sample file does not load");
    }
    return stats::computeLn(resolution, store.count(), [&store](qsizetype i) {
        return store.bytes(i, records::Field::Level);
    });
}

// The value after "Caption:" on its own line of the text output.
QString figure(const QString& out, const QString& caption) {
    for (const QString& line : out.split(u'\n')) {
        if (line.startsWith(caption + u':')) {
            return line.mid(caption.size() + 1).trimmed();
        }
    }
    return QStringLiteral("<missing %1>").arg(caption);
}

QJsonValue number(const QString& levelText) {
    bool ok = false;
    const double v = levelText.toDouble(&ok);
    return ok ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

QJsonValue number(const std::optional<double>& level) {
    return level ? number(QString::number(*level, 'f', 1)) : QJsonValue(QJsonValue::Null);
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
        QTest::addColumn<int>("resolution");
        QTest::newRow("0.1 dB by default") << QStringList{} << int(stats::Resolution::TenthDb);
        QTest::newRow("1 dB") << QStringList{"--resolution", "1"}
                              << int(stats::Resolution::WholeDb);
        QTest::newRow("0.1 dB given")
            << QStringList{"--resolution=0.1"} << int(stats::Resolution::TenthDb);
    }

    void statsText() {
        QFETCH(QStringList, options);
        QFETCH(int, resolution);
        const stats::LnResult expected =
            libraryResult(sample, static_cast<stats::Resolution>(resolution));
        const Run run = runCli(QStringList{"stats", sample} + options);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(figure(run.out, "Records"), QString::number(expected.figures.withLevel));
        QCOMPARE(figure(run.out, "Left out"), QString::number(expected.figures.leftOut));
        QCOMPARE(figure(run.out, "Leq"), stats::decibelsText(expected.figures.leq));
        QCOMPARE(figure(run.out, "Lmax"), stats::decibelsText(expected.figures.lmax));
        QCOMPARE(figure(run.out, "Lmin"), stats::decibelsText(expected.figures.lmin));
        QCOMPARE(figure(run.out, "L10"), stats::decibelsText(expected.levels.value(10)));
        QCOMPARE(figure(run.out, "L50"), stats::decibelsText(expected.levels.value(50)));
        QCOMPARE(figure(run.out, "L90"), stats::decibelsText(expected.levels.value(90)));
        // The Ln table: ten rows "L(00)" .. "L(90)" of ten levels each.
        const QStringList lines = run.out.split(u'\n');
        for (int row = 0; row < 10; ++row) {
            const QString head = QStringLiteral("L(%1)").arg(row * 10, 2, 10, QChar(u'0'));
            const auto at = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
                return line.startsWith(head);
            });
            QVERIFY2(at != lines.end(), qPrintable(head));
            const QStringList cells = at->mid(head.size()).split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(cells.size(), 10);
            for (int c = 0; c < 10; ++c) {
                const QString level = expected.levels.value(row * 10 + c);
                QCOMPARE(cells[c], level.isEmpty() ? stats::kNoValue : level);
            }
        }
    }

    // One object per file, in the order given.
    void statsJson() {
        const QString second = dir.filePath(QStringLiteral("second.sdm"));
        QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
        records::appendRecordLine(bytes, "1", "2009/06/02 10:00:00", "90.0");
        QVERIFY(test::writeFile(second, bytes));
        const stats::LnResult expected = libraryResult(sample, stats::Resolution::TenthDb);
        const Run run = runCli({"stats", "--json", sample, second});
        QCOMPARE(run.status, 0);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray files = doc.object().value("files").toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[1].toObject().value("file").toString(), second);
        QCOMPARE(files[1].toObject().value("leq"), QJsonValue(90.0));
        const QJsonObject o = files.first().toObject();
        QCOMPARE(o.value("file").toString(), sample);
        QCOMPARE(o.value("records").toInteger(), expected.figures.withLevel);
        QCOMPARE(o.value("leftOut").toInteger(), expected.figures.leftOut);
        QCOMPARE(o.value("leq"), number(expected.figures.leq));
        QCOMPARE(o.value("lmax"), number(expected.figures.lmax));
        QCOMPARE(o.value("lmin"), number(expected.figures.lmin));
        QCOMPARE(o.value("l10"), number(expected.levels.value(10)));
        QCOMPARE(o.value("l50"), number(expected.levels.value(50)));
        QCOMPARE(o.value("l90"), number(expected.levels.value(90)));
        const QJsonArray ln = o.value("ln").toArray();
        QCOMPARE(ln.size(), 100);
        for (int n = 0; n < 100; ++n) {
            QCOMPARE(ln[n], number(expected.levels.value(n)));
        }
    }

    // The CSV itself is test_record_file's; here the command writes the file's records.
    void exportWritesTheCsv() {
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        const Run run = runCli({"export", sample, "--csv", csv});
        QCOMPARE(run.status, 0);
        records::RecordStore store;
        QVERIFY(!records::loadRecordFile(sample, store).error);
        QCOMPARE(test::readAll(csv), records::csvOf(store));
    }

    // An export whose CSV name is the record file itself, spelled otherwise, leaves the
    // record file as it was and says why.
    void exportOverItsInputIsRefused() {
        const QString input = dir.filePath(QStringLiteral("own.sdm"));
        QVERIFY(test::writeFile(input, sampleFile()));
        const QString spelled = dir.path() + QStringLiteral("/./own.sdm");
        const Run run = runCli({"export", input, "--csv", spelled});
        QCOMPARE(run.status, 2);
        QCOMPARE(test::readAll(input), sampleFile());
        QVERIFY2(run.err.contains(
                     records::exportFailureText(*records::refuseWritingOverSource(spelled, input))),
                 qPrintable(run.err));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("names");
        QTest::newRow("no command") << QStringList{} << "no command";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "frobnicate";
        QTest::newRow("unknown option") << QStringList{"--frob"} << "--frob";
        QTest::newRow("stats unknown option") << QStringList{"stats", "a.sdm", "--csv"} << "--csv";
        QTest::newRow("stats no file") << QStringList{"stats", "--json"} << "FILE";
        QTest::newRow("resolution missing")
            << QStringList{"stats", "a.sdm", "--resolution"} << "--resolution";
        QTest::newRow("resolution wrong")
            << QStringList{"stats", "a.sdm", "--resolution", "5"} << "'5'";
        QTest::newRow("resolution wrong, then right")
            << QStringList{"stats", "a.sdm", "--resolution=5", "--resolution=1"} << "'5'";
        QTest::newRow("export no csv") << QStringList{"export", "a.sdm"} << "--csv";
        QTest::newRow("export csv no name") << QStringList{"export", "a.sdm", "--csv"} << "--csv";
        QTest::newRow("export no file") << QStringList{"export", "--csv", "o.csv"} << "FILE";
        QTest::newRow("ports extra") << QStringList{"ports", "x"} << "'x'";
        QTest::newRow("live no port") << QStringList{"live"} << "--port";
        QTest::newRow("unknown port") << QStringList{"sets", "--port", "COM9"} << "'COM9'";
        QTest::newRow("record no out") << QStringList{"record", "--port", "sim"} << "--out";
        QTest::newRow("every refused")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--every", "soon"}
            << "Invalid SAMPLING TIME";
        QTest::newRow("rotate weekly")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--rotate", "weekly"}
            << "'weekly'";
        QTest::newRow("alarm refused")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--alarm", "85/soon"}
            << "'85/soon'";
        QTest::newRow("events without alarm")
            << QStringList{"record", "--port", "sim", "--out", "x.sdm", "--events", "e.csv"}
            << "--events needs --alarm";
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
        for (const QString& file : {missing, broken}) {
            records::RecordStore store;
            const records::LoadResult loaded = records::loadRecordFile(file, store);
            QVERIFY(loaded.error);
            const Run run = runCli({"stats", file});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(records::loadFailureText(*loaded.error, loaded.records)),
                     qPrintable(run.err));
        }
        const Run exported = runCli({"export", missing, "--csv", dir.filePath("x.csv")});
        QCOMPARE(exported.status, 2);
        QVERIFY2(exported.err.contains(missing), qPrintable(exported.err));
        QVERIFY(!QFile::exists(dir.filePath("x.csv")));
    }

    void helpVersionPorts() {
        const Run help = runCli({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("stats FILE..."));
        QVERIFY(help.out.contains("export FILE --csv OUT"));
        const Run version = runCli({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("levelpanel-cli "));
        const Run ports = runCli({"ports"});
        QCOMPARE(ports.status, 0);
        QVERIFY2(ports.out.endsWith("sim\tSimulated meter\n"), qPrintable(ports.out));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
