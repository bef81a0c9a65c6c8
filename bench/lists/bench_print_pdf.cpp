// Printing the largest saved file: 348,000 records listed in a saved-file window and
// printed one per line (the toolbar's "Print") to a PDF file, while the panel's live
// cycle polls levelpanel-sim every 150 ms. Reports the time from the click to the
// finished document, the peak resident memory of the process, the PDF's size and
// pages, and how the live cycle fared meanwhile (frames received, longest gap).
// Goal: at most 30 s and under 300 MB, the live cycle never held up.
//
//   build/bench/lists/bench_print_pdf [records]     (offscreen; LP_BENCH_KEEP=dir keeps the PDF)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "../support/bench_support.h"
#include "../support/large_record_file.h"
#include "../support/sim_process.h"
#include "link/live_poller.h"
#include "lists/print_session.h"
#include "lists/saved_file_window.h"
#include "platform/qt_clock.h"
#include "platform/qt_line_printer.h"
#include "platform/serial_transport.h"

using namespace lp;

namespace {

// Every dialog answers at once; the printer dialog picks a PDF file.
class PdfDialogs final : public bench::CountingDialogs {
public:
    explicit PdfDialogs(QString pdf) : pdf_(std::move(pdf)) {}
    void message(QWidget*, const QString& text, platform::MessageIcon, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    std::optional<platform::PrinterChoice> choosePrinter(QWidget*) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf_);
        return platform::PrinterChoice{std::make_unique<platform::QtLinePrinter>(printer), 1};
    }

private:
    QString pdf_;
};

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count =
        argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : bench::kLargeFileRecords;

    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("LP_BENCH_KEEP");
    const QString pdf = (keep.isEmpty() ? dir.path() : keep) + QStringLiteral("/print.pdf");
    const QString sdm = dir.filePath(QStringLiteral("big.sdm"));
    if (!bench::writeLargeRecordFile(sdm, count)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sdm));
        return 1;
    }

    // The live cycle: polls the simulated meter every 150 ms.
    QProcess sim;
    const QString port =
        bench::startSimulator(sim, QStringLiteral(LP_SIM_PROGRAM), {QStringLiteral("--paced")});
    if (port.isEmpty()) {
        return 1;
    }
    QString error;
    auto transport = platform::SerialTransport::open(port, port, &error);
    if (!transport) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    platform::QtClock clock;
    link::MeterLink line(*transport, clock);
    link::LivePoller poller(line);
    QElapsedTimer sinceFrame;
    qint64 frames = 0;
    qint64 longestGapMs = 0;
    qint64 idleFrames = 0;
    qint64 idleGapMs = 0;
    bool printing = false;
    QObject::connect(&poller, &link::LivePoller::frameReceived, [&](const QByteArray&) {
        qint64& counted = printing ? frames : idleFrames;
        qint64& gap = printing ? longestGapMs : idleGapMs;
        if (sinceFrame.isValid()) {
            ++counted;
            gap = std::max(gap, sinceFrame.elapsed());
        }
        sinceFrame.restart();
    });
    auto pollTimer = clock.createTimer(150, false, [&] { poller.tick(); });
    pollTimer->start();

    PdfDialogs dialogs(pdf);
    lists::SavedFileWindow window(dialogs, nullptr);
    window.show();
    if (window.load(sdm) || window.recordCount() != count) {
        std::fprintf(stderr, "cannot list %s\n", qPrintable(sdm));
        return 1;
    }
    const double rssBeforeMb = peakRssMb();
    // The live cycle alone for 5 s, as the measure to compare with.
    sinceFrame.invalidate();
    QElapsedTimer idle;
    idle.start();
    QTimer::singleShot(5000, &app, [] { QCoreApplication::exit(0); });
    app.exec();
    const double idleSeconds = idle.elapsed() / 1000.0;

    QElapsedTimer wall;
    wall.start();
    sinceFrame.restart();
    printing = true;
    window.printOnePerLine();
    lists::PrintSession* session = lists::PrintSession::of(window);
    if (session == nullptr) {
        std::fprintf(stderr, "the printout did not start\n");
        return 1;
    }
    bool finished = false;
    QObject::connect(session, &lists::PrintSession::ended, [&](lists::PrintRun::Outcome outcome) {
        finished = outcome == lists::PrintRun::Outcome::Finished;
        QCoreApplication::exit(0);
    });
    app.exec();
    printing = false;
    const double seconds = wall.elapsed() / 1000.0;
    pollTimer->stop();
    transport.reset();
    sim.terminate();
    sim.waitForFinished(5000);
    if (!finished) {
        std::fprintf(stderr, "the printout did not finish\n");
        return 1;
    }

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    QString pages = QStringLiteral("?");
    for (const QString& l : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n')) {
        if (l.startsWith(QLatin1String("Pages:"))) {
            pages = l.mid(6).trimmed();
        }
    }
    std::printf("%d records printed one per line to PDF (%s pages, %.1f MB) in %.1f s\n", count,
                qPrintable(pages), QFileInfo(pdf).size() / 1e6, seconds);
    std::printf("peak RSS %.0f MB (%.0f MB with the window listed, before printing)\n", peakRssMb(),
                rssBeforeMb);
    std::printf("live cycle meanwhile: %lld frames (%.2f per second), longest gap %lld ms\n",
                static_cast<long long>(frames), frames / seconds,
                static_cast<long long>(longestGapMs));
    std::printf("live cycle alone before: %lld frames (%.2f per second), longest gap %lld ms\n",
                static_cast<long long>(idleFrames), idleFrames / idleSeconds,
                static_cast<long long>(idleGapMs));
    return 0;
}
