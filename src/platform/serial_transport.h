// The real serial port at 9600,n,8,1. The only place that knows QSerialPort.
#pragma once

#include <QSerialPort>
#include <memory>
#include <optional>

#include "platform/transport.h"

namespace lp::platform {

class SerialTransport final : public Transport {
    Q_OBJECT
public:
    // Opens `device` (a system path such as /dev/ttyS0 or a port name) at 9600,n,8,1.
    // On failure returns nullptr and puts a message for the user in `error`.
    [[nodiscard]] static std::unique_ptr<SerialTransport> open(const QString& device,
                                                               const QString& label,
                                                               QString* error);
    ~SerialTransport() override;

    void write(const QByteArray& bytes) override;
    [[nodiscard]] QByteArray readAll() override;
    [[nodiscard]] qint64 bytesAvailable() const override;
    [[nodiscard]] QString description() const override { return label_; }

private:
    SerialTransport(const QString& label);
    QSerialPort port_;
    QString label_;
};

// Words for the user about why a port could not be opened.
[[nodiscard]] QString describeOpenError(const QString& device, QSerialPort::SerialPortError error,
                                        const QString& systemText);

}  // namespace lp::platform
