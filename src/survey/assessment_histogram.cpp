#include "survey/assessment_histogram.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>
#include <algorithm>

#include "platform/accessible_value.h"

namespace lp::survey {
namespace {

const QColor kPartColors[] = {QColor(122, 163, 212), QColor(40, 60, 120), QColor(200, 140, 40)};

}  // namespace

AssessmentHistogram::AssessmentHistogram(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("backgroundHistogram"));
    setAccessibleName(QStringLiteral("Background histogram"));
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumHeight(160);
    QChart* chart = this->chart();
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->legend()->setAlignment(Qt::AlignTop);
    axisX_ = new QBarCategoryAxis(chart);
    axisX_->setTitleText(QStringLiteral("dB (whole)"));
    axisY_ = new QValueAxis(chart);
    axisY_->setTitleText(QStringLiteral("Intervals"));
    axisY_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
}

void AssessmentHistogram::showParts(const std::vector<assess::BackgroundPart>& parts) {
    QChart* chart = this->chart();
    chart->removeAllSeries();
    std::optional<int> low;
    std::optional<int> high;
    qint64 most = 0;
    for (const assess::BackgroundPart& p : parts) {
        for (const auto& [db, count] : p.histogram) {
            low = std::min(low.value_or(db), db);
            high = std::max(high.value_or(db), db);
            most = std::max(most, count);
        }
    }
    axisX_->clear();
    if (!low) {
        platform::setAccessibleValue(this, QStringLiteral("No interval is used"));
        return;
    }
    QStringList categories;
    for (int db = *low; db <= *high; ++db) {
        categories << QString::number(db);
    }
    axisX_->append(categories);
    auto* series = new QBarSeries;
    QStringList spoken;
    for (size_t i = 0; i < parts.size(); ++i) {
        auto* set = new QBarSet(parts[i].part.name);
        set->setColor(kPartColors[i % std::size(kPartColors)]);
        QStringList counts;
        for (int db = *low; db <= *high; ++db) {
            const auto at = parts[i].histogram.find(db);
            const qint64 count = at == parts[i].histogram.end() ? 0 : at->second;
            *set << double(count);
            if (count > 0) {
                counts << QStringLiteral("%1 dB: %2").arg(db).arg(count);
            }
        }
        series->append(set);
        spoken << QStringLiteral("%1: %2").arg(parts[i].part.name,
                                               counts.join(QStringLiteral(", ")));
    }
    chart->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
    axisY_->setRange(0.0, double(std::max<qint64>(most, 1)));
    axisY_->applyNiceNumbers();
    platform::setAccessibleValue(this, spoken.join(QStringLiteral("; ")));
}

}  // namespace lp::survey
