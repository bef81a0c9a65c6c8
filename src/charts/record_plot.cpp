#include "charts/record_plot.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "charts/chart_canvas.h"
#include "platform/accessible_value.h"
#include "platform/dialogs.h"
#include "platform/numeric_text.h"
#include "platform/twips.h"
#include "platform/twips_canvas.h"
#include "platform/window_print.h"

namespace lp::charts {
namespace {

// How far (pixels) from a record's point the pointer may be for its tool tip.
constexpr double kHoverPixels = 6.0;

}  // namespace

RecordPlot::RecordPlot(records::RecordStore records, const QString& title, platform::Clock& clock,
                       platform::Dialogs& dialogs, platform::LivePause livePause, QWidget* parent)
    : QWidget(parent, Qt::Window),
      records_(std::move(records)),
      title_(title),
      dialogs_(dialogs),
      livePause_(std::move(livePause)),
      timer_(clock.createTimer(kCurveDelayMs, true, [this] { drawCurve(); })),
      range_(plotRangeFor(records_.count())) {
    setObjectName(QStringLiteral("ListPlot"));
    setWindowTitle(QStringLiteral("Plot Data/File"));
    setAccessibleName(QStringLiteral("Plot Data/File"));

    // A white sheet, so that the light-grey grid shows.
    const ChartWindowParts parts = buildChartWindow(this, QStringLiteral("PlotChart"),
                                                    QStringLiteral("Record plot"), kBrightWhite);
    canvas_ = parts.canvas;
    canvas_->installEventFilter(this);
    connectToolbar(parts.toolbar);
    buildRange();

    setMinimumSize(platform::twipsToPx(kMinWidthTwips), platform::twipsToPx(kMinHeightTwips));
    resize(minimumSize());
    connect(canvas_, &platform::TwipsCanvas::resized, this, [this] {
        if (isVisible()) {
            redraw(curveDrawn_);
        }
    });
}

RecordPlot::~RecordPlot() = default;

void RecordPlot::connectToolbar(const ChartToolbar& t) {
    toolbar_ = t;
    connect(t.limit, &QAction::triggered, this, &RecordPlot::showLimits);
    // Any other button hides the limits first.
    connect(t.saveImage, &QAction::triggered, this, [this] {
        rangePanel_->hide();
        saveImage();
    });
    connect(t.print, &QAction::triggered, this, [this] {
        rangePanel_->hide();
        platform::printWindowPicture(this, toolbar_.bar, dialogs_);
    });
}

void RecordPlot::buildRange() {
    rangePanel_ = new QFrame(canvas_);
    rangePanel_->setObjectName(QStringLiteral("PicRange"));
    rangePanel_->setAccessibleName(QStringLiteral("Limits"));
    rangePanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    rangePanel_->setAutoFillBackground(true);
    auto* outer = new QGridLayout(rangePanel_);
    const auto group = [&](const char* caption, const char* name1, const char* caption1,
                           const char* name2, const char* caption2, int column, QLineEdit** edit1,
                           QLineEdit** edit2) {
        auto* box = new QGroupBox(QString::fromLatin1(caption), rangePanel_);
        box->setAccessibleName(QString::fromLatin1(caption));
        auto* grid = new QGridLayout(box);
        const auto row = [&](const char* name, const char* text, int r) {
            auto* label = new QLabel(QString::fromLatin1(text), box);
            auto* edit = new QLineEdit(box);
            edit->setObjectName(QString::fromLatin1(name));
            edit->setAccessibleName(QString::fromLatin1(caption) + QLatin1Char(' ') +
                                    QString::fromLatin1(text));
            label->setBuddy(edit);
            grid->addWidget(label, r, 0);
            grid->addWidget(edit, r, 1);
            return edit;
        };
        *edit1 = row(name1, caption1, 0);
        *edit2 = row(name2, caption2, 1);
        outer->addWidget(box, 0, column);
    };
    group("Records", "TxtR1", "From", "TxtR2", "To", 0, &fromRecordEdit_, &toRecordEdit_);
    group("Value", "TxtT1", "Min", "TxtT2", "Max", 1, &minValueEdit_, &maxValueEdit_);
    okButton_ = new QPushButton(QStringLiteral("OK"), rangePanel_);
    okButton_->setObjectName(QStringLiteral("CmdOK"));
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setAutoDefault(false);
    outer->addWidget(okButton_, 1, 0, 1, 2);
    connect(okButton_, &QPushButton::clicked, this, &RecordPlot::applyLimits);
    // Enter in any of the boxes is OK.
    for (QLineEdit* edit : {fromRecordEdit_, toRecordEdit_, minValueEdit_, maxValueEdit_}) {
        connect(edit, &QLineEdit::returnPressed, this, &RecordPlot::applyLimits);
    }
    rangePanel_->adjustSize();
    rangePanel_->hide();
}

void RecordPlot::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    redraw(curveDrawn_);
}

