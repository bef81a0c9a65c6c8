// The rating level in the Assessment tab: the hours of the day and night with their
// reference time intervals T_r, the residual (files or a level), a specific level with
// its on-time instead, the four corrections each with its reason, and the background
// (files or a level); shown as the parts' estimate, the parts' table and the intervals.
#pragma once

#include <array>

#include "survey/assessment_panel.h"

class QCheckBox;
class QLineEdit;

namespace lp::platform {
class Dialogs;
}

namespace lp::survey {

class AssessmentFiles;

class AssessmentRatingPanel : public AssessmentPanel {
    Q_OBJECT
public:
    explicit AssessmentRatingPanel(platform::Dialogs& dialogs, QWidget* parent = nullptr);

    void assess(const AssessmentContext& context) override;
    void showProfile(const assess::Profile& profile) override;
    void takeProfile(assess::Profile& profile) const override;
    void surveyChanged(const AssessmentContext& context) override;

    [[nodiscard]] AssessmentFiles* residualFiles() const { return residual_; }
    [[nodiscard]] AssessmentFiles* backgroundFiles() const { return background_; }
    [[nodiscard]] QCheckBox* residualLevelCheck() const { return residualLevelOn_; }
    [[nodiscard]] QDoubleSpinBox* residualLevelSpin() const { return residualLevel_; }
    [[nodiscard]] QCheckBox* backgroundLevelCheck() const { return backgroundLevelOn_; }
    [[nodiscard]] QDoubleSpinBox* backgroundLevelSpin() const { return backgroundLevel_; }
    // Tonal, impulsive, intermittency, other.
    [[nodiscard]] QComboBox* correctionCombo(int kind) const { return corrections_[size_t(kind)]; }
    [[nodiscard]] QLineEdit* reasonEdit(int kind) const { return reasons_[size_t(kind)]; }

private:
    QWidget* checkedLevel(QCheckBox* check, QDoubleSpinBox* spin, QWidget* more = nullptr);

    QSpinBox* dayFrom_ = nullptr;
    QSpinBox* nightFrom_ = nullptr;
    QComboBox* trDay_ = nullptr;
    QComboBox* trNight_ = nullptr;
    AssessmentFiles* residual_ = nullptr;
    QCheckBox* residualLevelOn_ = nullptr;
    QDoubleSpinBox* residualLevel_ = nullptr;
    QCheckBox* specificOn_ = nullptr;
    QDoubleSpinBox* specific_ = nullptr;
    QSpinBox* onTime_ = nullptr;
    std::array<QComboBox*, 4> corrections_{};
    std::array<QLineEdit*, 4> reasons_{};
    AssessmentFiles* background_ = nullptr;
    QCheckBox* backgroundLevelOn_ = nullptr;
    QDoubleSpinBox* backgroundLevel_ = nullptr;
};

}  // namespace lp::survey
