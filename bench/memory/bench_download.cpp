// Download of a full 128 K meter memory (one set of 65,530 records, 131,072 bytes) from
// the simulated meter through the memory commands, on the real clock.
//   bench_download          unpaced line: the time to decode the set and build the list
//                           texts (goal: at most 0.2 s), in the download and on its own.
//   bench_download --paced  9600-baud line: the whole download against the line's own
//                           limit of 131,072 bytes at 960 bytes a second (goal: within 2 %).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "link/meter_link.h"
#include "memory/memory_commands.h"
#include "platform/qt_clock.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

using namespace lp;

namespace {

constexpr int kRecords = 65530;

struct Outcome {
    double totalMs = 0;           // download() to downloadEnded
    double lastByteToListMs = 0;  // the set complete to the list delivered (decode + texts)
    bool complete = false;
    qsizetype listed = 0;
};

Outcome runDownload(bool paced) {
    platform::QtClock clock;
    sim::SimMeter meter;
    meter.addSet(
        sim::makeSet(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)), 6, true, 1, kRecords));
    sim::SimTransport port(meter, clock, paced);
    link::MeterLink link(port, clock);
    memory::MemoryCommands commands(link);

    Outcome out;
    QElapsedTimer total;
    QElapsedTimer sinceLastByte;
    QObject::connect(&commands, &memory::MemoryCommands::progress, [&](const QString& text) {
        if (text == QStringLiteral("%1 Records Completed").arg(kRecords)) {
            sinceLastByte.start();
        }
    });
    QObject::connect(&commands, &memory::MemoryCommands::downloadEnded,
                     [&](const memory::DownloadedSet& set) {
                         out.lastByteToListMs = sinceLastByte.nsecsElapsed() / 1e6;
                         out.totalMs = total.nsecsElapsed() / 1e6;
                         out.complete = set.complete;
                         out.listed = set.records.size();
                         QCoreApplication::quit();
                     });
    QObject::connect(&commands, &memory::MemoryCommands::failed,
                     [](const memory::CommandFailure& failure) {
                         std::fprintf(stderr, "%s\n", qPrintable(failure.message));
                         QCoreApplication::quit();
                     });
    total.start();
    commands.download(1, kRecords);
    QCoreApplication::exec();
    return out;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const bool paced = argc > 1 && QByteArray(argv[1]) == "--paced";

    if (paced) {
        const Outcome o = runDownload(true);
        const double lineMs = 131072.0 * 1000.0 / sim::SimTransport::kBytesPerSecond;
        std::printf(
            "paced 9600 baud: %s, %lld records, download %.2f s, line limit %.2f s, "
            "over the limit by %.2f %% (goal within 2 %%)\n",
            o.complete ? "complete" : "INCOMPLETE", static_cast<long long>(o.listed),
            o.totalMs / 1000.0, lineMs / 1000.0, (o.totalMs / lineMs - 1.0) * 100.0);
        return o.complete ? 0 : 1;
    }

    std::vector<double> inFlow;
    Outcome last;
    for (int run = 0; run < 5; ++run) {
        last = runDownload(false);
        inFlow.push_back(last.lastByteToListMs);
    }
    // The decoder alone, on the bytes of the last download.
    sim::StoredSet set =
        sim::makeSet(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)), 6, true, 1, kRecords);
    const QByteArray bytes = sim::setImage(set);
    std::vector<double> alone;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        const auto list = memory::decodeDownload(bytes, 1, kRecords);
        alone.push_back(t.nsecsElapsed() / 1e6);
        if (list.records.size() != kRecords) {
            return 1;
        }
    }
    std::sort(inFlow.begin(), inFlow.end());
    std::sort(alone.begin(), alone.end());
    std::printf("unpaced: %s, %lld records, whole download %.1f ms\n",
                last.complete ? "complete" : "INCOMPLETE", static_cast<long long>(last.listed),
                last.totalMs);
    std::printf(
        "decode + list texts, last byte to list (median of 5): %.1f ms (min %.1f, max "
        "%.1f); goal <= 200 ms\n",
        inFlow[2], inFlow.front(), inFlow.back());
    std::printf("decodeDownload alone (median of 5): %.1f ms (min %.1f, max %.1f)\n", alone[2],
                alone.front(), alone.back());
    return last.complete ? 0 : 1;
}
