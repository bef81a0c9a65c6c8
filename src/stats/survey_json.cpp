// Times and figures of survey outputs in JSON.
#include "stats/survey_json.h"

#include <QDateTime>
#include <array>
#include <cstring>

namespace lp::stats {
namespace {

constexpr int kDateBytes = 11;  // "YYYY-MM-DDT"

QJsonValue roundedJson(const std::optional<double>& value, int decimals) {
    return value ? QJsonValue(QString::number(*value, 'f', decimals).toDouble())
                 : QJsonValue(QJsonValue::Null);
}

void putDigits(char* out, int value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// "00" to "99", for the three parts of every time written.
constexpr std::array<char, 200> kTwoDigits = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[size_t(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[size_t(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

char* putTwoDigits(char* out, int value) {
    std::memcpy(out, &kTwoDigits[size_t(2 * value)], 2);
    return out + 2;
}

}  // namespace

char* LocalTimeText::put(char* out, qint64 instant) {
    const LocalStamp wall = days_.wallClockAt(instant);
    if (wall.julianDay != julianDay_ || date_[0] == 0) {
        int year = 0;
        int month = 0;
        int day = 0;
        QDate::fromJulianDay(wall.julianDay).getDate(&year, &month, &day);
        if (year < 1 || year > 9999) {  // not four digits: as QDateTime writes it
            const QByteArray text = QDateTime::fromSecsSinceEpoch(instant, days_.zone())
                                        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
                                        .toLatin1()
                                        .left(kMostBytes);
            std::memcpy(out, text.constData(), size_t(text.size()));
            return out + text.size();
        }
        putDigits(date_, year, 4);
        date_[4] = '-';
        putDigits(date_ + 5, month, 2);
        date_[7] = '-';
        putDigits(date_ + 8, day, 2);
        date_[10] = 'T';
        julianDay_ = wall.julianDay;
    }
    std::memcpy(out, date_, kDateBytes);
    char* p = putTwoDigits(out + kDateBytes, wall.secondOfDay / 3600);
    *p++ = ':';
    p = putTwoDigits(p, wall.secondOfDay / 60 % 60);
    *p++ = ':';
    return putTwoDigits(p, wall.secondOfDay % 60);
}

QString LocalTimeText::text(qint64 instant) {
    char bytes[kMostBytes];
    return QString::fromLatin1(bytes, put(bytes, instant) - bytes);
}

QJsonValue levelJson(const std::optional<double>& level) {
    return roundedJson(level, kLevelDecimals);
}

QJsonValue coverageJson(const std::optional<double>& coverage) {
    return roundedJson(coverage, kCoverageDecimals);
}

QJsonObject periodJson(const SurveyPeriod& period, LocalTimeText& times) {
    return {
        {QStringLiteral("start"), times.text(period.start)},
        {QStringLiteral("end"), times.text(period.end)},
        {QStringLiteral("records"), period.records},
        {QStringLiteral("over_range"), period.outOfRange.over},
        {QStringLiteral("under_range"), period.outOfRange.under},
        {QStringLiteral("coverage"), coverageJson(period.coverage)},
        {QStringLiteral("leq"), levelJson(period.leq)},
        {QStringLiteral("lmax"), levelJson(period.lmax)},
        {QStringLiteral("lmin"), levelJson(period.lmin)},
        {QStringLiteral("l10"), levelJson(period.l10)},
        {QStringLiteral("l50"), levelJson(period.l50)},
        {QStringLiteral("l90"), levelJson(period.l90)},
    };
}

}  // namespace lp::stats
