// The CPU time of the messages a logger publishes, without the broker: sample messages
// of a day of 1 s records (each with its offset, as the backlog reader hands them), and
// the offsets of a stream of instants one second apart, asked of the zone for each
// instant against kept for the hour (platform::LocalTimes). Medians of 5 runs.
//   bench_messages [records]
#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#if __has_include("platform/iso_time.h")
#include "platform/iso_time.h"
#define LP_BENCH_ISO_TIME 1
#endif
#include "remote/messages.h"

namespace {

template <typename Run>
double medianNsPerItem(qsizetype items, Run run) {
    std::vector<double> ns;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ns.push_back(double(clock.nsecsElapsed()) / double(items));
    }
    std::sort(ns.begin(), ns.end());
    return ns[2];
}

}  // namespace

int main(int argc, char** argv) {
    const qsizetype records = argc > 1 ? std::atoi(argv[1]) : 86400;
    const qint64 start = QDateTime(QDate(2026, 12, 6), QTime(0, 0)).toSecsSinceEpoch();
    std::vector<lp::remote::WrittenRecord> written;
    written.reserve(size_t(records));
    for (qsizetype i = 0; i < records; ++i) {
        const QDateTime when = QDateTime::fromSecsSinceEpoch(start + i);
        written.push_back({QStringLiteral("/var/lib/levelpanel/north/log-2026-12-06.sdm"), i + 2,
                           QString::number(i + 1),
                           when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                           QStringLiteral("65.3"), std::nullopt, 3600});
    }
    qsizetype bytes = 0;
    const double sample = medianNsPerItem(records, [&] {
        for (const lp::remote::WrittenRecord& r : written) {
            bytes += lp::remote::sampleMessage(r).size();
        }
    });
    std::printf("sample message: %.0f ns each (%lld records)\n", sample,
                static_cast<long long>(records));
#ifdef LP_BENCH_ISO_TIME
    const double asked = medianNsPerItem(records, [&] {
        for (qsizetype i = 0; i < records; ++i) {
            bytes += lp::platform::localIsoTime(start + i).size();
        }
    });
    lp::platform::LocalTimes times;
    const double kept = medianNsPerItem(records, [&] {
        for (qsizetype i = 0; i < records; ++i) {
            bytes += times.isoText(start + i).size();
        }
    });
    std::printf("instant as ISO text, the zone asked each time: %.0f ns each\n", asked);
    std::printf("instant as ISO text, the offset kept for the hour: %.0f ns each\n", kept);
#endif
    return bytes > 0 ? 0 : 1;
}
