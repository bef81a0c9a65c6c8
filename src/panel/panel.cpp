#include "panel/panel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include "link/key_commands.h"
#include "link/meter_decode.h"
#include "panel/analog_meter.h"
#include "panel/panel_view.h"
#include "panel/recording_controls.h"
#include "panel/sample_schedule.h"
#include "panel/segment_display.h"

namespace lp::panel {
namespace {

const QString kNotYet = QStringLiteral("%1 is not available yet.");

int featureIndex(Panel::Feature f) {
    return static_cast<int>(f);
}

}  // namespace

Panel::Panel(app::ProgramState& state, link::MeterLink& link, link::LivePoller& poller,
             platform::Clock& clock, platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      state_(state),
      link_(link),
      poller_(poller),
      clock_(clock),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("Panel"));
    setWindowTitle(kCaption);
    setAccessibleName(QStringLiteral("Panel"));
    f_ = buildPanelFace(this);
    recording_ = new RecordingControls(state_, dialogs_, f_, this);
    for (QLabel* l : {f_.LblRec, f_.LblFull, f_.LblMx, f_.LblUnder, f_.LblOver, f_.ImageBT}) {
        l->hide();
    }
    for (Feature feature : {Feature::List, Feature::Graph, Feature::Memory, Feature::Open}) {
        setFeatureAvailable(feature, false);
    }
    connectControls();

    timer1_ = clock_.createTimer(kTimer1Ms, false, [this] { Timer1_Timer(); });
    timer2_ = clock_.createTimer(kTimer2Ms, false, [this] { Timer2_Timer(); });

    // Loading: top-left of the screen, the port shown as linked, "2 sec", both timers on.
    move(0, 0);
    poller_.setOpened();
    f_.LblComm->setText(portText(false));
    f_.LblSample->setText(samplingCaption(2));
    applyTimers();
}

Panel::~Panel() {
    timer1_->stop();
    timer2_->stop();
    // The analog window goes with the panel.
    state_.AnalogOn = false;
}

void Panel::connectControls() {
    connect(&poller_, &link::LivePoller::frameReceived, this, &Panel::showFrame);
    connect(&poller_, &link::LivePoller::stateChanged, this, &Panel::linkStateChanged);
    connect(&link_, &link::MeterLink::portFailed, this, [this] {
        // Nothing more reaches the meter: no clock set is pending any more.
        f_.LblComm->setText(QStringLiteral("No COM"));
        showSilent(true);
        f_.CmdMemory->setEnabled(true);
    });

    const auto key = [this](QPushButton* b, link::MeterKey k) {
        connect(b, &QPushButton::clicked, this, [this, k] { link::pressKey(link_, k); });
    };
    key(f_.CmdAc, link::MeterKey::AC);
    key(f_.CmdFs, link::MeterKey::FS);
    key(f_.CmdMax, link::MeterKey::Max);
    key(f_.CmdUp, link::MeterKey::RangeUp);
    key(f_.CmdDown, link::MeterKey::RangeDown);
    key(f_.CmdRe, link::MeterKey::Reset);
    connect(f_.CmdRec, &QPushButton::clicked, this, &Panel::CmdRec_Click);
    connect(f_.CmdSystem, &QPushButton::clicked, this, &Panel::CmdSystem_Click);
    // "LEVEL" has no action.

    connect(f_.SSCommand2, &QPushButton::clicked, this, [this] {
        resetMaxMin(maxMin_, f_.LblVal->text());
        f_.LblMax->setText(maxMin_.max);
        f_.LblMin->setText(maxMin_.min);
    });

    RecordingControls* rec = recording_;
    connect(f_.CmdPc, &QPushButton::clicked, rec, &RecordingControls::CmdPc_Click);
    connect(f_.CmdSave, &QPushButton::clicked, rec, &RecordingControls::CmdSave_Click);
    connect(f_.CmdStart, &QPushButton::clicked, rec, &RecordingControls::CmdStart_Click);
    connect(f_.CmdStop, &QPushButton::clicked, rec, &RecordingControls::CmdStop_Click);

    connect(f_.CmdList, &QPushButton::clicked, this, &Panel::CmdList_Click);
    connect(f_.CmdGraph, &QPushButton::clicked, this, &Panel::CmdGraph_Click);
    connect(f_.CmdAnalog, &QPushButton::clicked, this, &Panel::CmdAnalog_Click);
    connect(f_.CmdMemory, &QPushButton::clicked, this, &Panel::CmdMemory_Click);
    connect(f_.CmdOpen, &QPushButton::clicked, this, &Panel::CmdOpen_Click);
    connect(f_.CmdExit, &QPushButton::clicked, this, &QWidget::close);
    f_.LblComm->installEventFilter(this);
}

