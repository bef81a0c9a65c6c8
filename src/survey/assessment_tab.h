// The Survey window's Assessment tab: the method chosen (background, rating, exposure,
// events, limits), the least coverage of an interval, and the chosen method's panel.
// The window gives it the survey on every analysis (its records and options: the
// exclusions and the correction); the tab counts the samples once then and works out the
// chosen method alone, again on every change of its inputs.
#pragma once

#include <QWidget>
#include <vector>

#include "assess/profile.h"
#include "stats/figure_notation.h"
#include "stats/survey.h"

class QComboBox;
class QDoubleSpinBox;
class QStackedWidget;

namespace lp::platform {
class Dialogs;
}

namespace lp::survey {

class AssessmentPanel;
class AssessmentBackgroundPanel;
class AssessmentRatingPanel;
class AssessmentExposurePanel;
class AssessmentEventsPanel;
class AssessmentLimitsPanel;

enum class AssessmentMethod { Background, Rating, Exposure, Events, Limits };

class AssessmentTab : public QWidget {
    Q_OBJECT
public:
    // `records` outlives the tab (the window's).
    AssessmentTab(const stats::SurveyRecords& records, platform::Dialogs& dialogs,
                  QWidget* parent = nullptr);

    // The window's options changed: the samples are counted again, the method worked out.
    void setSurveyOptions(const stats::SurveyOptions& options, const stats::Notation& notation);
    void chooseMethod(AssessmentMethod method);
    // Shows the assessments' options of a profile (the least coverage, each method's),
    // without working them out (the window's analysis that follows does); takes those
    // shown into a profile.
    void showProfile(const assess::Profile& profile);
    void takeProfile(assess::Profile& profile) const;

    [[nodiscard]] AssessmentMethod method() const;
    // The method's panel; null for a method not offered.
    [[nodiscard]] AssessmentPanel* panel(AssessmentMethod method) const;
    [[nodiscard]] AssessmentBackgroundPanel* backgroundPanel() const;
    [[nodiscard]] AssessmentRatingPanel* ratingPanel() const;
    [[nodiscard]] AssessmentExposurePanel* exposurePanel() const;
    [[nodiscard]] AssessmentEventsPanel* eventsPanel() const;
    [[nodiscard]] AssessmentLimitsPanel* limitsPanel() const;
    [[nodiscard]] QComboBox* methodCombo() const { return method_; }
    [[nodiscard]] QDoubleSpinBox* minCoverageSpin() const { return minCoverage_; }

signals:
    // An option of any method, or the least coverage, changed.
    void optionsChanged();

private:
    // Works the chosen method out and shows it.
    void assess();

    const stats::SurveyRecords& records_;
    stats::SurveyOptions options_;
    stats::Notation notation_;
    platform::LargeVector<stats::LevelSample> samples_;
    bool failed_ = true;  // the options cannot be used: nothing is worked out

    QComboBox* method_ = nullptr;
    QDoubleSpinBox* minCoverage_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    // The methods offered, in the method combo box's order, and their panels.
    std::vector<std::pair<AssessmentMethod, AssessmentPanel*>> panels_;
};

}  // namespace lp::survey
