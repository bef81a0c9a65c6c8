// The queue of exchanges on the line, and the one place where their ends are told.
#include "link/meter_link.h"

#include <algorithm>

namespace lp::link {

// ---- Exchange ----

Exchange::~Exchange() = default;

void Exchange::send(const QByteArray& bytes) {
    if (link_) {
        link_->port_->write(bytes);
    }
}

void Exchange::discardInput() {
    if (link_) {
        (void)link_->port_->readAll();
    }
}

qint64 Exchange::waiting() const {
    return link_ ? link_->port_->bytesAvailable() : 0;
}

QByteArray Exchange::takeAll() {
    return link_ ? link_->port_->readAll() : QByteArray();
}

void Exchange::wait(int ms, std::function<void()> then) {
    if (!link_) {
        return;
    }
    then_ = std::move(then);
    if (!timer_) {
        timer_ = link_->clock_.createTimer(ms, true, [this] {
            auto next = std::move(then_);
            then_ = nullptr;
            if (next) {
                next();
            }
        });
    }
    timer_->setInterval(ms);
    timer_->start();
}

void Exchange::cancelWait() {
    if (timer_) {
        timer_->stop();
    }
    then_ = nullptr;
}

void Exchange::finish() {
    if (link_) {
        ExchangeEnd end;
        end.ok = true;
        link_->ended(this, std::move(end));
    }
}

void Exchange::fail(const QString& reason) {
    if (link_) {
        ExchangeEnd end;
        end.reason = reason;
        link_->ended(this, std::move(end));
    }
}

platform::Clock& Exchange::clock() const {
    return link_->clock_;
}

// ---- MeterLink ----

namespace {

// Tells the end of an exchange that never got the line.
void endUnstarted(std::unique_ptr<Exchange> exchange, ExchangeEndHandler handler,
                  const QString& reason, bool cancelled) {
    exchange.reset();
    if (handler) {
        ExchangeEnd end;
        end.cancelled = cancelled;
        end.reason = reason;
        handler(end);
    }
}

}  // namespace

MeterLink::MeterLink(platform::Transport& port, platform::Clock& clock, QObject* parent)
    : QObject(parent), port_(&port), clock_(clock) {
    attach();
}

void MeterLink::attach() {
    connect(port_, &platform::Transport::readyRead, this, [this] {
        if (current_) {
            current_->bytesArrived();
        }
    });
    connect(port_, &platform::Transport::failed, this, [this](const QString& reason) {
        failed_ = true;
        stopAll(reason);
        emit portFailed(reason);
    });
}

void MeterLink::replacePort(platform::Transport& port) {
    disconnect(port_, nullptr, this, nullptr);
    port_ = &port;
    failed_ = false;
    attach();
    stopAll(QStringLiteral("the port was replaced"));
    emit portReplaced();
}

MeterLink::~MeterLink() {
    if (current_) {
        current_->cancelWait();
        current_->link_ = nullptr;
    }
}

ExchangeId MeterLink::submit(std::unique_ptr<Exchange> exchange, ExchangeEndHandler ended) {
    const ExchangeId id = ++lastId_;
    if (failed_) {
        const QString reason =
            QStringLiteral("The %1 could not run: the port to the meter is closed.")
                .arg(exchange->name());
        endUnstarted(std::move(exchange), std::move(ended), reason, false);
        return id;
    }
    exchange->id_ = id;
    exchange->ended_ = std::move(ended);
    queue_.push_back(std::move(exchange));
    startNext();
    return id;
}

bool MeterLink::cancel(ExchangeId id) {
    if (current_ && current_->id_ == id) {
        abortCurrent({}, true);
        return true;
    }
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if ((*it)->id_ == id) {
            std::unique_ptr<Exchange> exchange = std::move(*it);
            queue_.erase(it);
            const QString reason = QStringLiteral("The %1 was cancelled.").arg(exchange->name());
            auto handler = std::move(exchange->ended_);
            endUnstarted(std::move(exchange), std::move(handler), reason, true);
            return true;
        }
    }
    return false;
}

bool MeterLink::pending(ExchangeId id) const {
    if (current_ && current_->id_ == id) {
        return true;
    }
    return std::any_of(queue_.begin(), queue_.end(), [id](const auto& e) { return e->id_ == id; });
}

void MeterLink::abortCurrent(const QString& reason, bool cancelled) {
    if (!current_) {
        return;
    }
    Exchange* exchange = current_.get();
    exchange->cancelWait();
    exchange->aborted();
    const QString note = exchange->progressNote();
    QString text = cancelled ? QStringLiteral("The %1 was cancelled").arg(exchange->name())
                             : QStringLiteral("The %1 stopped: %2").arg(exchange->name(), reason);
    text += note.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(note);
    ExchangeEnd end;
    end.cancelled = cancelled;
    end.reason = text;
    ended(exchange, std::move(end));
}

void MeterLink::stopAll(const QString& reason) {
    // The queue is taken out first, so nothing of it starts when the running exchange
    // ends; an end handler may queue more, which then waits its own turn.
    std::deque<std::unique_ptr<Exchange>> dropped;
    dropped.swap(queue_);
    abortCurrent(reason, false);
    for (auto& exchange : dropped) {
        const QString text =
            QStringLiteral("The %1 could not run: %2.").arg(exchange->name(), reason);
        auto handler = std::move(exchange->ended_);
        endUnstarted(std::move(exchange), std::move(handler), text, false);
    }
    if (!dropped.empty() && !busy()) {
        emit idle();
    }
}

void MeterLink::ended(Exchange* exchange, ExchangeEnd end) {
    if (!current_ || current_.get() != exchange) {
        return;
    }
    exchange->cancelWait();
    exchange->link_ = nullptr;
    end.started = true;
    end.bytes = exchange->reply_;
    ExchangeEndHandler handler = std::move(exchange->ended_);
    if (retired_.empty()) {
        QMetaObject::invokeMethod(
            this, [this] { retired_.clear(); }, Qt::QueuedConnection);
    }
    retired_.push_back(std::move(current_));
    // The line is free before the end is told, so whoever hears it may queue at once.
    if (handler) {
        handler(end);
    }
    startNext();
    if (!busy()) {
        emit idle();
    }
}

void MeterLink::startNext() {
    // begin() may end at once and come back here; the loop, not recursion, goes on.
    if (starting_ || failed_) {
        return;
    }
    starting_ = true;
    while (!current_ && !queue_.empty()) {
        current_ = std::move(queue_.front());
        queue_.pop_front();
        current_->link_ = this;
        current_->begin();
    }
    starting_ = false;
}

}  // namespace lp::link
