// The Survey window's Assessment tab over survey_rig.h: the method chosen shows its
// panel, an input or the window's exclusions change a figure shown, files chosen in the
// open dialog are used, and every control is named. The figures are each method's
// own, tested with it; here they only show that the wiring carries each change.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "face.h"
#include "files.h"
#include "records/record_format.h"
#include "scripted_dialogs.h"
#include "stats/figure_text.h"
#include "survey/assessment_background_panel.h"
#include "survey/assessment_events_panel.h"
#include "survey/assessment_exposure_panel.h"
#include "survey/assessment_files.h"
#include "survey/assessment_histogram.h"
#include "survey/assessment_limits_panel.h"
#include "survey/assessment_rating_panel.h"
#include "survey/assessment_tab.h"
#include "survey/survey_controls.h"
#include "survey/survey_window.h"
#include "survey_rig.h"
#include "temp_settings.h"

using namespace lp;
using survey::AssessmentMethod;

Q_DECLARE_METATYPE(AssessmentMethod)

namespace {

// The text of a cell of a panel's table.
QString cell(const survey::AssessmentPanel* panel, int table, int row, int column) {
    const QAbstractItemModel* model = panel->table(table)->model();
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
}

// The row of a table whose first cell is `first`; -1 when none is.
int rowOf(const survey::AssessmentPanel* panel, int table, const QString& first) {
    for (int row = 0; row < panel->table(table)->model()->rowCount(); ++row) {
        if (cell(panel, table, row, 0) == first) {
            return row;
        }
    }
    return -1;
}

}  // namespace

class TestAssessmentTab : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QStringList files_;
    test::ScriptedDialogs dialogs_;
    std::unique_ptr<test::TempSettings> settings_;
    std::unique_ptr<survey::SurveyWindow> window_;

    survey::AssessmentTab* tab() const { return window_->assessmentTab(); }

    void choose(AssessmentMethod method) {
        window_->tableTabs()->setCurrentWidget(tab());
        QComboBox* combo = tab()->methodCombo();
        combo->setCurrentIndex(combo->findData(int(method)));
    }

