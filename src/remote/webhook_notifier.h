// A notifier that POSTs each event's JSON to a URL (http or https, Content-Type
// application/json), one at a time and in order. A 2xx answer delivers it. A failure
// (no connection, no answer in time, an answer 408, 429 or 5xx) is tried again 1 s,
// 2 s, 4 s ... 60 s apart, the MQTT client's pace; a notification still undelivered
// an hour after it was made is dropped, and said. Any other answer is the server's
// refusal of that notification: it is dropped. The first failure and the first refusal
// are said, once each.
#pragma once

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <deque>

#include "remote/notifier.h"

class QNetworkReply;

namespace lp::remote {

class WebhookNotifier : public Notifier {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds giveUp{std::chrono::hours(1)};     // after the notification
        std::chrono::milliseconds answer{std::chrono::seconds(10)};  // for each request
    };

    WebhookNotifier(QString name, QUrl url, Limits limits);
    ~WebhookNotifier() override;

    void notify(const QByteArray& json) override;
    [[nodiscard]] bool busy() const override;
    void abandon() override;

private:
    enum Trouble { Failing, Refused };
    struct Pending {
        QByteArray json;
        QDeadlineTimer until;
    };

    void send();
    void answered();

    QUrl url_;
    Limits limits_;
    QNetworkAccessManager network_;
    std::deque<Pending> pending_;  // the first one is the one sent or tried again next
    QPointer<QNetworkReply> reply_;
    QTimer retry_;
    int failures_ = 0;  // of the first one, in a row
    QString lastFailure_;
};

}  // namespace lp::remote
