// The Survey window's wiring over survey_rig.h: settings reach the figures, a drag
// excludes a span (Undo), Enter plots a period or event, "Report…" writes or tells,
// the options are remembered and profiles saved, chosen and deleted.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "assess/manifest.h"
#include "files.h"
#include "keys.h"
#include "scripted_dialogs.h"
#include "survey/assessment_background_panel.h"
#include "survey/assessment_tab.h"
#include "survey/exclusion_panel.h"
#include "survey/figure_table_model.h"
#include "survey/profile_chooser.h"
#include "survey/survey_chart.h"
#include "survey/survey_controls.h"
#include "survey/survey_window.h"
#include "survey_rig.h"
#include "temp_settings.h"

using namespace lp;
using survey::SurveyWindow;

namespace {

struct PlotCall {
    QStringList stamps;  // the records' date-time texts
    QString title;
};

}  // namespace

class TestSurveyWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QStringList files_;
    test::ScriptedDialogs dialogs_;
    std::vector<PlotCall> plots_;
    std::unique_ptr<test::TempSettings> settings_;
    std::unique_ptr<SurveyWindow> window_;

    // A window on the survey with the settings of `settings_`.
    void open() {
        window_ = std::make_unique<SurveyWindow>(
            stats::readSurvey(files_, QTimeZone::utc()), dialogs_, *settings_,
            [this](const records::RecordStore& records, const QString& title, QWidget*) {
                PlotCall call{{}, title};
                for (qsizetype i = 0; i < records.count(); ++i) {
                    call.stamps << records.text(i, records::Field::DateTime);
                }
                plots_.push_back(call);
            });
        window_->show();
    }

    void pressEnterOn(QTableView* table, int row) {
        table->setFocus();
        table->setCurrentIndex(table->model()->index(row, 0));
        QTest::keyClick(table, Qt::Key_Return);
    }