// ---- Port label ----

QString Panel::portText(bool afterClockSet) const {
    if (!portLabel_.isEmpty()) {
        return portLabel_;
    }
    return (afterClockSet ? QStringLiteral("Com") : QStringLiteral("COM")) +
           QString::number(state_.ComPort);
}

void Panel::setPortLabel(const QString& label) {
    const bool linked = f_.LblComm->text() == portText(false);
    portLabel_ = label;
    if (linked) {
        f_.LblComm->setText(portText(false));
    }
}

void Panel::linkStateChanged(link::LinkState state) {
    switch (state) {
        case link::LinkState::NotOpened:
            f_.LblComm->setText(QStringLiteral("NO COM"));
            break;
        case link::LinkState::Linked:
            f_.LblComm->setText(portText(false));
            break;
        case link::LinkState::NoData:
            f_.LblComm->setText(QStringLiteral("No COM"));
            break;
    }
    showSilent(state != link::LinkState::Linked);
}

void Panel::showSilent(bool silent) {
    // The link label turns red while the meter does not answer.
    if (f_.LblComm->property("silent").toBool() == silent) {
        return;
    }
    f_.LblComm->setProperty("silent", silent);
    f_.LblComm->style()->unpolish(f_.LblComm);
    f_.LblComm->style()->polish(f_.LblComm);
}

void Panel::LblComm_Click() {
    setWindowTitle(windowTitle() != kCaption ? kCaption : kCaptionDated);
}

bool Panel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == f_.LblComm && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        LblComm_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Timers ----

void Panel::applyTimers() {
    const bool running = pauseDepth_ == 0;
    if (running && pollingWanted_) {
        if (!timer1_->isActive()) {
            timer1_->start();
        }
    } else {
        timer1_->stop();
    }
    if (running) {
        if (!timer2_->isActive()) {
            timer2_->start();
        }
    } else {
        timer2_->stop();
    }
}

void Panel::pauseTimers() {
    ++pauseDepth_;
    applyTimers();
}

void Panel::resumeTimers() {
    if (pauseDepth_ > 0) {
        --pauseDepth_;
    }
    applyTimers();
}

void Panel::setPolling(bool on) {
    pollingWanted_ = on;
    applyTimers();
}

// The poller skips the tick while any exchange uses the line, so polls never nest.
void Panel::Timer1_Timer() {
    (void)poller_.tick();
}

void Panel::showFrame(const QByteArray& frame) {
    link::decodeLiveFrame(state_.Reading, frame);
    const PanelView v = panelView(state_.Reading);
    f_.LblRec->setVisible(v.recordShown);
    f_.LblFull->setVisible(v.fullShown);
    f_.LblMx->setVisible(v.maxHoldShown);
    f_.LblAc->setText(v.weighting);
    f_.LblSF->setText(v.response);
    f_.ImageBT->setVisible(v.batteryShown);
    f_.LblUnder->setVisible(v.underShown);
    f_.LblOver->setVisible(v.overShown);
    f_.LblUp->setText(v.rangeHigh);
    f_.LblDown->setText(v.rangeLow);
    f_.LblVal->setText(v.level);
    SetMaxMin();
}

void Panel::SetMaxMin() {
    maxMin_.max = f_.LblMax->text();
    maxMin_.min = f_.LblMin->text();
    panel::SetMaxMin(maxMin_, f_.LblVal->text());
    f_.LblMax->setText(maxMin_.max);
    f_.LblMin->setText(maxMin_.min);
}

