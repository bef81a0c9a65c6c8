// The Survey window's settings: the period length, the hours the day, evening and
// night begin at with the two penalties, the level correction, and the events looked for
// (threshold, minimum duration, bridge). Every change is told at once (changed()); each control has
// its label (with its Alt key) and an accessible name.
#pragma once

#include <QWidget>

#include "stats/survey.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace lp::survey {

class SurveyControls : public QWidget {
    Q_OBJECT
public:
    explicit SurveyControls(const stats::SurveyOptions& initial, QWidget* parent = nullptr);

    // What the controls show; the exclusions are left empty (the window keeps them).
    [[nodiscard]] stats::SurveyOptions options() const;
    // Shows `options` (the exclusions are not the controls'), telling changed() once.
    void setOptions(const stats::SurveyOptions& options);

    [[nodiscard]] QComboBox* periodCombo() const { return period_; }
    [[nodiscard]] QSpinBox* dayStartSpin() const { return dayStart_; }
    [[nodiscard]] QDoubleSpinBox* thresholdSpin() const { return threshold_; }
    [[nodiscard]] QCheckBox* eventsCheck() const { return events_; }
    [[nodiscard]] QDoubleSpinBox* adjustSpin() const { return adjust_; }

signals:
    void changed();

private:
    QComboBox* period_ = nullptr;
    QSpinBox* dayStart_ = nullptr;
    QSpinBox* eveningStart_ = nullptr;
    QSpinBox* nightStart_ = nullptr;
    QDoubleSpinBox* eveningPenalty_ = nullptr;
    QDoubleSpinBox* nightPenalty_ = nullptr;
    QDoubleSpinBox* adjust_ = nullptr;
    QCheckBox* events_ = nullptr;
    QDoubleSpinBox* threshold_ = nullptr;
    QSpinBox* minDuration_ = nullptr;
    QSpinBox* bridge_ = nullptr;
};

}  // namespace lp::survey
