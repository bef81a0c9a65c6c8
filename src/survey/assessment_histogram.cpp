#include "survey/assessment_histogram.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "charts/histogram_shape.h"
#include "platform/accessible_value.h"

namespace lp::survey {
namespace {

const QColor kPartColors[] = {QColor(122, 163, 212, 200), QColor(40, 60, 120, 170),
                              QColor(200, 140, 40, 170)};
constexpr int kLevelTicks = 10;
constexpr int kCountTicks = 4;

}  // namespace

AssessmentHistogram::AssessmentHistogram(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("backgroundHistogram"));
    setAccessibleName(QStringLiteral("Background histogram"));
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumHeight(180);
    QChart* chart = this->chart();
    chart->setMargins(QMargins(4, 0, 8, 0));
    chart->legend()->setAlignment(Qt::AlignRight);
    axisX_ = new QValueAxis(chart);
    axisX_->setTitleText(QStringLiteral("dB"));
    axisX_->setLabelFormat(QStringLiteral("%.0f"));
    axisX_->setTickType(QValueAxis::TicksDynamic);
    axisX_->setTickAnchor(0.0);
    axisY_ = new QValueAxis(chart);
    axisY_->setTitleText(QStringLiteral("Intervals"));
    axisY_->setLabelFormat(QStringLiteral("%.0f"));
    axisY_->setTickType(QValueAxis::TicksDynamic);
    axisY_->setTickAnchor(0.0);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
}

void AssessmentHistogram::showParts(const std::vector<assess::BackgroundPart>& parts) {
    QChart* chart = this->chart();
    chart->removeAllSeries();
    int low = stats::topClass(stats::Resolution::WholeDb);
    int high = 0;
    qint64 most = 0;
    for (const assess::BackgroundPart& p : parts) {
        for (const auto& [db, count] : p.histogram) {
            low = std::min(low, db);
            high = std::max(high, db);
            most = std::max(most, count);
        }
    }
    if (most == 0) {
        platform::setAccessibleValue(this, QStringLiteral("No interval is used"));
        return;
    }
    QStringList spoken;
    for (size_t i = 0; i < parts.size(); ++i) {
        QList<qint64> counts(high + 1, 0);
        QStringList texts;
        for (const auto& [db, count] : parts[i].histogram) {
            if (db >= 0) {
                counts[db] = count;
                texts << QStringLiteral("%1 dB: %2").arg(db).arg(count);
            }
        }
        // A whole dB holds the values that round to it: its bar is centred on it.
        QList<QPointF> outline = charts::barOutline(counts, stats::Resolution::WholeDb);
        for (QPointF& point : outline) {
            point.rx() -= 0.5;
        }
        auto* bars = new QLineSeries(chart);
        bars->replace(outline);
        auto* base = new QLineSeries(chart);
        base->append({QPointF(low - 0.5, 0.0), QPointF(high + 0.5, 0.0)});
        auto* area = new QAreaSeries(bars, base);
        area->setName(parts[i].part.name);
        const QColor color = kPartColors[i % std::size(kPartColors)];
        area->setColor(color);
        area->setBorderColor(color.darker(150));
        chart->addSeries(area);
        area->attachAxis(axisX_);
        area->attachAxis(axisY_);
        spoken << QStringLiteral("%1: %2").arg(parts[i].part.name,
                                               texts.join(QStringLiteral(", ")));
    }
    axisX_->setRange(low - 1.0, high + 1.0);
    axisX_->setTickInterval(charts::niceStep(high - low + 2.0, kLevelTicks, 1.0));
    axisY_->setRange(0.0, double(most));
    axisY_->applyNiceNumbers();
    axisY_->setTickInterval(charts::niceStep(axisY_->max(), kCountTicks, 1.0));
    platform::setAccessibleValue(this, spoken.join(QStringLiteral("; ")));
}

}  // namespace lp::survey
