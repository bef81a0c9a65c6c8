#include "panel/indicator_lamp.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace lp::panel {

IndicatorLamp::IndicatorLamp(QLabel* lamp, QWidget* parent) : QWidget(parent), lamp_(lamp) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lamp_);
    QSizePolicy policy = lamp_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    lamp_->setSizePolicy(policy);
}

void IndicatorLamp::setUnlitColor(const QColor& c) {
    unlit_ = c;
    update();
}

void IndicatorLamp::paintEvent(QPaintEvent*) {
    if (!lamp_->isHidden()) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = lamp_->geometry();
    const QPixmap picture = lamp_->pixmap();
    if (!picture.isNull()) {
        // The unlit picture: the lit one, faint.
        p.setOpacity(unlit_.alphaF());
        const QSizeF size = picture.deviceIndependentSize();
        const QPointF at(r.x() + (r.width() - size.width()) / 2,
                         r.y() + (r.height() - size.height()) / 2);
        p.drawPixmap(at, picture);
        return;
    }
    p.setFont(lamp_->font());
    p.setPen(unlit_);
    const int m = lamp_->margin();
    p.drawText(r.adjusted(m, m, -m, -m), static_cast<int>(lamp_->alignment()), lamp_->text());
}

}  // namespace lp::panel
