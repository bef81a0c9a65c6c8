// The key and clock-set exchanges: a letter, a pause, and for the clock its six bytes.
#include "link/key_commands.h"

#include "link/bcd.h"

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
    QString name() const override { return QStringLiteral("clock set"); }

protected:
    void begin() override {
        send(QByteArrayLiteral("D"));
        wait(200, [this] {
            send(bcdDateTime(clock().now()));
            finish();
        });
    }
};

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

void setMeterClock(MeterLink& link, std::function<void(bool sent)> done) {
    link.submit(std::make_unique<ClockSetExchange>(),
                [done = std::move(done)](const ExchangeEnd& end) {
                    if (done) {
                        done(end.ok);
                    }
                });
}

}  // namespace lp::link
