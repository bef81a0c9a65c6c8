// The settings of the Survey window.
#include "survey/survey_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

// A control named for code and for assistive technology, on a form row whose label
// carries the Alt key.
template <typename Control>
Control* addRow(QFormLayout* form, const QString& label, const char* objectName,
                const QString& accessibleName, Control* control) {
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(accessibleName);
    auto* text = new QLabel(label);
    text->setBuddy(control);
    form->addRow(text, control);
    return control;
}

QSpinBox* hourSpin(int low, int high, int value) {
    auto* spin = new QSpinBox;
    spin->setRange(low, high);
    spin->setValue(value);
    spin->setSuffix(QStringLiteral(" h"));
    return spin;
}

QDoubleSpinBox* decibelSpin(double low, double high, double step, double value) {
    auto* spin = new QDoubleSpinBox;
    spin->setRange(low, high);
    spin->setDecimals(1);
    spin->setSingleStep(step);
    spin->setValue(value);
    spin->setSuffix(QStringLiteral(" dB"));
    return spin;
}

QSpinBox* secondsSpin(qint64 value) {
    auto* spin = new QSpinBox;
    spin->setRange(0, 86400);
    spin->setValue(static_cast<int>(value));
    spin->setSuffix(QStringLiteral(" s"));
    return spin;
}

QGroupBox* group(const QString& title, const char* objectName, QFormLayout*& form) {
    auto* box = new QGroupBox(title);
    box->setObjectName(QLatin1String(objectName));
    box->setAccessibleName(title);
    form = new QFormLayout(box);
    return box;
}

}  // namespace

SurveyControls::SurveyControls(const stats::SurveyOptions& initial, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("SurveyControls"));
    setAccessibleName(QStringLiteral("Survey settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    QFormLayout* form = nullptr;
    layout->addWidget(group(QStringLiteral("Periods"), "periodsGroup", form));
    period_ = addRow(form, QStringLiteral("&Length"), "periodCombo",
                     QStringLiteral("Period length"), new QComboBox);
    for (const qint64 length : periodLengths()) {
        period_->addItem(periodLengthText(length), QVariant::fromValue(length));
    }
    period_->setCurrentIndex(period_->findData(QVariant::fromValue(initial.periodLength)));

    const stats::DayPartHours& hours = initial.dayParts;
    layout->addWidget(group(QStringLiteral("Day, evening, night"), "dayPartsGroup", form));
    dayStart_ = addRow(form, QStringLiteral("&Day from"), "dayStartSpin",
                       QStringLiteral("Day begins at"), hourSpin(0, 23, hours.dayStart));
    eveningStart_ =
        addRow(form, QStringLiteral("&Evening from"), "eveningStartSpin",
               QStringLiteral("Evening begins at"), hourSpin(1, 24, hours.eveningStart));
    nightStart_ = addRow(form, QStringLiteral("&Night from"), "nightStartSpin",
                         QStringLiteral("Night begins at"), hourSpin(1, 24, hours.nightStart));
    eveningPenalty_ = addRow(form, QStringLiteral("E&vening penalty"), "eveningPenaltySpin",
                             QStringLiteral("Evening penalty"),
                             decibelSpin(0, stats::kMostPenalty, 0.5, hours.eveningPenalty));
    nightPenalty_ = addRow(form, QStringLiteral("Ni&ght penalty"), "nightPenaltySpin",
                           QStringLiteral("Night penalty"),
                           decibelSpin(0, stats::kMostPenalty, 0.5, hours.nightPenalty));

    layout->addWidget(group(QStringLiteral("Levels"), "levelsGroup", form));
    adjust_ =
        addRow(form, QStringLiteral("Ad&just by"), "adjust", QStringLiteral("Level correction"),
               decibelSpin(-stats::kMostAdjust, stats::kMostAdjust, 0.1, initial.adjust));
    adjust_->setToolTip(
        QStringLiteral("Added to every level before any figure (like -3 dB for a measurement "
                       "in front of a façade)"));

    const stats::EventRule rule = initial.events.value_or(stats::EventRule{85.0, 0, 0});
    layout->addWidget(group(QStringLiteral("Events"), "eventsGroup", form));
    events_ = new QCheckBox(QStringLiteral("&Look for events"));
    events_->setObjectName(QStringLiteral("eventsCheck"));
    events_->setAccessibleName(QStringLiteral("Look for events"));
    events_->setChecked(initial.events.has_value());
    form->addRow(events_);
    threshold_ = addRow(form, QStringLiteral("&Threshold"), "thresholdSpin",
                        QStringLiteral("Event threshold"), decibelSpin(0, 145, 1, rule.threshold));
    minDuration_ = addRow(form, QStringLiteral("&Minimum duration"), "minDurationSpin",
                          QStringLiteral("Minimum event duration"), secondsSpin(rule.minDuration));
    bridge_ = addRow(form, QStringLiteral("&Bridge"), "bridgeSpin",
                     QStringLiteral("Bridge dips shorter than"), secondsSpin(rule.bridge));
    bridge_->setToolTip(
        QStringLiteral("A dip below the threshold shorter than this joins two "
                       "runs into one event"));
    const auto enableRule = [this](bool on) {
        threshold_->setEnabled(on);
        minDuration_->setEnabled(on);
        bridge_->setEnabled(on);
    };
    enableRule(events_->isChecked());
    connect(events_, &QCheckBox::toggled, this, enableRule);

    connect(period_, &QComboBox::currentIndexChanged, this, &SurveyControls::changed);
    for (QSpinBox* spin : {dayStart_, eveningStart_, nightStart_, minDuration_, bridge_}) {
        connect(spin, &QSpinBox::valueChanged, this, &SurveyControls::changed);
    }
    for (QDoubleSpinBox* spin : {eveningPenalty_, nightPenalty_, adjust_, threshold_}) {
        connect(spin, &QDoubleSpinBox::valueChanged, this, &SurveyControls::changed);
    }
    connect(events_, &QCheckBox::toggled, this, &SurveyControls::changed);
}

void SurveyControls::setOptions(const stats::SurveyOptions& options) {
    {
        const QSignalBlocker quiet(this);
        period_->setCurrentIndex(period_->findData(QVariant::fromValue(options.periodLength)));
        const stats::DayPartHours& hours = options.dayParts;
        dayStart_->setValue(hours.dayStart);
        eveningStart_->setValue(hours.eveningStart);
        nightStart_->setValue(hours.nightStart);
        eveningPenalty_->setValue(hours.eveningPenalty);
        nightPenalty_->setValue(hours.nightPenalty);
        adjust_->setValue(options.adjust);
        events_->setChecked(options.events.has_value());
        if (options.events) {
            threshold_->setValue(options.events->threshold);
            minDuration_->setValue(int(options.events->minDuration));
            bridge_->setValue(int(options.events->bridge));
        }
    }
    emit changed();
}

stats::SurveyOptions SurveyControls::options() const {
    stats::SurveyOptions options;
    options.periodLength = period_->currentData().toLongLong();
    options.dayParts = {dayStart_->value(), eveningStart_->value(), nightStart_->value(),
                        eveningPenalty_->value(), nightPenalty_->value()};
    options.adjust = adjust_->value();
    if (events_->isChecked()) {
        options.events =
            stats::EventRule{threshold_->value(), minDuration_->value(), bridge_->value()};
    }
    return options;
}

}  // namespace lp::survey
