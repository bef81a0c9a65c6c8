// Speed and size of the largest list the program makes: 348,000 records (the live
// list's dump size). Writes such a file, then times
//   - loading it into a store (the reader alone),
//   - loading it into a saved-file window and showing the window (offscreen),
//   - appending rows to the full list, as the live list does per sample,
//   - saving the listed records again,
// and reports the bytes the store holds and the growth of the process.
//
//   build-*/bench/records/bench_record_file [runs]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "../support/bench_support.h"
#include "lists/list_save.h"
#include "lists/saved_file_window.h"
#include "records/record_file_reader.h"
#include "records/record_file_writer.h"

using namespace lp;

namespace {

const int kRecords = qEnvironmentVariableIsSet("LP_BENCH_RECORDS")
                         ? qEnvironmentVariableIntValue("LP_BENCH_RECORDS")
                         : 348000;

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : 0;
}

records::RecordStore makeRecords() {
    records::RecordStore store;
    store.reserve(kRecords, kRecords * 30LL);
    QDateTime t(QDate(2009, 3, 15), QTime(14, 5, 9));
    for (int i = 1; i <= kRecords; ++i) {
        store.append(QString::number(i), t.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")),
                     QString::number(40.0 + (i * 7919 % 800) / 10.0, 'f', 1));
        t = t.addSecs(2);
    }
    return store;
}

struct Stats {
    std::vector<double> ms;
    void add(qint64 ns) { ms.push_back(ns / 1e6); }
    QString text() {
        std::sort(ms.begin(), ms.end());
        return QStringLiteral("best %1 ms, median %2 ms, worst %3 ms")
            .arg(ms.front(), 0, 'f', 1)
            .arg(ms[ms.size() / 2], 0, 'f', 1)
            .arg(ms.back(), 0, 'f', 1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTextStream out(stdout);
    out.setAutoDetectUnicode(false);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("records.sdm"));

    {
        const records::RecordStore source = makeRecords();
        if (auto error = records::saveRecordFile(file, source)) {
            out << "cannot write " << file << ": " << error->reason << "\n";
            return 1;
        }
    }
    out << "file: " << kRecords << " records, " << QFile(file).size() << " bytes\n";

    Stats readerOnly;
    Stats loadAndShow;
    Stats save;
    Stats append;
    qsizetype storeBytes = 0;
    qint64 growth = 0;
    for (int run = 0; run < runs; ++run) {
        {
            records::RecordStore store;
            QElapsedTimer t;
            t.start();
            const auto result = records::loadRecordFile(file, store);
            readerOnly.add(t.nsecsElapsed());
            if (result.error || store.count() != kRecords) {
                out << "load failed\n";
                return 1;
            }
        }
        const qint64 before = residentBytes();
        {
            bench::CountingDialogs dialogs;
            lists::SavedFileWindow window(dialogs, nullptr);
            QElapsedTimer t;
            t.start();
            window.show();
            window.setWindowTitle(file);
            const auto error = window.load(file);
            window.showLastRecord();
            QCoreApplication::processEvents();
            window.grab();  // paint it once, as the screen would
            loadAndShow.add(t.nsecsElapsed());
            if (error || window.recordCount() != kRecords) {
                out << "window load failed\n";
                return 1;
            }
            storeBytes = window.records().store().memoryBytes();
            growth = residentBytes() - before;

            // A live list this long still takes one row per sample at once.
            t.restart();
            for (int i = 0; i < 1000; ++i) {
                window.appendRecord(u"348001", u"2009/03/23 14:05:09", u"65.3");
                window.showLastRecord();
            }
            append.add(t.nsecsElapsed() / 1000);

            const QString copy = dir.filePath(QStringLiteral("copy.sdm"));
            t.restart();
            const auto saveError = lists::saveGridRows(window, copy, lists::kSaveProgressSuffix);
            save.add(t.nsecsElapsed());
            if (saveError || QFile(copy).size() <= QFile(file).size()) {
                out << "save failed\n";
                return 1;
            }
        }
    }
    out << "runs: " << runs << "\n";
    out << "load (reader only):           " << readerOnly.text() << "\n";
    out << "load into window and show:    " << loadAndShow.text() << "   (goal <= 300 ms)\n";
    out << "save from window:             " << save.text() << "   (goal <= 500 ms)\n";
    out << "append one row at the end:    " << append.text() << " (per row)\n";
    out << "record store:                 " << storeBytes << " bytes ("
        << QString::number(storeBytes / 1048576.0, 'f', 1) << " MB, goal < 60 MB)\n";
    out << "process growth with window:   " << growth << " bytes ("
        << QString::number(growth / 1048576.0, 'f', 1) << " MB, store + grids)\n";
    return 0;
}
