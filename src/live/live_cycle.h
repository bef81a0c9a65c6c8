// The live cycle of the panel, without any window: it polls the meter on the poll
// timer, decodes each frame into the current reading, keeps the largest and smallest
// level, and on the sample timer takes one sample every sampling time. It owns these
// facts; the panel window, the recording, the live list, the analog meter and the
// headless logger subscribe to what it emits.
//
//   poll timer (150 ms)   -> a live poll; each frame -> viewChanged
//   sample timer (1 s)    -> every `samplingSeconds` ticks: sampleTaken, then the
//                            analog dial's needle (needleDue) or a new dial (dialStale)
//
// A sample carries a level the meter sent: when no frame arrived since the previous
// sample (the meter silent, the port gone, nothing received yet), the sample is left
// out, so nothing downstream repeats a level the meter sent once.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "link/key_commands.h"
#include "link/live_poller.h"
#include "link/meter_decode.h"
#include "link/meter_link.h"
#include "live/live_view.h"
#include "live/max_min.h"
#include "live/sample.h"
#include "platform/clock.h"

namespace lp::live {

// What the link label says for the port: "COM3" while linked, "Com3" after a clock
// set. A device path or the simulated meter carries one short name for both.
struct PortNames {
    QString linked;
    QString afterClockSet;
};

class LiveCycle : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 150;
    static constexpr int kSampleMs = 1000;
    static constexpr int kFirstSamplingSeconds = 2;

    // The port is open: the link counts as linked, the sampling time is 2 s, and both
    // timers run.
    LiveCycle(link::MeterLink& link, link::LivePoller& poller, platform::Clock& clock,
              PortNames port, QObject* parent = nullptr);
    ~LiveCycle() override;

    [[nodiscard]] const LiveView& view() const { return view_; }
    [[nodiscard]] const link::Reading& reading() const { return reading_; }
    [[nodiscard]] link::LinkState linkState() const { return poller_.state(); }
    [[nodiscard]] int samplingSeconds() const { return view_.samplingSeconds; }
    void setSamplingSeconds(int seconds);
    void setPortNames(PortNames port);

    // MAX and MIN both set to the current level text (both empty before the first
    // frame).
    void resetMaxMin();
    // One of the meter's keys, pressed from the PC (queued behind a running poll).
    void pressKey(link::MeterKey key);
    // REC: stops the meter's own recording while the reading says it records,
    // otherwise starts it.
    void toggleMeterRecording();
    // Sets the meter's clock from the PC clock; the link label says "Wait..." until the
    // bytes have gone out.
    void setMeterClock();

    // The range the analog dial is drawn for, while one is shown. A sample whose range
    // differs asks for a new dial (dialStale) and the next tick samples again.
    void setDialRange(std::optional<link::RangeEnds> range);
    [[nodiscard]] std::optional<link::RangeEnds> dialRange() const { return dialRange_; }

    // Both timers off and on again (long file operations). Pauses nest.
    void pauseTimers();
    void resumeTimers();
    // The poll timer alone off and on.
    void setPolling(bool on);
    [[nodiscard]] platform::Timer& pollTimer() { return *pollTimer_; }

signals:
    void viewChanged(const lp::live::LiveView& view);
    // Each frame, once decoded into reading() and the view.
    void readingDecoded(const lp::link::Reading& reading);
    void sampleTaken(const lp::live::Sample& sample);
    void needleDue(const lp::link::Reading& reading);
    void dialStale(const lp::link::Reading& reading);

private:
    void onPollTick();
    void onSampleTick();
    void showFrame(const QByteArray& frame);
    void showLinkState(link::LinkState state);
    void applyTimers();
    void publish();

    link::MeterLink& link_;
    link::LivePoller& poller_;
    platform::Clock& clock_;
    PortNames port_;
    link::Reading reading_;
    LiveView view_;
    MaxMin maxMin_;
    std::optional<link::RangeEnds> dialRange_;
    int sampleTick_ = 0;
    bool anyFrame_ = false;
    bool frameSinceSample_ = false;
    bool pollingWanted_ = true;
    int pauseDepth_ = 0;
    std::unique_ptr<platform::Timer> pollTimer_;
    std::unique_ptr<platform::Timer> sampleTimer_;
};

}  // namespace lp::live
