// The record plot of a full list: 348,000 records from the click that opens the plot
// to the finished curve, leaving out the plot's own two-second pause before the curve
// (the plot runs on a virtual clock, which skips it). Also how long the live cycle is
// paused for the drawing pass. Five runs at each size; the median is printed.
//
//   bench_list_plot [records] [picture.png]
// Run under the offscreen platform (QT_QPA_PLATFORM=offscreen).
// Goal: at most 0.3 s from the click to the finished curve, and the live cycle paused
// no longer.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "../support/bench_support.h"
#include "charts/record_plot.h"
#include "platform/dialogs.h"
#include "platform/virtual_clock.h"

namespace {

lp::records::RecordStore fullList(int count) {
    lp::records::RecordStore store;
    store.reserve(count, qsizetype(count) * 32);
    const QDateTime start(QDate(2009, 6, 1), QTime(0, 0, 0));
    for (int i = 1; i <= count; ++i) {
        const double level = 60.0 + 20.0 * std::sin(i / 5000.0) + (i % 7) - 3;
        store.append(QString::number(i),
                     start.addSecs(i).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                     QString::number(level, 'f', 1));
    }
    return store;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 348000;
    const QString picture = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const lp::records::RecordStore records = fullList(count);
    lp::bench::CountingDialogs dialogs;

    for (const QSize size : {QSize(0, 0), QSize(1920, 1040)}) {
        std::vector<double> total;
        std::vector<double> paused;
        for (int run = 0; run < 5; ++run) {
            lp::platform::VirtualClock clock;
            QElapsedTimer pause;
            double pausedMs = 0.0;
            const lp::platform::LivePause live{[&] { pause.start(); },
                                               [&] { pausedMs = pause.nsecsElapsed() / 1e6; }};
            QElapsedTimer click;
            click.start();
            // What the program does on "Plot": a plot of the window's records, shown.
            lp::charts::RecordPlot plot(records, QStringLiteral("bench.sdm"), clock, dialogs, live);
            if (!size.isEmpty()) {
                plot.resize(size);
            }
            plot.show();
            clock.advance(lp::charts::RecordPlot::kCurveDelayMs);  // the designed pause, skipped
            QCoreApplication::processEvents();                     // the window shows the curve
            total.push_back(click.nsecsElapsed() / 1e6);
            paused.push_back(pausedMs);
            if (!plot.curveDrawn()) {
                std::fprintf(stderr, "no curve was drawn\n");
                return 1;
            }
            if (run == 0 && !picture.isEmpty() && size.isEmpty()) {
                plot.grab().save(picture);
            }
        }
        std::printf(
            "%d records, window %s: click to curve median %.1f ms (max %.1f), live cycle "
            "paused median %.1f ms\n",
            count,
            size.isEmpty()
                ? "at its smallest size"
                : qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())),
            median(total), *std::max_element(total.begin(), total.end()), median(paused));
    }
    return 0;
}
