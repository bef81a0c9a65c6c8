// A transport for tests: records every byte written and answers through a
// responder, delivering the reply after a latency on the (virtual) clock.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/transport.h"

namespace lp::test {

class FakeTransport final : public platform::Transport {
    Q_OBJECT
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    explicit FakeTransport(platform::Clock& clock, int latencyMs = 20);

    void setResponder(Responder r) { responder_ = std::move(r); }
    // Bytes as if the meter sent them now.
    void inject(const QByteArray& bytes);
    // Simulates the device going away.
    void fail(const QString& reason) { emit failed(reason); }

    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override { return rx_.size(); }
    QString description() const override { return QStringLiteral("test port"); }

    QByteArray written;  // everything sent to the "meter", in order

private:
    platform::Clock& clock_;
    int latencyMs_;
    Responder responder_;
    QByteArray rx_;
    std::vector<std::unique_ptr<platform::Timer>> deliveries_;
};

}  // namespace lp::test