void RecordPlot::redraw(bool curveAtOnce) {
    drawFrame();
    if (curveAtOnce) {
        timer_->stop();
        drawCurve();
    } else {
        timer_->start();
    }
}

void RecordPlot::drawFrame() {
    frame_ = useChartUnits(*canvas_);
    canvas_->cls();
    step_ = plotStep(frame_.width, range_.count());
    QStringList labels;
    for (int i = 0; i <= 8; ++i) {
        labels << cutLabel(axisValue(range_.bottom, range_.top, i));
    }
    drawAxes(*canvas_, frame_, labels);
    const PlotFrame& f = frame_;
    canvas_->text(f.left - 20, f.base - f.height - 20, QStringLiteral("dB"));
    canvas_->text(
        keptInside(f.left + 240, canvas_->textWidth(title_), canvas_->scaleWidth(), f.left),
        f.base - f.height - 25, title_);
    describe();
}

QPointF RecordPlot::pointOf(qint64 k) const {
    const qint64 r = range_.first + k - 1;
    const double value = levelValue(records_.bytes(r - 1, records::Field::Level));
    return {frame_.left + static_cast<double>(k - 1) * step_,
            frame_.base - pointHeight(value, range_.bottom, range_.top, frame_.height)};
}

void RecordPlot::drawCurve() {
    timer_->stop();
    const qint64 count = range_.count();
    if (count <= 0 || range_.last > records_.count()) {
        return;  // a range of none: the frame alone
    }
    {
        const platform::LivePaused paused(livePause_);
        drawCurvePass();
    }
}

void RecordPlot::drawCurvePass() {
    const qint64 count = range_.count();
    const PlotFrame& f = frame_;
    drawGrid(*canvas_, f);

    const double pixelsPerUnit = canvas_->width() / std::max(1.0, canvas_->scaleWidth());
    ColumnReducer curve(1.0 / pixelsPerUnit);
    std::vector<QLineF> marks;
    std::vector<QLineF> labelLines;
    QStringList labelTexts;
    std::vector<double> labelX;
    const std::vector<qint64> labelled = timeLabelPositions(count);
    size_t nextLabel = 0;
    qint64 lastMarkColumn = -1;
    const double markLow = f.base - f.height * kMarkLow;
    const double markHigh = f.base - f.height * kMarkHigh;
    for (qint64 k = 1; k <= count; ++k) {
        const QPointF p = pointOf(k);
        curve.add(p.x(), p.y());
        if (nextLabel < labelled.size() && labelled[nextLabel] == k) {
            ++nextLabel;
            labelLines.emplace_back(p.x(), f.base, p.x(), f.base - f.height - 10);
            const qint64 r = range_.first + k - 1;
            labelTexts << records_.text(r - 1, records::Field::DateTime).right(8);
            labelX.push_back(p.x());
        } else {
            // One mark a pixel column is as many as the screen can show.
            const auto column = static_cast<qint64>(std::floor(p.x() * pixelsPerUnit));
            if (column != lastMarkColumn) {
                lastMarkColumn = column;
                marks.emplace_back(p.x(), markLow, p.x(), markHigh);
            }
        }
    }
    canvas_->setDrawStyle(Qt::SolidLine);
    canvas_->lines(marks, kGridColor);
    canvas_->setDrawStyle(Qt::DotLine);
    canvas_->lines(labelLines, kGridColor);
    canvas_->setDrawStyle(Qt::SolidLine);

    const std::vector<CurveColumn>& columns = curve.columns();
    std::vector<QLineF> segments;
    segments.reserve(columns.size() * 2);
    for (size_t i = 0; i < columns.size(); ++i) {
        const CurveColumn& c = columns[i];
        if (i > 0) {
            const CurveColumn& b = columns[i - 1];
            segments.emplace_back(b.lastX, b.lastY, c.firstX, c.firstY);
        }
        if (c.points > 1) {
            segments.emplace_back(c.firstX, c.low, c.firstX, c.high);
        }
    }
    canvas_->lines(segments, Qt::black);
    if (count == 1) {  // one record: a point of its own
        const CurveColumn& c = columns.front();
        const double half = 1.0 / pixelsPerUnit;
        canvas_->box(c.firstX - half, c.firstY - half, c.firstX + half, c.firstY + half, Qt::black,
                     true);
    }
    for (qsizetype i = 0; i < labelTexts.size(); ++i) {
        const QString& text = labelTexts[i];
        double x = labelX[static_cast<size_t>(i)] - canvas_->textWidth(text) / 2;
        const bool end = i == 0 || i == labelTexts.size() - 1;
        if (end) {
            x -= 10;
        }
        canvas_->text(x, f.base + 10, text);
    }
    curveDrawn_ = true;
    ++passes_;
}

