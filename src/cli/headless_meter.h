// The linked meter of a device command, told on the error stream: the port gone
// (reopened every 2 s) and back, the meter silent on an open port ("No COM", also
// after the port came back) and answering again, each once.
#pragma once

#include <QObject>
#include <QTextStream>
#include <optional>

#include "live/linked_meter.h"

namespace lp::cli {

class HeadlessMeter : public QObject {
    Q_OBJECT
public:
    HeadlessMeter(live::OpenedPort port, const live::PortRequest& request, platform::Clock& clock,
                  QTextStream& err, QObject* parent = nullptr);

    [[nodiscard]] live::LiveCycle& cycle() { return meter_.cycle(); }
    // For a run that --duration ended: none when the meter answered all along, else the
    // failure to tell (status 2): it did not answer, or its port was gone, at some time,
    // so fewer `what` ("records", "readings") came than the run asked for.
    [[nodiscard]] std::optional<QString> shortRun(const QString& what) const;

private:
    void tell(const QString& text);

    QTextStream& err_;
    QString portName_;
    bool silentTold_ = false;
    bool missed_ = false;  // the meter silent or its port gone at some time
    live::LinkedMeter meter_;
};

}  // namespace lp::cli
