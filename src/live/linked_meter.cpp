#include "live/linked_meter.h"

namespace lp::live {

LinkedMeter::LinkedMeter(OpenedPort port, const PortRequest& request, live::PortNames names,
                         platform::Clock& clock, PortKeeper::Reopen reopen)
    : keeper_(std::make_unique<PortKeeper>(std::move(port), request, clock, std::move(reopen))) {
    poller_ = std::make_unique<link::LivePoller>(keeper_->link());
    cycle_ = std::make_unique<live::LiveCycle>(keeper_->link(), *poller_, clock, std::move(names));
}

LinkedMeter::~LinkedMeter() {
    // The cycle and the poller go before the link they use.
    cycle_.reset();
    poller_.reset();
    keeper_.reset();
}

live::PortNames portNames(const PortRequest& request) {
    if (request.kind == PortKind::Numbered) {
        return {QStringLiteral("COM%1").arg(request.number),
                QStringLiteral("Com%1").arg(request.number)};
    }
    return {request.label, request.label};
}

}  // namespace lp::live