void RecordPlot::describe() {
    platform::setAccessibleValue(canvas_, QStringLiteral("%1: records %2 to %3, %4 to %5 dB")
                                              .arg(title_)
                                              .arg(range_.first)
                                              .arg(range_.last)
                                              .arg(range_.bottom)
                                              .arg(range_.top));
}

void RecordPlot::showLimits() {
    minValueEdit_->setText(QString::number(range_.bottom));
    maxValueEdit_->setText(QString::number(range_.top));
    fromRecordEdit_->setText(QString::number(range_.first));
    toRecordEdit_->setText(QString::number(range_.last));
    rangePanel_->adjustSize();
    rangePanel_->move(canvas_->width() / 2 - rangePanel_->width() / 2,
                      canvas_->height() / 2 - rangePanel_->height() / 2);
    rangePanel_->show();
    rangePanel_->raise();
}

void RecordPlot::applyLimits() {
    const double min = platform::leadingNumber(minValueEdit_->text());
    const double max = platform::leadingNumber(maxValueEdit_->text());
    const double from = platform::leadingNumber(fromRecordEdit_->text());
    const double to = platform::leadingNumber(toRecordEdit_->text());
    switch (applyPlotLimits(range_, min, max, from, to)) {
        case PlotRefusal::Value:
            dialogs_.message(this, plotValueMessage(range_.valueLimit),
                             platform::MessageIcon::Critical);
            return;
        case PlotRefusal::Records:
            dialogs_.message(this, plotRecordsMessage(range_.total),
                             platform::MessageIcon::Critical);
            return;
        case PlotRefusal::None:
            rangePanel_->hide();
            redraw(false);
            return;
    }
}

bool RecordPlot::saveImage() {
    return saveChartImage(this, *canvas_, dialogs_);
}

QString RecordPlot::toolTipAt(const QPoint& canvasPixel) const {
    const qint64 count = range_.count();
    if (!curveDrawn_ || count <= 0 || range_.last > records_.count()) {
        return {};
    }
    // The record whose point is nearest the pointer, among those a few pixels to
    // either side.
    const QPointF at = canvas_->toUser(canvasPixel);
    const double reach = kHoverPixels * canvas_->scaleWidth() / std::max(1, canvas_->width());
    qint64 kLow = 1;
    qint64 kHigh = 1;
    if (step_ > 0) {
        kLow = std::max<qint64>(
            1, static_cast<qint64>(std::ceil((at.x() - reach - frame_.left) / step_)) + 1);
        kHigh = std::min<qint64>(
            count, static_cast<qint64>(std::floor((at.x() + reach - frame_.left) / step_)) + 1);
    }
    qint64 k = 0;
    double best = kHoverPixels * kHoverPixels;
    for (qint64 i = kLow; i <= kHigh; ++i) {
        const QPointF u = pointOf(i);
        const QPointF p = canvas_->toPixels(u.x(), u.y());
        const double dx = p.x() - canvasPixel.x();
        const double dy = p.y() - canvasPixel.y();
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            k = i;
        }
    }
    if (k == 0) {
        return {};
    }
    const qint64 r = range_.first + k - 1;
    return QStringLiteral("No. %1\n%2\n%3 dB")
        .arg(records_.text(r - 1, records::Field::No),
             records_.text(r - 1, records::Field::DateTime),
             records_.text(r - 1, records::Field::Level));
}

bool RecordPlot::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), tip, canvas_);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lp::charts
