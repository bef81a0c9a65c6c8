// A real mosquitto broker for one test, on a free port of 127.0.0.1, configured by the
// test: anonymous, with a password file (mosquitto_passwd), or TLS with a self-signed
// certificate made by openssl (the clients' CA file). It keeps its sessions across a restart, so a
// subscriber misses nothing while the broker is away.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace lp::test {

// A program found on PATH or in the system's sbin folders (the broker lives there).
QString systemProgram(const QString& name);
// A TCP port of 127.0.0.1 that nothing listens on just now.
int freePort();

class TestBroker {
public:
    enum class Access { Anonymous, Password, Tls };
    // Files go to `folder`.
    TestBroker(const QString& folder, Access access);
    ~TestBroker();

    // Writes what the access needs and starts the broker; false (see error()) when it
    // does not listen within 5 s.
    bool start();
    // Ends the broker (SIGTERM: it saves its sessions) and waits for it.
    void stop();
    [[nodiscard]] int port() const { return port_; }
    // The broker's process id while it runs (for a benchmark's CPU figures).
    [[nodiscard]] qint64 processId() const { return process_ ? process_->processId() : 0; }
    [[nodiscard]] QString caFile() const { return folder_ + "/ca.crt"; }
    [[nodiscard]] const QString& error() const { return error_; }
    static constexpr const char* kUser = "logger";
    static constexpr const char* kPassword = "s3cret word";

private:
    bool prepare();
    bool run(const QString& program, const QStringList& arguments);

    QString folder_;
    Access access_;
    int port_;
    bool prepared_ = false;
    std::unique_ptr<QProcess> process_;
    QString error_;
};

// The samples that arrived, as "file:line" in order of first arrival, and how many
// arrived more than once (delivery is at least once).
struct Arrivals {
    QStringList first;
    int repeats = 0;
};

// mosquitto_sub on `topicFilter`, keeping what arrives: each message as "topic payload".
class Subscriber {
public:
    // `clientId`: two subscribers at once need two.
    Subscriber(const TestBroker& broker, const QString& topicFilter, TestBroker::Access access,
               const QString& clientId = QStringLiteral("test-subscriber"));
    ~Subscriber();
    // True once the broker has confirmed the subscription (5 s at most).
    bool waitSubscribed();
    // Waits until `count` messages on topics ending in `suffix` have arrived, or `ms`.
    bool waitFor(const QString& suffix, int count, int ms);
    // The payloads of the messages on topics ending in `suffix`, in arrival order.
    [[nodiscard]] QList<QByteArray> payloads(const QString& suffix);
    // The messages on topics ending in "/sample", read as samples.
    [[nodiscard]] Arrivals arrivals();

private:
    void take();
    QProcess process_;
    QByteArray pending_;
    QList<QPair<QString, QByteArray>> messages_;
    bool subscribed_ = false;
};

// A broker in `folder` (made if missing) with a subscriber on "lp/#" whose subscription
// it has confirmed: what most tests here start with.
struct SubscribedBroker {
    SubscribedBroker(const QString& folder, TestBroker::Access access);
    // False, with the reason as a warning, when the broker or the subscription failed.
    [[nodiscard]] bool up() const { return subscriber != nullptr; }

    TestBroker broker;
    std::unique_ptr<Subscriber> subscriber;
};

}  // namespace lp::test
