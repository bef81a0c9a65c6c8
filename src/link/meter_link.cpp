#include "link/meter_link.h"

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
        link_->finished(this);
    }
}

platform::Clock& Exchange::clock() const {
    return link_->clock_;
}

// ---- MeterLink ----

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
        queue_.clear();
        cancelCurrent(reason);
        emit portFailed(reason);
    });
}

void MeterLink::replacePort(platform::Transport& port) {
    disconnect(port_, nullptr, this, nullptr);
    cancelCurrent(QStringLiteral("The port was replaced."));
    queue_.clear();
    port_ = &port;
    failed_ = false;
    attach();
}

MeterLink::~MeterLink() {
    if (current_) {
        current_->cancelWait();
        current_->link_ = nullptr;
    }
}

void MeterLink::submit(std::unique_ptr<Exchange> exchange) {
    if (failed_) {
        return;
    }
    queue_.push_back(std::move(exchange));
    startNext();
}

void MeterLink::cancelCurrent(const QString& reason) {
    if (!current_) {
        return;
    }
    current_->cancelWait();
    current_->aborted(reason);
    if (current_) {
        finished(current_.get());
    }
}

void MeterLink::finished(Exchange* exchange) {
    if (!current_ || current_.get() != exchange) {
        return;
    }
    exchange->cancelWait();
    exchange->link_ = nullptr;
    if (retired_.empty()) {
        QMetaObject::invokeMethod(
            this, [this] { retired_.clear(); }, Qt::QueuedConnection);
    }
    retired_.push_back(std::move(current_));
    startNext();
    if (!busy()) {
        emit idle();
    }
}

void MeterLink::startNext() {
    // begin() may finish at once and come back here; the loop, not recursion, goes on.
    if (starting_) {
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
