// Where a logger's events are told besides the broker: a program run with the event's
// JSON on stdin, or a URL the JSON is POSTed to. Each delivers on the event loop, never
// waiting, so that telling an event never holds up the next sample; its troubles are
// said through problem(), each kind once (a lost notification each time).
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace lp::remote {

class Notifier : public QObject {
    Q_OBJECT
public:
    // `name` as the user gave it ("exec:/usr/local/bin/tell", "https://..."): the start
    // of each problem's words.
    explicit Notifier(QString name) : name_(std::move(name)) {}

    [[nodiscard]] const QString& name() const { return name_; }
    // Delivers `json` (one event's message) as soon as it can.
    virtual void notify(const QByteArray& json) = 0;
    // Whether a delivery is under way just now (a program running or waiting for a free
    // place, a request sent); a webhook waiting for its next attempt is not.
    [[nodiscard]] virtual bool busy() const = 0;
    // The logger stops: what is not delivered yet is given up, and said.
    virtual void abandon() = 0;

signals:
    // "notify NAME: what happened.", a sentence.
    void problem(const QString& text);

protected:
    // problem() with the notifier's name before `text`.
    void tell(const QString& text) {
        emit problem(QStringLiteral("notify %1: %2").arg(name_, text));
    }
    // tell(), once for each `kind` over the notifier's life.
    void tellOnce(int kind, const QString& text) {
        if (!(told_ & (1U << kind))) {
            told_ |= 1U << kind;
            tell(text);
        }
    }

private:
    QString name_;
    unsigned told_ = 0;
};

}  // namespace lp::remote
