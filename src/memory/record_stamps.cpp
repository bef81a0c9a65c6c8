#include "memory/record_stamps.h"

#include <QDate>

#include "link/bcd.h"
#include "memory/memory_text.h"

namespace lp::memory {
namespace {

constexpr qint64 kSecondsPerDay = 86400;

void putTwo(QChar* at, int value) {
    at[0] = QLatin1Char(static_cast<char>('0' + value / 10 % 10));
    at[1] = QLatin1Char(static_cast<char>('0' + value % 10));
}

}  // namespace

RecordStamps::RecordStamps(const QByteArray& start, quint16 intervalSec) : interval_(intervalSec) {
    if (start.size() < 6) {
        return;
    }
    int v[6];
    for (int i = 0; i < 6; ++i) {
        const auto value = link::fromBcd(byteAt(start, i));
        if (!value) {
            return;
        }
        v[i] = *value;
    }
    const QDate date(2000 + v[0], v[1], v[2]);
    if (!date.isValid() || v[3] > 23 || v[4] > 59 || v[5] > 59) {
        return;
    }
    known_ = true;
    startDay_ = date.toJulianDay();
    startSecond_ = v[3] * 3600 + v[4] * 60 + v[5];
}

QString RecordStamps::stamp(qint64 k) {
    if (!known_) {
        return QString::fromLatin1(kUnknownStamp);
    }
    const qint64 total = startSecond_ + (k - 1) * interval_;
    const qint64 day = startDay_ + total / kSecondsPerDay;
    const int second = static_cast<int>(total % kSecondsPerDay);
    if (day != cachedDay_) {
        const QDate d = QDate::fromJulianDay(day);
        cachedDate_ = QStringLiteral("%1/%2/%3")
                          .arg(d.year(), 4, 10, QLatin1Char('0'))
                          .arg(d.month(), 2, 10, QLatin1Char('0'))
                          .arg(d.day(), 2, 10, QLatin1Char('0'));
        cachedDay_ = day;
    }
    QString text(19, QLatin1Char(' '));
    QChar* out = text.data();
    std::copy(cachedDate_.cbegin(), cachedDate_.cend(), out);
    putTwo(out + 11, second / 3600);
    out[13] = u':';
    putTwo(out + 14, second / 60 % 60);
    out[16] = u':';
    putTwo(out + 17, second % 60);
    return text;
}

}  // namespace lp::memory
