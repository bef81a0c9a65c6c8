// Noise at work in the Assessment tab: per local day, or per shift, or with the daily
// exposure time declared; shown as the days' table with LEX,w and the verdict's limits.
#pragma once

#include "survey/assessment_panel.h"

class QCheckBox;
class QTimeEdit;

namespace lp::survey {

class AssessmentExposurePanel : public AssessmentPanel {
    Q_OBJECT
public:
    explicit AssessmentExposurePanel(QWidget* parent = nullptr);

    void assess(const AssessmentContext& context) override;
    void showProfile(const assess::Profile& profile) override;
    void takeProfile(assess::Profile& profile) const override;

    [[nodiscard]] QCheckBox* shiftCheck() const { return shiftOn_; }
    [[nodiscard]] QTimeEdit* shiftFromEdit() const { return shiftFrom_; }
    [[nodiscard]] QTimeEdit* shiftToEdit() const { return shiftTo_; }
    [[nodiscard]] QCheckBox* teCheck() const { return teOn_; }
    [[nodiscard]] QDoubleSpinBox* teSpin() const { return te_; }

private:
    QCheckBox* shiftOn_ = nullptr;
    QTimeEdit* shiftFrom_ = nullptr;
    QTimeEdit* shiftTo_ = nullptr;
    QCheckBox* teOn_ = nullptr;
    QDoubleSpinBox* te_ = nullptr;
};

}  // namespace lp::survey
