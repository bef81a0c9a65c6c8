#include "assessment_examples.h"

#include <QByteArray>
#include <QDateTime>
#include <cmath>
#include <optional>
#include <vector>

#include "demo_day.h"

namespace lp::tools {

namespace {

using records::MeterState;
using records::Response;
using records::Weighting;

// A wobble of up to `spread` dB either way, the same on every run.
class Wobble {
public:
    double next(double spread) {
        state_ = state_ * 1664525u + 1013904223u;
        return (double(state_ >> 8) / double(1u << 24) * 2.0 - 1.0) * spread;
    }

private:
    quint32 state_ = 7;
};

QByteArray shown(double level) {
    return QByteArray::number(level, 'f', 1);
}

// The hour of day (with its fraction) of instant i of a survey from `first`, one every
// `every` seconds.
double hourOf(const QDateTime& first, int i, int every) {
    const int second = first.time().msecsSinceStartOfDay() / 1000 + i * every;
    return double(second % 86400) / 3600.0;
}

bool write(const QDir& dir, const char* name, const QDateTime& first, int count, int every,
           Response response, const std::function<std::optional<QByteArray>(int)>& level,
           std::pair<int, int> range = {30, 80}) {
    const QString file = dir.filePath(QString::fromLatin1(name));
    const MeterState state{Weighting::A, response, range};
    return writeRecords(file, first, count, level, every) &&
           writeExampleMetadata(file, first.toString(Qt::ISODate) + QStringLiteral("+01:00"), state,
                                every);
}

// Three days from noon, a record every 10 s; the meter off from 14:00 to 15:10 on the
// second day. About 42 dB by day (07-18), 38 in the evening (18-22), 32 in the hour
// before 23:00 and 33 at night.
bool writeGarden(const QDir& dir) {
    const QDateTime first(QDate(2026, 6, 1), QTime(12, 0));
    const QDateTime offFrom(QDate(2026, 6, 2), QTime(14, 0));
    const QDateTime offTo(QDate(2026, 6, 2), QTime(15, 10));
    Wobble wobble;
    return write(dir, "garden.sdm", first, 3 * 8640, 10, Response::Fast,
                 [&](int i) -> std::optional<QByteArray> {
                     const QDateTime at = first.addSecs(qint64(i) * 10);
                     const double noise = wobble.next(1.0);
                     if (at >= offFrom && at < offTo) {
                         return std::nullopt;
                     }
                     const double h = hourOf(first, i, 10);
                     const double base = h >= 7 && h < 18    ? 43.0
                                         : h >= 18 && h < 22 ? 39.0
                                         : h >= 22 && h < 23 ? 33.0
                                                             : 34.0;
                     return shown(base + noise);
                 });
}

// Two shifts from 07:00 to 15:30, a record every 10 s, SLOW: machines at about 85 dB
// with a quieter half hour at noon.
bool writeWorkshop(const QDir& dir) {
    Wobble wobble;
    bool ok = true;
    for (const auto& [name, day] : {std::pair{"workshop-mon.sdm", QDate(2026, 11, 30)},
                                    std::pair{"workshop-tue.sdm", QDate(2026, 12, 1)}}) {
        const QDateTime first(day, QTime(7, 0));
        ok = ok && write(dir, name, first, 3060, 10, Response::Slow,
                         [&](int i) -> std::optional<QByteArray> {
                             const double h = hourOf(first, i, 10);
                             const double base = h >= 12 && h < 12.5 ? 72.0 : 84.9;
                             return shown(base + wobble.next(2.0));
                         },
                         {60, 110});
    }
    return ok;
}

// A bedroom near a railway, a level a second from 18:00 to 08:00: about 35 dB, and the
// trains, each a rise to its peak and a fall over a minute.
bool writeBedroom(const QDir& dir) {
    const QDateTime first(QDate(2026, 12, 1), QTime(18, 0));
    struct Train {
        double hour;  // hours after 18:00
        double peak;
    };
    std::vector<Train> trains;
    // Two in the day's last hour, six in the evening, twelve at night, one after 07:00.
    for (const double h : {0.2, 0.7}) {
        trains.push_back({h, 58.0});
    }
    for (int k = 0; k < 6; ++k) {
        trains.push_back({1.3 + 0.6 * k, 55.0 + k});
    }
    for (int k = 0; k < 12; ++k) {
        trains.push_back({5.2 + 0.6 * k, 52.0 + 0.7 * k});
    }
    trains.push_back({13.5, 57.0});
    Wobble wobble;
    return write(dir, "bedroom.sdm", first, 14 * 3600, 1, Response::Fast,
                 [&](int i) -> std::optional<QByteArray> {
                     double level = 35.0 + wobble.next(1.5);
                     for (const Train& t : trains) {
                         const double from = t.hour * 3600.0;
                         if (i >= from && i < from + 60.0) {
                             const double rise = 1.0 - std::abs(i - from - 30.0) / 30.0;
                             level = std::max(level, 35.0 + (t.peak - 35.0) * rise);
                         }
                     }
                     return shown(level);
                 });
}

// A night from 18:00 to 09:00, a record every 10 s: about 52 dB in the evening, 40 at
// night, 56 from 07:00; a delivery from 01:30 to 01:45; the logger paused from 03:00 to
// 03:20.
bool writeNight(const QDir& dir) {
    const QDateTime first(QDate(2026, 6, 1), QTime(18, 0));
    Wobble wobble;
    return write(dir, "night.sdm", first, 15 * 360, 10, Response::Fast,
                 [&](int i) -> std::optional<QByteArray> {
                     const double h = hourOf(first, i, 10);
                     const double noise = wobble.next(2.0);
                     if (h >= 3.0 && h < 3.0 + 20.0 / 60.0) {
                         return std::nullopt;
                     }
                     double base = 40.0;
                     if (h >= 18.0 && h < 23.0) {
                         base = 52.0;
                     } else if (h >= 7.0 && h < 9.0) {
                         base = 56.0;
                     } else if (h >= 1.5 && h < 1.75) {
                         base = 50.0;
                     }
                     return shown(base + noise);
                 });
}

}  // namespace

bool writeAssessmentExamples(const QDir& out) {
    const QDir dir(out.filePath(QStringLiteral("assess")));
    QDir().mkpath(dir.path());
    return writeGarden(dir) && writeWorkshop(dir) && writeBedroom(dir) && writeNight(dir);
}

}  // namespace lp::tools
