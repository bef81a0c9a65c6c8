// The histogram of the background's LA90,T values (Qt Charts): for each part of the
// day, how many reference intervals round to each whole dB, as bars centred on it (the
// level histogram's outline), the parts over one another.
#pragma once

#include <QChartView>
#include <vector>

#include "assess/background.h"

class QValueAxis;

namespace lp::survey {

class AssessmentHistogram : public QChartView {
    Q_OBJECT
public:
    explicit AssessmentHistogram(QWidget* parent = nullptr);

    void showParts(const std::vector<assess::BackgroundPart>& parts);

private:
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
};

}  // namespace lp::survey
