#include "charts/real_time_chart.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "charts/chart_canvas.h"
#include "platform/accessible_value.h"
#include "platform/dialogs.h"
#include "platform/numeric_text.h"
#include "platform/twips.h"
#include "platform/twips_canvas.h"
#include "platform/window_print.h"

namespace lp::charts {

RealTimeChart::RealTimeChart(platform::Clock& clock, float level, platform::Dialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      clock_(clock),
      level_(level),
      dialogs_(dialogs),
      timer_(clock.createTimer(kTickMs, false, [this] { tick(); })) {
    setObjectName(QStringLiteral("RealTimeSPL"));
    setWindowTitle(QStringLiteral("Real Time Graph"));
    setAccessibleName(QStringLiteral("Real Time Graph"));

    const ChartWindowParts parts = buildChartWindow(
        this, QStringLiteral("RealTimeChart"), QStringLiteral("Real-time level chart"), kFaceColor);
    canvas_ = parts.canvas;
    connectToolbar(parts.toolbar);
    buildSettings();

    // Smaller than its design minimum the chart has no room: the window snaps back.
    setMinimumSize(platform::twipsToPx(kMinWidthTwips), platform::twipsToPx(kMinHeightTwips));
    resize(minimumSize());
    connect(canvas_, &platform::TwipsCanvas::resized, this, [this] {
        if (isVisible()) {
            drawFrame();
        }
    });
}

RealTimeChart::~RealTimeChart() = default;

void RealTimeChart::connectToolbar(const ChartToolbar& t) {
    toolbar_ = t;
    connect(t.limit, &QAction::triggered, this, &RealTimeChart::showLimits);
    connect(t.saveImage, &QAction::triggered, this, &RealTimeChart::saveImage);
    connect(t.print, &QAction::triggered, this,
            [this] { platform::printWindowPicture(this, toolbar_.bar, dialogs_); });
}

void RealTimeChart::buildSettings() {
    limitsPanel_ = new QFrame(canvas_);
    limitsPanel_->setObjectName(QStringLiteral("PMessage"));
    limitsPanel_->setAccessibleName(QStringLiteral("Limits"));
    limitsPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    limitsPanel_->setAutoFillBackground(true);
    auto* grid = new QGridLayout(limitsPanel_);
    const auto row = [&](const char* panelName, const char* caption, const char* editName, int r) {
        auto* label = new QLabel(QString::fromLatin1(caption), limitsPanel_);
        label->setObjectName(QString::fromLatin1(panelName));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        auto* edit = new QLineEdit(limitsPanel_);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setAccessibleName(QString::fromLatin1(caption));
        label->setBuddy(edit);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        return edit;
    };
    maxEdit_ = row("SSPanel3", "Max", "TxtMax", 0);
    minEdit_ = row("SSPanel1", "Min", "TxtMin", 1);
    countsEdit_ = row("SSPanel2", "Counts", "TxtCounts", 2);
    okButton_ = new QPushButton(QStringLiteral("OK"), limitsPanel_);
    okButton_->setObjectName(QStringLiteral("CmdOK"));
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setAutoDefault(false);
    grid->addWidget(okButton_, 3, 0, 1, 2);
    connect(okButton_, &QPushButton::clicked, this, &RealTimeChart::applyLimits);

    filterKeys(maxEdit_, true, [this] { minEdit_->setFocus(); });
    filterKeys(minEdit_, true, [this] { countsEdit_->setFocus(); });
    filterKeys(countsEdit_, false, [this] { applyLimits(); });
    limitsPanel_->adjustSize();
    limitsPanel_->hide();
}

void RealTimeChart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    drawFrame();
}

void RealTimeChart::closeEvent(QCloseEvent* event) {
    timer_->stop();
    QWidget::closeEvent(event);
    emit closed();
}

void RealTimeChart::drawFrame() {
    timer_->stop();
    limitsPanel_->hide();
    paintFrame();
    sweep_.restart(frame_.width);
    describe();
    timer_->start();
}

void RealTimeChart::paintFrame() {
    frame_ = useChartUnits(*canvas_);
    canvas_->cls();
    QStringList labels;
    for (int i = 0; i <= 8; ++i) {
        labels << numberLabel(axisValue(sweep_.minValue(), sweep_.maxValue(), i));
    }
    drawAxes(*canvas_, frame_, labels);
    const PlotFrame& f = frame_;
    canvas_->box(f.left, f.base - f.height, f.left + f.width, f.base, kBrightWhite, true);
    canvas_->text(f.left - 40, f.base - f.height - 20, QStringLiteral("dB"));
}

void RealTimeChart::startSweep() {
    paintFrame();
    const PlotFrame& f = frame_;
    const double x = f.left + 2;
    canvas_->box(x, f.base + 3, f.left + f.width, f.base - f.height - 5, kBrightWhite, true);
    canvas_->box(x, f.base + 3, x + sweep_.step(), f.base - f.height - 5, kBrightWhite, true);
    drawGrid(*canvas_, f);
}

void RealTimeChart::tick() {
    const PlotFrame& f = frame_;
    lastLevel_ = level_;
    const SweepStep s = sweep_.tick(lastLevel_, f.height);
    if (s.newSweep) {
        startSweep();
    }
    canvas_->setDrawStyle(Qt::SolidLine);
    const double x = f.left + s.x;
    if (s.joined) {
        canvas_->line(f.left + s.prevX, f.base - s.prevHeight, x, f.base - s.height, Qt::black);
    }
    if (s.mark == SweepMark::TimeLabel) {
        canvas_->setDrawStyle(Qt::DotLine);
        canvas_->line(x, f.base, x, f.base - f.height - 10, kGridColor);
        canvas_->setDrawStyle(Qt::SolidLine);
        const QString time = clock_.now().toString(QStringLiteral("HH:mm:ss"));
        const double w = canvas_->textWidth(time);
        const double left = x - 5 - w / 2;
        canvas_->box(left, f.base + 10, left + w, f.base + 10 + canvas_->textHeight(time),
                     kBrightWhite, true);
        canvas_->text(left, f.base + 10, time);
    } else if (s.mark == SweepMark::HalfMark) {
        canvas_->line(x, f.base - f.height * kMarkLow, x, f.base - f.height * kMarkHigh,
                      kGridColor);
    }
    ++points_;
    describe();
}

void RealTimeChart::describe() {
    QString spoken = QStringLiteral("%1 to %2 dB, %3 points a sweep")
                         .arg(sweep_.minValue())
                         .arg(sweep_.maxValue())
                         .arg(sweep_.counts());
    if (points_ > 0) {
        spoken += QStringLiteral(", last level ") + platform::levelText(lastLevel_) +
                  QStringLiteral(" dB");
    }
    platform::setAccessibleValue(canvas_, spoken);
}

void RealTimeChart::showLimits() {
    timer_->stop();
    countsEdit_->setText(QString::number(sweep_.counts(), 'f', 0));
    maxEdit_->setText(QString::number(sweep_.maxValue()));
    minEdit_->setText(QString::number(sweep_.minValue()));
    limitsPanel_->adjustSize();
    limitsPanel_->move(canvas_->width() / 2 - limitsPanel_->width() / 2,
                       canvas_->height() / 2 - limitsPanel_->height() / 2);
    limitsPanel_->show();
    limitsPanel_->raise();
    maxEdit_->setFocus();
}

void RealTimeChart::applyLimits() {
    const double max = platform::leadingNumber(maxEdit_->text());
    const double min = platform::leadingNumber(minEdit_->text());
    const double counts = platform::leadingNumber(countsEdit_->text());
    switch (sweep_.apply(max, min, counts)) {
        case Sweep::Refusal::Value:
            dialogs_.message(this, sweepValueMessage(), platform::MessageIcon::Critical);
            return;
        case Sweep::Refusal::Counts:
            describe();
            dialogs_.message(this, sweepCountsMessage(), platform::MessageIcon::Critical);
            return;
        case Sweep::Refusal::None:
            drawFrame();
            return;
    }
}

bool RealTimeChart::saveImage() {
    return saveChartImage(this, *canvas_, dialogs_);
}

}  // namespace lp::charts