void Panel::Timer2_Timer() {
    const double t = samplingSeconds(f_.LblSample->text());
    if (!sampleDue(state_.SampleTick, t)) {
        state_.SampleTick += 1;
        return;
    }
    const QDateTime now = clock_.now();
    f_.LblTime->setText(timeText(now));
    const QString dateTime = dateTimeText(now);
    const QString level = f_.LblVal->text();
    if (state_.RecordingOn) {
        recording_->recordSample(sampleTail(dateTime, level));
    }
    if (state_.ListOn) {
        emit sampleTaken(dateTime, level, now);
    }
    if (state_.AnalogOn) {
        if (state_.AnalogHigh == state_.Reading.rangeHigh &&
            state_.AnalogLow == state_.Reading.rangeLow) {
            if (analog_) {
                analog_->drawNeedle();
            }
        } else {
            // A new range is never drawn on the old dial: reopen, and sample again
            // at the next tick.
            CmdAnalog_Click();
            return;
        }
    }
    state_.SampleTick = 1;
}

// ---- Buttons ----

void Panel::CmdRec_Click() {
    link::pressKey(link_,
                   f_.LblRec->isHidden() ? link::MeterKey::RecStart : link::MeterKey::RecStop);
}

void Panel::CmdSystem_Click() {
    f_.LblComm->setText(QStringLiteral("Wait..."));
    f_.CmdMemory->setEnabled(false);
    QPointer<Panel> self(this);
    link::setMeterClock(link_, [self](bool sent) {
        if (!self) {
            return;
        }
        if (sent) {
            self->f_.LblComm->setText(self->portText(true));
        } else {
            // Nothing reached the meter: the label goes back to what the link shows.
            self->linkStateChanged(self->poller_.state());
        }
        self->f_.CmdMemory->setEnabled(true);
    });
}

void Panel::setFeatureAvailable(Feature feature, bool available) {
    features_[featureIndex(feature)] = available;
    QPushButton* b = nullptr;
    switch (feature) {
        case Feature::List:
            b = f_.CmdList;
            break;
        case Feature::Graph:
            b = f_.CmdGraph;
            break;
        case Feature::Memory:
            b = f_.CmdMemory;
            break;
        case Feature::Open:
            b = f_.CmdOpen;
            break;
    }
    b->setToolTip(available ? QString() : kNotYet.arg(b->text()));
}

bool Panel::featureAvailable(Feature feature) const {
    return features_[featureIndex(feature)];
}

void Panel::CmdList_Click() {
    if (featureAvailable(Feature::List)) {
        emit listRequested();
    }
}

void Panel::CmdGraph_Click() {
    if (!featureAvailable(Feature::Graph) || state_.ChartOn) {
        return;
    }
    state_.ChartOn = true;
    emit graphRequested();
}

void Panel::CmdMemory_Click() {
    if (featureAvailable(Feature::Memory)) {
        emit memoryRequested();
    }
}

void Panel::CmdOpen_Click() {
    if (!featureAvailable(Feature::Open)) {
        return;
    }
    stopRecording();
    emit openRequested();
}

void Panel::stopRecording() {
    if (state_.RecordingOn) {
        recording_->StopRecording();
    }
}

AnalogMeter* Panel::analogMeter() const {
    return analog_.data();
}

void Panel::CmdAnalog_Click() {
    if (!analog_) {
        analog_ = new AnalogMeter(state_, this);
    }
    if (analog_->isVisible()) {
        analog_->close();
    }
    analog_->move(frameGeometry().x() + frameGeometry().width(), frameGeometry().y());
    analog_->show();
    state_.AnalogHigh = state_.Reading.rangeHigh;
    state_.AnalogLow = state_.Reading.rangeLow;
    state_.AnalogOn = true;
}

void Panel::closeEvent(QCloseEvent* event) {
    stopRecording();
    timer1_->stop();
    timer2_->stop();
    if (analog_) {
        analog_->close();
    }
    event->accept();
    emit exitRequested();
}

}  // namespace lp::panel
