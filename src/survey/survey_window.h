// The Survey window: one or more record files analysed as one survey. The time
// history (SurveyChart), the Lden line, three tables (periods; day, evening and night;
// events) and the Assessment tab (AssessmentTab) follow the settings (SurveyControls)
// and the excluded spans (ExclusionPanel, or a drag across the chart) at once: the
// records are read once, and every change works the figures out again from them.
//
// Changes to the exclusions can be undone (Undo, Ctrl+Z). Enter or a double click on a
// period or an event opens the record plot on its records, read again from the files.
// "Report…" writes the survey report (PDF) to a file chosen in the save dialog.
//
// The options (the survey's and the assessments', assess/profile.h) are remembered in
// the settings file the window is given, and shown again at the next opening; the
// profile chooser (ProfileChooser) saves them as a profile in the profiles folder
// beside that file, or sets them all from one.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "assess/profile.h"
#include "records/record_store.h"
#include "stats/survey.h"

class QAction;
class QLabel;
class QSettings;
class QTabWidget;
class QTableView;
class QToolBar;

namespace lp::platform {
class Dialogs;
}

namespace lp::survey {

class AssessmentTab;
class ExclusionPanel;
class FigureTableModel;
class ProfileChooser;
class SurveyChart;
class SurveyControls;

// Opens the record plot of `records` titled `title`, beside `opener`.
using PlotOpener =
    std::function<void(const records::RecordStore& records, const QString& title, QWidget* opener)>;

class SurveyWindow : public QWidget {
    Q_OBJECT
public:
    // `records` is a survey read without error; `settings` keeps what the window
    // remembers (its profiles are in the profiles folder beside it).
    SurveyWindow(stats::SurveyRecords records, platform::Dialogs& dialogs, QSettings& settings,
                 PlotOpener openPlot, QWidget* parent = nullptr);
    ~SurveyWindow() override;

    [[nodiscard]] const stats::SurveyOptions& options() const { return options_; }
    [[nodiscard]] const stats::SurveyResult& result() const { return result_; }
    // The survey's and the assessments' options shown, as a profile.
    [[nodiscard]] assess::Profile profile() const;
    // Shows every option of `profile`; the figures follow.
    void showProfile(const assess::Profile& profile);

    // Leaves a span out of every figure; undoable.
    void exclude(const stats::TimeRange& span);
    // Takes the index-th excluded span back in; undoable.
    void removeExclusion(int index);
    // Puts the exclusions back as they were before their last change.
    void undo();
    // "Report…": the save dialog, then the report.
    void writeReport();
    // The record plot of a period's or an event's records.
    void plotPeriod(int row);
    void plotEvent(int row);

    [[nodiscard]] SurveyChart* chart() const { return chart_; }
    [[nodiscard]] SurveyControls* controls() const { return controls_; }
    [[nodiscard]] ExclusionPanel* exclusionPanel() const { return exclusions_; }
    [[nodiscard]] QTableView* periodTable() const { return periodTable_; }
    [[nodiscard]] QTableView* denTable() const { return denTable_; }
    [[nodiscard]] QTableView* eventTable() const { return eventTable_; }
    [[nodiscard]] QTabWidget* tableTabs() const { return tabs_; }
    [[nodiscard]] AssessmentTab* assessmentTab() const { return assessment_; }
    [[nodiscard]] ProfileChooser* profileChooser() const { return chooser_; }
    [[nodiscard]] QLabel* ldenLabel() const { return lden_; }
    [[nodiscard]] QLabel* summaryLabel() const { return summary_; }
    [[nodiscard]] QAction* undoAction() const { return undo_; }
    [[nodiscard]] QAction* reportAction() const { return report_; }

private:
    void buildToolbar();
    QWidget* buildTables();
    // Works the figures out from the records with the current settings and shows them.
    void analyse();
    void setExclusions(std::vector<stats::TimeRange> exclusions);
    void plotSpan(const stats::TimeRange& span, const QString& title);
    // Keeps the options in the settings; a profile chosen they no longer match is
    // chosen no more.
    void remember();

    stats::SurveyRecords records_;
    platform::Dialogs& dialogs_;
    QSettings& settings_;
    PlotOpener openPlot_;
    std::optional<assess::Profile> chosen_;  // the profile chosen, while the options match it
    stats::SurveyOptions options_;
    stats::SurveyResult result_;
    // The exclusions before each change, the latest last.
    std::vector<std::vector<stats::TimeRange>> history_;

    QToolBar* toolbar_ = nullptr;
    QAction* report_ = nullptr;
    QAction* undo_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* lden_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* eventCount_ = nullptr;
    SurveyControls* controls_ = nullptr;
    ExclusionPanel* exclusions_ = nullptr;
    SurveyChart* chart_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableView* periodTable_ = nullptr;
    QTableView* denTable_ = nullptr;
    QTableView* eventTable_ = nullptr;
    FigureTableModel* periodModel_ = nullptr;
    FigureTableModel* denModel_ = nullptr;
    FigureTableModel* eventModel_ = nullptr;
    AssessmentTab* assessment_ = nullptr;
    ProfileChooser* chooser_ = nullptr;
};

}  // namespace lp::survey
