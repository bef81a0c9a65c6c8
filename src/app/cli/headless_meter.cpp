#include "app/cli/headless_meter.h"

#include "app/cli/cli.h"

namespace lp::app::cli {

HeadlessMeter::HeadlessMeter(OpenedPort port, const PortRequest& request, platform::Clock& clock,
                             QTextStream& err, QObject* parent)
    : QObject(parent),
      err_(err),
      portName_(request.kind == PortKind::Simulated ? kSimPortArgument : request.label),
      keeper_(std::make_unique<PortKeeper>(std::move(port), request, clock)) {
    poller_ = std::make_unique<link::LivePoller>(keeper_->link());
    cycle_ = std::make_unique<live::LiveCycle>(keeper_->link(), *poller_, clock,
                                               live::PortNames{portName_, portName_});
    connect(poller_.get(), &link::LivePoller::stateChanged, this, [this](link::LinkState state) {
        if (state == link::LinkState::NoData && !keeper_->link().portLost()) {
            if (!silentTold_) {
                silentTold_ = true;
                tell(QStringLiteral("No COM: the meter on %1 does not answer.").arg(portName_));
            }
        } else if (state == link::LinkState::Linked && silentTold_) {
            silentTold_ = false;
            tell(QStringLiteral("%1: the meter answers again.").arg(portName_));
        }
    });
    connect(keeper_.get(), &PortKeeper::portLost, this, [this](const QString& reason) {
        silentTold_ = false;
        tell(reason +
             QStringLiteral(" Trying it again every %1 s.").arg(PortKeeper::kReconnectMs / 1000));
    });
    connect(keeper_.get(), &PortKeeper::portBack, this,
            [this] { tell(QStringLiteral("%1 is open again.").arg(portName_)); });
}

HeadlessMeter::~HeadlessMeter() {
    // The cycle and the poller go before the link they use.
    cycle_.reset();
    poller_.reset();
    keeper_.reset();
}

void HeadlessMeter::tell(const QString& text) {
    err_ << kProgramName << ": " << text << "\n";
    err_.flush();
}

}  // namespace lp::app::cli
