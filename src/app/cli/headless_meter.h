// The live cycle of the panel without the panel: the port kept linked (reopened every
// 2 s when it goes away), the poller and the cycle with its two timers. Link changes
// are told on the error stream, once each: the port gone and back, the meter silent
// on an open port ("No COM", also after the port came back) and answering again.
#pragma once

#include <QObject>
#include <QTextStream>
#include <memory>

#include "app/port_keeper.h"
#include "link/live_poller.h"
#include "live/live_cycle.h"

namespace lp::app::cli {

class HeadlessMeter : public QObject {
    Q_OBJECT
public:
    HeadlessMeter(OpenedPort port, const PortRequest& request, platform::Clock& clock,
                  QTextStream& err, QObject* parent = nullptr);
    ~HeadlessMeter() override;

    [[nodiscard]] live::LiveCycle& cycle() { return *cycle_; }
    [[nodiscard]] link::LivePoller& poller() { return *poller_; }

private:
    void tell(const QString& text);

    QTextStream& err_;
    QString portName_;
    bool silentTold_ = false;
    std::unique_ptr<PortKeeper> keeper_;
    std::unique_ptr<link::LivePoller> poller_;
    std::unique_ptr<live::LiveCycle> cycle_;
};

}  // namespace lp::app::cli
