// The background sound level in the Assessment tab: the reference interval, the hours
// the day and the night begin, which value is typical, and the NSW ABL and RBL; shown
// as the parts' table, the histogram of the LA90,T values and the typical line.
#pragma once

#include "survey/assessment_panel.h"

class QCheckBox;

namespace lp::survey {

class AssessmentHistogram;

class AssessmentBackgroundPanel : public AssessmentPanel {
    Q_OBJECT
public:
    explicit AssessmentBackgroundPanel(QWidget* parent = nullptr);

    void assess(const AssessmentContext& context) override;
    void showProfile(const assess::Profile& profile) override;
    void takeProfile(assess::Profile& profile) const override;

    [[nodiscard]] QComboBox* intervalCombo() const { return interval_; }
    [[nodiscard]] QComboBox* typicalCombo() const { return typical_; }
    [[nodiscard]] QCheckBox* rblCheck() const { return rbl_; }
    [[nodiscard]] AssessmentHistogram* histogram() const { return histogram_; }

private:
    QComboBox* interval_ = nullptr;
    QSpinBox* dayFrom_ = nullptr;
    QSpinBox* nightFrom_ = nullptr;
    QComboBox* typical_ = nullptr;
    QCheckBox* rbl_ = nullptr;
    AssessmentHistogram* histogram_ = nullptr;
};

}  // namespace lp::survey
