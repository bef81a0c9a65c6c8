#include "platform/serial_transport.h"

#include <QFileInfo>

namespace lp::platform {

SerialTransport::SerialTransport(const QString& label) : label_(label) {
    connect(&port_, &QSerialPort::readyRead, this, &Transport::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A device that went away shows as a resource error, or, when the line hung up
        // (a USB adapter's or a pseudo-terminal's far end closed), as a read that gives
        // end-of-file: QSerialPort calls that a read error and, with the port left
        // open, reports it again on every turn of the event loop.
        if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) && port_.isOpen()) {
            // The system's words ("Resource temporarily unavailable", or a stale reason
            // for end-of-file) tell a user nothing; what happened is that the device
            // went away.
            const QString reason =
                QStringLiteral("The meter's port %1 went away. Check the cable or adapter.")
                    .arg(label_);
            port_.close();
            emit failed(reason);
        }
    });
}

SerialTransport::~SerialTransport() {
    if (port_.isOpen()) {
        port_.close();
    }
}

std::unique_ptr<SerialTransport> SerialTransport::open(const QString& device, const QString& label,
                                                       QString* error) {
    std::unique_ptr<SerialTransport> t(new SerialTransport(label));
    t->port_.setPortName(device);
    if (!t->port_.open(QIODevice::ReadWrite)) {
        if (error) {
            *error = describeOpenError(label, t->port_.error(), t->port_.errorString());
        }
        return nullptr;
    }
    // Settings can fail on pseudo-terminals and some adapters; the link works without them.
    (void)t->port_.setBaudRate(QSerialPort::Baud9600);
    (void)t->port_.setDataBits(QSerialPort::Data8);
    (void)t->port_.setParity(QSerialPort::NoParity);
    (void)t->port_.setStopBits(QSerialPort::OneStop);
    (void)t->port_.setFlowControl(QSerialPort::NoFlowControl);
    t->port_.clearError();
    return t;
}

void SerialTransport::write(const QByteArray& bytes) {
    if (port_.isOpen()) {
        port_.write(bytes);
    }
}

QByteArray SerialTransport::readAll() {
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

qint64 SerialTransport::bytesAvailable() const {
    return port_.isOpen() ? port_.bytesAvailable() : 0;
}

QString describeOpenError(const QString& device, QSerialPort::SerialPortError error,
                          const QString& systemText) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QStringLiteral(
                       "The port %1 cannot be opened: there is no such port on this "
                       "computer. Check the cable or adapter and choose another port.")
                .arg(device);
        case QSerialPort::PermissionError:
#ifdef Q_OS_LINUX
            return QStringLiteral(
                       "The port %1 cannot be opened: permission denied, or another program is "
                       "using it. On Linux, add yourself to the dialout group "
                       "(sudo usermod -aG dialout $USER), then log out and in again.")
                .arg(device);
#else
            return QStringLiteral(
                       "The port %1 cannot be opened: permission denied, or another "
                       "program is using it.")
                .arg(device);
#endif
        case QSerialPort::OpenError:
            return QStringLiteral("The port %1 is already open.").arg(device);
        default:
            return QStringLiteral("The port %1 cannot be opened: %2.").arg(device, systemText);
    }
}

}  // namespace lp::platform
