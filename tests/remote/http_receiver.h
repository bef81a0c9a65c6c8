// A small HTTP server on 127.0.0.1 for the webhook tests, in a thread of its own so that
// it answers while the test waits on a child process: it keeps each request it gets
// (method, path, headers, body) and answers each with the status it is set to, then
// closes the connection.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QThread>

class QObject;

namespace lp::test {

class HttpReceiver {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers;  // names in lower case
        QByteArray body;
    };

    // `status`: the answer to every request (204, 404, 503 ...).
    explicit HttpReceiver(int status = 204);
    ~HttpReceiver();
    HttpReceiver(const HttpReceiver&) = delete;
    HttpReceiver& operator=(const HttpReceiver&) = delete;

    // Listens on `port` of 127.0.0.1; false when it cannot.
    [[nodiscard]] bool listen(int port);
    [[nodiscard]] QList<Request> requests() const;
    // Waits (handling the test's events) until `count` requests have come, or `ms`.
    [[nodiscard]] bool waitFor(int count, int ms) const;

private:
    void take(const Request& request);

    int status_;
    QThread thread_;
    QObject* home_;  // lives in thread_; the server and its sockets are its children
    mutable QMutex mutex_;
    QList<Request> requests_;
};

}  // namespace lp::test
