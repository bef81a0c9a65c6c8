// The linked meter of a device command, told on the error stream: the port gone
// (reopened every 2 s) and back, the meter silent on an open port ("No COM", also
// after the port came back) and answering again, each once.
#pragma once

#include <QObject>
#include <QTextStream>

#include "app/linked_meter.h"

namespace lp::app::cli {

class HeadlessMeter : public QObject {
    Q_OBJECT
public:
    HeadlessMeter(OpenedPort port, const PortRequest& request, platform::Clock& clock,
                  QTextStream& err, QObject* parent = nullptr);

    [[nodiscard]] live::LiveCycle& cycle() { return meter_.cycle(); }

private:
    void tell(const QString& text);

    QTextStream& err_;
    QString portName_;
    bool silentTold_ = false;
    LinkedMeter meter_;
};

}  // namespace lp::app::cli
