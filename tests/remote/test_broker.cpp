#include "test_broker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace lp::test {

QString systemProgram(const QString& name) {
    const QString onPath = QStandardPaths::findExecutable(name);
    return !onPath.isEmpty()
               ? onPath
               : QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin", "/sbin"});
}

int freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

TestBroker::TestBroker(const QString& folder, Access access)
    : folder_(folder), access_(access), port_(freePort()) {}

TestBroker::~TestBroker() {
    stop();
}

bool TestBroker::run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setWorkingDirectory(folder_);
    p.start(systemProgram(program), arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        error_ = program + ": " + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

bool TestBroker::prepare() {
    QStringList config{
        QStringLiteral("listener %1 127.0.0.1").arg(port_), "persistence true",
        "persistence_location " + folder_ + "/", "log_dest file " + folder_ + "/broker.log",
        // A slow subscriber must lose nothing: its queue may grow as far as a test needs.
        "max_queued_messages 1000000",
        // Started as root, mosquitto would become another user, who cannot
        // read the test's folder.
        QStringLiteral("user ") + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name)};
    if (access_ == Access::Password) {
        if (!run("mosquitto_passwd", {"-b", "-c", "passwords", kUser, kPassword})) {
            return false;
        }
        config << "allow_anonymous false"
               << "password_file " + folder_ + "/passwords";
    } else {
        config << "allow_anonymous true";
    }
    if (access_ == Access::Tls) {
        // One certificate, its own CA: the client is given it as the CA file.
        if (!run("openssl",
                 {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                  "-nodes", "-keyout", "server.key", "-out", "ca.crt", "-days", "2", "-subj",
                  "/CN=localhost", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"})) {
            return false;
        }
        config << "certfile " + caFile() << "keyfile " + folder_ + "/server.key";
    }
    QFile file(folder_ + "/broker.conf");
    return file.open(QIODevice::WriteOnly) && file.write(config.join('\n').toUtf8() + '\n') > 0;
}

bool TestBroker::start() {
    if (!prepared_ && !(prepared_ = prepare())) {
        return false;
    }
    process_ = std::make_unique<QProcess>();
    process_->setStandardErrorFile(folder_ + "/broker.err", QIODevice::Append);
    process_->start(systemProgram("mosquitto"), {"-c", folder_ + "/broker.conf"});
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(200)) {
            return true;
        }
        QThread::msleep(20);
    }
    QFile err(folder_ + "/broker.err");
    err.open(QIODevice::ReadOnly);
    error_ = QStringLiteral("mosquitto does not listen on port %1: %2")
                 .arg(port_)
                 .arg(QString::fromLocal8Bit(err.readAll()));
    return false;
}

void TestBroker::stop() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished();
        }
    }
    process_.reset();
}

Subscriber::Subscriber(const TestBroker& broker, const QString& topicFilter,
                       TestBroker::Access access, const QString& clientId) {
    // A lasting session (-c) with QoS 1: what arrives while it reconnects is kept for it.
    QStringList args{"-h", "127.0.0.1", "-p", QString::number(broker.port()),
                     "-t", topicFilter, "-v", "-q",
                     "1",  "-c",        "-i", clientId,
                     "-d"};
    if (access == TestBroker::Access::Password) {
        args << "-u" << TestBroker::kUser << "-P" << TestBroker::kPassword;
    } else if (access == TestBroker::Access::Tls) {
        args << "--cafile" << broker.caFile();
    }
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { take(); });
    // Line-buffered: each line as soon as it is printed, not when the pipe's buffer fills.
    process_.start(systemProgram("stdbuf"),
                   QStringList{"-oL", systemProgram("mosquitto_sub")} + args);
}

Subscriber::~Subscriber() {
    process_.kill();
    process_.waitForFinished();
}

void Subscriber::take() {
    pending_ += process_.readAllStandardOutput();
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (line.startsWith("Subscribed")) {
            subscribed_ = true;
        } else if (!line.startsWith("Client ")) {
            const qsizetype space = line.indexOf(' ');
            messages_.append({QString::fromUtf8(line.left(space)), line.mid(space + 1)});
        }
    }
}

bool Subscriber::waitSubscribed() {
    return QTest::qWaitFor([this] { return subscribed_; }, 5000);
}

bool Subscriber::waitFor(const QString& suffix, int count, int ms) {
    return QTest::qWaitFor([&] { return payloads(suffix).size() >= count; }, ms);
}

QList<QByteArray> Subscriber::payloads(const QString& suffix) {
    QList<QByteArray> found;
    for (const auto& [topic, payload] : messages_) {
        if (topic.endsWith(suffix)) {
            found << payload;
        }
    }
    return found;
}

Arrivals Subscriber::arrivals() {
    Arrivals a;
    QSet<QString> seen;
    for (const QByteArray& payload : payloads(QStringLiteral("/sample"))) {
        const QJsonObject o = QJsonDocument::fromJson(payload).object();
        const QString key = o["file"].toString() + ':' + QString::number(o["line"].toInteger());
        if (seen.contains(key)) {
            ++a.repeats;
        } else {
            seen.insert(key);
            a.first << key;
        }
    }
    return a;
}

SubscribedBroker::SubscribedBroker(const QString& folder, TestBroker::Access access)
    : broker(folder, access) {
    QDir().mkpath(folder);
    if (!broker.start()) {
        qWarning() << broker.error();
        return;
    }
    subscriber = std::make_unique<Subscriber>(broker, QStringLiteral("lp/#"), access);
    if (!subscriber->waitSubscribed()) {
        qWarning("the subscription on port %d was not confirmed", broker.port());
        subscriber.reset();
    }
}

}  // namespace lp::test
