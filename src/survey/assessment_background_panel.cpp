#include "survey/assessment_background_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include "survey/assessment_histogram.h"

namespace lp::survey {

AssessmentBackgroundPanel::AssessmentBackgroundPanel(QWidget* parent)
    : AssessmentPanel(QStringLiteral("background"), QStringLiteral("Background"), parent) {
    interval_ = addRow(QStringLiteral("&Interval"), "backgroundIntervalCombo",
                       QStringLiteral("Reference interval"), lengthCombo(900));
    dayFrom_ = addRow(QStringLiteral("Da&y from"), "backgroundDaySpin",
                      QStringLiteral("Day begins at"), hourSpin(7));
    nightFrom_ = addRow(QStringLiteral("Nig&ht from"), "backgroundNightSpin",
                        QStringLiteral("Night begins at"), hourSpin(23));
    typical_ = addRow(QStringLiteral("T&ypical"), "typicalCombo", QStringLiteral("Typical value"),
                      new QComboBox);
    typical_->addItem(QStringLiteral("Mode"), int(assess::Typical::Mode));
    typical_->addItem(QStringLiteral("Median"), int(assess::Typical::Median));
    typical_->addItem(QStringLiteral("10th percentile"), int(assess::Typical::P10));
    connect(typical_, &QComboBox::currentIndexChanged, this, &AssessmentPanel::changed);
    rbl_ = new QCheckBox(QStringLiteral("NSW &RBL"));
    nameControl(rbl_, "rblCheck", QStringLiteral("NSW rating background level"));
    rbl_->setToolTip(QStringLiteral(
        "The ABL of each day and part (day 07-18, evening 18-22, night 22-07) and the RBL of "
        "each part"));
    form()->addRow(rbl_);
    connect(rbl_, &QCheckBox::toggled, this, &AssessmentPanel::changed);
    histogram_ = new AssessmentHistogram;
    addResultWidget(histogram_);
}

void AssessmentBackgroundPanel::assess(const AssessmentContext& context) {
    assess::BackgroundOptions options;
    options.interval = interval_->currentData().toLongLong();
    options.minCoverage = context.minCoverage;
    const int day = dayFrom_->value();
    const int night = nightFrom_->value();
    if (day == night) {
        showProblem(QStringLiteral("The day and the night cannot begin at the same hour."));
        histogram_->showParts({});
        return;
    }
    options.parts = {{QStringLiteral("day"), day, night}, {QStringLiteral("night"), night, day}};
    options.typical = static_cast<assess::Typical>(typical_->currentData().toInt());
    options.rbl = rbl_->isChecked();
    const assess::BackgroundResult result =
        assess::assessBackground({context.records, context.samples}, options);
    histogram_->showParts(result.parts);
    showResult(backgroundShown(result, options.typical, context.notation));
}

void AssessmentBackgroundPanel::showProfile(const assess::Profile& profile) {
    const QSignalBlocker quiet(this);
    interval_->setCurrentIndex(
        interval_->findData(QVariant::fromValue(profile.backgroundInterval)));
    dayFrom_->setValue(profile.backgroundDayFrom);
    nightFrom_->setValue(profile.backgroundNightFrom);
    typical_->setCurrentIndex(typical_->findData(int(profile.typical)));
    rbl_->setChecked(profile.rbl);
}

void AssessmentBackgroundPanel::takeProfile(assess::Profile& profile) const {
    profile.backgroundInterval = interval_->currentData().toLongLong();
    profile.backgroundDayFrom = dayFrom_->value();
    profile.backgroundNightFrom = nightFrom_->value();
    profile.typical = static_cast<assess::Typical>(typical_->currentData().toInt());
    profile.rbl = rbl_->isChecked();
}

}  // namespace lp::survey
