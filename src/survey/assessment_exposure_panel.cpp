#include "survey/assessment_exposure_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace lp::survey {
namespace {

QTimeEdit* clockEdit(const QTime& time) {
    auto* edit = new QTimeEdit(time);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

int minuteOf(const QTimeEdit* edit) {
    return edit->time().hour() * 60 + edit->time().minute();
}

}  // namespace

AssessmentExposurePanel::AssessmentExposurePanel(QWidget* parent)
    : AssessmentPanel(QStringLiteral("exposure"), QStringLiteral("Noise at work"), parent) {
    shiftOn_ = new QCheckBox(QStringLiteral("Per &shift"));
    nameControl(shiftOn_, "shiftCheck", QStringLiteral("Per shift"));
    form()->addRow(shiftOn_);
    shiftFrom_ = addRow(QStringLiteral("Shift &from"), "shiftFromEdit",
                        QStringLiteral("Shift begins at"), clockEdit(QTime(7, 0)));
    shiftTo_ = addRow(QStringLiteral("Shift &to"), "shiftToEdit", QStringLiteral("Shift ends at"),
                      clockEdit(QTime(15, 30)));
    teOn_ = new QCheckBox(QStringLiteral("&Exposure time declared"));
    nameControl(teOn_, "teCheck", QStringLiteral("Exposure time declared"));
    form()->addRow(teOn_);
    te_ = new QDoubleSpinBox;
    te_->setRange(0.25, 24.0);
    te_->setDecimals(2);
    te_->setSingleStep(0.5);
    te_->setValue(8.0);
    te_->setSuffix(QStringLiteral(" h"));
    addRow(QStringLiteral("T&e"), "teSpin", QStringLiteral("Daily exposure time"), te_);

    const auto enable = [this] {
        shiftFrom_->setEnabled(shiftOn_->isChecked());
        shiftTo_->setEnabled(shiftOn_->isChecked());
        te_->setEnabled(teOn_->isChecked());
    };
    enable();
    for (QCheckBox* check : {shiftOn_, teOn_}) {
        connect(check, &QCheckBox::toggled, this, enable);
        connect(check, &QCheckBox::toggled, this, &AssessmentPanel::changed);
    }
    for (QTimeEdit* edit : {shiftFrom_, shiftTo_}) {
        connect(edit, &QTimeEdit::timeChanged, this, &AssessmentPanel::changed);
    }
    connect(te_, &QDoubleSpinBox::valueChanged, this, &AssessmentPanel::changed);
}

void AssessmentExposurePanel::assess(const AssessmentContext& context) {
    assess::ExposureOptions options;
    if (shiftOn_->isChecked()) {
        options.shift = assess::Shift{minuteOf(shiftFrom_), minuteOf(shiftTo_)};
        if (const std::optional<QString> problem = assess::shiftProblem(*options.shift)) {
            showProblem(*problem);
            return;
        }
    }
    if (teOn_->isChecked()) {
        options.teHours = te_->value();
    }
    showResult(exposureShown(assess::assessExposure({context.records, context.samples}, options),
                             context.notation));
}

void AssessmentExposurePanel::showProfile(const assess::Profile& profile) {
    const QSignalBlocker quiet(this);
    shiftOn_->setChecked(profile.shift.has_value());
    if (profile.shift) {
        shiftFrom_->setTime(QTime(0, 0).addSecs(profile.shift->fromMinute * 60));
        shiftTo_->setTime(QTime(0, 0).addSecs(profile.shift->toMinute * 60));
    }
    teOn_->setChecked(profile.teHours.has_value());
    if (profile.teHours) {
        te_->setValue(*profile.teHours);
    }
}

void AssessmentExposurePanel::takeProfile(assess::Profile& profile) const {
    profile.shift.reset();
    if (shiftOn_->isChecked()) {
        profile.shift = assess::Shift{minuteOf(shiftFrom_), minuteOf(shiftTo_)};
    }
    profile.teHours.reset();
    if (teOn_->isChecked()) {
        profile.teHours = te_->value();
    }
}

}  // namespace lp::survey
