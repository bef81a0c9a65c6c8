// The survey report as real PDFs read back with pdftotext (figures worked out in
// survey_rig.h); a report stopped leaves no file (a full disk, an unwritable folder and
// an older file's fate are the PDF document's: test_pdf_printout).
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "assess/manifest.h"
#include "files.h"
#include "program_run.h"
#include "records/record_file_reader.h"
#include "survey/report_command_line.h"
#include "survey/survey_report.h"
#include "survey_rig.h"

using namespace lp::survey;

namespace {

// The PDF's text without blanks (pdftotext lays out by glyph positions: blanks may come
// back fewer or more), and its number of pages; an empty text when pdftotext fails.
QString pdfText(const QString& pdf, int& pages) {
    const lp::test::ProgramRun run = lp::test::runToEnd("pdftotext", {"-layout", pdf, "-"}, 30000);
    if (run.status != 0) {
        return {};
    }
    pages = int(run.out.count(u'\f'));
    return QString(run.out).remove(u' ');
}

}  // namespace

class TestSurveyReport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QStringList files_;
    ReportContent content_;
    ReportOptions options_;

private slots:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
                 "pdftotext (poppler-utils) is needed: scripts/install-deps.sh");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        files_ = lp::test::writeSurveyFiles(dir_.path());
        QVERIFY(!files_.isEmpty());
        lp::stats::SurveyOptions options;
        options.events = lp::stats::EventRule{70.0, 0, 0};
        options.exclusions = {{lp::test::utcInstant(3), lp::test::utcInstant(4)}};
        // The afternoon first: the survey takes the files in time order.
        content_ =
            reportContent(lp::stats::readSurvey({files_[1], files_[0]}, QTimeZone::utc()), options);
        QVERIFY(!content_.result.failure);
        options_.pageSize = QPageSize(QPageSize::A4);
    }

    void textReadBack() {
        const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
        QCOMPARE(writeSurveyReport(content_, options_, pdf), std::nullopt);
        int pages = 0;
        const QString text = pdfText(pdf, pages);
        QVERIFY2(pages >= 2, qPrintable(text));
        const QStringList expected{
            QStringLiteral("Files afternoon.sdm, morning.sdm (in %1)")
                .arg(QDir::toNativeSeparators(dir_.path())),
            QStringLiteral("First record 2009-06-01 00:00:00"),
            QStringLiteral("Last record 2009-06-01 23:50:00"),
            QStringLiteral("Sampling interval S 600 s"),
            QStringLiteral("Records 144 read, 138 counted; 0 without a level, 0 without a time "
                           "stamp, 6 excluded"),
            QStringLiteral("Coverage 96 % of the time from the first record to the last"),
            QStringLiteral("Periods of 1 h from local midnight"),
            QStringLiteral("Events at or above 70.0 dB lasting at least 0 s; dips shorter than "
                           "0 s bridged"),
            QStringLiteral("Exclusions 2009-06-01 03:00:00 – 04:00:00"),
            QStringLiteral("Measured as weighting not known, response not known; as measured"),
            QStringLiteral("Levels Leq 63.0 dB, Lmax 80.0 dB, Lmin 40.0 dB"),
            // The 138 counted levels in order: 42 of 40.0, 24 of 50.0, 70 of 60.0, 2 of
            // 80.0. L1 lies at 0.99 · 137 = 135.63: 60.0 + 0.63 · (80.0 − 60.0) = 72.6
            // (the histogram's class rule would give 60.0).
            QStringLiteral("L(00) 80.0 72.6 60.0 60.0 60.0 60.0 60.0 60.0 60.0 60.0"),
            QStringLiteral("2009-06-01 12:00 13:00 6 100 % 75.3 80.0 60.0 80.0 60.0 60.0"),
            QStringLiteral("2009-06-01 03:00 04:00 0 0 % — — — — — —"),
            QStringLiteral("Whole survey 65.7 50.0 40.0 62.9"),
            QStringLiteral("Whole survey: Lden 62.9 dB (Lday 65.7 dB, Levening 50.0 dB, "
                           "Lnight 40.0 dB)"),
            QStringLiteral("1 2009-06-01 12:00:00 12:20:00 1,200 80.0 80.0 110.8"),
            QStringLiteral("Page 1 of %1").arg(pages), QStringLiteral("Page %1 of %1").arg(pages)};
        for (const QString& line : expected) {
            QVERIFY2(text.contains(QString(line).remove(u' ')), qPrintable(line));
        }
    }

    // The assessment sections: each method's heading, method statement and figures.
    // Background over hours (day 07-23, night 23-07): the day's 16 LA90,1h are 12 of
    // 60.0 (the hour from 12:00 holds 80, 80 and four 60: its 10th percentile is 60.0)
    // and 4 of 50.0: mode 60, median 60.0, p10 at 0.1 · 15 = 1.5 among them in order:
    // 50.0. The night's hour from 03:00 is excluded, so not covered: 7 used, 1 skipped,
    // all 40.0. The limit LAeq,1h 70 over 07-19: 12 judged, the hour from 12:00 fails,
    // 70 − 75.3 = −5.3. WHO road: Lden 62.9 above 53, Lnight 40.0 not above 45.
    // Exposure over the one day: Te = 138 × 600 s = 23 h; the counted energy
    // 42·10^4 + 24·10^5 + 70·10^6 + 2·10^8 = 272,820,000 over 138 is 62.96 dB, LEX,8h =
    // 62.96 + 10·lg(23 / 8) = 62.96 + 4.59 = 67.5; dose 100·10^(−1.745) = 1.8 %.
    // Rating with Lr 50.0, a tonal 2 dB and the background 45.0: the day's hour from
    // 12:00 has La 75.3, Δ = 25.3 ≥ 10, so Ls = 75.3 and LAr = 77.3, the highest;
    // D = 77.3 − 45.0 = 32.3 ≥ 10. An hour of 60.0 has Δ = 10: Ls = 60.0, LAr = 62.0;
    // an evening hour of 50.0 has Δ = 0 < 3: no Ls.
    // Loud events at or above 70.0: the one from 12:00 starts in the day (07-19); the
    // night of June 1 (23:00-23:50) holds six windows of 600 s, all 40.0: its 3rd
    // highest is 40.0.
    void assessmentsReadBack() {
        ReportAssessments assessments;
        lp::assess::BackgroundOptions background;
        background.interval = 3600;
        assessments.backgroundOptions = background;
        lp::assess::LimitOptions limits;
        limits.rules = {
            {lp::assess::LimitFigure::Laeq, 3600, 7, 19, 70.0, QStringLiteral("laeq,1h,07-19,70")}};
        limits.guideline = lp::assess::Guideline::Road;
        assessments.limitOptions = limits;
        lp::assess::RatingOptions rating;
        rating.residualLevel = 50.0;
        rating.backgroundLevel = 45.0;
        rating.corrections = {{lp::assess::CorrectionKind::Tonal, 2.0, QStringLiteral("a hum")}};
        assessments.ratingOptions = rating;
        assessments.exposureOptions = lp::assess::ExposureOptions{};
        lp::assess::LoudEventOptions loud;
        loud.window = 600;
        loud.nth = 3;
        assessments.loudEventOptions = loud;
        lp::stats::SurveyOptions options = content_.options;
        const ReportContent content =
            reportContent(lp::stats::readSurvey(files_, QTimeZone::utc()), options, assessments);
        const QString pdf = dir_.filePath(QStringLiteral("assessed.pdf"));
        QCOMPARE(writeSurveyReport(content, options_, pdf), std::nullopt);
        int pages = 0;
        const QString text = pdfText(pdf, pages);
        const QStringList expected{QStringLiteral("Assessment: background sound level"),
                                   QStringLiteral("day 07-23 16 0 60.0 60.0 50.0 60.0"),
                                   QStringLiteral("night 23-07 7 1 40.0 40.0 40.0 40.0"),
                                   QStringLiteral("Histogram of L90,1h, night 23-07"),
                                   QStringLiteral("Assessment: rating level"),
                                   QStringLiteral("tonal 2.0 dB (a hum)"),
                                   QStringLiteral("day 07-23 1 h"),
                                   QStringLiteral("77.3 2009-06-01 12:00 45.0 32.3"),
                                   QStringLiteral("2009-06-01 12:00:00 – 13:00:00 75.3 75.3 77.3"),
                                   QStringLiteral("2009-06-01 10:00:00 – 11:00:00 60.0 60.0 62.0"),
                                   QStringLiteral("Assessment: noise at work"),
                                   QStringLiteral("LEX,8h = Leq,Te + 10·lg(Te / 8 h)"),
                                   QStringLiteral("Mon 2009-06-01 23.00 63.0 67.5 1.8 below the "
                                                  "lower action value"),
                                   QStringLiteral("Assessment: loud events"),
                                   QStringLiteral("Mon 2009-06-01 1 0 0 40.0"),
                                   QStringLiteral("Assessment: limits by time of day"),
                                   QStringLiteral("margin = limit − figure"),
                                   QStringLiteral("laeq,1h,07-19,70 12 0 1 -5.3 2009-06-01 12:00"),
                                   QStringLiteral("2009-06-01 12:00:00 – 13:00:00 75.3 -5.3"),
                                   QStringLiteral("Lden 62.9 53.0 above"),
                                   QStringLiteral("Lnight 40.0 45.0 not above")};
        for (const QString& line : expected) {
            QVERIFY2(text.contains(QString(line).remove(u' ')), qPrintable(line));
        }
    }

    // With a manifest: its page last (the hash in two halves), the same manifest in the
    // PDF's metadata and as the attached manifest.json, as poppler reads them.
    void manifestPageAndMetadata() {
        lp::assess::Manifest manifest;
        manifest.program = QStringLiteral("levelpanel-cli");
        manifest.version = QStringLiteral("9.8.7");
        manifest.commandLine = {QStringLiteral("levelpanel-cli"),
                                QStringLiteral("report"),
                                QStringLiteral("--above"),
                                QStringLiteral("70"),
                                files_[1],
                                files_[0]};
        manifest.options = {{QStringLiteral("above"), QStringLiteral("70")}};
        const auto hashed = lp::assess::hashedFiles({files_[1], files_[0]});
        QVERIFY(std::holds_alternative<std::vector<lp::assess::ManifestFile>>(hashed));
        manifest.files = std::get<0>(hashed);
        ReportContent content = content_;
        content.manifest = manifest;
        const QString pdf = dir_.filePath(QStringLiteral("manifest.pdf"));
        QCOMPARE(writeSurveyReport(content, options_, pdf), std::nullopt);

        int pages = 0;
        const QString all = pdfText(pdf, pages);
        const QString last = all.split(u'\f').at(pages - 1);
        const QString sha = manifest.files[0].sha256;
        for (const QString& line :
             {QStringLiteral("Manifest"), QStringLiteral("Program levelpanel-cli 9.8.7"),
              QStringLiteral("levelpanel-cli report --above 70"), QStringLiteral("--above 70"),
              QStringLiteral("afternoon.sdm"), sha.left(32), sha.mid(32),
              QStringLiteral("Page %1 of %1").arg(pages)}) {
            QVERIFY2(last.contains(QString(line).remove(u' ')), qPrintable(line + u'\n' + last));
        }

        const std::optional<lp::assess::Manifest> back =
            lp::assess::manifestInPdf(lp::test::readAll(pdf));
        QVERIFY(back);
        QCOMPARE(back->version, manifest.version);
        QCOMPARE(back->files.size(), size_t(2));
        QCOMPARE(back->files[1].sha256, manifest.files[1].sha256);
        const QString info = lp::test::runToEnd("pdfinfo", {"-meta", pdf}).out;
        QVERIFY2(info.contains(QStringLiteral("levelpanel-cli 9.8.7")), qPrintable(info));

        const QString attached = dir_.filePath(QStringLiteral("attached.json"));
        QCOMPARE(lp::test::runToEnd("pdfdetach", {"-save", "1", "-o", attached, pdf}).status, 0);
        QVERIFY2(QString::fromUtf8(lp::test::readAll(attached)).contains(sha),
                 lp::test::readAll(attached).constData());
    }

    // Records held in memory (a downloaded set): the report names them as its source,
    // and its manifest lists them by name with no size and no hash.
    void heldRecordsAsSource() {
        auto store = std::make_shared<lp::records::RecordStore>();
        QVERIFY(!lp::records::loadRecordFile(files_[0], *store).error);
        const lp::stats::SurveyRecords held = lp::stats::readHeldSurvey(
            store, QStringLiteral("Set 3 from the meter"), std::nullopt, QTimeZone::utc());
        ReportContent content = reportContent(held, lp::stats::SurveyOptions{});
        const QString pdf = dir_.filePath(QStringLiteral("held.pdf"));
        auto manifest = windowReportManifest(QStringLiteral("levelpanel"), held,
                                             lp::stats::SurveyOptions{}, pdf);
        QVERIFY(std::holds_alternative<lp::assess::Manifest>(manifest));
        content.manifest = std::get<lp::assess::Manifest>(manifest);
        QCOMPARE(content.manifest->commandLine.last(), QStringLiteral("Set 3 from the meter"));
        QCOMPARE(writeSurveyReport(content, options_, pdf), std::nullopt);

        int pages = 0;
        const QString text = pdfText(pdf, pages);
        for (const QString& line :
             {QStringLiteral("Source Set 3 from the meter (held in memory, never saved to a file)"),
              QStringLiteral("Set 3 from the meter 0 (never saved: not hashed)")}) {
            QVERIFY2(text.contains(QString(line).remove(u' ')), qPrintable(line + u'\n' + text));
        }
        const std::optional<lp::assess::Manifest> back =
            lp::assess::manifestInPdf(lp::test::readAll(pdf));
        QVERIFY(back && back->files.size() == 1);
        QCOMPARE(back->files[0].path, QStringLiteral("Set 3 from the meter"));
        QVERIFY(back->files[0].sha256.isEmpty());
    }

    // Stopped part way: no file appears.
    void stopped() {
        QTemporaryDir dir;
        ReportOptions options = options_;
        int pages = 0;
        options.keepGoing = [&pages] { return ++pages < 2; };
        QCOMPARE(writeSurveyReport(content_, options, dir.filePath(QStringLiteral("report.pdf"))),
                 std::optional(kReportStopped));
        QCOMPARE(pages, 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestSurveyReport)
#include "test_survey_report.moc"
