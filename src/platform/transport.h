// The byte pipe to the meter: the real serial port, the built-in simulated meter,
// or a test double. Writing and reading never block.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace lp::platform {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    virtual void write(const QByteArray& bytes) = 0;
    // Takes every byte waiting in the receive buffer.
    [[nodiscard]] virtual QByteArray readAll() = 0;
    [[nodiscard]] virtual qint64 bytesAvailable() const = 0;
    // What the user chose, for messages ("COM1 (/dev/ttyS0)", "Simulated meter").
    [[nodiscard]] virtual QString description() const = 0;

signals:
    void readyRead();
    // The device went away (USB adapter unplugged) or failed; the reason is for the user.
    void failed(const QString& reason);
};

}  // namespace lp::platform