private slots:
    void initTestCase() {
        files_ = test::writeSurveyFiles(dir_.path());
        QVERIFY(!files_.isEmpty());
    }

    void init() {
        dialogs_.shown.clear();
        window_.reset();
        settings_ = std::make_unique<test::TempSettings>();
        window_ = std::make_unique<survey::SurveyWindow>(
            stats::readSurvey(files_, QTimeZone::utc()), dialogs_, *settings_,
            [](const records::RecordStore&, const QString&, QWidget*) {});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void face_data() {
        // A combo box reads as its current text (Qt on Linux names it by its label).
        test::faceRows({"methodCombo|Background sound level",
                        "minCoverageSpin|75 %|Least coverage of an interval", "typicalCombo|Mode",

                        "rblCheck|NSW &RBL|NSW rating background level"});
    }
    void face() {
        choose(AssessmentMethod::Background);
        test::checkFace(*window_);
    }

    // Each method's panel comes up when chosen, and none of its controls is unnamed.
    void methodShowsItsPanel_data() {
        QTest::addColumn<AssessmentMethod>("method");
        QTest::newRow("background") << AssessmentMethod::Background;
        QTest::newRow("rating") << AssessmentMethod::Rating;
        QTest::newRow("exposure") << AssessmentMethod::Exposure;
        QTest::newRow("events") << AssessmentMethod::Events;
        QTest::newRow("limits") << AssessmentMethod::Limits;
    }
    void methodShowsItsPanel() {
        QFETCH(AssessmentMethod, method);
        choose(method);
        QVERIFY(tab()->panel(method)->isVisible());
        QCOMPARE(tab()->method(), method);
        const QStringList unnamed = test::unnamedControls(*window_);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    }

    // A residual survey chosen in the open dialog, 50.0 dB through the day: the day's Lr
    // is 50.0. A file that cannot be read is told, and the files chosen before stay.
    void residualFilesAreUsed() {
        QByteArray bytes = records::kHeaderLine.toByteArray();
        for (int minute = 7 * 60, no = 1; minute < 23 * 60; minute += 10, ++no) {
            const QByteArray stamp = QDateTime(QDate(2009, 6, 1), QTime(minute / 60, minute % 60))
                                         .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                                         .toLatin1();
            records::appendRecordLine(bytes, QByteArray::number(no), stamp, "50.0");
        }
        const QString residual = dir_.filePath(QStringLiteral("residual.sdm"));
        QVERIFY(test::writeFile(residual, bytes));
        choose(AssessmentMethod::Rating);
        survey::AssessmentRatingPanel* panel = tab()->ratingPanel();
        const int day = rowOf(panel, 0, QStringLiteral("Day"));
        QCOMPARE(cell(panel, 0, day, 2), stats::kNoValue);

        dialogs_.openNames = {residual, dir_.filePath(QStringLiteral("missing.sdm"))};
        QTest::mouseClick(panel->residualFiles()->chooseButton(), Qt::LeftButton);
        QCOMPARE(cell(panel, 0, day, 2), QStringLiteral("50.0"));
        QTest::mouseClick(panel->residualFiles()->chooseButton(), Qt::LeftButton);
        QCOMPARE(dialogs_.messages().size(), 1);
        QVERIFY2(dialogs_.messages().front().contains(QLatin1String("missing.sdm")),
                 qPrintable(dialogs_.messages().front()));
        QCOMPARE(panel->residualFiles()->namesLabel()->text(), QStringLiteral("residual.sdm"));
        QCOMPARE(cell(panel, 0, day, 2), QStringLiteral("50.0"));
    }

    // 1 h intervals: the day's L90s are twelve of 60 dB (07 to 19 h) and four of 50 dB, so
    // the mode is 60.0 and the 10th percentile (rank 1.5 of 16) 50.0.
    void backgroundFollowsItsInputs() {
        choose(AssessmentMethod::Background);
        survey::AssessmentBackgroundPanel* panel = tab()->backgroundPanel();
        panel->intervalCombo()->setCurrentIndex(panel->intervalCombo()->findText("1 h"));
        const int day = rowOf(panel, 0, QStringLiteral("Day"));
        QCOMPARE(cell(panel, 0, day, 7), QStringLiteral("60.0"));
        panel->typicalCombo()->setCurrentIndex(panel->typicalCombo()->findText("10th percentile"));
        QCOMPARE(cell(panel, 0, day, 7), QStringLiteral("50.0"));
        const QString line = panel->resultLabel()->accessibleDescription();
        QVERIFY2(line.contains(QLatin1String("day 50.0 dB")), qPrintable(line));
        QCOMPARE(panel->resultLabel()->text(), line);
        const QString bars = panel->histogram()->accessibleDescription();
        QVERIFY2(bars.startsWith(QLatin1String("day: 50 dB: 4, 60 dB: 12; night: 40 dB: 8")),
                 qPrintable(bars));
    }

    // The day holds 144 records: 2 of 80, 70 of 60, 24 of 50 and 48 of 40 dB, so LAeq,Te
    // = 10 lg(272.88e6 / 144) = 62.8 dB over Te = 24 h, LEX,8h = 62.776 + 10 lg 3 = 67.5.
    // Declared Te 8 h: LEX,8h = LAeq,Te = 62.8. Without 12:00 to 12:20 (the two 80s)
    // LAeq,Te = 10 lg(72.88e6 / 142) = 57.1; with the window's correction of -3 dB, 54.1.
    void exposureFollowsTeExclusionsAndCorrection() {
        choose(AssessmentMethod::Exposure);
        survey::AssessmentExposurePanel* panel = tab()->exposurePanel();
        const int day = rowOf(panel, 0, QStringLiteral("2009-06-01"));
        QCOMPARE(cell(panel, 0, day, 3), QStringLiteral("67.5"));
        panel->teCheck()->setChecked(true);
        QCOMPARE(cell(panel, 0, day, 3), QStringLiteral("62.8"));
        window_->exclude({test::utcInstant(12), test::utcInstant(12, 20)});
        QCOMPARE(cell(panel, 0, rowOf(panel, 0, QStringLiteral("2009-06-01")), 3),
                 QStringLiteral("57.1"));
        window_->controls()->adjustSpin()->setValue(-3.0);  // every level 3 dB lower
        QCOMPARE(cell(panel, 0, rowOf(panel, 0, QStringLiteral("2009-06-01")), 3),
                 QStringLiteral("54.1"));
    }

    // One event reaches 70 dB (12:00 to 12:20), in the day; none reaches 85.
    void eventsFollowTheirLevel() {
        choose(AssessmentMethod::Events);
        survey::AssessmentEventsPanel* panel = tab()->eventsPanel();
        panel->aboveSpin()->setValue(70.0);
        const int day = rowOf(panel, 0, QStringLiteral("2009-06-01"));
        QCOMPARE(cell(panel, 0, day, 1), QStringLiteral("1"));
        panel->aboveSpin()->setValue(85.0);
        QCOMPARE(cell(panel, 0, day, 1), QStringLiteral("0"));
    }

    // The first rule, laeq,1h,07-23,55: the twelve hours from 07:00 (60 dB and more) fail,
    // the four from 19:00 (50 dB) pass; at 76 dB none fails (12:00 is 75.3).
    void limitsFollowTheirRules() {
        choose(AssessmentMethod::Limits);
        survey::AssessmentLimitsPanel* panel = tab()->limitsPanel();
        QCOMPARE(cell(panel, 0, 0, 3), QStringLiteral("12"));
        panel->rulesTable()->item(0, 3)->setText(QStringLiteral("76"));
        QCOMPARE(cell(panel, 0, 0, 3), QStringLiteral("0"));
        panel->rulesTable()->item(0, 2)->setText(QStringLiteral("7-"));
        QVERIFY2(panel->resultLabel()->text().startsWith(QLatin1String("Rule 1: the hours")),
                 qPrintable(panel->resultLabel()->text()));
    }

    // A limit rule from its row's texts, as the rule or why it cannot be used.
    void limitRuleFromItsRow_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("read");  // "figure length from to db", or the problem
        QTest::newRow("night") << QStringList{"laeq", "15 min", "23-07", "45"}
                               << "laeq 900 23 7 45";
        QTest::newRow("as typed") << QStringList{" LMax ", "1h", "7-23", "60.5"}
                                  << "lmax 3600 7 23 60.5";
        QTest::newRow("to midnight")
            << QStringList{"l90", "30 min", "19-24", "40"} << "l90 1800 19 24 40";
        QTest::newRow("figure") << QStringList{"l50", "1 h", "7-23", "55"}
                                << "the figure is laeq, lmax, l10 or l90";
        QTest::newRow("length") << QStringList{"laeq", "7 min", "7-23", "55"}
                                << "the length is one of the period lengths (15 min, 1 h, …)";
        QTest::newRow("no hours") << QStringList{"laeq", "1 h", "23-23", "55"}
                                  << "the hours are FROM-TO, such as 23-07";
        QTest::newRow("from 24") << QStringList{"laeq", "1 h", "24-07", "55"}
                                 << "the hours are FROM-TO, such as 23-07";
        QTest::newRow("level") << QStringList{"laeq", "1 h", "7-23", "loud"}
                               << "the limit is a level in dB, such as 45";
    }
    void limitRuleFromItsRow() {
        QFETCH(QStringList, cells);
        const auto rule = survey::limitRuleOf(cells[0], cells[1], cells[2], cells[3]);
        const auto* r = std::get_if<assess::LimitRule>(&rule);
        QTEST(r ? QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(assess::limitFigureName(r->figure))
                      .arg(r->length)
                      .arg(r->from)
                      .arg(r->to)
                      .arg(r->db)
                : std::get<QString>(rule),
              "read");
    }
};

QTEST_MAIN(TestAssessmentTab)
#include "test_assessment_tab.moc"
