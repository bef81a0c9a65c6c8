#include "panel/panel.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include "link/key_commands.h"
#include "live/sample_schedule.h"
#include "panel/analog_meter.h"
#include "panel/recording_controls.h"
#include "panel/segment_display.h"
#include "platform/accessible_value.h"
#include "platform/shortcuts.h"
#include "platform/window_place.h"

namespace lp::panel {
namespace {

QString decibels(const QString& level) {
    if (level == live::kNoLevelText) {
        return QStringLiteral("no level yet");
    }
    return level.isEmpty() ? QString() : level + QStringLiteral(" dB");
}

}  // namespace

Panel::Panel(live::LiveCycle& cycle, live::Recording& recording, live::Alarms& alarms,
             platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), cycle_(cycle), recording_(recording), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Panel"));
    setWindowTitle(kCaption);
    setAccessibleName(QStringLiteral("Panel"));
    f_ = buildPanelFace(this);
    recordingControls_ = new RecordingControls(cycle_, recording_, dialogs_, f_, this);
    new AlarmControls(alarms, f_.alarm, f_.level, this);
    for (QLabel* l :
         {f_.recordLamp, f_.fullLamp, f_.maxHoldLamp, f_.underLamp, f_.overLamp, f_.batteryLamp}) {
        l->hide();
    }
    connectControls();
    move(0, 0);
    platform::placeOnScreenAtShow(*this);
    render(cycle_.view());
}

Panel::~Panel() = default;

void Panel::connectControls() {
    connect(&cycle_, &live::LiveCycle::viewChanged, this, &Panel::render);
    connect(&cycle_, &live::LiveCycle::needleDue, this, [this](const link::Reading& reading) {
        if (analog_) {
            analog_->drawNeedle(reading);
        }
    });
    connect(&cycle_, &live::LiveCycle::dialStale, this, &Panel::openAnalogMeter);

    const auto key = [this](QPushButton* b, link::MeterKey k) {
        connect(b, &QPushButton::clicked, this, [this, k] { cycle_.pressKey(k); });
    };
    key(f_.weightingKey, link::MeterKey::AC);
    key(f_.responseKey, link::MeterKey::FS);
    key(f_.maxHoldKey, link::MeterKey::Max);
    key(f_.rangeUpKey, link::MeterKey::RangeUp);
    key(f_.rangeDownKey, link::MeterKey::RangeDown);
    key(f_.resetKey, link::MeterKey::Reset);
    connect(f_.recordKey, &QPushButton::clicked, &cycle_, &live::LiveCycle::toggleMeterRecording);
    connect(f_.clockSetButton, &QPushButton::clicked, &cycle_, &live::LiveCycle::setMeterClock);
    connect(f_.resetMaxMin, &QPushButton::clicked, &cycle_, &live::LiveCycle::resetMaxMin);
    // "LEVEL" has no action.

    connect(f_.listButton, &QPushButton::clicked, this, &Panel::listRequested);
    connect(f_.graphButton, &QPushButton::clicked, this, &Panel::graphRequested);
    connect(f_.limitsButton, &QPushButton::clicked, this, &Panel::limitsRequested);
    connect(f_.memoryButton, &QPushButton::clicked, this, &Panel::memoryRequested);
    connect(f_.openButton, &QPushButton::clicked, this, &Panel::onOpenClicked);
    connect(f_.analogButton, &QPushButton::clicked, this, &Panel::openAnalogMeter);
    connect(f_.exitButton, &QPushButton::clicked, this, &Panel::onExitClicked);
    f_.linkState->installEventFilter(this);

    // The panel's context menu (a right click where no control has its own).
    auto* defaults = new QAction(QStringLiteral("Defaults"), this);
    defaults->setObjectName(QStringLiteral("MnuDefaults"));
    defaults->setToolTip(
        QStringLiteral("Forget the port, sampling time, recording file, alarm, limits, survey "
                       "options and window places remembered; the profiles stay"));
    connect(defaults, &QAction::triggered, this, &Panel::defaultsRequested);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this, defaults](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(defaults);
        menu.exec(mapToGlobal(at));
    });

    platform::addButtonKeys(this, f_.openButton, platform::standardKeys(QKeySequence::Open));
    platform::addButtonKeys(this, f_.saveAsButton, platform::standardKeys(QKeySequence::Save));
    platform::addButtonKeys(this, f_.exitButton, platform::standardKeys(QKeySequence::Quit));
}

