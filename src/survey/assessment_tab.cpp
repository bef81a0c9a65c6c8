#include "survey/assessment_tab.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "assess/assess_input.h"
#include "survey/assessment_background_panel.h"
#include "survey/assessment_events_panel.h"
#include "survey/assessment_exposure_panel.h"
#include "survey/assessment_limits_panel.h"
#include "survey/assessment_rating_panel.h"

namespace lp::survey {
namespace {

QString methodName(AssessmentMethod method) {
    switch (method) {
        case AssessmentMethod::Rating:
            return QStringLiteral("Rating level of a source");
        case AssessmentMethod::Exposure:
            return QStringLiteral("Noise at work");
        case AssessmentMethod::Events:
            return QStringLiteral("Loud events");
        case AssessmentMethod::Limits:
            return QStringLiteral("Limits by time of day");
        case AssessmentMethod::Background:
            break;
    }
    return QStringLiteral("Background sound level");
}

}  // namespace

AssessmentTab::AssessmentTab(const stats::SurveyRecords& records, platform::Dialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent), records_(records) {
    setObjectName(QStringLiteral("assessmentTab"));
    setAccessibleName(QStringLiteral("Assessment"));
    method_ = new QComboBox;
    method_->setObjectName(QStringLiteral("methodCombo"));
    method_->setAccessibleName(QStringLiteral("Assessment method"));
    auto* methodLabel = new QLabel(QStringLiteral("&Method"));
    methodLabel->setBuddy(method_);
    minCoverage_ = new QDoubleSpinBox;
    minCoverage_->setObjectName(QStringLiteral("minCoverageSpin"));
    minCoverage_->setAccessibleName(QStringLiteral("Least coverage of an interval"));
    minCoverage_->setRange(0.0, 100.0);
    minCoverage_->setDecimals(0);
    minCoverage_->setSingleStep(5.0);
    minCoverage_->setValue(assess::kMinCoverage * 100.0);
    minCoverage_->setSuffix(QStringLiteral(" %"));
    minCoverage_->setToolTip(
        QStringLiteral("An interval is used when its records cover at least this share of it"));
    auto* coverageLabel = new QLabel(QStringLiteral("Least &coverage"));
    coverageLabel->setBuddy(minCoverage_);
    auto* top = new QHBoxLayout;
    top->addWidget(methodLabel);
    top->addWidget(method_);
    top->addSpacing(12);
    top->addWidget(coverageLabel);
    top->addWidget(minCoverage_);
    top->addStretch(1);

    panels_ = {{AssessmentMethod::Background, new AssessmentBackgroundPanel},
               {AssessmentMethod::Rating, new AssessmentRatingPanel(dialogs)},
               {AssessmentMethod::Exposure, new AssessmentExposurePanel},
               {AssessmentMethod::Events, new AssessmentEventsPanel},
               {AssessmentMethod::Limits, new AssessmentLimitsPanel}};
    stack_ = new QStackedWidget;
    stack_->setObjectName(QStringLiteral("methodStack"));
    for (const auto& [method, panel] : panels_) {
        method_->addItem(methodName(method), int(method));
        stack_->addWidget(panel);
        connect(panel, &AssessmentPanel::changed, this, [this, shown = panel] {
            if (shown == stack_->currentWidget()) {
                assess();
            }
            emit optionsChanged();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(top);
    layout->addWidget(stack_, 1);
    connect(method_, &QComboBox::currentIndexChanged, this, [this](int index) {
        stack_->setCurrentIndex(index);
        assess();
    });
    connect(minCoverage_, &QDoubleSpinBox::valueChanged, this, &AssessmentTab::assess);
    connect(minCoverage_, &QDoubleSpinBox::valueChanged, this, &AssessmentTab::optionsChanged);
}

void AssessmentTab::showProfile(const assess::Profile& profile) {
    {
        const QSignalBlocker quiet(minCoverage_);
        minCoverage_->setValue(profile.minCoverage * 100.0);
    }
    for (const auto& entry : panels_) {
        entry.second->showProfile(profile);
    }
}

void AssessmentTab::takeProfile(assess::Profile& profile) const {
    profile.minCoverage = minCoverage_->value() / 100.0;
    for (const auto& entry : panels_) {
        entry.second->takeProfile(profile);
    }
}

void AssessmentTab::setSurveyOptions(const stats::SurveyOptions& options,
                                     const stats::Notation& notation) {
    options_ = options;
    notation_ = notation;
    failed_ = records_.error.has_value() || stats::surveyOptionsProblem(options).has_value();
    if (!failed_) {
        qint64 excluded = 0;
        samples_ = stats::countedSamples(records_, options_, excluded);
        const AssessmentContext context{records_, samples_, options_, minCoverage_->value() / 100.0,
                                        notation_};
        for (const auto& entry : panels_) {
            entry.second->surveyChanged(context);
        }
    }
    assess();
}

void AssessmentTab::assess() {
    if (failed_) {
        return;  // the window says why
    }
    const AssessmentContext context{records_, samples_, options_, minCoverage_->value() / 100.0,
                                    notation_};
    panels_[size_t(stack_->currentIndex())].second->assess(context);
}

void AssessmentTab::chooseMethod(AssessmentMethod method) {
    const int index = method_->findData(int(method));
    if (index >= 0) {
        method_->setCurrentIndex(index);
    }
}

AssessmentMethod AssessmentTab::method() const {
    return static_cast<AssessmentMethod>(method_->currentData().toInt());
}

AssessmentPanel* AssessmentTab::panel(AssessmentMethod method) const {
    for (const auto& [offered, panel] : panels_) {
        if (offered == method) {
            return panel;
        }
    }
    return nullptr;
}

AssessmentBackgroundPanel* AssessmentTab::backgroundPanel() const {
    return static_cast<AssessmentBackgroundPanel*>(panel(AssessmentMethod::Background));
}
AssessmentRatingPanel* AssessmentTab::ratingPanel() const {
    return static_cast<AssessmentRatingPanel*>(panel(AssessmentMethod::Rating));
}
AssessmentExposurePanel* AssessmentTab::exposurePanel() const {
    return static_cast<AssessmentExposurePanel*>(panel(AssessmentMethod::Exposure));
}
AssessmentEventsPanel* AssessmentTab::eventsPanel() const {
    return static_cast<AssessmentEventsPanel*>(panel(AssessmentMethod::Events));
}
AssessmentLimitsPanel* AssessmentTab::limitsPanel() const {
    return static_cast<AssessmentLimitsPanel*>(panel(AssessmentMethod::Limits));
}

}  // namespace lp::survey
