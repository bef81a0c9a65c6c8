#include "cli/headless_meter.h"

#include "cli/command.h"

namespace lp::cli {

namespace {

QString portNameOf(const live::PortRequest& request) {
    return request.kind == live::PortKind::Simulated ? live::kSimPortArgument : request.label;
}

}  // namespace

HeadlessMeter::HeadlessMeter(live::OpenedPort port, const live::PortRequest& request,
                             platform::Clock& clock, QTextStream& err, QObject* parent)
    : QObject(parent),
      err_(err),
      portName_(portNameOf(request)),
      meter_(std::move(port), request, live::PortNames{portName_, portName_}, clock) {
    connect(&meter_.cycle(), &live::LiveCycle::viewChanged, this, [this] {
        const link::LinkState state = meter_.cycle().linkState();
        if (state == link::LinkState::NoData && !meter_.link().portLost()) {
            missed_ = true;
            if (!silentTold_) {
                silentTold_ = true;
                tell(QStringLiteral("No COM: the meter on %1 does not answer.").arg(portName_));
            }
        } else if (state == link::LinkState::Linked && silentTold_) {
            silentTold_ = false;
            tell(QStringLiteral("%1: the meter answers again.").arg(portName_));
        }
    });
    connect(&meter_.keeper(), &live::PortKeeper::portLost, this, [this](const QString& reason) {
        missed_ = true;
        silentTold_ = false;
        tell(reason + QStringLiteral(" Trying it again every %1 s.")
                          .arg(live::PortKeeper::kReconnectMs / 1000));
    });
    connect(&meter_.keeper(), &live::PortKeeper::portBack, this,
            [this] { tell(QStringLiteral("%1 is open again.").arg(portName_)); });
}

std::optional<QString> HeadlessMeter::shortRun(const QString& what) const {
    if (!missed_) {
        return std::nullopt;
    }
    return QStringLiteral("the meter on %1 did not answer during the run: fewer %2 than asked.")
        .arg(portName_, what);
}

void HeadlessMeter::tell(const QString& text) {
    err_ << kProgramName << ": " << text << "\n";
    err_.flush();
}

}  // namespace lp::cli
