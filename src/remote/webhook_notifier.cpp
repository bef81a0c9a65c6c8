#include "remote/webhook_notifier.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include "platform/version.h"
#include "remote/mqtt_client.h"

namespace lp::remote {
namespace {

const QString kOnce = QStringLiteral(" (said once, not for each notification)");

// "an hour", "2 hours", "5 min", "3 s".
QString spanWords(std::chrono::milliseconds span) {
    using std::chrono::hours;
    using std::chrono::minutes;
    const qint64 ms = span.count();
    if (ms % std::chrono::milliseconds(hours(1)).count() == 0) {
        const qint64 n = std::chrono::duration_cast<hours>(span).count();
        return n == 1 ? QStringLiteral("an hour") : QStringLiteral("%1 hours").arg(n);
    }
    if (ms % std::chrono::milliseconds(minutes(1)).count() == 0) {
        return QStringLiteral("%1 min").arg(std::chrono::duration_cast<minutes>(span).count());
    }
    return QStringLiteral("%1 s").arg(std::chrono::duration<double>(span).count());
}

// Answers that a later attempt may well change.
bool worthAnotherTry(int status) {
    return status == 0 || status == 408 || status == 429 || status >= 500;
}

}  // namespace

WebhookNotifier::WebhookNotifier(QString name, QUrl url, Limits limits)
    : Notifier(std::move(name)), url_(std::move(url)), limits_(limits) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &WebhookNotifier::send);
}

WebhookNotifier::~WebhookNotifier() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void WebhookNotifier::notify(const QByteArray& json) {
    pending_.push_back({json, QDeadlineTimer(limits_.giveUp)});
    if (!reply_ && !retry_.isActive()) {
        send();
    }
}

bool WebhookNotifier::busy() const {
    return !reply_.isNull();
}

void WebhookNotifier::abandon() {
    retry_.stop();
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
    if (!pending_.empty()) {
        tell(QStringLiteral("%1 notification(s) not delivered: the logger stopped.")
                 .arg(pending_.size()));
        pending_.clear();
    }
}

void WebhookNotifier::send() {
    qsizetype dropped = 0;
    while (!pending_.empty() && pending_.front().until.hasExpired()) {
        pending_.pop_front();
        ++dropped;
    }
    if (dropped > 0) {
        failures_ = 0;
        tell(QStringLiteral("%1 notification(s) dropped, undelivered after %2 (the last "
                            "failure: %3).")
                 .arg(dropped)
                 .arg(spanWords(limits_.giveUp), lastFailure_));
    }
    if (pending_.empty()) {
        return;
    }
    QNetworkRequest request(url_);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("LevelPanel/") + platform::kVersion);
    request.setTransferTimeout(int(limits_.answer.count()));
    reply_ = network_.post(request, pending_.front().json);
    connect(reply_, &QNetworkReply::finished, this, &WebhookNotifier::answered);
}

void WebhookNotifier::answered() {
    QNetworkReply* reply = reply_;
    reply_.clear();
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString said =
        status == 0
            ? reply->errorString()
            : QStringLiteral("the server answered %1 %2")
                  .arg(status)
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                  .trimmed();
    if (status / 100 == 2) {
        pending_.pop_front();
        failures_ = 0;
    } else if (!worthAnotherTry(status)) {
        pending_.pop_front();
        failures_ = 0;
        tellOnce(Refused,
                 QStringLiteral("%1: a notification it refuses is dropped%2.").arg(said, kOnce));
    } else {
        lastFailure_ = said;
        tellOnce(Failing, QStringLiteral("cannot deliver: %1. Trying again 1 to 60 s apart, for "
                                         "up to %2 after each event%3.")
                              .arg(said, spanWords(limits_.giveUp), kOnce));
        retry_.start(MqttClient::retryDelay(++failures_));
        return;
    }
    send();
}

}  // namespace lp::remote
