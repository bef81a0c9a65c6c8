// A report checked against its files: `levelpanel-cli report` writes a real PDF over two
// record files, and `levelpanel-cli verify` (both whole processes) reads the manifest
// back from the PDF alone: unchanged, one byte changed, a file gone, files named from
// another folder, a PDF without a manifest. And the Survey window's equivalent command
// line, read back by the command line's own parser into the options it came from.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "cli/survey_commands.h"
#include "files.h"
#include "level_records.h"
#include "program_run.h"
#include "survey/report_command_line.h"
#include "survey/survey_report.h"

using namespace lp;

namespace {

using test::runCli;

QByteArray dayFile(const QByteArray& date, const QByteArray& level) {
    QList<std::array<QByteArray, 3>> rows;
    for (int minute = 0; minute < 30; ++minute) {
        rows.push_back({QByteArray::number(minute + 1),
                        date + " 10:" + QByteArray::number(minute).rightJustified(2, '0') + ":00",
                        level});
    }
    return test::recordFile(rows);
}

}  // namespace

class TestCliVerify : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString a_;
    QString b_;
    QString pdf_;

    [[nodiscard]] QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        qputenv("TZ", "UTC");
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("site")));
        a_ = path(QStringLiteral("site/a.sdm"));
        b_ = path(QStringLiteral("site/b.sdm"));
        QVERIFY(test::writeFile(a_, dayFile("2009/06/01", "61.0")));
        QVERIFY(test::writeFile(b_, dayFile("2009/06/02", "62.0")));
        pdf_ = path(QStringLiteral("report.pdf"));
        const test::ProgramRun run = runCli({"report", "--pdf", pdf_, "--above", "60", a_, b_});
        QVERIFY2(run.status == 0, qPrintable(run.err));
    }

    // Unchanged; named from another folder; one byte changed; a file gone.
    void filesChecked() {
        test::ProgramRun run = runCli({"verify", pdf_});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("matches %1\nmatches %2\n").arg(a_, b_));
        QVERIFY2(run.err.contains(QStringLiteral("All 2 file(s) match the report")),
                 qPrintable(run.err));

        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("copy")));
        const QString copyA = path(QStringLiteral("copy/a.sdm"));
        const QString copyB = path(QStringLiteral("copy/b.sdm"));
        QVERIFY(QFile::copy(a_, copyA) && QFile::copy(b_, copyB));
        run = runCli({"verify", "-q", pdf_, copyB, copyA});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("matches %1\nmatches %2\n").arg(copyA, copyB));
        QCOMPARE(run.err, QString());

        QByteArray changed = test::readAll(copyB);
        changed[changed.size() - 4] = '1';  // "62.0" becomes "62.1" in the last line
        QVERIFY(test::writeFile(copyB, changed));
        run = runCli({"verify", pdf_, copyA, copyB});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("matches %1\ndiffers %2\n").arg(copyA, copyB));
        QVERIFY2(run.err.contains(QStringLiteral("1 of 2 file(s) match the report: 1 changed, "
                                                 "0 missing")),
                 qPrintable(run.err));

        QVERIFY(QFile::remove(copyA));
        run = runCli({"verify", pdf_, copyB});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("missing %1\ndiffers %2\n").arg(a_, copyB));
    }

    // The keys, and the manifest's hash of a file.
    void json() {
        const QString gone = path(QStringLiteral("elsewhere/b.sdm"));
        const test::ProgramRun run = runCli({"verify", "--json", pdf_, a_, gone});
        QCOMPARE(run.status, 1);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.keys().join(u' '), QStringLiteral("all_match files format report"));
        QCOMPARE(json.value("all_match"), QJsonValue(false));
        QCOMPARE(json.value("format").toInt(), 1);
        const QJsonArray files = json.value("files").toArray();
        QCOMPARE(files.size(), 2);
        const QJsonObject first = files[0].toObject();
        QCOMPARE(first.keys().join(u' '), QStringLiteral("path result sha256 size"));
        QCOMPARE(first.value("result").toString(), QStringLiteral("matches"));
        QCOMPARE(first.value("size").toInteger(), test::readAll(a_).size());
        const test::ProgramRun sum = test::runToEnd("sha256sum", {a_});
        QCOMPARE(first.value("sha256").toString(), sum.out.left(64));
        QCOMPARE(files[1].toObject().value("result").toString(), QStringLiteral("missing"));
    }

    // A PDF without a manifest, and one that cannot be read: 2; no REPORT: 1.
    void failures() {
        const QString plain = path(QStringLiteral("plain.pdf"));
        const survey::ReportContent content =
            survey::reportContent(stats::readSurvey({a_}, QTimeZone::utc()), {});
        QCOMPARE(survey::writeSurveyReport(content, {}, plain), std::nullopt);
        test::ProgramRun run = runCli({"verify", plain});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("plain.pdf holds no manifest")),
                 qPrintable(run.err));
        QCOMPARE(run.out, QString());
        run = runCli({"verify", path(QStringLiteral("none.pdf"))});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("none.pdf cannot be read")), qPrintable(run.err));
        run = runCli({"verify"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("verify needs the REPORT.pdf")),
                 qPrintable(run.err));
    }

    // The Survey window's options as `report` words, read back by the command line's
    // parser: the same options (bounds in the hour the clocks repeat, by their offset).
    void windowCommandLine_data() {
        QTest::addColumn<int>("every");
        QTest::addColumn<bool>("events");
        QTest::addColumn<int>("nightStart");
        QTest::addColumn<double>("penalty");
        QTest::addColumn<double>("adjust");
        QTest::newRow("defaults") << 3600 << false << 23 << 5.0 << 0.0;
        QTest::newRow("events, 15 min") << 900 << true << 22 << 2.5 << -3.0;
        QTest::newRow("night from midnight") << 86400 << true << 24 << 0.0 << 1.5;
    }
    void windowCommandLine() {
        QFETCH(int, every);
        QFETCH(bool, events);
        QFETCH(int, nightStart);
        QFETCH(double, penalty);
        QFETCH(double, adjust);
        const QTimeZone london("Europe/London");
        stats::SurveyOptions options;
        options.periodLength = every;
        if (events) {
            options.events = stats::EventRule{72.5, 3, 10};
        }
        options.dayParts = {6, 18, nightStart, penalty, 10.0};
        // 01:30 to 01:45 on 2026-10-25, the second pass (after the clocks went back).
        const qint64 secondPass = 1792891800;  // 2026-10-25T01:30:00Z
        options.exclusions = {{1780300800, 1780304400}, {secondPass, secondPass + 900}};
        options.adjust = adjust;

        QStringList arguments{"--pdf", "r.pdf"};
        for (const auto& [name, value] : survey::reportOptionWords(options, london)) {
            arguments << QStringLiteral("--") + name << *value;
        }
        cli::ReportOptions flags;
        std::vector<cli::OptionRow> rows = cli::reportRows(flags);
        // --adjust, which the window's options hold, until report lists it itself.
        if (std::none_of(rows.begin(), rows.end(),
                         [](const cli::OptionRow& row) { return row.about.name == "adjust"; })) {
            rows.push_back(cli::surveyRow(QStringLiteral("adjust"), flags.survey));
        }
        const auto read = cli::readArguments("report", rows, cli::Operands::Files, arguments);
        QVERIFY2(read, qPrintable(read ? QString() : read.refusal().message));
        const auto back = cli::readSurveyOptions(flags.survey, events, london);
        QVERIFY2(back, qPrintable(back ? QString() : back.refusal().message));
        QCOMPARE(back->periodLength, options.periodLength);
        QCOMPARE(back->events.has_value(), events);
        if (events) {
            QCOMPARE(back->events->threshold, 72.5);
            QCOMPARE(back->events->minDuration, 3);
            QCOMPARE(back->events->bridge, 10);
        }
        QCOMPARE(back->dayParts.dayStart, 6);
        QCOMPARE(back->dayParts.eveningStart, 18);
        QCOMPARE(back->dayParts.nightStart, nightStart);
        QCOMPARE(back->dayParts.eveningPenalty, penalty);
        QCOMPARE(back->exclusions.size(), size_t(2));
        QCOMPARE(back->exclusions[1].from, secondPass);
        QCOMPARE(back->exclusions[1].to, secondPass + 900);
        QCOMPARE(back->exclusions[0].from, 1780300800);
        QCOMPARE(back->adjust, adjust);
    }
};

QTEST_MAIN(TestCliVerify)
#include "test_cli_verify.moc"
