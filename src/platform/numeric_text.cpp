#include "platform/numeric_text.h"

#include <cmath>
#include <limits>

namespace lp::platform {
namespace {

constexpr double kFractionDigitsLimit = 1e18;

qsizetype skipBlanks(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    return i;
}

}  // namespace

double leadingNumber(QStringView text) {
    qsizetype i = skipBlanks(text);
    double sign = 1.0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        sign = text[i] == u'-' ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    bool any = false;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10.0 + (text[i].unicode() - u'0');
        any = true;
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        // Sum the fraction digits exactly as an integer, then divide once: 65.3 stays 65.3.
        // Digits past what a double holds change nothing, and summing them all would
        // overflow both sums (0.999... with hundreds of nines would give inf / inf).
        double fraction = 0.0;
        double divisor = 1.0;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            if (divisor < kFractionDigitsLimit) {
                fraction = fraction * 10.0 + (text[i].unicode() - u'0');
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

bool startsWithNumber(QStringView text) {
    qsizetype i = skipBlanks(text);
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
    }
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
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
