// Loud events in the Assessment tab: the level events are counted above (with the
// window's minimum duration and bridge), the window and which highest maximum of the
// night; shown as the days' NA and nth highest.
#pragma once

#include "survey/assessment_panel.h"

namespace lp::survey {

class AssessmentEventsPanel : public AssessmentPanel {
    Q_OBJECT
public:
    explicit AssessmentEventsPanel(QWidget* parent = nullptr);

    void assess(const AssessmentContext& context) override;
    void showProfile(const assess::Profile& profile) override;
    void takeProfile(assess::Profile& profile) const override;

    [[nodiscard]] QDoubleSpinBox* aboveSpin() const { return above_; }
    [[nodiscard]] QSpinBox* windowSpin() const { return window_; }
    [[nodiscard]] QSpinBox* nthSpin() const { return nth_; }

private:
    QDoubleSpinBox* above_ = nullptr;
    QSpinBox* window_ = nullptr;
    QSpinBox* nth_ = nullptr;
};

}  // namespace lp::survey
