// The Histogram window: bars, Ln table, figures and the track-mode chooser.
#include "charts/histogram.h"

#include <QAction>
#include <QAreaSeries>
#include <QChart>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "charts/histogram_shape.h"
#include "charts/level_figures_panel.h"
#include "charts/ln_table.h"
#include "charts/track_chart_view.h"
#include "platform/dialogs.h"
#include "platform/shortcuts.h"
#include "platform/window_place.h"
#include "platform/window_print.h"
#include "stats/percentiles.h"

namespace lp::charts {
namespace {

const QString kInvalidMode = QStringLiteral("Select a valid TrackMode.");

// About this many labelled ticks along each axis, whatever the zoom.
constexpr int kLevelTicks = 10;
constexpr int kCountTicks = 6;

}  // namespace

Histogram::Histogram(platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Histogram"));
    setWindowTitle(QStringLiteral("Histogram"));
    setAttribute(Qt::WA_DeleteOnClose);

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setAccessibleName(QStringLiteral("Toolbar"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    limit_ = toolbar_->addAction(QStringLiteral("Limit"), this, &Histogram::toggleModeChooser);
    limit_->setObjectName(QStringLiteral("Limit"));
    limit_->setToolTip(QStringLiteral("Pan and zoom modes"));
    print_ = toolbar_->addAction(QStringLiteral("Print"));
    print_->setObjectName(QStringLiteral("Print"));
    print_->setToolTip(QStringLiteral("Print"));
    connect(print_, &QAction::triggered, this, &Histogram::print);
    platform::setKeys(print_, QKeySequence::Print);
    platform::addCloseKeys(this);

    buildModeChooser();
    buildChart();

    table_ = new LnTable(this);
    table_->setObjectName(QStringLiteral("GridLn"));
    table_->setAccessibleName(QStringLiteral("Ln table"));
    table_->setToolTip(
        QStringLiteral("L(n): the highest class with at least (n + ½) % of the records at or "
                       "above it"));
    table_->setFixedHeight(table_->fullHeight());
    figures_ = new LevelFiguresPanel(this);
    figures_->setObjectName(QStringLiteral("LevelFigures"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(toolbar_);
    layout->addWidget(picture_);
    layout->addWidget(view_, 1);
    layout->addWidget(table_);
    layout->addWidget(figures_);
}

void Histogram::buildModeChooser() {
    picture_ = new QFrame(this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setAccessibleName(QStringLiteral("Track mode"));
    picture_->setFrameShape(QFrame::StyledPanel);
    combo_ = new QComboBox(picture_);
    combo_->setObjectName(QStringLiteral("Combo1"));
    combo_->setAccessibleName(QStringLiteral("Track mode"));
    for (const TrackModeItem& item : trackModeItems()) {
        combo_->addItem(item.name, static_cast<int>(item.mode));
    }
    description_ = new QPlainTextEdit(picture_);
    description_->setObjectName(QStringLiteral("txtDescription"));
    description_->setAccessibleName(QStringLiteral("Track mode hint"));
    description_->setReadOnly(true);
    description_->setPlainText(trackModeItems().first().hint);
    description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 3 + 12);
    auto* row = new QHBoxLayout(picture_);
    row->addWidget(combo_, 0, Qt::AlignTop);
    row->addWidget(description_, 1);
    connect(combo_, &QComboBox::activated, this, &Histogram::chooseMode);
    picture_->hide();
}

void Histogram::buildChart() {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 12, 4));

    bars_ = new QLineSeries(chart);
    // The base line at count 0: without it the bars would be filled down to the
    // bottom of the plot once the view is panned below 0.
    baseLine_ = new QLineSeries(chart);
    area_ = new QAreaSeries(bars_, baseLine_);
    area_->setName(QStringLiteral("Plot-1"));
    area_->setColor(QColor(0x4f, 0x81, 0xbd));
    area_->setBorderColor(QColor(0x1f, 0x3f, 0x6f));
    chart->addSeries(area_);

    axisX_ = new QValueAxis(chart);
    axisX_->setObjectName(QStringLiteral("X-Axis"));
    axisX_->setTitleText(QStringLiteral("dB"));
    axisX_->setTickType(QValueAxis::TicksDynamic);
    axisX_->setTickAnchor(0.0);
    axisY_ = new QValueAxis(chart);
    axisY_->setObjectName(QStringLiteral("Y-Axis"));
    axisY_->setTitleText(QStringLiteral("Frequency (Times)"));
    axisY_->setLabelFormat(QStringLiteral("%.0f"));
    axisY_->setTickType(QValueAxis::TicksDynamic);
    axisY_->setTickAnchor(0.0);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    area_->attachAxis(axisX_);
    area_->attachAxis(axisY_);
    connect(axisX_, &QValueAxis::rangeChanged, this, &Histogram::updateTicks);
    connect(axisY_, &QValueAxis::rangeChanged, this, &Histogram::updateTicks);

    view_ = new TrackChartView(chart, this);
    view_->setObjectName(QStringLiteral("CWG"));
    view_->setAccessibleName(QStringLiteral("Level histogram"));
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumSize(600, 320);
}

Histogram* Histogram::showFor(const stats::LnResult& result, platform::Dialogs& dialogs,
                              const QString& fileName, QWidget* parent) {
    if (!result.hasLevel) {
        return nullptr;
    }
    auto* histogram = new Histogram(dialogs, parent);
    if (!fileName.isEmpty()) {
        histogram->setWindowTitle(histogram->windowTitle() + QStringLiteral(": ") + fileName);
    }
    histogram->setResult(result);
    QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        platform::placeWindow(histogram, screen->availableGeometry().topLeft());
    }
    histogram->show();
    return histogram;
}

void Histogram::setResult(const stats::LnResult& result) {
    resolution_ = result.resolution;
    classMin_ = result.classMin;
    classMax_ = result.classMax;

    const QList<QPointF> outline = barOutline(result.counts, resolution_);
    bars_->replace(outline);
    if (!outline.isEmpty()) {
        baseLine_->replace({QPointF(outline.first().x(), 0.0), QPointF(outline.last().x(), 0.0)});
    }
    axisX_->setLabelFormat(resolution_ == stats::Resolution::TenthDb ? QStringLiteral("%.1f")
                                                                     : QStringLiteral("%.0f"));
    const qint64 highest =
        result.counts.isEmpty() ? 0 : *std::max_element(result.counts.begin(), result.counts.end());
    // The count axis as the chart rounds it; "Reset" comes back to exactly this.
    axisY_->setRange(0.0, static_cast<double>(std::max<qint64>(highest, 1)));
    axisY_->applyNiceNumbers();
    countMax_ = axisY_->max();
    resetView();

    table_->setRows(stats::lnTableRows(result.levels));
    figures_->setResult(result);
}

void Histogram::chooseMode(int index) {
    const QList<TrackModeItem>& items = trackModeItems();
    if (index < 0 || index >= items.size()) {
        dialogs_.message(this, kInvalidMode);
    } else if (items[index].resetsView) {
        combo_->setCurrentIndex(index);
        resetView();
    } else {
        combo_->setCurrentIndex(index);
        view_->setTrackMode(items[index].mode);
        description_->setPlainText(items[index].hint);
    }
    picture_->hide();
}

void Histogram::toggleModeChooser() {
    picture_->setVisible(picture_->isHidden());
}

void Histogram::print() {
    picture_->hide();
    layout()->activate();
    platform::printWindowPicture(this, toolbar_, dialogs_);
}

void Histogram::resetView() {
    axisX_->setRange(classLevel(classMin_, resolution_), classLevel(classMax_ + 1, resolution_));
    axisY_->setRange(0.0, countMax_);
    view_->setTrackMode(TrackMode::None);
}

TrackMode Histogram::trackMode() const {
    return view_->trackMode();
}

QChart* Histogram::chart() const {
    return view_->chart();
}

void Histogram::updateTicks() {
    axisX_->setTickInterval(
        niceStep(axisX_->max() - axisX_->min(), kLevelTicks, stats::classWidthDb(resolution_)));
    axisY_->setTickInterval(niceStep(axisY_->max() - axisY_->min(), kCountTicks, 1.0));
}

}  // namespace lp::charts