void Panel::render(const live::LiveView& v) {
    const live::MeterView& m = v.meter;
    f_.recordLamp->setVisible(m.recordShown);
    f_.fullLamp->setVisible(m.fullShown);
    f_.maxHoldLamp->setVisible(m.maxHoldShown);
    f_.batteryLamp->setVisible(m.batteryShown);
    f_.underLamp->setVisible(m.underShown);
    f_.overLamp->setVisible(m.overShown);
    if (!m.weighting.isEmpty()) {  // before the first frame the face keeps its captions
        platform::showValue(f_.weighting, m.weighting, m.weighting.trimmed());
        platform::showValue(f_.response, m.response, m.response.trimmed());
        platform::showValue(f_.rangeHigh, m.rangeHigh, decibels(m.rangeHigh));
        platform::showValue(f_.rangeLow, m.rangeLow, decibels(m.rangeLow));
    }
    platform::showValue(f_.level, m.level, decibels(m.level));
    platform::showValue(f_.maxLevel, v.max, decibels(v.max));
    platform::showValue(f_.minLevel, v.min, decibels(v.min));
    platform::showValue(f_.time, v.time);
    platform::showValue(f_.linkState, v.link);
    platform::showValue(f_.samplingTime, live::samplingCaption(v.samplingSeconds));
    f_.memoryButton->setEnabled(!v.clockSetPending);
    showSilent(v.silent);
}

void Panel::showSilent(bool silent) {
    // The link label turns red while the meter does not answer, and the display's
    // marks, the meter's last word, are dimmed.
    if (f_.linkState->property("silent").toBool() == silent) {
        return;
    }
    f_.lcd->setEnabled(!silent);
    f_.linkState->setProperty("silent", silent);
    f_.linkState->style()->unpolish(f_.linkState);
    f_.linkState->style()->polish(f_.linkState);
}

void Panel::onCaptionClicked() {
    captionDated_ = !captionDated_;
    setWindowTitle(captionDated_ ? kCaptionDated : kCaption);
}

bool Panel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == f_.linkState && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        onCaptionClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Panel::onOpenClicked() {
    recording_.stop();
    emit openRequested();
}

AnalogMeter* Panel::analogMeter() const {
    return analog_.data();
}

void Panel::openAnalogMeter() {
    const link::Reading& reading = cycle_.reading();
    if (!analog_) {
        analog_ = new AnalogMeter(cycle_, this);
        connect(analog_, &AnalogMeter::closed, &cycle_, [this] { cycle_.setDialRange({}); });
    }
    if (analog_->isVisible()) {
        analog_->close();
    }
    cycle_.setDialRange(link::RangeEnds{reading.rangeLow, reading.rangeHigh});
    platform::placeWindow(
        analog_, QPoint(frameGeometry().x() + frameGeometry().width(), frameGeometry().y()));
    analog_->show();
}

void Panel::onExitClicked() {
    // Only the program's own EXIT asks: the close box, the desktop logging out and
    // SIGTERM end a recording at once (its lines are on disk as they are taken).
    if (recording_.on() && !dialogs_.ask(this, kStopRecordingQuestion)) {
        return;
    }
    close();
}

void Panel::closeEvent(QCloseEvent* event) {
    recording_.stop();
    cycle_.pauseTimers();
    if (analog_) {
        analog_->close();
    }
    event->accept();
    emit exitRequested();
}

}  // namespace lp::panel