private slots:
    void initTestCase() {
        files_ = test::writeSurveyFiles(dir_.path());
        QVERIFY(!files_.isEmpty());
    }

    void init() {
        plots_.clear();
        dialogs_.shown.clear();
        window_.reset();
        settings_ = std::make_unique<test::TempSettings>();
        open();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void keysRunCommands_data() { test::keyRows({{"Ctrl+P", "Report"}, {"Ctrl+W", "CloseKeys"}}); }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        QCOMPARE(test::runsOnKeys(*window_, command, keys), 1);
    }

    // What is set is shown again in a window opened later on the same settings file. A
    // profile saved under a name sets every option when chosen; an option changed
    // after that leaves it unchosen; Delete removes its file.
    void optionsRememberedAndProfiles() {
        survey::SurveyControls* controls = window_->controls();
        QComboBox* typical = window_->assessmentTab()->backgroundPanel()->typicalCombo();
        controls->periodCombo()->setCurrentIndex(
            controls->periodCombo()->findText(QStringLiteral("15 min")));
        controls->adjustSpin()->setValue(-3.0);
        typical->setCurrentIndex(typical->findText(QStringLiteral("Median")));
        survey::ProfileChooser* chooser = window_->profileChooser();
        dialogs_.inputs = {QStringLiteral("client")};
        chooser->saveButton()->click();
        const QString file = settings_->folder.filePath(QStringLiteral("profiles/client.json"));
        QVERIFY2(QFile::exists(file), qPrintable(dialogs_.messages().join(u'\n')));
        QCOMPARE(chooser->combo()->currentText(), "client");

        open();  // the same settings file: the options come back, the profile chosen
        controls = window_->controls();
        chooser = window_->profileChooser();
        QCOMPARE(window_->options().periodLength, 900);
        QCOMPARE(window_->options().adjust, -3.0);
        QCOMPARE(window_->assessmentTab()->backgroundPanel()->typicalCombo()->currentText(),
                 "Median");
        QCOMPARE(chooser->combo()->currentText(), "client");

        controls->periodCombo()->setCurrentIndex(
            controls->periodCombo()->findText(QStringLiteral("1 h")));
        QCOMPARE(chooser->combo()->currentIndex(), 0);  // (none): not the profile's options
        QCOMPARE(window_->periodTable()->model()->rowCount(), 24);
        chooser->combo()->setFocus();
        QTest::keyClick(chooser->combo(), Qt::Key_Down);  // the keyboard chooses it
        QCOMPARE(chooser->combo()->currentText(), "client");
        QCOMPARE(window_->periodTable()->model()->rowCount(), 96);
        const auto saved = assess::readProfile(file);
        QVERIFY(std::holds_alternative<assess::ReadProfile>(saved));
        QVERIFY(window_->profile() == std::get<assess::ReadProfile>(saved).profile);

        dialogs_.asks = {true};
        chooser->deleteButton()->click();
        QVERIFY(!QFile::exists(file));
        QCOMPARE(chooser->combo()->count(), 1);
    }

    void settingsReachFigures() {
        QCOMPARE(window_->periodTable()->model()->rowCount(), 24);
        survey::SurveyControls* controls = window_->controls();
        controls->periodCombo()->setCurrentIndex(
            controls->periodCombo()->findText(QStringLiteral("15 min")));
        QCOMPARE(window_->periodTable()->model()->rowCount(), 96);

        const QString lden = window_->ldenLabel()->accessibleDescription();
        QVERIFY2(lden.contains(QLatin1String("62.9")), qPrintable(lden));
        controls->dayStartSpin()->setValue(8);  // 07:00 to 08:00 (40 dB... 60 dB) is night now
        QVERIFY(window_->ldenLabel()->accessibleDescription() != lden);
        QCOMPARE(window_->ldenLabel()->text(), window_->ldenLabel()->accessibleDescription());

        controls->thresholdSpin()->setValue(70.0);
        QCOMPARE(window_->eventTable()->model()->rowCount(), 1);
        controls->eventsCheck()->setChecked(false);
        QCOMPARE(window_->eventTable()->model()->rowCount(), 0);
    }

    // The level correction is a control like the others: the figures and the summary
    // follow it at once (Lden 62.9 dB less 3). The headings follow the period length.
    void adjustReachesFigures() {
        auto* adjust = window_->findChild<QDoubleSpinBox*>(QStringLiteral("adjust"));
        QVERIFY(adjust);
        QCOMPARE(adjust, window_->controls()->adjustSpin());
        QVERIFY(!adjust->accessibleName().isEmpty());
        QCOMPARE(QString::number(adjust->minimum()) + u' ' + QString::number(adjust->maximum()) +
                     u' ' + QString::number(adjust->singleStep()),
                 "-30 30 0.1");
        adjust->setValue(-3.0);
        const QString lden = window_->ldenLabel()->accessibleDescription();
        QVERIFY2(lden.startsWith(QLatin1String("Lden 59.9 dB")), qPrintable(lden));
        const QString summary = window_->summaryLabel()->accessibleDescription();
        QVERIFY2(summary.contains(QLatin1String("every level adjusted by -3.0 dB")),
                 qPrintable(summary));
        QAbstractItemModel* periods = window_->periodTable()->model();
        QCOMPARE(periods->headerData(4, Qt::Horizontal).toString(), "Leq,1h");
        window_->controls()->periodCombo()->setCurrentIndex(
            window_->controls()->periodCombo()->findText(QStringLiteral("15 min")));
        QCOMPARE(periods->headerData(4, Qt::Horizontal).toString(), "Leq,15min");
    }

    // What the files' metadata says labels the tables; states that differ are told in
    // the status line.
    void metadataLabelsAndWarns() {
        const QByteArray run =
            R"({"run":1,"header_line":1,"weighting":"A","response":"F","range":null})";
        QVERIFY(test::writeFile(files_[0] + ".meta", run));
        QVERIFY(test::writeFile(files_[1] + ".meta",
                                run + "\n" + R"({"line":30,"weighting":"C","response":"F"})"));
        SurveyWindow window(stats::readSurvey(files_, QTimeZone::utc()), dialogs_, *settings_, {});
        QFile::remove(files_[0] + ".meta");
        QFile::remove(files_[1] + ".meta");
        QCOMPARE(window.eventTable()->model()->headerData(4, Qt::Horizontal).toString(), "LFmax");
        const QString status =
            window.findChild<QLabel*>(QStringLiteral("statusLabel"))->accessibleDescription();
        QVERIFY2(status.contains(QLatin1String("C weighting in afternoon.sdm from line 30")),
                 qPrintable(status));
    }

    void dragExcludesAndUndoTakesBack() {
        survey::SurveyChart* chart = window_->chart();
        const int y = chart->viewport()->height() / 2;
        const int from = chart->viewportXOf(test::utcInstant(3));
        const int to = chart->viewportXOf(test::utcInstant(5));
        QTest::mousePress(chart->viewport(), Qt::LeftButton, {}, QPoint(from, y));
        QTest::mouseMove(chart->viewport(), QPoint(to, y));
        QTest::mouseRelease(chart->viewport(), Qt::LeftButton, {}, QPoint(to, y));
        QCOMPARE(window_->options().exclusions.size(), size_t(1));
        const stats::TimeRange span = window_->options().exclusions.front();
        // Within a pixel's worth of time of the dragged span.
        QVERIFY(qAbs(span.from - test::utcInstant(3)) < 600);
        QVERIFY(qAbs(span.to - test::utcInstant(5)) < 600);
        QVERIFY(window_->result().excluded >= 11);
        QVERIFY(window_->undoAction()->isEnabled());

        QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(window_->options().exclusions.empty());
        QCOMPARE(window_->result().excluded, 0);
        QVERIFY(!window_->undoAction()->isEnabled());
    }

    void enterOpensThePlot() {
        pressEnterOn(window_->periodTable(), 12);
        QCOMPARE(plots_.size(), size_t(1));
        QCOMPARE(plots_[0].stamps.size(), 6);
        QCOMPARE(plots_[0].stamps.front(), QStringLiteral("2009/06/01 12:00:00"));
        QVERIFY2(plots_[0].title.contains(QLatin1String("12:00")), qPrintable(plots_[0].title));

        window_->controls()->thresholdSpin()->setValue(70.0);
        pressEnterOn(window_->eventTable(), 0);
        QCOMPARE(plots_.size(), size_t(2));
        QCOMPARE(plots_[1].stamps, (QStringList{"2009/06/01 12:00:00", "2009/06/01 12:10:00"}));
    }

    // Times typed whole into the exclusion panel, reached by Tab as a user would, are
    // the span added (the stock time edit took "13:10:00" as 13:00:10). A section full
    // before its separator ("6" of a month) moves on by itself.
    void typedTimesAreExcluded_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("span");  // as the edits should read back
        QTest::newRow("every digit") << "2026-12-04 13:10:00"
                                     << "2026-12-04 13:40:30"
                                     << "2026-12-04 13:10:00/2026-12-04 13:40:30";
        QTest::newRow("short sections") << "2009-6-1 3:5:9"
                                        << "2009-6-1 23:0:0"
                                        << "2009-06-01 03:05:09/2009-06-01 23:00:00";
    }
    void typedTimesAreExcluded() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        survey::ExclusionPanel* panel = window_->exclusionPanel();
        QFETCH(QString, from);
        QFETCH(QString, to);
        for (const auto& [edit, typed] :
             {std::pair{panel->fromEdit(), from}, std::pair{panel->toEdit(), to}}) {
            edit->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(edit, typed);
        }
        QTest::mouseClick(panel->addButton(), Qt::LeftButton);
        QCOMPARE(window_->options().exclusions.size(), size_t(1));
        const stats::TimeRange span = window_->options().exclusions.front();
        const auto text = [](qint64 t) {
            return QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc())
                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        };
        QTEST(text(span.from) + u'/' + text(span.to), "span");
    }

    void reportCommand() {
        const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
        dialogs_.saveNames = {pdf, QStringLiteral("/nonexistent-dir/report.pdf")};
        window_->reportAction()->trigger();
        QVERIFY(test::readAll(pdf).startsWith("%PDF"));
        QVERIFY(dialogs_.messages().isEmpty());
        // The manifest made from the window's files and options.
        const std::optional<assess::Manifest> manifest = assess::manifestInPdf(test::readAll(pdf));
        QVERIFY(manifest);
        QCOMPARE(manifest->files.size(), size_t(2));
        QCOMPARE(manifest->files[0].path, QFileInfo(files_[0]).absoluteFilePath());
        QVERIFY2(manifest->commandLine.join(u' ').contains(QStringLiteral("report --pdf %1 --every "
                                                                          "1h --above 85")
                                                               .arg(pdf)),
                 qPrintable(manifest->commandLine.join(u' ')));

        window_->reportAction()->trigger();
        QCOMPARE(dialogs_.messages().size(), 1);
        QVERIFY2(dialogs_.messages().front().contains(QLatin1String("/nonexistent-dir/report.pdf")),
                 qPrintable(dialogs_.messages().front()));
    }
};

QTEST_MAIN(TestSurveyWindow)
#include "test_survey_window.moc"
