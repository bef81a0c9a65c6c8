#include "live/live_cycle.h"

#include <QPointer>

#include "live/sample_schedule.h"

namespace lp::live {

LiveCycle::LiveCycle(link::MeterLink& link, link::LivePoller& poller, platform::Clock& clock,
                     PortNames port, QObject* parent)
    : QObject(parent), link_(link), poller_(poller), clock_(clock), port_(std::move(port)) {
    view_.meter.level = kNoLevelText;
    view_.samplingSeconds = kFirstSamplingSeconds;
    connect(&poller_, &link::LivePoller::frameReceived, this, &LiveCycle::showFrame);
    connect(&poller_, &link::LivePoller::stateChanged, this, &LiveCycle::showLinkState);
    connect(&link_, &link::MeterLink::portFailed, this, [this] {
        // Nothing reaches the meter any more: no clock set is pending.
        view_.clockSetPending = false;
        showLinkState(link::LinkState::NoData);
    });
    pollTimer_ = clock_.createTimer(kPollMs, false, [this] { onPollTick(); });
    sampleTimer_ = clock_.createTimer(kSampleMs, false, [this] { onSampleTick(); });
    poller_.setOpened();
    view_.link = port_.linked;
    applyTimers();
}

LiveCycle::~LiveCycle() {
    pollTimer_->stop();
    sampleTimer_->stop();
}

void LiveCycle::publish() {
    emit viewChanged(view_);
}

void LiveCycle::setSamplingSeconds(int seconds) {
    view_.samplingSeconds = seconds;
    publish();
}

void LiveCycle::setPortNames(PortNames port) {
    const bool linked = view_.link == port_.linked;
    port_ = std::move(port);
    if (linked) {
        view_.link = port_.linked;
        publish();
    }
}

// ---- Polling ----

// The poller skips the tick while any exchange uses the line, so polls never nest.
void LiveCycle::onPollTick() {
    (void)poller_.tick();
}

void LiveCycle::showFrame(const QByteArray& frame) {
    link::decodeLiveFrame(reading_, frame);
    anyFrame_ = true;
    frameSinceSample_ = true;
    view_.meter = meterView(reading_);
    widenMaxMin(maxMin_, view_.meter.level);
    view_.max = maxMin_.max;
    view_.min = maxMin_.min;
    publish();
    emit readingDecoded(reading_);
}

void LiveCycle::pressKey(link::MeterKey key) {
    link::pressKey(link_, key);
}

void LiveCycle::toggleMeterRecording() {
    pressKey(reading_.meterRecording ? link::MeterKey::RecStop : link::MeterKey::RecStart);
}

void LiveCycle::resetMaxMin() {
    live::resetMaxMin(maxMin_, anyFrame_ ? view_.meter.level : QString());
    view_.max = maxMin_.max;
    view_.min = maxMin_.min;
    publish();
}

void LiveCycle::showLinkState(link::LinkState state) {
    switch (state) {
        case link::LinkState::NotOpened:
            view_.link = QStringLiteral("NO COM");
            break;
        case link::LinkState::Linked:
            view_.link = port_.linked;
            break;
        case link::LinkState::NoData:
            view_.link = QStringLiteral("No COM");
            break;
    }
    view_.silent = state != link::LinkState::Linked;
    publish();
}

void LiveCycle::setMeterClock() {
    view_.link = QStringLiteral("Wait...");
    view_.clockSetPending = true;
    publish();
    QPointer<LiveCycle> self(this);
    link::setMeterClock(link_, [self](bool sent) {
        if (!self) {
            return;
        }
        self->view_.clockSetPending = false;
        if (sent) {
            self->view_.link = self->port_.afterClockSet;
            self->publish();
        } else {
            // Refused or cut off (the port went away): the label says what the link is.
            self->showLinkState(self->poller_.state());
        }
    });
}

// ---- Sampling ----

void LiveCycle::setDialRange(std::optional<link::RangeEnds> range) {
    dialRange_ = range;
}

void LiveCycle::onSampleTick() {
    if (!sampleDue(sampleTick_, view_.samplingSeconds)) {
        sampleTick_ += 1;
        return;
    }
    const QDateTime now = clock_.now();
    view_.time = timeText(now);
    publish();
    if (!frameSinceSample_) {
        // Nothing new from the meter: no sample this time, the schedule goes on.
        sampleTick_ = 1;
        return;
    }
    frameSinceSample_ = false;
    emit sampleTaken(Sample{now, dateTimeText(now), view_.meter.level, reading_});
    if (dialRange_) {
        if (dialRange_->high == reading_.rangeHigh && dialRange_->low == reading_.rangeLow) {
            emit needleDue(reading_);
        } else {
            // A new range is never drawn on the old dial: a new dial, and the next
            // tick samples again.
            emit dialStale(reading_);
            return;
        }
    }
    sampleTick_ = 1;
}

// ---- Timers ----

void LiveCycle::applyTimers() {
    const bool running = pauseDepth_ == 0;
    if (running && pollingWanted_) {
        if (!pollTimer_->isActive()) {
            pollTimer_->start();
        }
    } else {
        pollTimer_->stop();
    }
    if (running) {
        if (!sampleTimer_->isActive()) {
            sampleTimer_->start();
        }
    } else {
        sampleTimer_->stop();
    }
}

void LiveCycle::pauseTimers() {
    ++pauseDepth_;
    applyTimers();
}

void LiveCycle::resumeTimers() {
    if (pauseDepth_ > 0) {
        --pauseDepth_;
    }
    applyTimers();
}

void LiveCycle::setPolling(bool on) {
    pollingWanted_ = on;
    applyTimers();
}

}  // namespace lp::live
