#include "panel/analog_meter.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "panel/analog_geometry.h"
#include "platform/accessible_value.h"
#include "platform/numeric_text.h"
#include "platform/shortcuts.h"
#include "platform/twips.h"
#include "platform/twips_canvas.h"

namespace lp::panel {
namespace {

const QColor kDialYellow(255, 255, 0);  // palette colour 14
constexpr double kDesignWidthTwips = 5400;
constexpr double kDesignHeightTwips = 3000;

}  // namespace

AnalogMeter::AnalogMeter(const live::LiveCycle& cycle, QWidget* parent)
    : QWidget(parent, Qt::Window),
      cycle_(cycle),
      canvas_(new platform::TwipsCanvas(this)),
      leftUnitLabel_(new QLabel(canvas_)),
      rightUnitLabel_(new QLabel(canvas_)),
      needleAngle_(std::numeric_limits<float>::quiet_NaN()) {
    setObjectName(QStringLiteral("AnalogMeter"));
    platform::addCloseKeys(this);
    setWindowTitle(QStringLiteral("Analog"));
    setAccessibleName(QStringLiteral("Analog"));
    canvas_->setObjectName(QStringLiteral("AnalogDial"));
    canvas_->setAccessibleName(QStringLiteral("Analog dial"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    font.setBold(true);
    canvas_->setFont(font);
    canvas_->setFillColor(kDialYellow);
    canvas_->setBackColor(kDialYellow);
    canvas_->setForeColor(Qt::black);

    leftUnitLabel_->setObjectName(QStringLiteral("LblRan"));
    rightUnitLabel_->setObjectName(QStringLiteral("LblFun"));
    for (QLabel* l : {leftUnitLabel_, rightUnitLabel_}) {
        l->setText(QStringLiteral("dB"));
        l->setAccessibleName(QStringLiteral("dB"));
        l->setFont(font);
        l->adjustSize();
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas_);
    resize(platform::twipsToPx(kDesignWidthTwips), platform::twipsToPx(kDesignHeightTwips));
    connect(canvas_, &platform::TwipsCanvas::resized, this, [this] {
        placeLabels();
        drawDial();
    });
}

void AnalogMeter::placeLabels() {
    const int m = 6;
    leftUnitLabel_->move(m, canvas_->height() - leftUnitLabel_->height() - m);
    rightUnitLabel_->move(canvas_->width() - rightUnitLabel_->width() - m,
                          canvas_->height() - rightUnitLabel_->height() - m);
}

void AnalogMeter::drawDial() {
    if (isMinimized() || !isVisible()) {
        return;
    }
    leftUnitLabel_->setText(QStringLiteral("dB"));
    rightUnitLabel_->setText(QStringLiteral("dB"));
    // Pivot centred 0.2 heights below the bottom edge, y upwards. Set from the size
    // at every drawing so that the dial stays round when the window is resized.
    const double w = canvas_->widthTwips();
    const double h = canvas_->heightTwips();
    canvas_->scale(-w / 2, 1.2 * h, w / 2, 0.2 * h);
    radius_ = std::abs(canvas_->scaleWidth()) / 2;
    const double r = radius_;

    canvas_->cls();
    canvas_->setDrawWidth(2);
    canvas_->arc(0, 0, r, kArcStart, kArcEnd);
    canvas_->setDrawWidth(1);
    for (const DialTick& t : dialTicks()) {
        const double c = std::cos(t.angle);
        const double s = std::sin(t.angle);
        canvas_->line(r * c, r * s, t.outer * r * c, t.outer * r * s);
    }
    scaleTexts_.clear();
    const link::RangeEnds range = cycle_.dialRange().value_or(link::RangeEnds{});
    for (const ScaleNumber& n : scaleNumbers(range.high, range.low)) {
        const QPointF at = scaleNumberTopLeft(n, r, canvas_->textWidth(n.text));
        canvas_->text(at.x(), at.y(), n.text);
        scaleTexts_ << n.text;
    }
    needleAngle_ = std::numeric_limits<float>::quiet_NaN();
    ++dialDrawings_;
}

void AnalogMeter::drawNeedle(const link::Reading& reading) {
    if (isMinimized() || !isVisible()) {
        return;
    }
    const double r = radius_;
    canvas_->setDrawWidth(3);
    canvas_->sector(0, 0, kEraseRadius * r, kArcStart, kArcEnd, kDialYellow);
    const float angle = panel::needleAngle(reading.level, reading.rangeHigh, reading.rangeLow);
    const double a = dialRadians(angle);
    canvas_->setDrawWidth(2);
    canvas_->line(kNeedleLength * r * std::cos(a), kNeedleLength * r * std::sin(a), 0, 0);
    canvas_->setDrawWidth(1);
    needleAngle_ = angle;
    platform::setAccessibleValue(canvas_,
                                 platform::levelText(reading.level) + QStringLiteral(" dB"));
}

void AnalogMeter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeLabels();
    drawDial();
}

void AnalogMeter::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void AnalogMeter::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) {
            drawDial();  // restored: the dial again, the needle at the next sample
        }
    }
}

}  // namespace lp::panel
