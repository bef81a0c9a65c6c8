#include "platform/numeric_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace lp::platform {
namespace {

constexpr double kFractionDigitsLimit = 1e18;

// The number readers work on code units, so that Latin-1 bytes (the record store)
// and UTF-16 text read alike without a conversion.
template <typename Unit>
qsizetype skipBlanks(const Unit* text, qsizetype size) {
    qsizetype i = 0;
    while (i < size && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    return i;
}

bool isDigit(unsigned unit) {
    return unit >= '0' && unit <= '9';
}

template <typename Unit>
double leadingNumberOf(const Unit* text, qsizetype size) {
    qsizetype i = skipBlanks(text, size);
    double sign = 1.0;
    if (i < size && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    bool any = false;
    while (i < size && isDigit(text[i])) {
        value = value * 10.0 + (text[i] - '0');
        any = true;
        ++i;
    }
    if (i < size && text[i] == '.') {
        ++i;
        // Sum the fraction digits exactly as an integer, then divide once: 65.3 stays 65.3.
        // Digits past what a double holds change nothing, and summing them all would
        // overflow both sums (0.999... with hundreds of nines would give inf / inf).
        double fraction = 0.0;
        double divisor = 1.0;
        while (i < size && isDigit(text[i])) {
            if (divisor < kFractionDigitsLimit) {
                fraction = fraction * 10.0 + (text[i] - '0');
                divisor *= 10.0;
            }
            any = true;
            ++i;
        }
        value += fraction / divisor;
    }
    if (!std::isfinite(value)) {
        value = std::numeric_limits<double>::max();  // more digits than a double holds
    }
    return any ? sign * value : 0.0;
}

template <typename Unit>
bool startsWithNumberOf(const Unit* text, qsizetype size) {
    qsizetype i = skipBlanks(text, size);
    if (i < size && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    if (i < size && text[i] == '.') {
        ++i;
    }
    return i < size && isDigit(text[i]);
}

const unsigned char* units(QLatin1StringView text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

double leadingNumber(QStringView text) {
    return leadingNumberOf(text.utf16(), text.size());
}

double leadingNumber(QLatin1StringView text) {
    return leadingNumberOf(units(text), text.size());
}

bool startsWithNumber(QStringView text) {
    return startsWithNumberOf(text.utf16(), text.size());
}

bool startsWithNumber(QLatin1StringView text) {
    return startsWithNumberOf(units(text), text.size());
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

QString shortestText(float value) {
    QString s = QString::number(static_cast<double>(value), 'g', 7);
    if (s.contains(u'e')) {
        s = QString::number(static_cast<double>(value), 'f', 7);
        while (s.endsWith(u'0')) {
            s.chop(1);
        }
        if (s.endsWith(u'.')) {
            s.chop(1);
        }
    }
    return s;
}

char* putFixed(char* out, double value, int decimals) {
    static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
    // Below this the scaled value is under 2^52: its fraction is exact, and so is a
    // half beside it.
    constexpr double kPlainBelow = 1e12;
    decimals = std::clamp(decimals, 0, 3);
    const double magnitude = std::fabs(value);
    if (!(magnitude < kPlainBelow)) {
        const QByteArray text = QByteArray::number(value, 'f', decimals);
        std::memcpy(out, text.constData(), size_t(text.size()));
        return out + text.size();
    }
    // The scaled value is the one nearest the exact product, so it lies on the same
    // side of every half as the product does, or on that half. Only on a half does
    // the product's rounding error (exact by fma) tell which way it goes.
    const double scale = kScale[decimals];
    const double scaled = magnitude * scale;
    double whole = static_cast<double>(static_cast<quint64>(scaled));  // its floor
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fma(magnitude, scale, -scaled) >= 0.0)) {
        whole += 1.0;
    }
    auto rounded = static_cast<quint64>(whole);
    // Written from its last digit back, once its length is known (no division: the
    // scaled value is below 10^16).
    static constexpr std::array<quint64, 16> kPowers = [] {
        std::array<quint64, 16> powers{};
        quint64 power = 1;
        for (quint64& p : powers) {
            p = power;
            power *= 10;
        }
        return powers;
    }();
    int digits = 1;
    while (digits < int(kPowers.size()) && rounded >= kPowers[size_t(digits)]) {
        ++digits;
    }
    const int wholeDigits = std::max(1, digits - decimals);
    char* p = out + (value < 0 ? 1 : 0) + wholeDigits + (decimals > 0 ? decimals + 1 : 0);
    char* const end = p;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    if (decimals > 0) {
        *--p = '.';
    }
    do {
        *--p = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    } while (rounded != 0);
    if (value < 0) {
        *--p = '-';
    }
    return end;
}

QString levelText(float level) {
    QString s = shortestText(level);
    const qsizetype point = s.indexOf(u'.');
    if (point < 0) {
        return s + QStringLiteral(".0");
    }
    // Keep one decimal whatever the value; 105.2 reads like every other level.
    return QString::number(static_cast<double>(level), 'f', 1);
}

}  // namespace lp::platform
