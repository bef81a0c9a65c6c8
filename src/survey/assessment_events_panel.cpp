#include "survey/assessment_events_panel.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>

namespace lp::survey {

AssessmentEventsPanel::AssessmentEventsPanel(QWidget* parent)
    : AssessmentPanel(QStringLiteral("events"), QStringLiteral("Loud events"), parent) {
    above_ = addRow(QStringLiteral("&Above"), "aboveSpin", QStringLiteral("Events at or above"),
                    decibelSpin(0, 145, 65));
    window_ = new QSpinBox;
    window_->setRange(1, 3600);
    window_->setValue(120);
    window_->setSuffix(QStringLiteral(" s"));
    addRow(QStringLiteral("&Window"), "windowSpin", QStringLiteral("Window of the maxima"),
           window_);
    nth_ = new QSpinBox;
    nth_->setRange(1, 1000);
    nth_->setValue(10);
    addRow(QStringLiteral("&Nth highest"), "nthSpin", QStringLiteral("Nth highest maximum"), nth_);
    for (QSpinBox* spin : {window_, nth_}) {
        connect(spin, &QSpinBox::valueChanged, this, &AssessmentPanel::changed);
    }
}

void AssessmentEventsPanel::assess(const AssessmentContext& context) {
    assess::LoudEventOptions options;
    const stats::EventRule rule = context.options.events.value_or(stats::EventRule{});
    options.rule = {above_->value(), rule.minDuration, rule.bridge};
    options.hours = context.options.dayParts;
    options.window = window_->value();
    options.nth = nth_->value();
    if (const std::optional<QString> problem = assess::windowProblem(options.window)) {
        showProblem(*problem);
        return;
    }
    showResult(
        loudEventsShown(assess::assessLoudEvents({context.records, context.samples}, options),
                        options, context.notation));
}

void AssessmentEventsPanel::showProfile(const assess::Profile& profile) {
    const QSignalBlocker quiet(this);
    above_->setValue(profile.loudAbove);
    window_->setValue(int(profile.window));
    nth_->setValue(profile.nth);
}

void AssessmentEventsPanel::takeProfile(assess::Profile& profile) const {
    profile.loudAbove = above_->value();
    profile.window = window_->value();
    profile.nth = nth_->value();
}

}  // namespace lp::survey
