// Serves a SimMeter on a pseudo-terminal: the program opens the terminal's path like a
// serial port. Bytes from the program go to the meter; its answers go back at once, or
// paced at 960 bytes a second like a 9600 baud line.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

#include "platform/clock.h"
#include "sim/sim_meter.h"

namespace lp::sim {

class PtyMeterServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kBytesPerSecond = 960;
    static constexpr int kPieceMs = 10;

    PtyMeterServer(SimMeter& meter, platform::Clock& clock, bool paced, QObject* parent = nullptr);
    ~PtyMeterServer() override;

    // Creates the pseudo-terminal; on failure returns false with the reason in `error`.
    [[nodiscard]] bool open(QString* error);
    // The terminal's path for the program, e.g. /dev/pts/5.
    [[nodiscard]] QString path() const { return path_; }

signals:
    // The terminal failed; the server cannot go on.
    void failed(const QString& reason);

private:
    void readFromProgram();
    void sendPending();
    void close();

    SimMeter& meter_;
    platform::Clock& clock_;
    bool paced_;
    int master_ = -1;
    int slave_ = -1;  // kept open so the master never sees a hang-up between clients
    QString path_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    std::unique_ptr<platform::Timer> paceTimer_;
    QByteArray pending_;
    double credit_ = 0.0;  // bytes the paced line may send now
    qint64 lastPaceMs_ = 0;
};

}  // namespace lp::sim
