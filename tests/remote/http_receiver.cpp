#include "http_receiver.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace lp::test {
namespace {

QByteArray reasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 404:
            return "Not Found";
        case 503:
            return "Service Unavailable";
        default:
            return "Whatever";
    }
}

// The request at the start of `buffer` once all of it is there (its body as long as
// Content-Length says).
std::optional<HttpReceiver::Request> requestIn(const QByteArray& buffer) {
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    HttpReceiver::Request request{start.value(0), start.value(1), {}, {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                               lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headEnd + 4 + length) {
        return std::nullopt;
    }
    request.body = buffer.mid(headEnd + 4, length);
    return request;
}

}  // namespace

HttpReceiver::HttpReceiver(int status) : status_(status), home_(new QObject) {
    home_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, home_, &QObject::deleteLater);
    thread_.start();
}

HttpReceiver::~HttpReceiver() {
    thread_.quit();
    thread_.wait();
}

bool HttpReceiver::listen(int port) {
    bool listening = false;
    QMetaObject::invokeMethod(
        home_,
        [this, port, &listening] {
            auto* server = new QTcpServer(home_);
            listening = server->listen(QHostAddress::LocalHost, quint16(port));
            QObject::connect(server, &QTcpServer::newConnection, server, [this, server] {
                while (QTcpSocket* socket = server->nextPendingConnection()) {
                    QObject::connect(socket, &QTcpSocket::disconnected, socket,
                                     &QObject::deleteLater);
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                        socket->setProperty(
                            "got", socket->property("got").toByteArray() + socket->readAll());
                        const auto request = requestIn(socket->property("got").toByteArray());
                        if (request) {
                            take(*request);
                            socket->write("HTTP/1.1 " + QByteArray::number(status_) + ' ' +
                                          reasonOf(status_) +
                                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                            socket->disconnectFromHost();
                        }
                    });
                }
            });
        },
        Qt::BlockingQueuedConnection);
    return listening;
}

QList<HttpReceiver::Request> HttpReceiver::requests() const {
    const QMutexLocker lock(&mutex_);
    return requests_;
}

bool HttpReceiver::waitFor(int count, int ms) const {
    return QTest::qWaitFor([&] { return requests().size() >= count; }, ms);
}

void HttpReceiver::take(const Request& request) {
    const QMutexLocker lock(&mutex_);
    requests_ << request;
}

}  // namespace lp::test
