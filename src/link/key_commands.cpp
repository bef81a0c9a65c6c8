#include "link/key_commands.h"

namespace lp::link {
namespace {

// Sends `letter` `repeats` times, waiting `waitMs` after each.
class KeyExchange final : public Exchange {
public:
    KeyExchange(char letter, bool discardFirst, int repeats, int waitMs)
        : letter_(letter), discardFirst_(discardFirst), repeats_(repeats), waitMs_(waitMs) {}
    QString name() const override { return QStringLiteral("key %1").arg(QLatin1Char(letter_)); }

protected:
    void begin() override {
        if (discardFirst_) {
            discardInput();
        }
        next();
    }

private:
    void next() {
        if (repeats_-- <= 0) {
            finish();
            return;
        }
        send(QByteArray(1, letter_));
        wait(waitMs_, [this] { next(); });
    }

    char letter_;
    bool discardFirst_;
    int repeats_;
    int waitMs_;
};

class ClockSetExchange final : public Exchange {
public:
    ClockSetExchange(QByteArray bytes, std::function<void()> sent)
        : bytes_(std::move(bytes)), sent_(std::move(sent)) {}
    QString name() const override { return QStringLiteral("clock set"); }

protected:
    void begin() override {
        send(QByteArrayLiteral("D"));
        wait(200, [this] {
            send(bytes_);
            auto sent = std::move(sent_);
            finish();
            if (sent) {
                sent();
            }
        });
    }
    void aborted(const QString&) override { sent_ = nullptr; }

private:
    QByteArray bytes_;
    std::function<void()> sent_;
};

quint8 bcd(int value) {
    return static_cast<quint8>(((value / 10) % 10) * 16 + value % 10);
}

}  // namespace

void pressKey(MeterLink& link, MeterKey key) {
    struct KeyBytes {
        char letter;
        bool discardFirst;
        int repeats;
        int waitMs;
    };
    // Indexed by MeterKey: the letter sent, whether waiting input is thrown away
    // first, how often it is sent and the wait after each.
    static constexpr KeyBytes kKeys[] = {
        {'A', true, 1, 100}, {'F', true, 1, 100},  {'M', true, 1, 100},  {'U', true, 1, 100},
        {'P', true, 1, 100}, {'E', false, 3, 200}, {'S', false, 1, 100}, {'T', false, 1, 100},
    };
    const KeyBytes& k = kKeys[static_cast<int>(key)];
    link.submit(std::make_unique<KeyExchange>(k.letter, k.discardFirst, k.repeats, k.waitMs));
}

QByteArray clockBytes(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    QByteArray bytes;
    bytes.append(static_cast<char>(bcd(d.year() % 100)));
    bytes.append(static_cast<char>(bcd(d.month())));
    bytes.append(static_cast<char>(bcd(d.day())));
    bytes.append(static_cast<char>(bcd(t.hour())));
    bytes.append(static_cast<char>(bcd(t.minute())));
    bytes.append(static_cast<char>(bcd(t.second())));
    return bytes;
}

void setMeterClock(MeterLink& link, const QDateTime& when, std::function<void()> sent) {
    link.submit(std::make_unique<ClockSetExchange>(clockBytes(when), std::move(sent)));
}

}  // namespace lp::link
